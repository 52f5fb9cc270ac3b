#include "Arguments.h"

#include "Command.h"

#include <algorithm>
#include <cstdio>

namespace vorn::cli {

namespace {
bool Contains(const std::vector<std::string>& list, const std::string& word) {
    return std::find(list.begin(), list.end(), word) != list.end();
}
}  // namespace

Arguments::Arguments(const std::vector<std::string>& words, const std::vector<std::string>& valueOptions,
                     const std::vector<std::string>& flagOptions) {
    bool optionsEnded = false;
    for (size_t i = 0; i < words.size() && error.empty(); ++i) {
        const std::string& w = words[i];
        const bool shortOption = w.size() >= 2 && w[0] == '-' && w[1] != '-' && Contains(valueOptions, w.substr(0, 2));
        if (optionsEnded || !(shortOption || (w.size() >= 2 && w.compare(0, 2, "--") == 0))) {
            files.push_back(w);
            continue;
        }
        if (w == "--") {
            optionsEnded = true;
            continue;
        }
        const size_t eq = shortOption ? (w.size() > 2 ? 1 : std::string::npos) : w.find('=');
        const std::string name = shortOption ? w.substr(0, 2) : w.substr(0, eq);
        if (Contains(valueOptions, name)) {
            if (eq != std::string::npos) values[name] = w.substr(eq + 1);
            else if (i + 1 < words.size()) values[name] = words[++i];
            else error = "option " + name + " needs a value";
        } else if (Contains(flagOptions, name) && eq == std::string::npos) {
            flags[name] = true;
        } else {
            error = "unknown option " + w;
        }
    }
}

const std::string* Arguments::Value(const std::string& name) const {
    auto it = values.find(name);
    return it == values.end() ? nullptr : &it->second;
}

int UsageError(const char* command, const std::string& text) {
    std::fprintf(stderr, "vornwave %s: %s\n(see vornwave %s --help)\n", command, text.c_str(), command);
    return kBadUsage;
}

}  // namespace vorn::cli
