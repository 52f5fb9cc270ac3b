#include "common/win32/ResponsiveWait.h"

namespace vorn {

namespace {

// Alt+F4 arrives as a key press and becomes the close request only when dispatched.
void KeepCloseRequest(const MSG& message) {
    if (message.message == WM_SYSKEYDOWN && message.wParam == VK_F4 && message.hwnd)
        PostMessageA(GetAncestor(message.hwnd, GA_ROOT), WM_SYSCOMMAND, SC_CLOSE, 0);
}

// Removes the oldest queued message of [first, last] when it is not older than since.
bool DropOne(UINT first, UINT last, DWORD since) {
    MSG message;
    if (!PeekMessageA(&message, nullptr, first, last, PM_NOREMOVE)) return false;
    if (static_cast<LONG>(message.time - since) < 0) return false;  // made before the block
    PeekMessageA(&message, nullptr, first, last, PM_REMOVE);
    KeepCloseRequest(message);
    return true;
}

}  // namespace

void DiscardInputSince(DWORD since) {
    while (DropOne(WM_KEYFIRST, WM_KEYLAST, since)) {
    }
    while (DropOne(WM_MOUSEFIRST, WM_MOUSELAST, since)) {
    }
}

// Only paint messages are dispatched: a timer tick, a button's command or a close
// handled now would run the caller's code again in the middle of its step.
void WaitResponsively(DWORD milliseconds) {
    const DWORD start = GetTickCount();
    for (;;) {
        MSG message;
        while (PeekMessageA(&message, nullptr, WM_PAINT, WM_PAINT, PM_REMOVE)) DispatchMessageA(&message);
        DiscardInputSince(start);
        const DWORD elapsed = GetTickCount() - start;
        if (elapsed >= milliseconds) return;
        // Wakes for sent messages (answered inside the call) and new paint requests.
        MsgWaitForMultipleObjects(0, nullptr, FALSE, milliseconds - elapsed, QS_PAINT | QS_SENDMESSAGE | QS_INPUT);
    }
}

}  // namespace vorn
