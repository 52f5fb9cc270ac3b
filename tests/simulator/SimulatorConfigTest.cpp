#include "simulator/SimulatorConfig.h"

#include <gtest/gtest.h>

namespace vorn::sim {
namespace {

TEST(SimulatorConfigTest, KeysAreReadInAnySectionWhateverTheirCase) {
    SimulatorConfig config;
    const auto unknown = ApplySimulatorConfig(
        "; measurement model\r\n[Model]\r\nsamplerate=44100\r\n  LEAKCUTOFFHZ = 250 ; corner\r\n"
        "[Analysis]\nFftSize=8192\n# speed for tests\nSpeed = 50\nColour = blue\n",
        config);
    EXPECT_DOUBLE_EQ(config.sampleRate, 44100);
    EXPECT_DOUBLE_EQ(config.leakCutoffHz, 250);
    EXPECT_EQ(config.fftSize, 8192);
    EXPECT_DOUBLE_EQ(config.speed, 50);
    EXPECT_EQ(unknown, (std::vector<std::string>{"colour"}));
}

TEST(SimulatorConfigTest, UnreadableOrOutOfRangeValuesKeepTheDefault) {
    SimulatorConfig config;
    ApplySimulatorConfig(
        "SampleRate = fast\nFftSize = 1000\nStimulusPeriod = 128\nLatencyMs = -1\nSpeed = 0\n"
        "NoiseDbfs = 3\nFullScaleSpl = inf\nLeakCutoffHz =\nNoEquals\n",
        config);
    const SimulatorConfig defaults;
    EXPECT_DOUBLE_EQ(config.sampleRate, defaults.sampleRate);
    EXPECT_EQ(config.fftSize, defaults.fftSize);
    EXPECT_EQ(config.stimulusPeriod, defaults.stimulusPeriod);
    EXPECT_DOUBLE_EQ(config.latencyMs, defaults.latencyMs);
    EXPECT_DOUBLE_EQ(config.speed, defaults.speed);
    EXPECT_DOUBLE_EQ(config.noiseDbfs, defaults.noiseDbfs);
    EXPECT_DOUBLE_EQ(config.fullScaleSpl, defaults.fullScaleSpl);
    EXPECT_DOUBLE_EQ(config.leakCutoffHz, defaults.leakCutoffHz);
}

TEST(SimulatorConfigTest, AMissingFileChangesNothing) {
    SimulatorConfig config;
    config.latencyMs = 7;
    EXPECT_FALSE(LoadSimulatorConfig("no/such/folder/CaptureData.cfg", config));
    EXPECT_DOUBLE_EQ(config.latencyMs, 7);
}

}  // namespace
}  // namespace vorn::sim
