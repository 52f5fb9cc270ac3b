// What a report is made from: one or more journals (each station's Results.csv, say),
// their rows merged by time across time zones, and the Spectrum.csv files of the latest
// archived tests, found below each journal's own folder.
#pragma once

#include "results/JournalReader.h"
#include "results/SpectrumTable.h"

#include <cstdint>
#include <string>
#include <vector>

namespace vorn {

struct SourcedJournal {
    std::string path;
    JournalContents contents;
};

struct MergedRow {
    const JournalRow* row;
    size_t journal;  // index into Journals()
    int64_t utc;     // s since 1970
};

struct ArchivedSpectrum {
    std::string label;  // the test's time
    std::vector<SpectrumPoint> points;
};

class ReportSources {
public:
    // Reads the journal; false with the reason when it is not one.
    bool Add(const std::string& path, std::string& error);
    // Adds a journal already read (the benchmark, the tests).
    void Add(SourcedJournal journal);

    const std::vector<SourcedJournal>& Journals() const { return journals; }
    // Every row, oldest first; rows of the same moment keep their journal's order.
    std::vector<MergedRow> Merged() const;
    // Up to `count` of the latest archived spectra that can still be read, latest first.
    std::vector<ArchivedSpectrum> LatestSpectra(const std::vector<MergedRow>& merged, size_t count) const;

private:
    std::vector<SourcedJournal> journals;
};

}  // namespace vorn
