// Test double for the message sink: records every message and answers questions from a
// queue (No when it is empty), optionally running something while the box is up.
// Installs itself for its own lifetime.
#pragma once

#include "common/MessageSink.h"

#include <deque>
#include <functional>
#include <string>
#include <vector>

namespace vorn::test {

struct RecordedMessage {
    std::string caption, text;
    MessageIcon icon;
    MessageButtons buttons;
};

class MessageRecorder final : public MessageSink {
public:
    MessageRecorder() { SetMessageSink(this); }
    ~MessageRecorder() override { SetMessageSink(nullptr); }
    MessageRecorder(const MessageRecorder&) = delete;
    MessageRecorder& operator=(const MessageRecorder&) = delete;

    MessageAnswer Show(const std::string& caption, const std::string& text, MessageIcon icon,
                       MessageButtons buttons) override {
        messages.push_back({caption, text, icon, buttons});
        if (whileShown) whileShown();
        if (buttons == MessageButtons::Ok) return MessageAnswer::Ok;
        const MessageAnswer a = answers.empty() ? MessageAnswer::No : answers.front();
        if (!answers.empty()) answers.pop_front();
        return a;
    }
    void BeginWaitCursor() override { ++waitDepth, ++waitCount; }
    void EndWaitCursor() override { --waitDepth; }

    std::vector<std::string> Texts() const {
        std::vector<std::string> t;
        for (const auto& m : messages) t.push_back(m.text);
        return t;
    }

    std::vector<RecordedMessage> messages;
    std::deque<MessageAnswer> answers;
    std::function<void()> whileShown;  // what happens while the box is up (timer ticks)
    int waitDepth = 0, waitCount = 0;
};

}  // namespace vorn::test
