#include "CommandLine.h"

// The start-up code expands wildcards in the arguments when this is set, as a shell does
// elsewhere; the names come in the ANSI code page, which the file functions here use.
extern "C" int _dowildcard = -1;

namespace vorn::cli {

std::vector<std::string> CommandWords(int argc, char** argv) { return {argv + 1, argv + argc}; }

}  // namespace vorn::cli
