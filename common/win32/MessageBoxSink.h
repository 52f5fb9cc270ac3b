// The program's message sink: real modal message boxes and the hourglass cursor.
#pragma once

#include "common/MessageSink.h"

#include <windows.h>

namespace vorn {

class MessageBoxSink final : public MessageSink {
public:
    MessageAnswer Show(const std::string& caption, const std::string& text, MessageIcon icon,
                       MessageButtons buttons) override;
    void BeginWaitCursor() override;
    void EndWaitCursor() override;

private:
    HCURSOR previous_ = nullptr;
    int depth_ = 0;
};

}  // namespace vorn
