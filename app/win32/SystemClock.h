// The real clock: GetTickCount and Sleep.
#pragma once

#include "app/Clock.h"

namespace vorn {

class SystemClock final : public Clock {
public:
    std::uint32_t TickCount() override;
    void Wait(std::uint32_t milliseconds) override;
};

}  // namespace vorn
