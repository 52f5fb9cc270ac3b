// The words after a subcommand's name, split into options and files. Options are
// "--name value", "--name=value" or a flag "--name"; a declared one-letter value option
// "-x" is "-x value" or "-xvalue". "--" ends the options, so a file may start with "--".
// A value option takes the next word whatever it looks like, so "--level -12" works.
// Anything not declared is a usage error.
#pragma once

#include <map>
#include <string>
#include <vector>

namespace vorn::cli {

class Arguments {
public:
    Arguments(const std::vector<std::string>& words, const std::vector<std::string>& valueOptions,
              const std::vector<std::string>& flagOptions);

    bool Ok() const { return error.empty(); }
    const std::string& Error() const { return error; }
    bool Flag(const std::string& name) const { return flags.count(name) != 0; }
    // Null when the option was not given.
    const std::string* Value(const std::string& name) const;
    const std::vector<std::string>& Files() const { return files; }

private:
    std::map<std::string, std::string> values;
    std::map<std::string, bool> flags;
    std::vector<std::string> files;
    std::string error;
};

// Prints "vornwave COMMAND: text" and a pointer to --help; returns kBadUsage.
int UsageError(const char* command, const std::string& text);

}  // namespace vorn::cli
