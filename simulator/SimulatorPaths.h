// Paths as the program writes them into commands ("<folder>\Output\Test1.wav"), made
// usable by the file functions of the machine the analyzer runs on.
#pragma once

#include <string>
#include <string_view>

namespace vorn::sim {

// On Windows the path as it is; elsewhere (the native test build) backslashes
// become slashes.
std::string LocalPath(std::string_view path);

// "<folder>\<a>\<b>" as the program composes it.
std::string JoinAnalyzerPath(std::string_view folder, std::string_view a, std::string_view b);

}  // namespace vorn::sim
