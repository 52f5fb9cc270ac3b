// The program's side of the conversation with the spectrum analyzer, as the test
// sequence and the result computation see it. AnalyzerLink (win32/) is the DDE
// implementation; tests use fakes or the substitute analyzer's engine in-process.
#pragma once

#include <cstddef>
#include <functional>

namespace vorn {

class AnalyzerConnection {
public:
    virtual ~AnalyzerConnection() = default;

    // Opens a fresh conversation (always closing the previous one first).
    virtual bool Connect() = 0;
    virtual void Disconnect() = 0;
    // Sends one bracketed command text; true when the analyzer accepted it.
    virtual bool SendCommand(const char* command) = 0;
    // Requests a data item as text into buffer (capacity bytes, terminating zero
    // included). On success at most capacity - 1 characters are copied and the rest
    // of the buffer is zeroed; on failure the buffer is left as the caller prepared it.
    virtual bool RequestData(const char* item, char* buffer, std::size_t capacity) = 0;
    // Starts the analyzer program found in the registry; false (after telling the
    // operator) when it is not installed.
    virtual bool LaunchAnalyzer() = 0;
    virtual bool Linked() const = 0;

    // Told true once a transaction has waited long enough for a person to notice (the
    // window cannot act meanwhile) and false when that transaction is over; a prompt
    // answer tells it nothing. Connections that never wait need not tell it at all.
    using WaitHandler = std::function<void(bool waiting)>;
    virtual void SetWaitHandler(WaitHandler) {}
};

}  // namespace vorn
