#include "app/win32/SystemClock.h"

#include <windows.h>

namespace vorn {

std::uint32_t SystemClock::TickCount() { return GetTickCount(); }

void SystemClock::Wait(std::uint32_t milliseconds) { Sleep(milliseconds); }

}  // namespace vorn
