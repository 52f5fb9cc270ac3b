#include "simulator/win32/CommandLog.h"

#include <cstdio>

namespace vorn::sim {

namespace {
constexpr const char* kClassName = "VornAnalyzerSimLog";
constexpr int kMaxListed = 2000;
constexpr UINT_PTR kListTimer = 1;
constexpr UINT kListDelayMs = 50;
}

CommandLog::CommandLog(const std::string& file, bool showWindow, const std::string& title)
    : file_(file) {
    if (!file_.empty()) {
        if (FILE* f = std::fopen(file_.c_str(), "ab")) std::fclose(f);
    }
    if (!showWindow) return;
    WNDCLASSA wc = {};
    wc.lpfnWndProc = WindowProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszClassName = kClassName;
    RegisterClassA(&wc);
    window_ = CreateWindowExA(0, kClassName, title.c_str(), WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                              CW_USEDEFAULT, 520, 360, nullptr, nullptr, wc.hInstance, nullptr);
    if (!window_) return;
    RECT r;
    GetClientRect(window_, &r);
    list_ = CreateWindowExA(WS_EX_CLIENTEDGE, "LISTBOX", "",
                            WS_CHILD | WS_VISIBLE | WS_VSCROLL | LBS_NOINTEGRALHEIGHT, 0, 0,
                            r.right, r.bottom, window_, nullptr, wc.hInstance, nullptr);
    SendMessageA(list_, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(ANSI_FIXED_FONT)), TRUE);
    SetWindowLongPtrA(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

void CommandLog::Show() {
    if (window_) ShowWindow(window_, SW_SHOWNOACTIVATE);
}

CommandLog::~CommandLog() {
    if (window_) DestroyWindow(window_);
}

void CommandLog::Add(const std::string& line) {
    if (!file_.empty()) {
        if (FILE* f = std::fopen(file_.c_str(), "ab")) {
            std::fprintf(f, "%s\r\n", line.c_str());
            std::fclose(f);
        }
    }
    if (list_) {
        if (pending_.empty()) SetTimer(window_, kListTimer, kListDelayMs, nullptr);
        pending_.push_back(line);
    }
}

void CommandLog::ListPending() {
    KillTimer(window_, kListTimer);
    if (pending_.empty()) return;
    SendMessageA(list_, WM_SETREDRAW, FALSE, 0);
    LRESULT index = 0;
    for (const std::string& line : pending_) {
        if (SendMessageA(list_, LB_GETCOUNT, 0, 0) >= kMaxListed) SendMessageA(list_, LB_DELETESTRING, 0, 0);
        index = SendMessageA(list_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line.c_str()));
    }
    pending_.clear();
    SendMessageA(list_, LB_SETTOPINDEX, static_cast<WPARAM>(index), 0);
    SendMessageA(list_, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(list_, nullptr, TRUE);
}

void CommandLog::Minimize() {
    if (window_) ShowWindow(window_, SW_MINIMIZE);
}

// Closing the log window ends the analyzer, as closing any application window would.
LRESULT CALLBACK CommandLog::WindowProc(HWND window, UINT message, WPARAM wp, LPARAM lp) {
    auto* log = reinterpret_cast<CommandLog*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    switch (message) {
    case WM_SIZE:
        if (log && log->list_) MoveWindow(log->list_, 0, 0, LOWORD(lp), HIWORD(lp), TRUE);
        return 0;
    case WM_TIMER:
        if (log && wp == kListTimer) log->ListPending();
        return 0;
    case WM_CLOSE: PostQuitMessage(0); return 0;
    default: return DefWindowProcA(window, message, wp, lp);
    }
}

}  // namespace vorn::sim
