#include "app/win32/SystemClock.h"

#include "common/win32/ResponsiveWait.h"

#include <windows.h>

namespace vorn {

std::uint32_t SystemClock::TickCount() { return GetTickCount(); }

void SystemClock::Wait(std::uint32_t milliseconds) { WaitResponsively(milliseconds); }

}  // namespace vorn
