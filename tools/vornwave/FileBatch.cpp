#include "FileBatch.h"

#include "Command.h"

#include "common/MessageSink.h"

namespace vorn::cli {

namespace {

// Collects what would have been message boxes, so they become the file's error line.
class CollectingSink final : public MessageSink {
public:
    MessageAnswer Show(const std::string&, const std::string& text, MessageIcon, MessageButtons buttons) override {
        if (!texts.empty()) texts += "; ";
        texts += text;
        return buttons == MessageButtons::YesNo ? MessageAnswer::No : MessageAnswer::Ok;
    }
    std::string texts;
};

}  // namespace

int RunBatch(const char* command, const std::vector<FileJob>& jobs, const FileWork& work, bool bar) {
    ProgressDisplay progress(command, jobs.size(), bar && ProgressDisplay::StderrIsTerminal());
    size_t failures = 0;
    for (const FileJob& job : jobs) {
        CollectingSink sink;
        SetMessageSink(&sink);
        progress.FileStarted(job.input);
        std::string summary = job.output.empty() ? job.input : job.input + " -> " + job.output;
        std::string error;
        const bool ok = work(job, progress, summary, error);
        SetMessageSink(nullptr);
        if (ok) {
            progress.FileDone(summary);
            continue;
        }
        ++failures;
        if (!sink.texts.empty()) error = error.empty() ? sink.texts : error + ": " + sink.texts;
        progress.FileFailed(job.input, error.empty() ? "failed" : error);
    }
    progress.Finish();
    return failures ? kSomeFailed : kAllDone;
}

}  // namespace vorn::cli
