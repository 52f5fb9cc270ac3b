#include "settings/SettingsStore.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
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
        return v.substr(0, capacity - 1);
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
    std::string stimulus = "left from before";
};

Loaded Load(const std::map<std::string, std::string>& values) {
    FakeSettingsFile file;
    file.values = values;
    Loaded l;
    LoadSettings(file, l.settings, l.stimulus);
    return l;
}

std::map<std::string, std::string> Saved(const Loaded& l) {
    FakeSettingsFile out;
    SaveSettings(out, l.settings, l.stimulus);
    return out.values;
}

TEST(SettingsStoreTest, MissingKeysGiveTheDefaultsAndAreWrittenInTheirForms) {
    const Loaded l = Load({});
    EXPECT_EQ(l.stimulus, "");
    EXPECT_EQ(Saved(l), (std::map<std::string, std::string>{
                            {"TestDuration", "10.000000"}, {"SpanStartFreq", "30.000000"},
                            {"SpanStopFreq", "150.000000"}, {"OutputFolder", "C:\\VORNData"},
                            {"AutoProcess", "0"}, {"AutoProcessDelay", "10.000000"},
                            {"CorwithNumberScaleFactor", "1.000000"}, {"StimulusFilename", ""},
                            {"ProbeFreq", "226.000000"}, {"ProbeLevelDBr", "-12.000000"},
                            {"InputDevIndex", "0"}, {"OutputDevIndex", "0"}, {"MinimizeAnalyzer", "0"},
                            {"KeepResults", "1"}, {"HistoryKeepWaves", "100"}, {"CorwithLimitLow", ""},
                            {"CorwithLimitHigh", ""}}));
}

TEST(SettingsStoreTest, ValuesConvertAsFarAsTheyRead) {
    const Loaded l = Load({{"TestDuration", "abc"}, {"SpanStartFreq", "  42.5Hz"}, {"AutoProcess", "2"},
                           {"MinimizeAnalyzer", "yes"}, {"InputDevIndex", "-1"}, {"OutputDevIndex", "99999999999"},
                           {"AutoProcessDelay", "1e39"}, {"SpanStopFreq", ""}, {"OutputFolder", ""}});
    EXPECT_EQ(l.settings.TestDuration, 0.0f);
    EXPECT_EQ(l.settings.SpanStartFreq, 42.5f);
    EXPECT_EQ(l.settings.SpanStopFreq, 0.0f);  // present but empty: 0, not the default
    EXPECT_STREQ(l.settings.OutputFolder, "");
    EXPECT_TRUE(l.settings.AutoProcess);
    EXPECT_FALSE(l.settings.MinimizeAnalyzer);
    EXPECT_EQ(l.settings.InputDevIndex, -1);
    EXPECT_EQ(l.settings.OutputDevIndex, INT32_MAX);  // saturates rather than wraps
    EXPECT_TRUE(std::isinf(l.settings.AutoProcessDelay));
    const auto out = Saved(l);
    EXPECT_EQ(out.at("AutoProcess"), "1");
    EXPECT_EQ(out.at("InputDevIndex"), "-1");
}

TEST(SettingsStoreTest, CorwithLimitsAreOptionalAndComeBackAsTheSameFloats) {
    const Loaded l = Load({{"CorwithLimitLow", " 1.1"}, {"CorwithLimitHigh", "abc"}, {"KeepResults", "0"}});
    EXPECT_EQ(l.settings.CorwithLimitLow, 1.1f);
    EXPECT_FALSE(l.settings.CorwithLimitHigh) << "no number, no limit (a 0 would fail every test)";
    EXPECT_FALSE(l.settings.KeepResults);
    EXPECT_FALSE(Load({{"CorwithLimitLow", "1e39"}}).settings.CorwithLimitLow);
    Loaded odd;
    odd.settings.CorwithLimitHigh = 1.0000001f;
    EXPECT_EQ(Load(Saved(odd)).settings.CorwithLimitHigh, 1.0000001f);
    EXPECT_EQ(Saved(l).at("CorwithLimitHigh"), "");
}

TEST(SettingsStoreTest, LongTextsAreCutToTheirFieldsAndHugeFloatsWrittenWhole) {
    Loaded l = Load({{"StimulusFilename", std::string(300, 's')}, {"OutputFolder", std::string(400, 'o')}});
    EXPECT_EQ(l.stimulus, std::string(255, 's'));
    EXPECT_EQ(std::string(l.settings.OutputFolder), std::string(259, 'o'));
    l.settings.TestDuration = 3.0e38f;
    const std::string written = Saved(l).at("TestDuration");
    EXPECT_EQ(written.size(), 46u);  // 39 digits, the point, 6 decimals
    EXPECT_EQ(std::strtof(written.c_str(), nullptr), 3.0e38f);
}

TEST(SettingsStoreTest, SaveWritesEveryKeyInOrder) {
    FakeSettingsFile out;
    const Loaded l = Load({});
    SaveSettings(out, l.settings, l.stimulus);
    EXPECT_EQ(out.written, (std::vector<std::string>{"TestDuration", "SpanStartFreq", "SpanStopFreq", "OutputFolder",
                                                     "AutoProcess", "AutoProcessDelay", "CorwithNumberScaleFactor",
                                                     "StimulusFilename", "ProbeFreq", "ProbeLevelDBr",
                                                     "InputDevIndex", "OutputDevIndex", "MinimizeAnalyzer",
                                                     "KeepResults", "HistoryKeepWaves", "CorwithLimitLow",
                                                     "CorwithLimitHigh"}));
}

TEST(IniPathTest, IsBesideTheExecutable) {
    EXPECT_EQ(BuildIniPath("C:\\Tools\\VORN.exe"), "C:\\Tools\\VORN.ini");
    EXPECT_EQ(BuildIniPath("VORN.exe"), "VORN.exe\\VORN.ini");      // no folder: the text whole
    EXPECT_EQ(BuildIniPath("\\VORN.exe"), "\\VORN.exe\\VORN.ini");  // the first character is not searched
}

}  // namespace
}  // namespace vorn
