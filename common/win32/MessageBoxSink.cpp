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
}  // namespace

MessageAnswer MessageBoxSink::Show(const std::string& caption, const std::string& text,
                                   MessageIcon icon, MessageButtons buttons) {
    const UINT type = (buttons == MessageButtons::YesNo ? MB_YESNO : MB_OK) | IconFlags(icon);
    // The active window of this thread owns the box, so it is modal to the dialog in use.
    const int answer = MessageBoxA(GetActiveWindow(), text.c_str(), caption.c_str(), type);
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
