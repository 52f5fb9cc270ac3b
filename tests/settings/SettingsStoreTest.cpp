#include "settings/SettingsStore.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <map>
#include <string>
#include <vector>

namespace vorn {
namespace {

// An in-memory section that behaves like the private-profile API: a missing key gives
// the default, values are cut to capacity - 1, writes are logged in order.
class FakeSettingsFile final : public SettingsFile {
public:
    std::string GetString(const char* key, const char* defaultText, std::size_t capacity) override {
        auto it = values.find(key);
        std::string v = it == values.end() ? defaultText : it->second;
        if (v.size() > capacity - 1) v.resize(capacity - 1);
        return v;
    }
    void PutString(const char* key, const char* value) override {
        values[key] = value;
        written.emplace_back(key);
    }
    std::map<std::string, std::string> values;
    std::vector<std::string> written;
};

struct Loaded {
    TestSettings settings;
    char stimulus[kStimulusFilenameSize];
};

Loaded Load(FakeSettingsFile& file) {
    Loaded l;
    std::memset(l.stimulus, 'x', sizeof l.stimulus);
    LoadSettings(file, l.settings, l.stimulus);
    return l;
}

TEST(SettingsStoreTest, MissingKeysGiveTheDefaults) {
    FakeSettingsFile file;
    Loaded l = Load(file);
    EXPECT_FLOAT_EQ(l.settings.TestDuration, 10.0f);
    EXPECT_FLOAT_EQ(l.settings.SpanStartFreq, 30.0f);
    EXPECT_FLOAT_EQ(l.settings.SpanStopFreq, 150.0f);
    EXPECT_STREQ(l.settings.OutputFolder, "C:\\VORNData");
    EXPECT_FLOAT_EQ(l.settings.CorwithNumberScaleFactor, 1.0f);
    EXPECT_FALSE(l.settings.AutoProcess);
    EXPECT_FLOAT_EQ(l.settings.AutoProcessDelay, 10.0f);
    EXPECT_FLOAT_EQ(l.settings.ProbeFreq, 226.0f);
    EXPECT_FLOAT_EQ(l.settings.ProbeLevelDBr, -12.0f);
    EXPECT_EQ(l.settings.InputDevIndex, 0);
    EXPECT_EQ(l.settings.OutputDevIndex, 0);
    EXPECT_FALSE(l.settings.MinimizeAnalyzer);
    EXPECT_STREQ(l.stimulus, "");
}

TEST(SettingsStoreTest, ValuesConvertAsFarAsTheyRead) {
    FakeSettingsFile file;
    file.values = {{"TestDuration", "abc"},   {"SpanStartFreq", "  42.5Hz"}, {"AutoProcess", "2"},
                   {"MinimizeAnalyzer", "yes"}, {"InputDevIndex", "-1"},     {"OutputDevIndex", "99999999999"},
                   {"ProbeFreq", "1e3"},      {"AutoProcessDelay", "1e39"}};
    Loaded l = Load(file);
    EXPECT_EQ(l.settings.TestDuration, 0.0f);
    EXPECT_EQ(l.settings.SpanStartFreq, 42.5f);
    EXPECT_TRUE(l.settings.AutoProcess);
    EXPECT_FALSE(l.settings.MinimizeAnalyzer);
    EXPECT_EQ(l.settings.InputDevIndex, -1);
    EXPECT_EQ(l.settings.OutputDevIndex, INT32_MAX);
    EXPECT_EQ(l.settings.ProbeFreq, 1000.0f);
    EXPECT_TRUE(std::isinf(l.settings.AutoProcessDelay));
}

TEST(SettingsStoreTest, PresentButEmptyKeysReadAsZeroAndEmptyText) {
    FakeSettingsFile file;
    for (const char* k : {"TestDuration", "AutoProcess", "InputDevIndex", "OutputFolder", "StimulusFilename"})
        file.values[k] = "";
    Loaded l = Load(file);
    EXPECT_EQ(l.settings.TestDuration, 0.0f);
    EXPECT_FALSE(l.settings.AutoProcess);
    EXPECT_EQ(l.settings.InputDevIndex, 0);
    EXPECT_STREQ(l.settings.OutputFolder, "");
    EXPECT_STREQ(l.stimulus, "");
    EXPECT_FLOAT_EQ(l.settings.SpanStopFreq, 150.0f);  // absent keys still default
}

TEST(SettingsStoreTest, LongTextsAreCutToTheirFields) {
    FakeSettingsFile file;
    file.values["StimulusFilename"] = std::string(300, 's');
    file.values["OutputFolder"] = std::string(400, 'o');
    Loaded l = Load(file);
    EXPECT_EQ(std::string(l.stimulus), std::string(255, 's'));
    EXPECT_EQ(std::string(l.settings.OutputFolder), std::string(259, 'o'));
}

TEST(SettingsStoreTest, SaveWritesThirteenKeysInOrderAndFormat) {
    FakeSettingsFile file;
    file.values = {{"TestDuration", "10.0"}, {"AutoProcess", "2"}, {"InputDevIndex", "-1"},
                   {"StimulusFilename", "C:\\VORNData\\Stimulus\\Probe.wav"}};
    Loaded l = Load(file);
    FakeSettingsFile out;
    SaveSettings(out, l.settings, l.stimulus);
    const std::vector<std::string> order = {
        "TestDuration", "SpanStartFreq", "SpanStopFreq", "OutputFolder", "AutoProcess",
        "AutoProcessDelay", "CorwithNumberScaleFactor", "StimulusFilename", "ProbeFreq",
        "ProbeLevelDBr", "InputDevIndex", "OutputDevIndex", "MinimizeAnalyzer"};
    EXPECT_EQ(out.written, order);
    EXPECT_EQ(out.values["TestDuration"], "10.000000");
    EXPECT_EQ(out.values["SpanStopFreq"], "150.000000");
    EXPECT_EQ(out.values["AutoProcessDelay"], "10.000000");
    EXPECT_EQ(out.values["ProbeLevelDBr"], "-12.000000");
    EXPECT_EQ(out.values["AutoProcess"], "1");
    EXPECT_EQ(out.values["MinimizeAnalyzer"], "0");
    EXPECT_EQ(out.values["InputDevIndex"], "-1");
    EXPECT_EQ(out.values["OutputFolder"], "C:\\VORNData");
    EXPECT_EQ(out.values["StimulusFilename"], "C:\\VORNData\\Stimulus\\Probe.wav");

    // What was written reads back to the same record.
    Loaded again = Load(out);
    EXPECT_EQ(again.settings.InputDevIndex, -1);
    EXPECT_TRUE(again.settings.AutoProcess);
    EXPECT_STREQ(again.stimulus, l.stimulus);
}

TEST(SettingsStoreTest, HugeFloatsAreWrittenWhole) {
    TestSettings s{};
    s.TestDuration = 3.0e38f;
    char stimulus[kStimulusFilenameSize] = "";
    FakeSettingsFile out;
    SaveSettings(out, s, stimulus);
    EXPECT_EQ(out.values["TestDuration"].size(), 46u);  // 39 digits, point, 6 decimals
    EXPECT_FLOAT_EQ(std::strtof(out.values["TestDuration"].c_str(), nullptr), 3.0e38f);
}

TEST(IniPathTest, IsBesideTheExecutable) {
    EXPECT_EQ(BuildIniPath("C:\\Tools\\VORN.exe"), "C:\\Tools\\VORN.ini");
    EXPECT_EQ(BuildIniPath("Z:\\a\\b\\c\\VORN.exe"), "Z:\\a\\b\\c\\VORN.ini");
    EXPECT_EQ(BuildIniPath("VORN.exe"), "VORN.exe\\VORN.ini");    // no folder: the text whole
    EXPECT_EQ(BuildIniPath("\\VORN.exe"), "\\VORN.exe\\VORN.ini");  // a leading backslash is not searched
}

}  // namespace
}  // namespace vorn
