// Command line of the substitute analyzer program, with its fault modes for
// reliability tests. See the README section "Substitute analyzer" for the list.
#pragma once

#include "analyzer/AnalyzerService.h"

#include <map>
#include <optional>
#include <string>
#include <vector>

namespace vorn::sim {

enum class ReplyFault { None, Silent, Late, Empty, Garbage };

struct ServerOptions {
    std::string service = kAnalyzerService;
    std::string topic = kAnalyzerTopic;
    std::string logFile;            // empty: no log file
    double speed = 0.0;             // > 0 overrides the configuration files' Speed
    bool registerOnly = false;      // write the registry value and exit
    bool hidden = false;            // no command-log window
    std::map<std::string, ReplyFault> itemFaults;
    int lateMs = 12000;             // how late a Late item is answered
    int garbageLength = 64;         // characters of a Garbage reply
    std::vector<std::string> refusedCommands;  // refused when the command starts with one
    int dropAfter = 0;              // > 0: end the conversation after this many transactions
    int exitAfter = 0;              // > 0: quit without a word after this many transactions
    int hangAfter = 0;              // > 0: stop serving (window alive, no answers) after this many
};

// Reads the arguments (without the program name). On an error returns nothing and
// sets error to what was wrong.
std::optional<ServerOptions> ParseServerOptions(const std::vector<std::string>& args,
                                                std::string& error);

// The text of a Garbage reply: "ABC...XYZABC..." cut to length.
std::string GarbageText(int length);

// Splits a Windows command line into arguments ("quotes" group, \" is a quote).
std::vector<std::string> SplitCommandLine(const std::string& commandLine);

}  // namespace vorn::sim
