#include "common/win32/MessageBoxSink.h"

namespace vorn {

namespace {
UINT IconFlags(MessageIcon icon) {
    switch (icon) {
    case MessageIcon::Stop: return MB_ICONSTOP;
    case MessageIcon::Exclamation: return MB_ICONEXCLAMATION;
    case MessageIcon::Information: return MB_ICONINFORMATION;
    case MessageIcon::Question: return MB_ICONQUESTION;
    case MessageIcon::None: break;
    }
    return 0;
}

BOOL CALLBACK TakeFirstUsableWindow(HWND window, LPARAM found) {
    if (!IsWindowVisible(window) || !IsWindowEnabled(window)) return TRUE;
    *reinterpret_cast<HWND*>(found) = window;
    return FALSE;
}

// The program's own window in use: the topmost visible and enabled top-level window of
// this thread, which is the modal dialog open at the time or else the main dialog.
// Not GetActiveWindow(): that is NULL while the operator works in another program's
// window (the analyzer's, during a test), and a box without an owner leaves the main
// dialog enabled, so a click on a step button would run the sequence again from
// inside the step that shows the box.
HWND OwnerForBox() {
    HWND owner = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), TakeFirstUsableWindow, reinterpret_cast<LPARAM>(&owner));
    return owner;
}
}  // namespace

MessageAnswer MessageBoxSink::Show(const std::string& caption, const std::string& text,
                                   MessageIcon icon, MessageButtons buttons) {
    const UINT type = (buttons == MessageButtons::YesNo ? MB_YESNO : MB_OK) | IconFlags(icon);
    const int answer = MessageBoxA(OwnerForBox(), text.c_str(), caption.c_str(), type);
    if (buttons == MessageButtons::YesNo) return answer == IDYES ? MessageAnswer::Yes : MessageAnswer::No;
    return MessageAnswer::Ok;
}

void MessageBoxSink::BeginWaitCursor() {
    HCURSOR wait = SetCursor(LoadCursor(nullptr, IDC_WAIT));
    if (depth_++ == 0) previous_ = wait;
}

void MessageBoxSink::EndWaitCursor() {
    if (depth_ == 0) return;
    if (--depth_ == 0) SetCursor(previous_);
}

}  // namespace vorn
