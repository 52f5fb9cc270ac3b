#include "settings/SettingsEntries.h"
#include "settings/SettingsStore.h"

#include <gtest/gtest.h>

#include <cstring>
#include <map>

namespace vorn {
namespace {

struct EmptyFile final : SettingsFile {  // no keys; records what is written
    std::string GetString(const char*, const char* defaultText, std::size_t) override { return defaultText; }
    void PutString(const char* key, const char* value) override { written[key] = value; }
    std::map<std::string, std::string> written;
};

TEST(SettingsEntriesTest, EntriesAreReadAsFarAsTheyReadWithinTheirLengths) {
    TestSettings record;
    record.ProbeFreq = 1000.0f;
    SettingsEntries e = ShownEntries(record);
    e.testDuration = std::string(38, '0') + "12";  // only the first 39 characters count
    e.spanStartFreq = "abc";
    e.spanStopFreq = " 2e3Hz";
    e.outputFolder = std::string(300, 'f');
    const TestSettings s = AcceptedSettings(record, e);
    EXPECT_EQ(s.TestDuration, 1.0f);
    EXPECT_EQ(s.SpanStartFreq, 0.0f);
    EXPECT_EQ(s.SpanStopFreq, 2000.0f);
    EXPECT_EQ(std::string(s.OutputFolder), std::string(259, 'f'));
    EXPECT_EQ(s.ProbeFreq, 1000.0f);  // as the record holds it
}

TEST(SettingsEntriesTest, DefaultsAreTheStoresDefaultsAndKeepTheFolder) {
    TestSettings fresh, record;
    std::string stimulus;
    EmptyFile none, expected, actual;
    LoadSettings(none, fresh, stimulus);
    record.AutoProcess = record.MinimizeAnalyzer = true, record.InputDevIndex = -1;
    std::strcpy(record.OutputFolder, "D:\\Data");
    SettingsEntries e = ShownEntries(record);
    ResetToDefaults(e);
    EXPECT_EQ(e.testDuration, "10.0") << "shown without the padding of the record's texts";
    TestSettings s = AcceptedSettings(fresh, e);
    EXPECT_STREQ(s.OutputFolder, "D:\\Data");
    std::strcpy(s.OutputFolder, fresh.OutputFolder);  // the only field Defaults leaves
    SaveSettings(expected, fresh, stimulus);
    SaveSettings(actual, s, stimulus);
    EXPECT_EQ(actual.written, expected.written) << "every other field as the store's defaults";
}

}  // namespace
}  // namespace vorn
