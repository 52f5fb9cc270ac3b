// The analyzer connection served by an engine in the same process: what the program's
// logic sees over DDE, without DDE. Replies are copied exactly as the DDE link copies
// them (at most capacity - 1 characters, the rest of the buffer zeroed).
#pragma once

#include "analyzer/AnalyzerConnection.h"
#include "simulator/AnalyzerEngine.h"

#include <cstring>
#include <string>
#include <vector>

namespace vorn::sim {

class EngineConnection final : public AnalyzerConnection {
public:
    explicit EngineConnection(AnalyzerEngine& engine) : engine_(engine) {}

    bool Connect() override { linked_ = true; return true; }
    void Disconnect() override { linked_ = false; }
    bool SendCommand(const char* command) override {
        if (!linked_ || command == nullptr) return false;
        sent_.emplace_back(command);
        return engine_.Execute(command);
    }
    bool RequestData(const char* item, char* buffer, std::size_t capacity) override {
        if (!linked_ || item == nullptr || buffer == nullptr || capacity == 0) return false;
        std::string reply;
        if (!engine_.Request(item, reply) || reply.empty()) return false;
        const std::size_t text = std::strlen(reply.c_str());
        const std::size_t copied = text < capacity - 1 ? text : capacity - 1;
        std::memcpy(buffer, reply.data(), copied);
        std::memset(buffer + copied, 0, capacity - copied);
        return true;
    }
    bool LaunchAnalyzer() override { return true; }
    bool Linked() const override { return linked_; }

    // Every command sent while linked, accepted or not, in order.
    const std::vector<std::string>& Sent() const { return sent_; }

private:
    AnalyzerEngine& engine_;
    bool linked_ = false;
    std::vector<std::string> sent_;
};

}  // namespace vorn::sim
