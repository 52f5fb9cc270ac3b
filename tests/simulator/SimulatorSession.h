// A measurement folder (Config, Output) in the temporary directory and an engine on a
// manual clock, with the program's command scripts as one-liners.
#pragma once

#include "analyzer/AnalyzerCommands.h"
#include "simulator/AnalyzerEngine.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace vorn::sim::test {

class SimulatorSession {
public:
    explicit SimulatorSession(const std::string& captureCfg, const std::string& processCfg = "")
        : engine(clock) {
        static std::atomic<int> counter{0};
        root = std::filesystem::temp_directory_path() /
               ("vorn-sim-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
                "-" + std::to_string(counter++) + "-" + std::to_string(std::rand()));
        std::filesystem::create_directories(root / "Config");
        std::filesystem::create_directories(root / "Output");
        std::ofstream(root / "Config" / "CaptureData.cfg") << captureCfg;
        if (!processCfg.empty()) std::ofstream(root / "Config" / "ProcessData.cfg") << processCfg;
        folder = root.string();
    }
    ~SimulatorSession() {
        std::error_code ignored;
        std::filesystem::remove_all(root, ignored);
    }

    bool Run(const std::string& command) { return engine.Execute(command); }
    std::string Item(const char* item) {
        std::string reply;
        EXPECT_TRUE(engine.Request(item, reply)) << item;
        return reply;
    }
    double Number(const char* item) { return std::strtod(Item(item).c_str(), nullptr); }

    // One capture as the program's capture script and its end run it.
    void Capture(double seconds, bool second) {
        ASSERT_TRUE(Run(FileCloseCommand()));
        ASSERT_TRUE(Run(LoadCaptureConfigCommand(folder)));
        ASSERT_TRUE(Run(SetInputDeviceCommand(0)));
        ASSERT_TRUE(Run(SetOutputDeviceCommand(0)));
        ASSERT_TRUE(Run(OpenTotalPowerUtilityCommand()));
        ASSERT_TRUE(Run(SetAverageSizeCommand()));
        ASSERT_TRUE(Run(SetGeneratorTypeUserDefinedCommand()));
        ASSERT_TRUE(Run(SetGeneratorWaveFileLeftCommand(stimulus)));
        ASSERT_TRUE(Run(RecordCommand()));
        clock.Advance(seconds);
        ASSERT_TRUE(Run(StopCommand()));
        ASSERT_TRUE(Run(second ? SaveTest2Command(folder) : SaveTest1Command(folder)));
        ASSERT_TRUE(Run(second ? SetLeftOverlay2Command() : SetLeftOverlay1Command()));
    }
    // Both processing passes; returns the delay the finder reported (ms).
    double Process(double seconds) {
        EXPECT_TRUE(Run(LoadProcessConfigCommand(folder)));
        EXPECT_TRUE(Run(FileMergeCommand(folder)));
        EXPECT_TRUE(Run(DelayFinderCommand()));
        EXPECT_TRUE(Run(OpenDelayFinderCommand()));
        EXPECT_TRUE(Run(GoToCommand()));
        EXPECT_TRUE(Run(RunCommand()));
        clock.Advance(seconds);
        EXPECT_TRUE(Run(StopCommand()));
        const double delay = Number(kDelayFinderItem);
        EXPECT_TRUE(Run(SetDelayCommand(delay)));
        EXPECT_TRUE(Run(CloseDelayFinderCommand()));
        EXPECT_TRUE(Run(SetAverageSizeCommand()));
        EXPECT_TRUE(Run(GoToCommand()));
        EXPECT_TRUE(Run(RunCommand()));
        clock.Advance(seconds);
        EXPECT_TRUE(Run(StopCommand()));
        EXPECT_TRUE(Run(SaveMergedCommand(folder)));
        return delay;
    }

    std::filesystem::path root;
    std::string folder;
    std::string stimulus = "no such stimulus.wav";
    ManualClock clock;
    AnalyzerEngine engine;
};

}  // namespace vorn::sim::test
