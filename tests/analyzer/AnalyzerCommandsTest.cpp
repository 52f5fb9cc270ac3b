#include "analyzer/AnalyzerCommands.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <climits>
#include <string>
#include <vector>

namespace vorn {
namespace {

const std::string kFolder = "C:\\VORNData";

struct Expected {
    std::string text;
    std::string composed;
};

TEST(AnalyzerCommandsTest, ComposersWriteTheAnalyzersTexts) {
    const std::vector<Expected> cases = {
        {"[Minimize Window]", MinimizeWindowCommand()},
        {"[File Close]", FileCloseCommand()},
        {"[Load Config C:\\VORNData\\Config\\CaptureData.cfg]", LoadCaptureConfigCommand(kFolder)},
        {"[Set Input Device 1]", SetInputDeviceCommand(0)},
        {"[Set Output Device 3]", SetOutputDeviceCommand(2)},
        {"[Set Output Device 0]", SetOutputDeviceCommand(-1)},
        {"[Open Total Power Utility]", OpenTotalPowerUtilityCommand()},
        {"[Set Average Size 1000]", SetAverageSizeCommand()},
        {"[Set Generator Type User Defined]", SetGeneratorTypeUserDefinedCommand()},
        {"[Set Generator Wave File Left C:\\VORNData\\Stimulus\\Probe Tone.wav]",
         SetGeneratorWaveFileLeftCommand("C:\\VORNData\\Stimulus\\Probe Tone.wav")},
        {"[Record]", RecordCommand()},
        {"[Load Config C:\\VORNData\\Config\\ProcessData.cfg]", LoadProcessConfigCommand(kFolder)},
        {"[File Merge C:\\VORNData\\Output\\Test1.wav C:\\VORNData\\Output\\Test2.wav]",
         FileMergeCommand(kFolder)},
        {"[Delay Finder 0.0]", DelayFinderCommand()},
        {"[Open DelayFinder]", OpenDelayFinderCommand()},
        {"[Go To 1.0]", GoToCommand()},
        {"[Run]", RunCommand()},
        {"[Stop]", StopCommand()},
        {"[Set Delay -0.001250]", SetDelayCommand(-0.00125f)},
        {"[Set Delay 0.000000]", SetDelayCommand(0.0)},
        {"[Close DelayFinder]", CloseDelayFinderCommand()},
        {"[File Save C:\\VORNData\\Output\\Test1.wav]", SaveTest1Command(kFolder)},
        {"[Set Left Overlay 1]", SetLeftOverlay1Command()},
        {"[File Save C:\\VORNData\\Output\\Test2.wav]", SaveTest2Command(kFolder)},
        {"[Set Left Overlay 2]", SetLeftOverlay2Command()},
        {"[File Save C:\\VORNData\\Output\\Merged.wav]", SaveMergedCommand(kFolder)},
        {"[Set Marker 1 30.000000]", SetMarker1Command(30.0f)},
        {"[Set Marker 2 1234.567749]", SetMarker2Command(1234.5677f)},
    };
    for (const auto& c : cases) EXPECT_EQ(c.composed, c.text);
}

// Every kind composed with a few argument values must read back as the same kind
// and argument, and composing what was read must give the same text.
TEST(AnalyzerCommandsTest, EveryComposedCommandReadsBack) {
    const std::vector<std::string> paths = {"C:\\VORNData", "D:\\My Data\\VORN", "C:\\VORNData\\",
                                            "\\\\server\\share\\50% done", "x"};
    const std::vector<long long> numbers = {0, 1, 7, -3, 2147483648LL};
    const std::vector<double> values = {0.0, -0.0, 30.0, 19999.999999, -1e-9, 1e20,
                                        static_cast<double>(FLT_MAX), 0.1f};
    int checked = 0;
    for (int k = 0; k < kAnalyzerCommandCount; ++k) {
        auto kind = static_cast<AnalyzerCommandKind>(k);
        for (const auto& path : paths)
            for (long long number : numbers)
                for (double value : values) {
                    std::string text = ComposeAnalyzerCommand(kind, path, number, value);
                    auto parsed = ParseAnalyzerCommand(text);
                    ASSERT_TRUE(parsed) << text;
                    EXPECT_EQ(parsed->kind, kind) << text;
                    EXPECT_EQ(ComposeAnalyzerCommand(parsed->kind, parsed->path, parsed->number,
                                                     parsed->value),
                              text);
                    ++checked;
                }
    }
    EXPECT_GT(checked, 0);
}

TEST(AnalyzerCommandsTest, ArgumentsAreReadBack) {
    auto merge = ParseAnalyzerCommand(FileMergeCommand("D:\\A B\\Output\\Test1.wav x"));
    ASSERT_TRUE(merge);
    EXPECT_EQ(merge->kind, AnalyzerCommandKind::FileMerge);
    EXPECT_EQ(merge->path, "D:\\A B\\Output\\Test1.wav x");

    auto device = ParseAnalyzerCommand("[Set Input Device 12]");
    ASSERT_TRUE(device);
    EXPECT_EQ(device->kind, AnalyzerCommandKind::SetInputDevice);
    EXPECT_EQ(device->number, 12);

    auto marker = ParseAnalyzerCommand("[Set Marker 2 20000.500000]");
    ASSERT_TRUE(marker);
    EXPECT_EQ(marker->kind, AnalyzerCommandKind::SetMarker2);
    EXPECT_EQ(marker->value, 20000.5);

    auto stimulus = ParseAnalyzerCommand("[Set Generator Wave File Left  C:\\a.wav ]");
    ASSERT_TRUE(stimulus);
    EXPECT_EQ(stimulus->path, " C:\\a.wav ");
}

TEST(AnalyzerCommandsTest, AnythingElseIsRefused) {
    const char* refused[] = {
        "",
        "[",
        "]",
        "[]",
        "Record",
        "[Record",
        "Record]",
        "[record]",
        "[ Record]",
        "[Record ]",
        "[Record]\n",
        " [Record]",
        "[Record][Stop]",
        "[Launch Missiles]",
        "[File  Close]",
        "[Set Input Device]",
        "[Set Input Device ]",
        "[Set Input Device x]",
        "[Set Input Device 1.0]",
        "[Set Input Device +1]",
        "[Set Input Device 01]",
        "[Set Input Device -0]",
        "[Set Input Device 1 ]",
        "[Set Input Device 1 2]",
        "[Set Input Device 99999999999999999999]",
        "[Set Marker 1]",
        "[Set Marker 1 30]",
        "[Set Marker 1 30.0]",
        "[Set Marker 1 30.0000000]",
        "[Set Marker 1 3e1]",
        "[Set Marker 1 +30.000000]",
        "[Set Marker 1 030.000000]",
        "[Set Marker 1 .500000]",
        "[Set Marker 1 inf]",
        "[Set Marker 1 nan]",
        "[Set Marker 1 -inf]",
        "[Set Marker 3 30.000000]",
        "[Set Delay 0,500000]",
        "[Set Average Size 100]",
        "[Go To 2.0]",
        "[Delay Finder 0.00]",
        "[Set Left Overlay 3]",
        "[File Save C:\\VORNData\\Output\\Test3.wav]",
        "[File Save \\Output\\Test1.wav]",
        "[File Save C:\\VORNData]",
        "[Load Config C:\\VORNData\\Config\\Other.cfg]",
        "[File Merge C:\\A\\Output\\Test1.wav C:\\B\\Output\\Test2.wav]",
        "[File Merge C:\\A\\Output\\Test1.wav  C:\\A\\Output\\Test2.wav]",
        "[File Merge C:\\A\\Output\\Test2.wav C:\\A\\Output\\Test1.wav]",
        "[File Merge C:\\A\\Output\\Test1.wav]",
        "[Set Generator Wave File Left ]",
        "[Set Generator Wave File Left]",
        "[Set Generator Wave File Left C:\\a]b.wav]",
        "[Set Generator Wave File Left C:\\a[b.wav]",
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
    EXPECT_FALSE(IsCommandSafePath(""));
    EXPECT_FALSE(IsCommandSafePath("C:\\Data [old]"));
    EXPECT_FALSE(IsCommandSafePath("C:\\x] [File Close"));
    EXPECT_FALSE(IsCommandSafePath("C:\\x["));
    EXPECT_FALSE(IsCommandSafePath(std::string("C:\\x\0y", 6)));

    std::string message = UnsafeCommandPathMessage("C:\\Data [old]");
    EXPECT_NE(message.find("\"C:\\Data [old]\""), std::string::npos) << message;
    EXPECT_EQ(message.find("%s"), std::string::npos);
}

TEST(AnalyzerCommandsTest, LongPathsHaveNoLengthLimit) {
    std::string folder = "C:\\" + std::string(1997, 'd');
    ASSERT_EQ(folder.size(), 2000u);
    std::string merge = FileMergeCommand(folder);
    EXPECT_EQ(merge, "[File Merge " + folder + "\\Output\\Test1.wav " + folder + "\\Output\\Test2.wav]");
    auto parsed = ParseAnalyzerCommand(merge);
    ASSERT_TRUE(parsed);
    EXPECT_EQ(parsed->path, folder);

    std::string stimulus = SetGeneratorWaveFileLeftCommand(folder + "\\s.wav");
    EXPECT_EQ(stimulus, "[Set Generator Wave File Left " + folder + "\\s.wav]");

    EXPECT_EQ(SetMarker1Command(1e300).size(), std::string("[Set Marker 1 ]").size() + 301 + 7);
}

}  // namespace
}  // namespace vorn
