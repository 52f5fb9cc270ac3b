#include "FileBatch.h"

#include "CollectingSink.h"
#include "Command.h"

namespace vorn::cli {

int RunBatch(const char* command, const std::vector<FileJob>& jobs, const FileWork& work, bool bar) {
    ProgressDisplay progress(command, jobs.size(), bar && ProgressDisplay::StderrIsTerminal());
    size_t failures = 0;
    for (const FileJob& job : jobs) {
        CollectingSink messages;
        progress.FileStarted(job.input);
        std::string summary = job.output.empty() ? job.input : job.input + " -> " + job.output;
        std::string error;
        if (work(job, progress, summary, error)) {
            progress.FileDone(summary);
            continue;
        }
        ++failures;
        // The tool's own reason names the cause; the classes' texts are only a fallback.
        if (error.empty()) error = messages.Texts();
        progress.FileFailed(job.input, error.empty() ? "failed" : error);
    }
    progress.Finish();
    return failures ? kSomeFailed : kAllDone;
}

}  // namespace vorn::cli
