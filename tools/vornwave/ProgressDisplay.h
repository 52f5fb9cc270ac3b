// What a batch shows while it runs. Each finished file is one line on standard output,
// and each failure one line on standard error, "vornwave COMMAND: FILE: reason", wherever
// they go. When standard error is a terminal, a bar there, as wide as the terminal allows,
// shows how far the files are, how many are finished and the file started last, and a
// summary line ends the batch. Files may be worked on side by side, one per thread: every
// call may come from any thread, and each line is written whole.
#pragma once

#include <cstddef>
#include <cstdio>
#include <map>
#include <mutex>
#include <string>
#include <thread>

namespace vorn::cli {

class ProgressDisplay {
public:
    ProgressDisplay(const char* command, size_t files, bool terminal);

    // The calling thread starts on a file, has done `percent` of it (0 .. 100), is finished
    // with it; its line comes later, through FileDone or FileFailed.
    void FileStarted(const std::string& name);
    void Percent(int percent);
    void FileEnded();
    void FileDone(const std::string& line);
    void FileFailed(const std::string& name, const std::string& reason);
    void Finish();

    // Whether standard error is a terminal (a bar would only litter a pipe).
    static bool StderrIsTerminal();

private:
    struct Running {
        std::string name;
        int percent = 0;
    };

    void DrawBar();
    void ClearBar();

    std::mutex lock;  // around every count and every line written
    const char* command;
    size_t total;
    size_t ended = 0;     // files worked through
    size_t reported = 0;  // their lines written
    size_t failed = 0;
    size_t nameWidth = 40;
    bool terminal;
    bool barShown = false;
    std::map<std::thread::id, Running> running;
    std::string current;  // the file started last
    std::string shownBar;
};

}  // namespace vorn::cli
