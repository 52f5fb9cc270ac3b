// vornwave: batch preparation and inspection of stimulus wave files from the command
// line, with the same code the program's dialogs use. `vornwave COMMAND --help` tells
// each subcommand's arguments.
#include "Command.h"
#include "Leftovers.h"

#include "CommandLine.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

using vorn::cli::Command;
using vorn::cli::Commands;

void PrintOverview(std::FILE* to) {
    std::fprintf(to, "usage: vornwave COMMAND [options] FILE...\n\ncommands:\n");
    for (const Command& c : Commands()) std::fprintf(to, "  %-10s %s\n", c.name, c.summary);
    std::fprintf(to, "\n`vornwave COMMAND --help` describes one command; `vornwave --version` tells the version.\n"
                     "info, probe, filter and calibrate work on several files at once, one per core;\n"
                     "-j N sets how many (-j 1: one at a time). The results are the same either way.\n"
                     "Exit status: 0 all files done, 1 some failed, 2 bad usage.\n");
}

const Command* Find(const std::string& name) {
    for (const Command& c : Commands())
        if (name == c.name) return &c;
    return nullptr;
}

bool AsksForHelp(const std::vector<std::string>& args) {
    for (const std::string& a : args) {
        if (a == "--") return false;
        if (a == "--help" || a == "-h") return true;
    }
    return false;
}

// A result printed to a full disk or a closed pipe is a failure, not a success.
int CheckedExit(int status) {
    if (std::fflush(stdout) == 0 && !std::ferror(stdout)) return status;
    std::fprintf(stderr, "vornwave: writing to standard output failed: %s\n", std::strerror(errno));
    return status == vorn::cli::kAllDone ? vorn::cli::kSomeFailed : status;
}

int Run(const std::vector<std::string>& words) {
    if (words.empty()) {
        PrintOverview(stderr);
        return vorn::cli::kBadUsage;
    }
    if (words[0] == "--help" || words[0] == "-h" || words[0] == "help") {
        const Command* c = words.size() > 1 ? Find(words[1]) : nullptr;
        if (c) std::fputs(c->help, stdout);
        else PrintOverview(stdout);
        return vorn::cli::kAllDone;
    }
    if (words[0] == "--version") {
        std::printf("vornwave %s\n", VORN_VERSION);
        return vorn::cli::kAllDone;
    }
    const Command* command = Find(words[0]);
    if (!command) {
        std::fprintf(stderr, "vornwave: unknown command \"%s\"\n\n", words[0].c_str());
        PrintOverview(stderr);
        return vorn::cli::kBadUsage;
    }
    const std::vector<std::string> args(words.begin() + 1, words.end());
    if (AsksForHelp(args)) {
        std::fputs(command->help, stdout);
        return vorn::cli::kAllDone;
    }
    vorn::cli::WatchInterrupts();
    vorn::cli::HoldFileStepsWhenStopping();
    return command->run(args);
}

}  // namespace

int main(int argc, char** argv) { return CheckedExit(Run(vorn::cli::CommandWords(argc, argv))); }
