#include "simulator/AnalyzerEngine.h"

#include "ModelCorwith.h"
#include "SimulatorSession.h"
#include "app/CorwithNumber.h"
#include "support/EngineConnection.h"
#include "support/MessageRecorder.h"

#include <gtest/gtest.h>

#include <regex>

namespace vorn::sim::test {
namespace {

using namespace std::string_literals;

constexpr const char* kNoiseFree =
    "[Model]\nSampleRate = 48000\nLeakCutoffHz = 100\nLatencyMs = 2.5\nFullScaleSpl = 120\nStimulusLevelDbfs = -12\n";

bool Matches(const std::string& text, const char* pattern) { return std::regex_match(text, std::regex(pattern)); }

// Malformed, unknown and premature commands and items are refused; the scripts run every other command.
TEST(AnalyzerEngineTest, OnlyTheVocabularyIsAcceptedAndItemsReplyInTheirFormats) {
    SimulatorSession session(kNoiseFree);
    for (const std::string& text : {""s, "[]"s, "[Record"s, "Record]"s, "[record]"s, "[Record] "s, " [Record]"s,
                                    "[Recrod]"s, "[Set Input Device]"s, "[Set Input Device x]"s, "[Set Delay abc]"s,
                                    "[Set Marker 3 30.000000]"s, "[Go To 2.0]"s, "[File Save]"s, "[Launch Missiles]"s,
                                    "[Set Input Device 1][Record]"s, SaveTest1Command(session.folder),
                                    SaveMergedCommand(session.folder), FileMergeCommand(session.folder), RunCommand()})
        EXPECT_FALSE(session.Run(text)) << '"' << text << '"';
    std::string reply;
    for (const char* it : {kTotalPowerItem, kDelayFinderItem, kMarkedSpectrumItem, kMarkedPhaseItem, "Total power", ""})
        EXPECT_FALSE(session.engine.Request(it, reply)) << it;
    ASSERT_TRUE(session.Run(MinimizeWindowCommand()));
    EXPECT_TRUE(session.engine.MinimizeRequested());
    session.Capture(4.0, false);
    EXPECT_TRUE(Matches(session.Item(kTotalPowerItem), R"(-?\d+\.\d{6} dB SPL)"));
    EXPECT_NEAR(session.Number(kTotalPowerItem), 108.0, 0.01);  // -12 dBFS sealed, 0 dBFS = 120 dB SPL
    session.Capture(4.0, true);
    session.Process(1.5);
    EXPECT_TRUE(Matches(session.Item(kDelayFinderItem), R"(-?\d+\.\d{6} ms)"));
    EXPECT_TRUE(Matches(session.Item(kCurrentTimeItem), R"(\d+\.\d{6} s)"));
    session.Script({SetMarker1Command(30.0), SetMarker2Command(150.0)});
    // 30..150 Hz on a 48000/16384 Hz grid: bins 11 to 51.
    for (const char* item : {kMarkedSpectrumItem, kMarkedPhaseItem})
        EXPECT_TRUE(Matches(session.Item(item), R"((\d+\.\d{6}\t-?\d+\.\d{6}\r\n){41})")) << item;
}

TEST(AnalyzerEngineTest, DelayFinderReturnsTheConfiguredLatencyWithinOneSample) {
    const std::pair<const char*, double> cases[] = {
        {"LatencyMs = 2.5\n", 2.5},
        {"LatencyMs = 0\n", 0},
        {"LatencyMs = 60\n", 60},
        {"NoiseDbfs = -20\nLatencyMs = 8\n", 8},
    };
    for (const auto& [config, latency] : cases) {
        SimulatorSession session(kNoiseFree + std::string(config));
        session.Capture(5.0, false);
        session.Capture(5.0, true);
        EXPECT_NEAR(session.Process(4.0), latency, 1000.0 / 48000.0) << config;
    }
}

TEST(AnalyzerEngineTest, CorwithNumberOfTheRowsMatchesTheModelsTransferFunction) {
    const struct { const char* config; ModelParameters model; float low, high; } cases[] = {
        {"", {}, 30, 150},
        {"LeakCutoffHz = 300\nOpenGainDb = -6\nSealedGainDb = -3\n", {48000, 16384, -3, -6, 300}, 30, 150},
        {"LeakCutoffHz = 50\nSampleRate = 44100\nFftSize = 8192\nStimulusPeriod = 8192\n", {44100, 8192, 0, 0, 50},
         100, 1000},
    };
    for (const auto& c : cases) {
        SimulatorSession session(kNoiseFree + std::string(c.config));
        session.Capture(6.0, false);
        session.Capture(6.0, true);
        session.Process(5.0);
        EngineConnection connection(session.engine);
        ASSERT_TRUE(connection.Connect());
        vorn::test::MessageRecorder messages;
        const double simulated = ComputeCorwithNumber(connection, c.low, c.high, 1.0f);
        EXPECT_TRUE(messages.messages.empty());
        const double expected = ModelCorwithNumber(c.model, c.low, c.high, 1.0);
        EXPECT_NEAR(simulated, expected, 0.005 * expected) << c.config;
    }
}

}  // namespace
}  // namespace vorn::sim::test
