#include "simulator/AnalyzerEngine.h"

#include "ModelCorwith.h"
#include "SimulatorSession.h"
#include "analyzer/AnalyzerCommands.h"
#include "app/CorwithNumber.h"
#include "simulator/EngineConnection.h"
#include "support/MessageRecorder.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <regex>
#include <vector>

namespace vorn::sim::test {
namespace {

constexpr const char* kNoiseFree =
    "[Model]\nSampleRate = 48000\nLeakCutoffHz = 100\nLatencyMs = 2.5\nFullScaleSpl = 120\n"
    "StimulusLevelDbfs = -12\n";

TEST(AnalyzerEngineTest, EveryCommandOfTheVocabularyIsAccepted) {
    SimulatorSession session(kNoiseFree);
    ASSERT_TRUE(session.Run(MinimizeWindowCommand()));
    session.Capture(3.0, false);
    session.Capture(3.0, true);
    session.Process(2.0);
    EXPECT_TRUE(session.Run(SetMarker1Command(30.0)));
    EXPECT_TRUE(session.Run(SetMarker2Command(150.0)));
    EXPECT_TRUE(session.engine.MinimizeRequested());
    for (const char* name : {"Test1.wav", "Test2.wav", "Merged.wav"})
        EXPECT_TRUE(std::filesystem::exists(session.root / "Output" / name)) << name;
}

TEST(AnalyzerEngineTest, MalformedAndUnknownCommandsAreRefused) {
    SimulatorSession session(kNoiseFree);
    for (const char* text : {"", "[]", "Record", "[Record", "Record]", "[record]", "[Record] ",
                             " [Record]", "[Recrod]", "[Set Input Device]", "[Set Input Device x]",
                             "[Set Delay abc]", "[Set Marker 3 30.000000]", "[Go To 2.0]",
                             "[Set Average Size 10]", "[File Save]", "[Launch Missiles]",
                             "[Set Input Device 1][Record]"}) {
        EXPECT_FALSE(session.Run(text)) << '"' << text << '"';
    }
}

TEST(AnalyzerEngineTest, CommandsWithNothingToWorkOnAreRefused) {
    SimulatorSession session(kNoiseFree);
    EXPECT_FALSE(session.Run(SaveTest1Command(session.folder)));   // nothing captured
    EXPECT_FALSE(session.Run(SaveMergedCommand(session.folder)));  // nothing merged
    EXPECT_FALSE(session.Run(FileMergeCommand(session.folder)));   // no files to merge
    EXPECT_FALSE(session.Run(RunCommand()));
    std::string reply;
    for (const char* item : {kTotalPowerItem, kDelayFinderItem, kMarkedSpectrumItem,
                             kMarkedPhaseItem, "Total power", "Spectrum", ""}) {
        EXPECT_FALSE(session.engine.Request(item, reply)) << item;
    }
}

TEST(AnalyzerEngineTest, ItemRepliesStartWithTheirNumber) {
    SimulatorSession session(kNoiseFree);
    session.Capture(2.0, false);
    EXPECT_TRUE(std::regex_match(session.Item(kTotalPowerItem), std::regex(R"(-?\d+\.\d{6} dB SPL)")));
    session.Capture(2.0, true);
    session.Process(1.5);
    EXPECT_TRUE(std::regex_match(session.Item(kDelayFinderItem), std::regex(R"(-?\d+\.\d{6} ms)")));
    EXPECT_TRUE(std::regex_match(session.Item(kCurrentTimeItem), std::regex(R"(\d+\.\d{6} s)")));
    ASSERT_TRUE(session.Run(SetMarker1Command(30.0)));
    ASSERT_TRUE(session.Run(SetMarker2Command(150.0)));
    const std::regex row(R"(\d+\.\d{6}\t-?\d+\.\d{6}\r\n)");
    for (const char* item : {kMarkedSpectrumItem, kMarkedPhaseItem}) {
        const std::string text = session.Item(item);
        ASSERT_FALSE(text.empty()) << item;
        std::size_t rows = 0;
        for (auto it = std::sregex_iterator(text.begin(), text.end(), row);
             it != std::sregex_iterator(); ++it)
            ++rows;
        EXPECT_EQ(std::regex_replace(text, row, ""), "") << item;
        // 30..150 Hz on a 48000/16384 Hz grid: bins 11 to 51.
        EXPECT_EQ(rows, 41u) << item;
    }
}

TEST(AnalyzerEngineTest, CurrentTimeRunsFromRunAtTheConfiguredSpeed) {
    SimulatorSession session(std::string(kNoiseFree) + "Speed = 4\n");
    session.Capture(1.0, false);
    session.Capture(1.0, true);
    ASSERT_TRUE(session.Run(LoadProcessConfigCommand(session.folder)));
    EXPECT_DOUBLE_EQ(session.Number(kCurrentTimeItem), 0.0);
    ASSERT_TRUE(session.Run(FileMergeCommand(session.folder)));
    ASSERT_TRUE(session.Run(RunCommand()));
    session.clock.Advance(1.25);
    EXPECT_NEAR(session.Number(kCurrentTimeItem), 5.0, 1e-6);
    ASSERT_TRUE(session.Run(StopCommand()));
    session.clock.Advance(3.0);
    EXPECT_NEAR(session.Number(kCurrentTimeItem), 5.0, 1e-6);  // frozen after Stop
}

TEST(AnalyzerEngineTest, TotalPowerIsTheCalibratedLevelOfTheCapture) {
    SimulatorSession session(kNoiseFree);
    session.Capture(4.0, false);
    // A -12 dBFS stimulus through the flat sealed object, 0 dBFS = 120 dB SPL.
    EXPECT_NEAR(session.Number(kTotalPowerItem), 108.0, 0.01);
    session.Capture(4.0, true);
    // The leak takes away the energy below its corner: a few hundredths of a dB here.
    const double open = session.Number(kTotalPowerItem);
    EXPECT_LT(open, 108.0);
    EXPECT_GT(open, 107.9);
}

TEST(AnalyzerEngineTest, DelayFinderReturnsTheConfiguredLatency) {
    for (const char* latency : {"2.5", "0", "17.3", "60"}) {
        SimulatorSession session(std::string(kNoiseFree) + "LatencyMs = " + latency + "\n");
        session.Capture(5.0, false);
        session.Capture(5.0, true);
        const double found = session.Process(4.0);
        EXPECT_NEAR(found, std::atof(latency), 1000.0 / 48000.0) << latency;
    }
}

TEST(AnalyzerEngineTest, DelayFinderHoldsUnderNoise) {
    SimulatorSession session(std::string(kNoiseFree) + "NoiseDbfs = -20\nLatencyMs = 8\n");
    session.Capture(5.0, false);
    session.Capture(5.0, true);
    EXPECT_NEAR(session.Process(4.0), 8.0, 1000.0 / 48000.0);
}

struct CorwithCase {
    const char* extraConfig;
    ModelParameters model;
    double low;
    double high;
};

TEST(AnalyzerEngineTest, CorwithNumberOfTheRowsMatchesTheModelsTransferFunction) {
    const CorwithCase cases[] = {
        {"", {}, 30, 150},
        {"LeakCutoffHz = 300\nOpenGainDb = -6\nSealedGainDb = -3\n", {48000, 16384, -3, -6, 300}, 30, 150},
        {"LeakCutoffHz = 50\nSampleRate = 44100\nFftSize = 8192\nStimulusPeriod = 8192\n",
         {44100, 8192, 0, 0, 50}, 100, 1000},
    };
    for (const CorwithCase& c : cases) {
        SimulatorSession session(std::string(kNoiseFree) + c.extraConfig);
        session.Capture(6.0, false);
        session.Capture(6.0, true);
        session.Process(5.0);
        vorn::test::MessageRecorder messages;
        EngineConnection connection(session.engine);
        ASSERT_TRUE(connection.Connect());
        const double simulated = ComputeCorwithNumber(connection, static_cast<float>(c.low),
                                                      static_cast<float>(c.high), 1.0f);
        EXPECT_TRUE(messages.messages.empty());
        const double expected = ModelCorwithNumber(c.model, c.low, c.high, 1.0);
        EXPECT_GT(expected, 0.05);
        EXPECT_NEAR(simulated, expected, 0.005 * expected) << c.extraConfig;
    }
}

}  // namespace
}  // namespace vorn::sim::test
