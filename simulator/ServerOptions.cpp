#include "simulator/ServerOptions.h"

#include <cstdlib>

namespace vorn::sim {

namespace {

bool ReadInt(const std::string& text, int low, int high, int& out) {
    char* end = nullptr;
    const long v = std::strtol(text.c_str(), &end, 10);
    if (text.empty() || *end != '\0' || v < low || v > high) return false;
    out = static_cast<int>(v);
    return true;
}

}  // namespace

std::optional<ServerOptions> ParseServerOptions(const std::vector<std::string>& args,
                                                std::string& error) {
    ServerOptions options;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        auto value = [&](std::string& out) {
            if (i + 1 >= args.size()) {
                error = a + " needs a value";
                return false;
            }
            out = args[++i];
            return true;
        };
        std::string v;
        if (a == "/register" || a == "--register") {
            options.registerOnly = true;
        } else if (a == "--hidden") {
            options.hidden = true;
        } else if (a == "--service" || a == "--topic" || a == "--log") {
            if (!value(v)) return std::nullopt;
            if (v.empty()) { error = a + " needs a value"; return std::nullopt; }
            (a == "--service" ? options.service : a == "--topic" ? options.topic : options.logFile) = v;
        } else if (a == "--speed") {
            if (!value(v)) return std::nullopt;
            char* end = nullptr;
            options.speed = std::strtod(v.c_str(), &end);
            if (*end != '\0' || !(options.speed >= 0.01 && options.speed <= 10000)) {
                error = "--speed wants a number from 0.01 to 10000";
                return std::nullopt;
            }
        } else if (a == "--silent" || a == "--late" || a == "--empty" || a == "--garbage") {
            if (!value(v)) return std::nullopt;
            options.itemFaults[v] = a == "--silent" ? ReplyFault::Silent
                                    : a == "--late" ? ReplyFault::Late
                                    : a == "--empty" ? ReplyFault::Empty
                                                     : ReplyFault::Garbage;
        } else if (a == "--late-ms" || a == "--garbage-length" || a == "--drop-after" ||
                   a == "--exit-after" || a == "--hang-after") {
            if (!value(v)) return std::nullopt;
            int n = 0;
            if (!ReadInt(v, 1, 100000000, n)) {
                error = a + " wants a positive whole number";
                return std::nullopt;
            }
            (a == "--late-ms" ? options.lateMs
             : a == "--garbage-length" ? options.garbageLength
             : a == "--drop-after" ? options.dropAfter
             : a == "--exit-after" ? options.exitAfter
                                   : options.hangAfter) = n;
        } else if (a == "--refuse") {
            if (!value(v)) return std::nullopt;
            options.refusedCommands.push_back(v);
        } else {
            error = "unknown option " + a;
            return std::nullopt;
        }
    }
    return options;
}

std::string GarbageText(int length) {
    std::string text;
    for (int i = 0; i < length; ++i) text.push_back(static_cast<char>('A' + i % 26));
    return text;
}

std::vector<std::string> SplitCommandLine(const std::string& line) {
    std::vector<std::string> args;
    std::string current;
    bool inQuotes = false;
    bool any = false;
    for (std::size_t i = 0; i < line.size(); ++i) {
        const char c = line[i];
        if (c == '\\' && i + 1 < line.size() && line[i + 1] == '"') {
            current.push_back('"');
            any = true;
            ++i;
        } else if (c == '"') {
            inQuotes = !inQuotes;
            any = true;
        } else if ((c == ' ' || c == '\t') && !inQuotes) {
            if (any) args.push_back(current);
            current.clear();
            any = false;
        } else {
            current.push_back(c);
            any = true;
        }
    }
    if (any) args.push_back(current);
    return args;
}

}  // namespace vorn::sim
