// The real clock: GetTickCount, and waits that keep the window painted (input made
// during them is dropped).
#pragma once

#include "app/Clock.h"

namespace vorn {

class SystemClock final : public Clock {
public:
    std::uint32_t TickCount() override;
    void Wait(std::uint32_t milliseconds) override;
};

}  // namespace vorn
