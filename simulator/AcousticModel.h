// The simulated measurement: a stimulus played through the test object and picked up
// by the analyzer's input.
//
//   sealed object: flat gain  Gs = 10^(SealedGainDb/20)
//   open object:   gain Go = 10^(OpenGainDb/20) times a first-order high-pass (the
//                  acoustic leak) with its -3 dB corner at LeakCutoffHz, made digital
//                  by the bilinear transform with prewarping:
//                    H(z) = Go (1 + a)/2 (1 - z^-1) / (1 - a z^-1),
//                    a = (1 - tan(pi fc/fs)) / (1 + tan(pi fc/fs))
//                  It leads in phase at low frequencies (90 degrees at DC).
//   open capture:  also LatencyMs later (rounded to whole samples) than the sealed one.
//   noise:         optional white Gaussian noise of NoiseDbfs RMS added to each capture.
//
// The stimulus loops from its first sample at "[Record]" and is taken as having
// played forever before, so every capture is in steady state from its first sample.
#pragma once

#include "simulator/SimulatorConfig.h"

#include <cstddef>
#include <vector>

namespace vorn::sim {

class AcousticModel {
public:
    explicit AcousticModel(const SimulatorConfig& config) : config_(config) {}

    // Periodic noise: every bin of one StimulusPeriod has the same magnitude and a
    // random phase (StimulusSeed), the whole scaled to StimulusLevelDbfs RMS. A frame
    // of that period therefore sees the object's transfer function exactly.
    std::vector<float> DefaultStimulus() const;

    // count samples of the stimulus at sampleRate through the sealed or open object.
    std::vector<float> Capture(const std::vector<float>& stimulus, double sampleRate,
                               std::size_t count, bool open) const;

    // Whole samples by which the open capture lags at sampleRate.
    long LatencySamples(double sampleRate) const;

private:
    SimulatorConfig config_;
};

}  // namespace vorn::sim
