// Elsewhere than on Windows (common/win32/DebugOutput.cpp) no debugger listens.
#include "common/DebugOutput.h"

namespace vorn {

void DebugOutput(const std::string&) {}

}  // namespace vorn
