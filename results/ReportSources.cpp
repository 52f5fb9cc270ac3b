#include "results/ReportSources.h"

#include "results/TestArchive.h"
#include "results/TextFile.h"
#include "results/TimeStamp.h"
#include "wave/FileSystem.h"

#include <algorithm>

namespace vorn {

bool ReportSources::Add(const std::string& path, std::string& error) {
    std::string text;
    if (!ReadWholeFile(path, text)) {
        error = path + ": cannot be read";
        return false;
    }
    SourcedJournal journal{path, ReadJournal(text)};
    if (!journal.contents.isJournal) {
        error = path + ": not a results journal (no header with time and corwith columns)";
        return false;
    }
    journals.push_back(std::move(journal));
    return true;
}

void ReportSources::Add(SourcedJournal journal) { journals.push_back(std::move(journal)); }

std::vector<MergedRow> ReportSources::Merged() const {
    std::vector<MergedRow> merged;
    for (size_t j = 0; j < journals.size(); ++j)
        for (const JournalRow& row : journals[j].contents.rows)
            merged.push_back({&row, j, ParseIsoTime(row.time).value_or(0)});
    std::stable_sort(merged.begin(), merged.end(), [](const MergedRow& a, const MergedRow& b) { return a.utc < b.utc; });
    return merged;
}

std::vector<ArchivedSpectrum> ReportSources::LatestSpectra(const std::vector<MergedRow>& merged, size_t count) const {
    std::vector<ArchivedSpectrum> spectra;
    for (auto it = merged.rbegin(); it != merged.rend() && spectra.size() < count; ++it) {
        const std::string relative = ArchiveFolder(*it->row);
        if (relative.empty()) continue;
        // The journal may come from the other system: its folder separator is either.
        std::string file = FolderOf(journals[it->journal].path);
        size_t from = 0;
        for (size_t cut; (cut = relative.find_first_of("\\/", from)) != std::string::npos; from = cut + 1)
            if (cut > from) file = JoinPath(file, relative.substr(from, cut - from));
        const std::string last = relative.substr(from);
        if (last.empty() || last == ".." || relative.find("..") != std::string::npos) continue;
        file = JoinPath(JoinPath(file, last), TestArchive::kSpectrum);
        std::string text;
        if (!ReadWholeFile(file, text)) continue;
        ArchivedSpectrum s{it->row->time, ReadSpectrum(text)};
        if (!s.points.empty()) spectra.push_back(std::move(s));
    }
    return spectra;
}

}  // namespace vorn
