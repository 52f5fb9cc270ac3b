// A clock for tests: waits return at once and only advance the tick count, and every
// wait is recorded, so a 10 s capture runs in microseconds and its waits can be checked.
#pragma once

#include "app/Clock.h"

#include <functional>
#include <vector>

namespace vorn::test {

class FakeClock final : public Clock {
public:
    std::uint32_t TickCount() override { return now; }
    void Wait(std::uint32_t milliseconds) override {
        waits.push_back(milliseconds);
        if (onWait) onWait(milliseconds);
        now += milliseconds;
    }
    std::function<void(std::uint32_t)> onWait;
    std::uint32_t now = 1000;
    std::vector<std::uint32_t> waits;
};

}  // namespace vorn::test
