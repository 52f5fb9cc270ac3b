#include "analyzer/AnalyzerCommands.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <string>
#include <vector>

namespace vorn {
namespace {

// Every kind with a few arguments reads back as the same kind, argument and text. (The
// texts themselves are pinned where they are sent: the sequence's and the result's logs.)
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
        "[File Merge C:\\A\\Output\\Test1.wav  C:\\A\\Output\\Test2.wav]", "[Set Generator Wave File Left C:\\a]b.wav]",
        "[File Merge C:\\A\\Output\\Test1.wav C:\\B\\Output\\Test2.wav]", "[File Save C:\\VORNData\\Output\\Test3.wav]",
        "[File Merge C:\\A\\Output\\Test2.wav C:\\A\\Output\\Test1.wav]", "[Set Generator Wave File Left C:\\a[b.wav]",
        "[Load Config C:\\VORNData\\Config\\Other.cfg]", "[Set Input Device 99999999999999999999]", "[Launch Missiles]",
        "[File Merge C:\\A\\Output\\Test1.wav]", "[File Save \\Output\\Test1.wav]", "[Set Generator Wave File Left ]",
        "[Set Generator Wave File Left]", "[Set Marker 1 30.0000000]", "[Set Marker 1 +30.000000]", "[Set Marker 1 30]",
        "[Set Marker 1 030.000000]", "[Set Marker 3 30.000000]", "[File Save C:\\VORNData]", "[Set Input Device 1.0]",
        "[Set Input Device 1 2]", "[Set Marker 1 .500000]", "[Set Average Size 100]", "[Set Input Device +1]", "Record",
        "[Set Input Device 01]", "[Set Input Device -0]", "[Set Input Device 1 ]", "[Set Input Device x]", "[Record]\n",
        "[Set Delay 0,500000]", "[Set Left Overlay 3]", "[Set Input Device ]", "[Set Marker 1 30.0]", "[Record][Stop]",
        "[Set Marker 1 -inf]", "[Delay Finder 0.00]", "[Set Input Device]", "[Set Marker 1 3e1]", "[Set Marker 1 inf]",
        "[Set Marker 1 nan]", "[Set Marker 1]", "[File  Close]", "[Go To 2.0]", "[ Record]", "[Record ]", " [Record]",
        "[record]", "[Record", "Record]", "[]", "[", "]", "",
    };
    for (const char* text : refused) EXPECT_FALSE(ParseAnalyzerCommand(text)) << '"' << text << '"';
    EXPECT_FALSE(ParseAnalyzerCommand(std::string("[Record]\0", 9)));
    EXPECT_FALSE(ParseAnalyzerCommand(std::string("[File Save C:\\\0\\Output\\Test1.wav]", 33)));
}

// A bracket would end the command early: a stimulus "C:\x] [File Close" would close the file.
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
    EXPECT_EQ(ParseAnalyzerCommand(merge).value_or(ParsedCommand{}).path, folder);
    EXPECT_EQ(SetMarker1Command(1e300).size(), std::string("[Set Marker 1 ]").size() + 301 + 7);
}

}  // namespace
}  // namespace vorn
