// A scripted analyzer for tests: records every call in order ("connect", "disconnect",
// the command texts, "request <item>") and answers requests from a table of replies.
#pragma once

#include "analyzer/AnalyzerConnection.h"

#include <algorithm>
#include <cstring>
#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace vorn::test {

class FakeAnalyzerConnection final : public AnalyzerConnection {
public:
    bool Connect() override {
        Disconnect();
        calls.push_back("connect");
        linked = connectSucceeds;
        return linked;
    }
    void Disconnect() override {
        calls.push_back("disconnect");
        linked = false;
    }
    bool SendCommand(const char* command) override {
        if (!linked) return false;
        calls.push_back(command);
        if (onCommand) onCommand(command);
        for (const auto& prefix : refused)
            if (std::string_view(command).substr(0, prefix.size()) == prefix) return false;
        return true;
    }
    bool RequestData(const char* item, char* buffer, std::size_t capacity) override {
        if (!linked) return false;
        calls.push_back(std::string("request ") + item);
        auto it = replies.find(item);
        if (it == replies.end() || capacity == 0) return false;
        const std::size_t n = std::min(it->second.size(), capacity - 1);
        std::memcpy(buffer, it->second.data(), n);
        std::memset(buffer + n, 0, capacity - n);
        return true;
    }
    bool LaunchAnalyzer() override {
        calls.push_back("launch");
        return launchSucceeds;
    }
    bool Linked() const override { return linked; }

    // Only the commands sent, without connects and requests.
    std::vector<std::string> Commands() const {
        std::vector<std::string> c;
        for (const auto& call : calls)
            if (!call.empty() && call[0] == '[') c.push_back(call);
        return c;
    }

    // The items requested, in order.
    std::vector<std::string> Requests() const {
        std::vector<std::string> r;
        for (const auto& call : calls)
            if (call.rfind("request ", 0) == 0) r.push_back(call.substr(8));
        return r;
    }

    // Called after each accepted command, e.g. to log it beside other events.
    std::function<void(const std::string&)> onCommand;
    bool linked = false;
    bool connectSucceeds = true;
    bool launchSucceeds = true;
    std::map<std::string, std::string> replies;  // an item without a reply fails
    std::vector<std::string> refused;            // commands starting so are refused
    std::vector<std::string> calls;
};

}  // namespace vorn::test
