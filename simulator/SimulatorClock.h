// Where the substitute analyzer's captures and passes take their time from. The
// program uses the steady clock; native tests move a manual clock so a ten-second
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

class ManualClock final : public SimulatorClock {
public:
    double Seconds() const override { return now_; }
    void Advance(double seconds) { now_ += seconds; }

private:
    double now_ = 0.0;
};

}  // namespace vorn::sim
