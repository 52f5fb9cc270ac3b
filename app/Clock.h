// Time as the test sequence sees it: the system's millisecond tick count and the
// blocking waits of the command scripts. The program uses GetTickCount and Sleep;
// tests use a fake whose waits only advance the tick count.
#pragma once

#include <cstdint>

namespace vorn {

class Clock {
public:
    virtual ~Clock() = default;
    // Milliseconds since the system started; wraps after 49.7 days.
    virtual std::uint32_t TickCount() = 0;
    // Blocks the caller (and with it the dialog) for the given time.
    virtual void Wait(std::uint32_t milliseconds) = 0;
};

}  // namespace vorn
