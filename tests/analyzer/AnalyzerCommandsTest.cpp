#include "analyzer/AnalyzerCommands.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <string>
#include <utility>
#include <vector>

namespace vorn {
namespace {

TEST(AnalyzerCommandsTest, ComposersWriteTheAnalyzersTexts) {
    const std::string f = "C:\\VORNData", stimulus = "C:\\VORNData\\Stimulus\\Probe Tone.wav";
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"[Minimize Window]", MinimizeWindowCommand()}, {"[File Close]", FileCloseCommand()},
        {"[Record]", RecordCommand()}, {"[Run]", RunCommand()}, {"[Stop]", StopCommand()},
        {"[Set Input Device 1]", SetInputDeviceCommand(0)}, {"[Set Output Device 3]", SetOutputDeviceCommand(2)},
        {"[Set Output Device 0]", SetOutputDeviceCommand(-1)}, {"[Go To 1.0]", GoToCommand()},
        {"[Open Total Power Utility]", OpenTotalPowerUtilityCommand()}, {"[Delay Finder 0.0]", DelayFinderCommand()},
        {"[Set Average Size 1000]", SetAverageSizeCommand()}, {"[Open DelayFinder]", OpenDelayFinderCommand()},
        {"[Set Generator Type User Defined]", SetGeneratorTypeUserDefinedCommand()},
        {"[Set Generator Wave File Left " + stimulus + "]", SetGeneratorWaveFileLeftCommand(stimulus)},
        {"[Load Config C:\\VORNData\\Config\\CaptureData.cfg]", LoadCaptureConfigCommand(f)},
        {"[Load Config C:\\VORNData\\Config\\ProcessData.cfg]", LoadProcessConfigCommand(f)},
        {"[File Merge C:\\VORNData\\Output\\Test1.wav C:\\VORNData\\Output\\Test2.wav]", FileMergeCommand(f)},
        {"[Set Delay -0.001250]", SetDelayCommand(-0.00125f)}, {"[Set Delay 0.000000]", SetDelayCommand(0.0)},
        {"[Close DelayFinder]", CloseDelayFinderCommand()}, {"[Set Left Overlay 1]", SetLeftOverlay1Command()},
        {"[File Save C:\\VORNData\\Output\\Test1.wav]", SaveTest1Command(f)},
        {"[File Save C:\\VORNData\\Output\\Test2.wav]", SaveTest2Command(f)},
        {"[File Save C:\\VORNData\\Output\\Merged.wav]", SaveMergedCommand(f)},
        {"[Set Left Overlay 2]", SetLeftOverlay2Command()}, {"[Set Marker 1 30.000000]", SetMarker1Command(30.0f)},
        {"[Set Marker 2 1234.567749]", SetMarker2Command(1234.5677f)},
    };
    for (const auto& [text, composed] : cases) EXPECT_EQ(composed, text);
}

// Every kind composed with a few arguments reads back as the same kind and argument,
// and composing what was read gives the same text.
TEST(AnalyzerCommandsTest, EveryComposedCommandReadsBack) {
    const std::vector<std::string> paths = {"C:\\VORNData", "D:\\My Data\\VORN", "C:\\VORNData\\", "x", " C:\\a.wav ",
                                            "\\\\server\\share\\50% done", "D:\\A B\\Output\\Test1.wav x"};
    for (int k = 0; k < kAnalyzerCommandCount; ++k) {
        const auto kind = static_cast<AnalyzerCommandKind>(k);
        const std::string pattern = AnalyzerCommandPattern(kind);
        for (const auto& path : paths)
            for (long long number : {0LL, 1LL, 7LL, -3LL, 2147483648LL})
                for (double value : {0.0, -0.0, 30.0, 19999.999999, -1e-9, 1e20, double{FLT_MAX}, double{0.1f}}) {
                    const std::string text = ComposeAnalyzerCommand(kind, path, number, value);
                    const auto parsed = ParseAnalyzerCommand(text);
                    ASSERT_TRUE(parsed) << text;
                    EXPECT_EQ(parsed->kind, kind) << text;
                    EXPECT_TRUE(pattern.find("%s") == std::string::npos || parsed->path == path) << text;
                    EXPECT_TRUE(pattern.find("%d") == std::string::npos || parsed->number == number) << text;
                    EXPECT_TRUE(pattern.find("%f") == std::string::npos || std::abs(parsed->value - value) <= 5e-7)
                        << text;
                    EXPECT_EQ(ComposeAnalyzerCommand(kind, parsed->path, parsed->number, parsed->value), text);
                }
    }
}

