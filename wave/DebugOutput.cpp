#include "wave/DebugOutput.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace vorn {

void DebugOutput(const std::string& text) {
#ifdef _WIN32
    OutputDebugStringA(text.c_str());
#else
    (void)text;
#endif
}

}  // namespace vorn
