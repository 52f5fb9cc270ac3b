// One subcommand of vornwave: its name, a one-line summary for the overview, the text
// `--help` prints, and the function that runs it on the arguments after its name.
// Every subcommand returns one of the exit codes below.
#pragma once

#include <string>
#include <vector>

namespace vorn::cli {

enum ExitCode : int {
    kAllDone = 0,     // every file succeeded
    kSomeFailed = 1,  // at least one file failed; the others were still done
    kBadUsage = 2,    // the command line itself was wrong; nothing was done
};

struct Command {
    const char* name;
    const char* summary;
    const char* help;
    int (*run)(const std::vector<std::string>& args);
};

// Every subcommand, in the order the overview lists them (CommandTable.cpp).
const std::vector<Command>& Commands();

}  // namespace vorn::cli
