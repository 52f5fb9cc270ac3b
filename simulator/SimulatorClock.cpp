#include "simulator/SimulatorClock.h"

#include <chrono>

namespace vorn::sim {

double SteadyClock::Seconds() const {
    using namespace std::chrono;
    return duration<double>(steady_clock::now().time_since_epoch()).count();
}

}  // namespace vorn::sim
