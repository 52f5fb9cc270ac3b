// The per-test archive below Output\History: one folder per test that reached its Corwith
// Number, named after its moment (yyyy-mm-dd_hh-mm-ss, then -2, -3, ... when taken), holding
// copies of Test1.wav, Test2.wav and Merged.wav as they were and the Spectrum.csv the
// number came from. Nothing in it is ever overwritten. The wave copies of all but the
// latest `keepWaves` tests are removed, oldest first; Spectrum.csv files always stay.
#pragma once

#include "results/SpectrumTable.h"

#include <string>
#include <vector>

namespace vorn {

struct ArchiveResult {
    std::string folder;  // relative to the Output folder; empty when none could be made
    std::string note;    // what could not be kept ("Merged.wav missing"), empty when all was
};

class TestArchive {
public:
    static constexpr const char* kHistory = "History";
    static constexpr const char* kSpectrum = "Spectrum.csv";
    static const char* const kWaves[3];

    // `outputFolder` is the Output folder holding the analyzer's three files.
    TestArchive(std::string outputFolder, int keepWaves);

    ArchiveResult Keep(const std::string& stamp, const std::vector<SpectrumPoint>& spectrum);
    // The folder's text for the journal: the folder, and the note after it when there is one.
    static std::string JournalText(const ArchiveResult& result);

private:
    void PruneWaves(const std::string& history);

    std::string outputFolder;
    int keepWaves;
};

}  // namespace vorn
