#include "ProgressDisplay.h"

#include "Terminal.h"

#include <algorithm>

namespace vorn::cli {

namespace {
constexpr int kBarWidth = 30;
constexpr int kCountsWidth = 20;  // " 100% 12/345 " and a margin
}  // namespace

ProgressDisplay::ProgressDisplay(const char* cmd, size_t files, bool term)
    : command(cmd), total(files), terminal(term) {
    // The bar and the name fill one line less one column, so the terminal never wraps it.
    if (terminal) nameWidth = size_t(std::max(0, TerminalWidth() - 1 - kBarWidth - kCountsWidth));
}

bool ProgressDisplay::StderrIsTerminal() { return vorn::cli::StderrIsTerminal(); }

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

// The file's line goes to standard output whatever standard error is; the bar steps
// aside for it.
void ProgressDisplay::FileDone(const std::string& line) {
    ++finished;
    running = false;
    ClearBar();
    std::printf("%s\n", line.c_str());
    std::fflush(stdout);
    if (terminal) DrawBar();
}

void ProgressDisplay::FileFailed(const std::string& name, const std::string& reason) {
    ++finished;
    ++failed;
    running = false;
    ClearBar();
    std::fprintf(stderr, "vornwave %s: %s: %s\n", command, name.c_str(), reason.c_str());
    if (terminal) DrawBar();
}

void ProgressDisplay::Finish() {
    ClearBar();
    if (terminal && total > 1)
        std::fprintf(stderr, "vornwave %s: %zu of %zu files done, %zu failed\n", command, finished - failed, total, failed);
}

void ProgressDisplay::DrawBar() {
    const double done = total ? (double(finished) + (running ? percent / 100.0 : 0)) / double(total) : 1;
    const int filled = int(done * kBarWidth);
    std::string name = current.size() <= nameWidth ? current
                       : nameWidth > 3 ? "..." + current.substr(current.size() - nameWidth + 3)
                                       : std::string();
    std::fprintf(stderr, "\r[%s%s] %3d%% %zu/%zu %-*s", std::string(size_t(filled), '#').c_str(),
                 std::string(size_t(kBarWidth - filled), '.').c_str(), int(done * 100), finished, total,
                 int(nameWidth), name.c_str());
    std::fflush(stderr);
    barShown = true;
}

void ProgressDisplay::ClearBar() {
    if (!barShown) return;
    std::fprintf(stderr, "\r%*s\r", kBarWidth + int(nameWidth) + kCountsWidth, "");
    std::fflush(stderr);
    barShown = false;
}

}  // namespace vorn::cli
