// The store against Windows' own private-profile implementation.
#include "settings/SettingsStore.h"
#include "settings/win32/PrivateProfileFile.h"
#include "support/MessageRecorder.h"
#include "support/WinTestUtil.h"

#include <gtest/gtest.h>

#include <cstring>
#include <limits>

namespace vorn {
namespace {

class PrivateProfileFileTest : public testing::Test {
protected:
    void SetUp() override {
        folder = test::MakeScratchFolder("ini");
        path = folder + "\\VORN.ini";
    }
    void Load() {
        PrivateProfileFile file(path);
        std::memset(stimulus, 'x', sizeof stimulus);
        LoadSettings(file, settings, stimulus);
    }
    void Save() {
        PrivateProfileFile file(path);
        SaveSettings(file, settings, stimulus);
    }
    std::string folder, path;
    TestSettings settings;
    char stimulus[kStimulusFilenameSize];
};

TEST_F(PrivateProfileFileTest, NoFileGivesDefaultsAndSavingCreatesAllKeys) {
    Load();
    EXPECT_EQ(settings.TestDuration, 10.0f);
    EXPECT_STREQ(settings.OutputFolder, "C:\\VORNData");
    EXPECT_STREQ(stimulus, "");
    Save();
    const std::string ini = test::ReadWholeFile(path);
    EXPECT_EQ(ini.rfind("[Settings]\r\n", 0), 0u) << ini;
    for (const char* line : {"TestDuration=10.000000", "SpanStartFreq=30.000000", "SpanStopFreq=150.000000",
                             "OutputFolder=C:\\VORNData", "AutoProcess=0", "AutoProcessDelay=10.000000",
                             "CorwithNumberScaleFactor=1.000000", "StimulusFilename=", "ProbeFreq=226.000000",
                             "ProbeLevelDBr=-12.000000", "InputDevIndex=0", "OutputDevIndex=0",
                             "MinimizeAnalyzer=0"})
        EXPECT_NE(ini.find(std::string(line) + "\r\n"), std::string::npos) << line << " in\n" << ini;
    EXPECT_LT(ini.find("TestDuration="), ini.find("MinimizeAnalyzer="));
}

TEST_F(PrivateProfileFileTest, SavingKeepsOtherSectionsAndKeys) {
    ASSERT_TRUE(test::WriteWholeFile(path, "[Other]\r\nA=1\r\n[Settings]\r\nTestDuration=10.0\r\nExtra=kept\r\n"));
    Load();
    Save();
    const std::string ini = test::ReadWholeFile(path);
    EXPECT_NE(ini.find("[Other]\r\nA=1\r\n"), std::string::npos) << ini;
    EXPECT_NE(ini.find("TestDuration=10.000000\r\n"), std::string::npos) << ini;
    EXPECT_NE(ini.find("Extra=kept\r\n"), std::string::npos) << ini;
}

// Whatever bytes the file holds, loading gives values or defaults and never crashes.
TEST_F(PrivateProfileFileTest, DamagedFilesGiveValuesOrDefaults) {
    std::string junk;
    for (int i = 0; i < 5000; ++i) junk += static_cast<char>((i * 131 + 7) & 0xff);
    const std::string longLine(10000, '7');
    struct Case {
        const char* name;
        std::string content;
        float duration;
        const char* stimulus;
    } cases[] = {
        {"binary junk", junk, 10.0f, ""},
        {"junk before the section", junk + "\r\n[Settings]\r\nTestDuration=12.5\r\n", 12.5f, ""},
        {"10000-character value", "[Settings]\r\nTestDuration=" + longLine + "\r\nStimulusFilename=" + longLine + "\r\n",
         // 255 characters of sevens: a huge number that a float holds as infinity
         std::numeric_limits<float>::infinity(), nullptr},
        {"10000-character key line", "[Settings]\r\n" + longLine + "=1\r\nTestDuration=11\r\n", 11.0f, ""},
        {"no section", "TestDuration=99\r\n", 10.0f, ""},
        {"duplicate keys", "[Settings]\r\nTestDuration=20\r\nTestDuration=30\r\n", 20.0f, ""},
        {"NUL inside a value", std::string("[Settings]\r\nStimulusFilename=ab\0cd\r\n", 38), 10.0f, "ab"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(test::WriteWholeFile(path, c.content));
        Load();
        EXPECT_EQ(settings.TestDuration, c.duration);
        if (c.stimulus) {
            EXPECT_STREQ(stimulus, c.stimulus);
        } else {
            EXPECT_EQ(std::strlen(stimulus), 255u);
        }
        Save();  // and it can be written back over
    }
}

TEST_F(PrivateProfileFileTest, ReadOnlyFileIsLeftAloneWithoutFuss) {
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
