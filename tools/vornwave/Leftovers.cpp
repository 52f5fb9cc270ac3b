#include "Leftovers.h"

#include "wave/FileSystem.h"

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <mutex>
#include <set>
#include <thread>

namespace vorn::cli {

namespace {

std::mutex guard;
std::map<std::string, std::set<std::string>> before;  // folder -> its temporary files when noted
std::atomic<bool> stopping{false};
thread_local bool cleaning = false;  // this thread removes the leftovers and must not wait

bool IsTemporary(const std::string& name) {
    return name.size() > 7 && name.compare(0, 3, "wav") == 0 && name.compare(name.size() - 4, 4, ".tmp") == 0;
}

std::set<std::string> Temporaries(const std::string& folder) {
    std::set<std::string> found;
    for (const std::string& name : ListFolder(folder))
        if (IsTemporary(name)) found.insert(name);
    return found;
}

// The work's thread waits here at its next write, close, rename or removal once the run
// is stopping, so that nothing it does races the cleanup.
void HoldWhenStopping() {
    while (stopping && !cleaning) std::this_thread::sleep_for(std::chrono::seconds(1));
}

}  // namespace

void HoldFileStepsWhenStopping() { SetFileStepObserver(HoldWhenStopping); }

// A job that has not started writing waits too: a folder noted after the cleanup looked
// would keep what the job writes there.
void NoteOutputFolder(const std::string& folder) {
    HoldWhenStopping();
    const std::lock_guard<std::mutex> lock(guard);
    if (before.count(folder)) return;
    before[folder] = Temporaries(folder);
}

void StopAndClean(int status) {
    cleaning = true;
    stopping = true;
    // A step under way (a write, a rename) finishes; the next one waits.
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    int removed = 0;
    {
        const std::lock_guard<std::mutex> lock(guard);
        for (const auto& [folder, old] : before)
            for (const std::string& name : Temporaries(folder))
                if (!old.count(name)) removed += RemoveFile(JoinPath(folder, name));
    }
    std::fprintf(stderr, "\nvornwave: interrupted; %d unfinished file%s removed, inputs and finished outputs kept\n",
                 removed, removed == 1 ? "" : "s");
    std::fflush(stderr);
    std::_Exit(status);
}

}  // namespace vorn::cli
