#include "results/Journal.h"

#include "results/ResultsFileSystem.h"
#include "results/TextFile.h"
#include "wave/FileSystem.h"

namespace vorn {

namespace {
std::string PendingName(const std::string& path) {
    const size_t dot = path.rfind('.');
    const size_t folder = path.find_last_of("\\/");
    const bool hasExtension = dot != std::string::npos && (folder == std::string::npos || dot > folder);
    return hasExtension ? path.substr(0, dot) + "-pending" + path.substr(dot) : path + "-pending";
}
}  // namespace

Journal::Journal(std::string path) : path(std::move(path)), pendingPath(PendingName(this->path)) {}

Journal::Outcome Journal::Append(const JournalRow& row) {
    const std::string header = JournalHeader();
    const std::string line = JournalLine(row);
    std::string pending;
    const bool hasPending = FileExists(pendingPath);
    // Pending rows that cannot be read must not be overtaken: the new row joins them.
    if (!hasPending || ReadWholeFile(pendingPath, pending)) {
        if (pending.compare(0, header.size(), header) == 0) pending.erase(0, header.size());
        if (!pending.empty() && pending.back() != '\n') pending += "\r\n";
        if (AppendDurably(path, header, pending + line)) {
            if (hasPending) RemoveFile(pendingPath);
            troubled = warned = false;
            return Outcome::Written;
        }
    }
    troubled = true;
    return AppendDurably(pendingPath, header, line) ? Outcome::Pending : Outcome::Lost;
}

bool Journal::TakeWarning() {
    if (!troubled || warned) return false;
    warned = true;
    return true;
}

}  // namespace vorn
