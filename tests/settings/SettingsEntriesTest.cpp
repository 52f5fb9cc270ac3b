#include "settings/SettingsEntries.h"
#include "settings/SettingsStore.h"

#include <gtest/gtest.h>

#include <cstring>
#include <map>

namespace vorn {
namespace {

TestSettings Record() {
    TestSettings s;
    s.TestDuration = 10.0f, s.SpanStartFreq = 30.0f, s.SpanStopFreq = 150.0f;
    std::strcpy(s.OutputFolder, "C:\\VORNData");
    s.CorwithNumberScaleFactor = 1.26f, s.AutoProcess = true, s.AutoProcessDelay = 2.5f;
    s.ProbeFreq = 226.0f, s.ProbeLevelDBr = -12.0f, s.InputDevIndex = 2, s.OutputDevIndex = 1;
    return s;
}

TEST(SettingsEntriesTest, FieldsShowOneDecimalAndOkStoresWhatTheyShow) {
    const SettingsEntries shown = ShownEntries(Record());
    EXPECT_EQ(shown.testDuration, "  10.0");
    EXPECT_EQ(shown.scaleFactor, "   1.3");
    EXPECT_EQ(shown.outputFolder, "C:\\VORNData");
    TestSettings record = Record();
    record.ProbeFreq = 1000.0f;  // the probe tool may have stored new values meanwhile
    const TestSettings s = AcceptedSettings(record, shown);
    EXPECT_EQ(s.TestDuration, 10.0f);
    EXPECT_EQ(s.CorwithNumberScaleFactor, 1.3f);
    EXPECT_EQ(s.AutoProcessDelay, 2.5f);
    EXPECT_TRUE(s.AutoProcess);
    EXPECT_EQ(s.InputDevIndex, 2);
    EXPECT_EQ(s.ProbeFreq, 1000.0f);
}

TEST(SettingsEntriesTest, EntriesAreReadAsFarAsTheyReadWithinTheirLengths) {
    SettingsEntries e = ShownEntries(Record());
    e.testDuration = std::string(38, '0') + "12";  // only the first 39 characters count
    e.spanStartFreq = "abc";
    e.spanStopFreq = " 2e3Hz";
    e.outputFolder = std::string(300, 'f');
    const TestSettings s = AcceptedSettings(Record(), e);
    EXPECT_EQ(s.TestDuration, 1.0f);
    EXPECT_EQ(s.SpanStartFreq, 0.0f);
    EXPECT_EQ(s.SpanStopFreq, 2000.0f);
    EXPECT_EQ(std::string(s.OutputFolder), std::string(259, 'f'));
}

// A settings file with no keys that records what is written to it.
class EmptyFile final : public SettingsFile {
public:
    std::string GetString(const char*, const char* defaultText, std::size_t) override { return defaultText; }
    void PutString(const char* key, const char* value) override { written[key] = value; }
    std::map<std::string, std::string> written;
};

TEST(SettingsEntriesTest, DefaultsAreTheStoresDefaultsAndKeepTheFolder) {
    TestSettings fresh;
    char stimulus[kStimulusFilenameSize];
    EmptyFile none, expected, actual;
    LoadSettings(none, fresh, stimulus);
    TestSettings record = Record();
    record.MinimizeAnalyzer = true;
    SettingsEntries e = ShownEntries(record);
    ResetToDefaults(e);
    TestSettings s = AcceptedSettings(record, e);
    EXPECT_STREQ(s.OutputFolder, "C:\\VORNData");
    std::strcpy(s.OutputFolder, fresh.OutputFolder);
    s.ProbeFreq = fresh.ProbeFreq, s.ProbeLevelDBr = fresh.ProbeLevelDBr;
    SaveSettings(expected, fresh, stimulus);
    SaveSettings(actual, s, stimulus);
    EXPECT_EQ(actual.written, expected.written) << "every other field as the store's defaults";
}

}  // namespace
}  // namespace vorn
