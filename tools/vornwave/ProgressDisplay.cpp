#include "ProgressDisplay.h"

#include <algorithm>

#ifdef _WIN32
#include <windows.h>
#else
#include <unistd.h>
#endif

namespace vorn::cli {

namespace {
constexpr int kBarWidth = 30;
constexpr size_t kNameWidth = 40;
}  // namespace

ProgressDisplay::ProgressDisplay(const char* cmd, size_t files, bool term)
    : command(cmd), total(files), terminal(term) {}

// On Windows the NUL device counts as a character device for _isatty, so the bar went to
// NUL one system call per character; only a console gets it there.
bool ProgressDisplay::StderrIsTerminal() {
#ifdef _WIN32
    DWORD mode = 0;
    return GetConsoleMode(GetStdHandle(STD_ERROR_HANDLE), &mode) != 0;
#else
    return isatty(fileno(stderr)) != 0;
#endif
}

void ProgressDisplay::FileStarted(const std::string& name) {
    current = name;
    percent = 0;
    running = true;
    if (terminal) DrawBar();
}

void ProgressDisplay::Percent(int p) {
    p = std::clamp(p, 0, 100);
    if (p == percent) return;
    percent = p;
    if (terminal) DrawBar();
}

void ProgressDisplay::FileDone(const std::string& line) {
    ++finished;
    running = false;
    if (terminal) {
        DrawBar();
        return;
    }
    std::printf("%s\n", line.c_str());
    std::fflush(stdout);
}

void ProgressDisplay::FileFailed(const std::string& name, const std::string& reason) {
    ++finished;
    running = false;
    ClearBar();
    std::fprintf(stderr, "vornwave %s: %s: %s\n", command, name.c_str(), reason.c_str());
    if (terminal) DrawBar();
}

void ProgressDisplay::Finish() { ClearBar(); }

void ProgressDisplay::DrawBar() {
    const double done = total ? (double(finished) + (running ? percent / 100.0 : 0)) / double(total) : 1;
    const int filled = int(done * kBarWidth);
    std::string name = current.size() > kNameWidth ? "..." + current.substr(current.size() - kNameWidth + 3) : current;
    std::fprintf(stderr, "\r[%s%s] %3d%% %zu/%zu %-*s", std::string(size_t(filled), '#').c_str(),
                 std::string(size_t(kBarWidth - filled), '.').c_str(), int(done * 100), finished, total,
                 int(kNameWidth), name.c_str());
    std::fflush(stderr);
    barShown = true;
}

void ProgressDisplay::ClearBar() {
    if (!barShown) return;
    std::fprintf(stderr, "\r%*s\r", kBarWidth + int(kNameWidth) + 20, "");
    std::fflush(stderr);
    barShown = false;
}

}  // namespace vorn::cli