TEST(AnalyzerCommandsTest, AnythingElseIsRefused) {
    const char* refused[] = {
        "", "[", "]", "[]", "Record", "[Record", "Record]", "[record]", "[ Record]", "[Record ]", "[Record]\n",
        " [Record]", "[Record][Stop]", "[Launch Missiles]", "[File  Close]", "[Set Input Device]", "[Set Marker 1]",
        "[Set Input Device ]", "[Set Input Device x]", "[Set Input Device 1.0]", "[Set Input Device +1]",
        "[Set Input Device 01]", "[Set Input Device -0]", "[Set Input Device 1 ]", "[Set Input Device 1 2]",
        "[Set Input Device 99999999999999999999]", "[Set Marker 1 30]", "[Set Marker 1 30.0]", "[Set Marker 1 3e1]",
        "[Set Marker 1 30.0000000]", "[Set Marker 1 +30.000000]", "[Set Marker 1 030.000000]", "[Set Marker 1 inf]",
        "[Set Marker 1 .500000]", "[Set Marker 1 nan]", "[Set Marker 1 -inf]", "[Set Marker 3 30.000000]",
        "[Set Delay 0,500000]", "[Set Average Size 100]", "[Go To 2.0]", "[Delay Finder 0.00]",
        "[Set Left Overlay 3]", "[File Save C:\\VORNData\\Output\\Test3.wav]", "[File Save \\Output\\Test1.wav]",
        "[File Save C:\\VORNData]", "[Load Config C:\\VORNData\\Config\\Other.cfg]", "[Set Generator Wave File Left]",
        "[File Merge C:\\A\\Output\\Test1.wav C:\\B\\Output\\Test2.wav]", "[File Merge C:\\A\\Output\\Test1.wav]",
        "[File Merge C:\\A\\Output\\Test1.wav  C:\\A\\Output\\Test2.wav]", "[Set Generator Wave File Left ]",
        "[File Merge C:\\A\\Output\\Test2.wav C:\\A\\Output\\Test1.wav]",
        "[Set Generator Wave File Left C:\\a]b.wav]", "[Set Generator Wave File Left C:\\a[b.wav]",
    };
    for (const char* text : refused) EXPECT_FALSE(ParseAnalyzerCommand(text)) << '"' << text << '"';
    EXPECT_FALSE(ParseAnalyzerCommand(std::string("[Record]\0", 9)));
    EXPECT_FALSE(ParseAnalyzerCommand(std::string("[File Save C:\\\0\\Output\\Test1.wav]", 33)));
}

// A bracket in a path would end the command early and let the rest be read as a
// further command: a stimulus "C:\x] [File Close" would close the analyzer's file.
TEST(AnalyzerCommandsTest, PathsThatWouldSplitACommandAreUnsafe) {
    EXPECT_TRUE(IsCommandSafePath("C:\\VORNData"));
    EXPECT_TRUE(IsCommandSafePath("C:\\Program Files (x86)\\{VORN}\\50%"));
    for (const std::string path : {"", "C:\\Data [old]", "C:\\x] [File Close", "C:\\x["})
        EXPECT_FALSE(IsCommandSafePath(path)) << path;
    EXPECT_FALSE(IsCommandSafePath(std::string("C:\\x\0y", 6)));
    const std::string message = UnsafeCommandPathMessage("C:\\Data [old]");
    EXPECT_NE(message.find("\"C:\\Data [old]\""), std::string::npos) << message;
    EXPECT_EQ(message.find("%s"), std::string::npos);
}

TEST(AnalyzerCommandsTest, LongPathsHaveNoLengthLimit) {
    const std::string folder = "C:\\" + std::string(1997, 'd');
    const std::string merge = FileMergeCommand(folder);
    EXPECT_EQ(merge, "[File Merge " + folder + "\\Output\\Test1.wav " + folder + "\\Output\\Test2.wav]");
    const auto parsed = ParseAnalyzerCommand(merge);
    ASSERT_TRUE(parsed);
    EXPECT_EQ(parsed->path, folder);
    EXPECT_EQ(SetGeneratorWaveFileLeftCommand(folder + "\\s.wav"),
              "[Set Generator Wave File Left " + folder + "\\s.wav]");
    EXPECT_EQ(SetMarker1Command(1e300).size(), std::string("[Set Marker 1 ]").size() + 301 + 7);
}

}  // namespace
}  // namespace vorn
