#include "CommandLine.h"

namespace vorn::cli {

// The shell has expanded the wildcards already.
std::vector<std::string> CommandWords(int argc, char** argv) { return {argv + 1, argv + argc}; }

}  // namespace vorn::cli
