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
    const std::lock_guard<std::mutex> hold(lock);
    running[std::this_thread::get_id()] = {name, 0};
    current = name;
    if (terminal) DrawBar();
}

void ProgressDisplay::Percent(int p) {
    const std::lock_guard<std::mutex> hold(lock);
    auto file = running.find(std::this_thread::get_id());
    p = std::clamp(p, 0, 100);
    if (file == running.end() || file->second.percent == p) return;
    file->second.percent = p;
    if (terminal) DrawBar();
}

void ProgressDisplay::FileEnded() {
    const std::lock_guard<std::mutex> hold(lock);
    running.erase(std::this_thread::get_id());
    if (!running.empty()) current = running.begin()->second.name;
    ++ended;
    if (terminal) DrawBar();
}

// The file's line goes to standard output whatever standard error is; the bar steps
// aside for it.
void ProgressDisplay::FileDone(const std::string& line) {
    const std::lock_guard<std::mutex> hold(lock);
    ++reported;
    ClearBar();
    std::printf("%s\n", line.c_str());
    std::fflush(stdout);
    if (terminal) DrawBar();
}

void ProgressDisplay::FileFailed(const std::string& name, const std::string& reason) {
    const std::lock_guard<std::mutex> hold(lock);
    ++reported;
    ++failed;
    ClearBar();
    std::fprintf(stderr, "vornwave %s: %s: %s\n", command, name.c_str(), reason.c_str());
    if (terminal) DrawBar();
}

void ProgressDisplay::Finish() {
    const std::lock_guard<std::mutex> hold(lock);
    ClearBar();
    if (terminal && total > 1)
        std::fprintf(stderr, "vornwave %s: %zu of %zu files done, %zu failed\n", command, reported - failed, total, failed);
}

// Redrawn only when it would look different, however many threads report.
void ProgressDisplay::DrawBar() {
    double sum = double(ended);
    for (const auto& [thread, file] : running) sum += file.percent / 100.0;
    const double done = total ? sum / double(total) : 1;
    const int filled = int(done * kBarWidth);
    std::string name = running.empty() ? std::string()
                             : current.size() <= nameWidth ? current
                             : nameWidth > 3 ? "..." + current.substr(current.size() - nameWidth + 3)
                                             : std::string();
    char counts[64];
    std::snprintf(counts, sizeof counts, "] %3d%% %zu/%zu ", int(done * 100), ended, total);
    name.resize(nameWidth, ' ');
    const std::string bar = "\r[" + std::string(size_t(filled), '#') + std::string(size_t(kBarWidth - filled), '.') + counts + name;
    if (barShown && bar == shownBar) return;
    shownBar = bar;
    std::fputs(bar.c_str(), stderr);
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
