// An analyzer connection that serves fixed replies and records the commands it was
// sent; it keeps the RequestData contract (truncate, terminate, zero the rest).
#pragma once

#include "analyzer/AnalyzerConnection.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <string>
#include <vector>

namespace vorn::test {

class FakeAnalyzer final : public AnalyzerConnection {
public:
    bool Connect() override { return linked = true; }
    void Disconnect() override { linked = false; }
    bool SendCommand(const char* command) override {
        commands.emplace_back(command);
        return true;
    }
    bool RequestData(const char* item, char* buffer, std::size_t capacity) override {
        requests.emplace_back(item);
        auto reply = replies.find(item);
        if (reply == replies.end() || capacity == 0) return false;
        std::size_t n = std::min(reply->second.size(), capacity - 1);
        std::memcpy(buffer, reply->second.data(), n);
        std::memset(buffer + n, 0, capacity - n);
        return true;
    }
    bool LaunchAnalyzer() override { return false; }
    bool Linked() const override { return linked; }

    std::map<std::string, std::string> replies;  // item name -> reply text; absent = not served
    std::vector<std::string> commands;
    std::vector<std::string> requests;
    bool linked = true;
};

}  // namespace vorn::test
