// Windows side of WatchInterrupts (Leftovers.h): the console calls the handler on a
// thread of its own for Ctrl-C, Ctrl-Break and a closed console window.
#include "Leftovers.h"

#include <windows.h>

namespace vorn::cli {

namespace {
BOOL WINAPI OnConsoleEvent(DWORD event) {
    if (event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT && event != CTRL_CLOSE_EVENT) return FALSE;
    StopAndClean(130);
}
}  // namespace

void WatchInterrupts() { SetConsoleCtrlHandler(OnConsoleEvent, TRUE); }

}  // namespace vorn::cli
