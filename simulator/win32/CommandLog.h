// What the substitute analyzer received, for a person watching and for tests: one
// line per transaction, appended to a log file (when one is named) and listed in a
// small window (unless hidden). The file gets each line at once; the window takes the new
// lines in batches from a short timer, since redrawing a scrolled list box for every line
// costs more than a transaction itself.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace vorn::sim {

class CommandLog {
public:
    CommandLog(const std::string& file, bool showWindow, const std::string& title);
    ~CommandLog();
    CommandLog(const CommandLog&) = delete;
    CommandLog& operator=(const CommandLog&) = delete;

    // Shows the window (when there is one). Called once the server serves, so that a
    // script waiting for the window knows the analyzer is ready.
    void Show();
    void Add(const std::string& line);
    void Minimize();

private:
    static LRESULT CALLBACK WindowProc(HWND, UINT, WPARAM, LPARAM);
    void ListPending();

    std::string file_;
    HWND window_ = nullptr;
    HWND list_ = nullptr;
    std::vector<std::string> pending_;  // lines not in the list yet
};

}  // namespace vorn::sim
