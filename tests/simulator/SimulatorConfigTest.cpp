#include "simulator/SimulatorConfig.h"

#include <gtest/gtest.h>

namespace vorn::sim {
namespace {

// Keys match in any section and case; a later unreadable or out-of-range value leaves the earlier one.
TEST(SimulatorConfigTest, KeysAreReadAnywhereAndBadValuesAreSkipped) {
    SimulatorConfig c;
    const auto unknown = ApplySimulatorConfig(
        "; model\r\n[Model]\r\nsamplerate=44100\r\n  LEAKCUTOFFHZ = 250 ; corner\r\n[Analysis]\nFftSize=8192\n# x\n"
        "Speed = 50\nColour = blue\nSampleRate = fast\nFftSize = 1000\nLeakCutoffHz =\nSpeed = 0\n"
        "StimulusPeriod = 128\nLatencyMs = -1\nNoiseDbfs = 3\nFullScaleSpl = inf\nNoEquals\n", c);
    const SimulatorConfig d;
    EXPECT_EQ(std::tuple(c.sampleRate, c.leakCutoffHz, c.fftSize, c.speed), std::tuple(44100.0, 250.0, 8192, 50.0));
    EXPECT_EQ(std::tuple(c.stimulusPeriod, c.latencyMs, c.noiseDbfs, c.fullScaleSpl),
              std::tuple(d.stimulusPeriod, d.latencyMs, d.noiseDbfs, d.fullScaleSpl));
    EXPECT_EQ(unknown, std::vector<std::string>{"colour"});
    EXPECT_FALSE(LoadSimulatorConfig("no/such/folder/CaptureData.cfg", c));
    EXPECT_EQ(c.speed, 50.0);  // a missing file changes nothing
}

}  // namespace
}  // namespace vorn::sim
