// A substitute-analyzer clock that moves only when a test moves it.
#pragma once

#include "simulator/SimulatorClock.h"

namespace vorn::sim {

class ManualClock final : public SimulatorClock {
public:
    double Seconds() const override { return now_; }
    void Advance(double seconds) { now_ += seconds; }

private:
    double now_ = 0.0;
};

}  // namespace vorn::sim
