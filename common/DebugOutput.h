// Lines for a developer's debugger, not for the operator: the platform's debug
// output on Windows, nothing elsewhere.
#pragma once

#include <string>

namespace vorn {

void DebugOutput(const std::string& text);

}  // namespace vorn
