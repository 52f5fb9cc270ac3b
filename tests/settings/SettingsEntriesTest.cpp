#include "settings/SettingsEntries.h"
#include "settings/SettingsStore.h"

#include <gtest/gtest.h>

#include <cstring>

namespace vorn {
namespace {

TestSettings Record() {
    TestSettings s;
    s.TestDuration = 10.0f;
    s.SpanStartFreq = 30.0f;
    s.SpanStopFreq = 150.0f;
    std::strcpy(s.OutputFolder, "C:\\VORNData");
    s.CorwithNumberScaleFactor = 1.26f;
    s.AutoProcess = true;
    s.AutoProcessDelay = 2.5f;
    s.ProbeFreq = 226.0f;
    s.ProbeLevelDBr = -12.0f;
    s.InputDevIndex = 2;
    s.OutputDevIndex = 1;
    return s;
}

TEST(SettingsEntriesTest, FieldsShowOneDecimalAndOkStoresWhatTheyShow) {
    const SettingsEntries shown = ShownEntries(Record());
    EXPECT_EQ(shown.testDuration, "  10.0");
    EXPECT_EQ(shown.scaleFactor, "   1.3");
    EXPECT_EQ(shown.autoProcessDelay, "   2.5");
    EXPECT_EQ(shown.outputFolder, "C:\\VORNData");

    TestSettings record = Record();
    record.ProbeFreq = 1000.0f;  // the probe tool may have stored new values meanwhile
    const TestSettings accepted = AcceptedSettings(record, shown);
    EXPECT_EQ(accepted.TestDuration, 10.0f);
    EXPECT_EQ(accepted.CorwithNumberScaleFactor, 1.3f);
    EXPECT_EQ(accepted.AutoProcessDelay, 2.5f);
    EXPECT_STREQ(accepted.OutputFolder, "C:\\VORNData");
    EXPECT_TRUE(accepted.AutoProcess);
    EXPECT_EQ(accepted.InputDevIndex, 2);
    EXPECT_EQ(accepted.ProbeFreq, 1000.0f);
    EXPECT_EQ(accepted.ProbeLevelDBr, -12.0f);
}

TEST(SettingsEntriesTest, EntriesAreReadAsFarAsTheyReadWithinTheirLengths) {
    SettingsEntries e = ShownEntries(Record());
    e.testDuration = std::string(38, '0') + "12";  // only the first 39 characters count
    e.spanStartFreq = "abc";
    e.spanStopFreq = " 2e3Hz";
    e.outputFolder = std::string(300, 'f');
    e.inputDevice = -1;
    const TestSettings s = AcceptedSettings(Record(), e);
    EXPECT_EQ(s.TestDuration, 1.0f);
    EXPECT_EQ(s.SpanStartFreq, 0.0f);
    EXPECT_EQ(s.SpanStopFreq, 2000.0f);
    EXPECT_EQ(std::string(s.OutputFolder), std::string(259, 'f'));
    EXPECT_EQ(s.InputDevIndex, -1);
}

// Defaults must agree with what the store gives when VORN.ini has no keys.
class NoKeys final : public SettingsFile {
public:
    std::string GetString(const char*, const char* defaultText, std::size_t) override { return defaultText; }
    void PutString(const char*, const char*) override {}
};

TEST(SettingsEntriesTest, DefaultsAreTheStoresDefaultsAndKeepTheFolder) {
    NoKeys none;
    TestSettings fresh;
    char stimulus[kStimulusFilenameSize];
    LoadSettings(none, fresh, stimulus);

    TestSettings record = Record();
    record.MinimizeAnalyzer = true;
    std::strcpy(record.OutputFolder, "D:\\Elsewhere");
    SettingsEntries e = ShownEntries(record);
    ResetToDefaults(e);
    const TestSettings s = AcceptedSettings(record, e);
    EXPECT_EQ(s.TestDuration, fresh.TestDuration);
    EXPECT_EQ(s.SpanStartFreq, fresh.SpanStartFreq);
    EXPECT_EQ(s.SpanStopFreq, fresh.SpanStopFreq);
    EXPECT_EQ(s.CorwithNumberScaleFactor, fresh.CorwithNumberScaleFactor);
    EXPECT_EQ(s.AutoProcess, fresh.AutoProcess);
    EXPECT_EQ(s.AutoProcessDelay, fresh.AutoProcessDelay);
    EXPECT_EQ(s.InputDevIndex, fresh.InputDevIndex);
    EXPECT_EQ(s.OutputDevIndex, fresh.OutputDevIndex);
    EXPECT_EQ(s.MinimizeAnalyzer, fresh.MinimizeAnalyzer);
    EXPECT_STREQ(s.OutputFolder, "D:\\Elsewhere");
}

}  // namespace
}  // namespace vorn
