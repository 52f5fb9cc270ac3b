// The store against Windows' own private-profile implementation.
#include "settings/SettingsStore.h"
#include "settings/win32/PrivateProfileFile.h"
#include "support/MessageRecorder.h"
#include "support/ScratchFolder.h"
#include "support/WinTestUtil.h"

#include <gtest/gtest.h>

#include <limits>

namespace vorn {
namespace {

using namespace std::string_literals;

class PrivateProfileFileTest : public testing::Test {
protected:
    void SetUp() override { path = scratch.File("VORN.ini"); }
    void Load() {
        PrivateProfileFile file(path);
        stimulus = "left from before";
        LoadSettings(file, settings, stimulus);
    }
    void Save() {
        PrivateProfileFile file(path);
        SaveSettings(file, settings, stimulus);
    }
    test::ScratchFolder scratch{"ini"};
    std::string path;
    TestSettings settings;
    std::string stimulus;
};

TEST_F(PrivateProfileFileTest, NoFileGivesDefaultsAndSavingCreatesTheSection) {
    Load();
    EXPECT_EQ(settings.TestDuration, 10.0f);
    EXPECT_STREQ(settings.OutputFolder, "C:\\VORNData");
    Save();
    const std::string ini = test::ReadWholeFile(path);
    EXPECT_EQ(ini.rfind("[Settings]\r\nTestDuration=10.000000\r\nSpanStartFreq=30.000000\r\n", 0), 0u) << ini;
    EXPECT_NE(ini.find("StimulusFilename=\r\nProbeFreq=226.000000\r\n"), std::string::npos) << ini;
    EXPECT_NE(ini.find("MinimizeAnalyzer=0\r\n"), std::string::npos) << ini;
}

TEST_F(PrivateProfileFileTest, SavingKeepsOtherSectionsAndKeys) {
    ASSERT_TRUE(test::WriteWholeFile(path, "[Other]\r\nA=1\r\n[Settings]\r\nTestDuration=10.0\r\nExtra=kept\r\n"));
    Load();
    Save();
    const std::string ini = test::ReadWholeFile(path);
    for (const char* part : {"[Other]\r\nA=1\r\n", "TestDuration=10.000000\r\n", "Extra=kept\r\n"})
        EXPECT_NE(ini.find(part), std::string::npos) << part << " in\n" << ini;
}

// Whatever bytes the file holds, loading gives values or defaults and never crashes.
TEST_F(PrivateProfileFileTest, DamagedFilesGiveValuesOrDefaults) {
    std::string junk;
    for (int i = 0; i < 5000; ++i) junk += static_cast<char>((i * 131 + 7) & 0xff);
    const std::string longLine(10000, '7');
    const float inf = std::numeric_limits<float>::infinity();
    const struct {
        std::string content;
        float duration;
        std::size_t stimulusLength;
    } cases[] = {
        {junk, 10.0f, 0},
        {junk + "\r\n[Settings]\r\nTestDuration=12.5\r\n", 12.5f, 0},
        // 255 sevens are a number beyond float's range
        {"[Settings]\r\nTestDuration=" + longLine + "\r\nStimulusFilename=" + longLine + "\r\n", inf, 255},
        {"[Settings]\r\n" + longLine + "=1\r\nTestDuration=11\r\n", 11.0f, 0},
        {"TestDuration=99\r\n", 10.0f, 0},                                      // no section
        {"[Settings]\r\nTestDuration=20\r\nTestDuration=30\r\n", 20.0f, 0},       // the first wins
        {"[Settings]\r\nStimulusFilename=ab\0cd\r\n"s, 10.0f, 2},  // a NUL ends the value
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.content.substr(0, 40));
        ASSERT_TRUE(test::WriteWholeFile(path, c.content));
        Load();
        EXPECT_EQ(settings.TestDuration, c.duration);
        EXPECT_EQ(stimulus.size(), c.stimulusLength);
        Save();  // and it can be written back over
    }
}

TEST_F(PrivateProfileFileTest, ReadOnlyFileIsSurvivedWithoutAMessage) {
    const std::string original = "[Settings]\r\nTestDuration=7.5\r\n";
    ASSERT_TRUE(test::WriteWholeFile(path, original));
    ASSERT_TRUE(SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY));
    Load();
    EXPECT_EQ(settings.TestDuration, 7.5f);
    settings.TestDuration = 20.0f;
    test::MessageRecorder recorder;
    Save();
    EXPECT_TRUE(recorder.messages.empty());
    // Wine maps the attribute to Unix permissions, which root may ignore: the platform
    // decides whether the write lands, but the file is never left half written.
    const std::string after = test::ReadWholeFile(path);
    if (after != original) {
        EXPECT_NE(after.find("TestDuration=20.000000\r\nSpanStartFreq="), std::string::npos);
    }
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
}

}  // namespace
}  // namespace vorn
