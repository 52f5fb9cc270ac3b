// What a batch shows while it runs. Each finished file is one line on standard output,
// and each failure one line on standard error, "vornwave COMMAND: FILE: reason", wherever
// they go. When standard error is a terminal, a bar there, as wide as the terminal allows,
// shows the file count and the current file, and a summary line ends the batch.
#pragma once

#include <cstddef>
#include <cstdio>
#include <string>

namespace vorn::cli {

class ProgressDisplay {
public:
    ProgressDisplay(const char* command, size_t files, bool terminal);

    void FileStarted(const std::string& name);
    void Percent(int percent);  // of the current file, 0 .. 100
    void FileDone(const std::string& line);
    void FileFailed(const std::string& name, const std::string& reason);
    void Finish();

    // Whether standard error is a terminal (a bar would only litter a pipe).
    static bool StderrIsTerminal();

private:
    void DrawBar();
    void ClearBar();

    const char* command;
    size_t total;
    size_t finished = 0;
    size_t failed = 0;
    size_t nameWidth = 40;
    bool terminal;
    bool barShown = false;
    bool running = false;  // a file has started and not finished
    int percent = 0;
    std::string current;
};

}  // namespace vorn::cli
