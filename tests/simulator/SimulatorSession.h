// A measurement folder (Config, Output) in the temporary directory and an engine on a
// manual clock, running the program's command scripts as the program runs them.
#pragma once

#include "analyzer/AnalyzerCommands.h"
#include "analyzer/CommandScripts.h"
#include "simulator/AnalyzerEngine.h"
#include "support/ManualClock.h"
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

    // Runs one of the program's scripts with its pauses, then lets `seconds` pass.
    void Run(const CommandScript& script, double seconds = 0) {
        for (const ScriptStep& step : script) {
            EXPECT_TRUE(Run(step.command)) << step.command;
            clock.Advance(step.waitAfterMs / 1000.0);
        }
        clock.Advance(seconds);
    }
    void Capture(double seconds, bool open) {  // as the program's capture and its end run it
        Run(CaptureScript({folder, 0, 0, "none.wav", false}), seconds);
        Run(CommandScript{{StopCommand()}});
        Run(CaptureSaveScript(folder, open));
        Run(CaptureOverlayScript(open));
    }
    double Process(double seconds) {  // both passes; returns the delay the finder reported (ms)
        Run(ProcessingScript(folder, false), seconds);
        Run(DelaySearchEndScript());
        const float delay = static_cast<float>(Number(kDelayFinderItem));
        Run(AnalysisPassScript(delay), seconds);
        Run(CommandScript{{StopCommand()}});
        Run(AnalysisSaveScript(folder));
        return delay;
    }

    vorn::test::ScratchFolder scratch{"sim"};
    std::filesystem::path root;
    std::string folder;
    ManualClock clock;
    AnalyzerEngine engine;
};

}  // namespace vorn::sim::test
