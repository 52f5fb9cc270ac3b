#include "FileBatch.h"

#include "CollectingSink.h"
#include "Command.h"

#include "wave/FileSystem.h"

#include <algorithm>
#include <atomic>
#include <cctype>
#include <cstdlib>
#include <mutex>
#include <system_error>
#include <thread>

namespace vorn::cli {

namespace {

constexpr unsigned long kMostWorkers = 1024;

struct Outcome {
    bool finished = false;
    bool ok = false;
    std::string summary;
    std::string error;
};

// Digits only, 1 to kMostWorkers.
bool WholeCount(const std::string& text, unsigned long& count) {
    char* end = nullptr;
    count = std::strtoul(text.c_str(), &end, 10);
    return !text.empty() && std::isdigit(static_cast<unsigned char>(text[0])) && *end == '\0' && count >= 1 &&
           count <= kMostWorkers;
}

// Two jobs on one file (twice named, or under two names) would race each other's
// rewrite; such a batch goes one file at a time, as it always did.
bool SameFileTwice(const std::vector<FileJob>& jobs) {
    std::vector<std::pair<uint64_t, uint64_t>> seen;
    for (const FileJob& job : jobs) {
        FileIdentity id;
        if (IdentifyFile(job.input, id)) seen.emplace_back(id.volume, id.index);
    }
    std::sort(seen.begin(), seen.end());
    return std::adjacent_find(seen.begin(), seen.end()) != seen.end();
}

}  // namespace

int RunBatch(const char* command, const Arguments& args, const std::vector<FileJob>& jobs, const FileWork& work,
             bool bar) {
    unsigned long workers = std::max(1u, std::thread::hardware_concurrency());
    if (const std::string* text = args.Value(kJobsOption); text && !WholeCount(*text, workers))
        return UsageError(command, std::string(kJobsOption) + " takes how many files to work on at once, 1 to " +
                                       std::to_string(kMostWorkers));
    workers = std::min<unsigned long>(workers, std::max<size_t>(jobs.size(), 1));
    if (workers > 1 && SameFileTwice(jobs)) workers = 1;

    ProgressDisplay progress(command, jobs.size(), bar && ProgressDisplay::StderrIsTerminal());
    std::vector<Outcome> outcomes(jobs.size());
    std::mutex reporting;  // the outcomes and the next line to write
    size_t nextLine = 0, failures = 0;
    std::atomic<size_t> nextJob{0};
    const auto runJobs = [&] {
        for (size_t i; (i = nextJob++) < jobs.size();) {
            const FileJob& job = jobs[i];
            Outcome outcome;
            {
                CollectingSink messages;
                progress.FileStarted(job.input);
                outcome.summary = job.output.empty() ? job.input : job.input + " -> " + job.output;
                outcome.ok = work(job, progress, outcome.summary, outcome.error);
                // The tool's own reason names the cause; the classes' texts are only a fallback.
                if (!outcome.ok && outcome.error.empty()) outcome.error = messages.Texts();
            }
            progress.FileEnded();
            const std::lock_guard<std::mutex> hold(reporting);
            outcomes[i] = std::move(outcome);
            outcomes[i].finished = true;
            for (; nextLine < jobs.size() && outcomes[nextLine].finished; ++nextLine) {
                Outcome& o = outcomes[nextLine];
                if (o.ok) {
                    progress.FileDone(o.summary);
                } else {
                    ++failures;
                    progress.FileFailed(jobs[nextLine].input, o.error.empty() ? "failed" : o.error);
                }
                o = Outcome{};
                o.finished = true;
            }
        }
    };
    // The messages go through a per-thread router, installed here before any thread starts.
    const CollectingSink installsRouter;
    std::vector<std::thread> helpers;
    for (unsigned long k = 1; k < workers; ++k) {
        try {
            helpers.emplace_back(runJobs);
        } catch (const std::system_error&) {
            break;  // fewer threads, the same work
        }
    }
    runJobs();
    for (std::thread& t : helpers) t.join();
    progress.Finish();
    return failures ? kSomeFailed : kAllDone;
}

}  // namespace vorn::cli
