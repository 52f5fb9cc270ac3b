#include "simulator/AcousticModel.h"

#include "simulator/FrameTransform.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <random>

namespace vorn::sim {

std::vector<float> AcousticModel::DefaultStimulus() const {
    const std::size_t n = static_cast<std::size_t>(config_.stimulusPeriod);
    std::mt19937 random(config_.stimulusSeed);
    std::uniform_real_distribution<double> phase(-std::numbers::pi, std::numbers::pi);
    Bins bins(n / 2 + 1);
    for (std::size_t k = 1; k < n / 2; ++k) bins[k] = std::polar(1.0, phase(random));
    std::vector<double> frame = RealFrame(bins, n);

    double sum = 0;
    for (double v : frame) sum += v * v;
    const double rms = std::sqrt(sum / static_cast<double>(n));
    const double target = std::pow(10.0, config_.stimulusLevelDbfs / 20.0);
    std::vector<float> stimulus(n);
    for (std::size_t i = 0; i < n; ++i) stimulus[i] = static_cast<float>(frame[i] * target / rms);
    return stimulus;
}

long AcousticModel::LatencySamples(double sampleRate) const {
    return std::lround(config_.latencyMs * sampleRate / 1000.0);
}

std::vector<float> AcousticModel::Capture(const std::vector<float>& stimulus, double sampleRate,
                                          std::size_t count, bool open) const {
    std::vector<float> out(count, 0.0f);
    if (stimulus.empty() || count == 0) return out;
    const long period = static_cast<long>(stimulus.size());
    const long lag = open ? LatencySamples(sampleRate) : 0;
    auto played = [&](long n) {  // the stimulus sample heard at capture sample n
        long i = (n - lag) % period;
        if (i < 0) i += period;
        return static_cast<double>(stimulus[static_cast<std::size_t>(i)]);
    };

    if (!open || config_.leakCutoffHz <= 0.0) {
        const double gain = std::pow(10.0, (open ? config_.openGainDb : config_.sealedGainDb) / 20.0);
        for (std::size_t n = 0; n < count; ++n)
            out[n] = static_cast<float>(gain * played(static_cast<long>(n)));
    } else {
        const double gain = std::pow(10.0, config_.openGainDb / 20.0);
        const double t = std::tan(std::numbers::pi * config_.leakCutoffHz / sampleRate);
        const double a = (1 - t) / (1 + t);
        const double b = gain * (1 + a) / 2;
        // Settle the leak's memory on earlier periods so the capture starts in steady state.
        const double settle = 40.0 / (1 - a);  // samples for the leak's memory to fall below 1e-17
        const long warmUp = period * std::min(64L, 1 + static_cast<long>(settle / period));
        double previousIn = played(-warmUp - 1);
        double previousOut = 0;
        for (long n = -warmUp; n < static_cast<long>(count); ++n) {
            const double x = played(n);
            const double y = b * (x - previousIn) + a * previousOut;
            previousIn = x;
            previousOut = y;
            if (n >= 0) out[static_cast<std::size_t>(n)] = static_cast<float>(y);
        }
    }

    if (config_.noiseDbfs > -300.0) {
        std::mt19937 random(config_.noiseSeed + (open ? 1u : 0u));
        std::normal_distribution<double> noise(0.0, std::pow(10.0, config_.noiseDbfs / 20.0));
        for (float& v : out) v = static_cast<float>(v + noise(random));
    }
    return out;
}

}  // namespace vorn::sim
