// A measurement folder (Config, Output) in the temporary directory and an engine on a
// manual clock, running the program's command scripts as the program runs them.
#pragma once

#include "analyzer/AnalyzerCommands.h"
#include "simulator/AnalyzerEngine.h"
#include "support/ScratchFolder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace vorn::sim::test {

struct SimulatorSession {
    explicit SimulatorSession(const std::string& captureCfg) : root(scratch.path), engine(clock) {
        std::filesystem::create_directories(root / "Output");
        std::filesystem::create_directories(root / "Config");
        std::ofstream(root / "Config" / "CaptureData.cfg") << captureCfg;
        folder = root.string();
    }
    bool Run(const std::string& command) { return engine.Execute(command); }
    void Script(const std::vector<std::string>& commands, double seconds = 0) {  // then lets `seconds` pass
        for (const std::string& command : commands) EXPECT_TRUE(Run(command)) << command;
        clock.Advance(seconds);
    }
    std::string Item(const char* item) {
        std::string reply;
        EXPECT_TRUE(engine.Request(item, reply)) << item;
        return reply;
    }
    double Number(const char* item) { return std::strtod(Item(item).c_str(), nullptr); }

    void Capture(double seconds, bool second) {  // as the program's capture script and its end run it
        Script({FileCloseCommand(), LoadCaptureConfigCommand(folder), SetInputDeviceCommand(0),
                SetOutputDeviceCommand(0), OpenTotalPowerUtilityCommand(), SetAverageSizeCommand(),
                SetGeneratorTypeUserDefinedCommand(), SetGeneratorWaveFileLeftCommand("none.wav"), RecordCommand()},
               seconds);
        Script({StopCommand(), second ? SaveTest2Command(folder) : SaveTest1Command(folder),
                second ? SetLeftOverlay2Command() : SetLeftOverlay1Command()});
    }
    double Process(double seconds) {  // both passes; returns the delay the finder reported (ms)
        Script({LoadProcessConfigCommand(folder), FileMergeCommand(folder), DelayFinderCommand(),
                OpenDelayFinderCommand(), GoToCommand(), RunCommand()}, seconds);
        Script({StopCommand()});
        const double delay = Number(kDelayFinderItem);
        Script({SetDelayCommand(delay), CloseDelayFinderCommand(), SetAverageSizeCommand(), GoToCommand(),
                RunCommand()}, seconds);
        Script({StopCommand(), SaveMergedCommand(folder)});
        return delay;
    }

    vorn::test::ScratchFolder scratch{"sim"};
    std::filesystem::path root;
    std::string folder;
    ManualClock clock;
    AnalyzerEngine engine;
};

}  // namespace vorn::sim::test
