#include "common/DebugOutput.h"

#include <windows.h>

namespace vorn {

void DebugOutput(const std::string& text) { OutputDebugStringA(text.c_str()); }

}  // namespace vorn
