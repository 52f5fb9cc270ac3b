#include "Terminal.h"

#include <windows.h>

namespace vorn::cli {

// The NUL device counts as a character device for _isatty, so the bar went to NUL one
// system call per character; only a console gets it.
bool StderrIsTerminal() {
    DWORD mode = 0;
    return GetConsoleMode(GetStdHandle(STD_ERROR_HANDLE), &mode) != 0;
}

int TerminalWidth() {
    CONSOLE_SCREEN_BUFFER_INFO info;
    if (!GetConsoleScreenBufferInfo(GetStdHandle(STD_ERROR_HANDLE), &info)) return 80;
    return info.srWindow.Right - info.srWindow.Left + 1;
}

}  // namespace vorn::cli
