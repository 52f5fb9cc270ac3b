// The one process-wide place where operator-facing messages and the wait cursor go.
// The program installs a sink that shows message boxes; command-line tools keep the
// default, which writes to standard error; tests install a recorder. Portable code
// never talks to the platform's message box directly.
#pragma once

#include <string>

namespace vorn {

enum class MessageIcon { None, Stop, Exclamation, Information, Question };
enum class MessageButtons { Ok, YesNo };
enum class MessageAnswer { Ok, Yes, No };

class MessageSink {
public:
    virtual ~MessageSink() = default;
    // Shows one modal message and returns the operator's answer.
    virtual MessageAnswer Show(const std::string& caption, const std::string& text,
                               MessageIcon icon, MessageButtons buttons) = 0;
    virtual void BeginWaitCursor() {}
    virtual void EndWaitCursor() {}
};

// Writes messages to standard error and answers Yes/No questions with No.
class StderrMessageSink final : public MessageSink {
public:
    MessageAnswer Show(const std::string& caption, const std::string& text, MessageIcon icon,
                       MessageButtons buttons) override;
};

MessageSink& Messages();
// Installs a sink (not owned); nullptr restores the standard-error sink.
void SetMessageSink(MessageSink* sink);

// Shorthand for the common case: text, caption, OK button.
void ShowMessage(const std::string& caption, const std::string& text,
                 MessageIcon icon = MessageIcon::None);

// The caption of the program's own boxes: the executable's name without extension.
const std::string& ApplicationTitle();
void SetApplicationTitle(const std::string& title);

// Shows the wait cursor for the life of the object, then restores the previous one.
class WaitCursor {
public:
    WaitCursor() { Messages().BeginWaitCursor(); }
    ~WaitCursor() { Messages().EndWaitCursor(); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};

}  // namespace vorn
