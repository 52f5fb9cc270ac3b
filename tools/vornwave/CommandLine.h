// The words of the command line, as the file functions of this system take them. POSIX
// hands them over as they are; Windows expands wildcards ("C:\stimuli\*.wav") and keeps
// the letters of the code page the file functions use (win32/CommandLine.cpp).
#pragma once

#include <string>
#include <vector>

namespace vorn::cli {

// The words after the program's name.
std::vector<std::string> CommandWords(int argc, char** argv);

}  // namespace vorn::cli
