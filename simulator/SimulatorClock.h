// Where the substitute analyzer's captures and passes take their time from. The
// program uses the steady clock; tests move a clock of their own so a ten-second
// capture takes no time at all.
#pragma once

namespace vorn::sim {

class SimulatorClock {
public:
    virtual ~SimulatorClock() = default;
    // Seconds since an arbitrary fixed point; never decreases.
    virtual double Seconds() const = 0;
};

class SteadyClock final : public SimulatorClock {
public:
    double Seconds() const override;
};

}  // namespace vorn::sim
