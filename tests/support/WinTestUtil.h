// Helpers for tests that drive real windows under Wine: find this process's (or a given
// process's) dialogs, read and click controls, wait for conditions.
#pragma once

#ifdef _WIN32

#include <windows.h>

#include <chrono>
#include <cstring>
#include <functional>
#include <string>
#include <thread>

namespace vorn::test {

inline bool WaitUntil(const std::function<bool()>& done, int timeoutMs) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (std::chrono::steady_clock::now() < end) {
        if (done()) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return done();
}

// A visible top-level dialog of the given process with this caption. Other test
// executables may show the same dialog at the same time, so the process is checked.
inline HWND FindDialogOf(DWORD processId, const char* caption) {
    HWND h = nullptr;
    while ((h = FindWindowExA(nullptr, h, "#32770", caption))) {
        DWORD pid = 0;
        GetWindowThreadProcessId(h, &pid);
        if (pid == processId && IsWindowVisible(h)) return h;
    }
    return nullptr;
}

inline HWND FindOwnDialog(const char* caption) { return FindDialogOf(GetCurrentProcessId(), caption); }

inline std::string ItemText(HWND dialog, int id) {
    HWND item = GetDlgItem(dialog, id);
    if (!item) return "<no control>";
    std::string text(static_cast<std::size_t>(GetWindowTextLengthA(item)) + 1, '\0');
    GetWindowTextA(item, text.data(), static_cast<int>(text.size()));
    text.resize(std::strlen(text.c_str()));
    return text;
}

inline std::string WindowText(HWND window) {
    char buffer[512] = {};
    GetWindowTextA(window, buffer, sizeof buffer);
    return buffer;
}

// The Windows form of a path the build system gave in Unix form.
inline std::string WindowsPath(std::string path) {
    for (char& c : path)
        if (c == '/') c = '\\';
    if (!path.empty() && path[0] == '\\') path = "Z:" + path;
    return path;
}

inline std::string ReadWholeFile(const std::string& path) {
    HANDLE f = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                           OPEN_EXISTING, 0, nullptr);
    if (f == INVALID_HANDLE_VALUE) return {};
    std::string data;
    char chunk[4096];
    DWORD n = 0;
    while (ReadFile(f, chunk, sizeof chunk, &n, nullptr) && n > 0) data.append(chunk, n);
    CloseHandle(f);
    return data;
}

inline bool WriteWholeFile(const std::string& path, const std::string& data) {
    HANDLE f = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (f == INVALID_HANDLE_VALUE) return false;
    DWORD n = 0;
    const bool ok = WriteFile(f, data.data(), static_cast<DWORD>(data.size()), &n, nullptr) && n == data.size();
    CloseHandle(f);
    return ok;
}

}  // namespace vorn::test

#endif
