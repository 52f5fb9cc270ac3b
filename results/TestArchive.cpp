#include "results/TestArchive.h"

#include "results/JournalRow.h"
#include "results/ResultsFileSystem.h"
#include "results/TextFile.h"
#include "wave/FileSystem.h"

#include <algorithm>
#include <cstdlib>

namespace vorn {

const char* const TestArchive::kWaves[3] = {"Test1.wav", "Test2.wav", "Merged.wav"};

namespace {

constexpr size_t kStampLength = 19;  // yyyy-mm-dd_hh-mm-ss

// The order the folders were made in: by stamp, then by the -N that followed a taken name.
struct FolderOrder {
    std::string stamp;
    long number;
    std::string name;
    bool operator<(const FolderOrder& o) const { return stamp != o.stamp ? stamp < o.stamp : number < o.number; }
};

bool OrderOf(const std::string& name, FolderOrder& order) {
    if (name.size() < kStampLength || name[4] != '-' || name[10] != '_') return false;
    order = {name.substr(0, kStampLength), 1, name};
    if (name.size() == kStampLength) return true;
    if (name[kStampLength] != '-') return false;
    char* end = nullptr;
    order.number = std::strtol(name.c_str() + kStampLength + 1, &end, 10);
    return *end == 0 && order.number > 1;
}

}  // namespace

TestArchive::TestArchive(std::string outputFolder, int keepWaves)
    : outputFolder(std::move(outputFolder)), keepWaves(std::max(keepWaves, 0)) {}

ArchiveResult TestArchive::Keep(const std::string& stamp, const std::vector<SpectrumPoint>& spectrum) {
    ArchiveResult result;
    const std::string history = JoinPath(outputFolder, kHistory);
    if (!MakeFolders(history)) {
        result.note = "no archive folder";
        return result;
    }
    std::string name = stamp;
    for (int n = 2;; ++n) {
        const FolderMade made = MakeFolder(JoinPath(history, name));
        if (made == FolderMade::Made) break;
        if (made == FolderMade::Failed || n > 1000) {
            result.note = "no archive folder";
            return result;
        }
        name = stamp + "-" + std::to_string(n);
    }
    result.folder = JoinPath(kHistory, name);
    const std::string folder = JoinPath(history, name);
    std::vector<std::string> lost;
    if (keepWaves > 0)
        for (const char* wave : kWaves) {
            const std::string source = JoinPath(outputFolder, wave);
            if (!FileExists(source)) lost.push_back(std::string(wave) + " missing");
            else if (!CopyToNewFile(source, JoinPath(folder, wave))) lost.push_back(std::string(wave) + " not copied");
        }
    if (!WriteNewFile(JoinPath(folder, kSpectrum), SpectrumText(spectrum)))
        lost.push_back(std::string(kSpectrum) + " not written");
    for (const std::string& l : lost) result.note += (result.note.empty() ? "" : "; ") + l;
    PruneWaves(history);
    return result;
}

std::string TestArchive::JournalText(const ArchiveResult& result) {
    if (result.note.empty()) return result.folder;
    return result.folder + kArchiveNoteMark + result.note + ")";
}

void TestArchive::PruneWaves(const std::string& history) {
    std::vector<FolderOrder> folders;
    for (const std::string& name : ListFolder(history)) {
        FolderOrder order;
        if (OrderOf(name, order) && IsFolder(JoinPath(history, name))) folders.push_back(std::move(order));
    }
    if (folders.size() <= size_t(keepWaves)) return;
    std::sort(folders.begin(), folders.end());
    folders.resize(folders.size() - size_t(keepWaves));
    for (const FolderOrder& f : folders)
        for (const char* wave : kWaves) {
            const std::string copy = JoinPath(JoinPath(history, f.name), wave);
            if (FileExists(copy)) RemoveFile(copy);
        }
}

}  // namespace vorn
