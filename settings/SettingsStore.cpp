#include "settings/SettingsStore.h"

#include "common/Format.h"

#include <algorithm>
#include <charconv>
#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <cstring>

namespace vorn {

namespace {

constexpr std::size_t kNumberCapacity = 256;

enum class Kind { Float, Int, Bool, Folder, Stimulus, Limit };

// One row per key, in the order the keys are read and written. The key names, odd ones
// like "ProbeLevelDBr" too, are kept as the settings files on the test stations hold them.
struct Key {
    const char* name;
    Kind kind;
    const char* defaultText;
    float TestSettings::*floatField;
    std::int32_t TestSettings::*intField;
    bool TestSettings::*boolField;
    std::optional<float> TestSettings::*limitField = nullptr;
};

constexpr Key kKeys[] = {
    {"TestDuration", Kind::Float, "10.0", &TestSettings::TestDuration, nullptr, nullptr},
    {"SpanStartFreq", Kind::Float, "30.0", &TestSettings::SpanStartFreq, nullptr, nullptr},
    {"SpanStopFreq", Kind::Float, "150.0", &TestSettings::SpanStopFreq, nullptr, nullptr},
    {"OutputFolder", Kind::Folder, "C:\\VORNData", nullptr, nullptr, nullptr},
    {"AutoProcess", Kind::Bool, "0", nullptr, nullptr, &TestSettings::AutoProcess},
    {"AutoProcessDelay", Kind::Float, "10", &TestSettings::AutoProcessDelay, nullptr, nullptr},
    {"CorwithNumberScaleFactor", Kind::Float, "1.0", &TestSettings::CorwithNumberScaleFactor, nullptr, nullptr},
    {"StimulusFilename", Kind::Stimulus, "", nullptr, nullptr, nullptr},
    {"ProbeFreq", Kind::Float, "226.0", &TestSettings::ProbeFreq, nullptr, nullptr},
    {"ProbeLevelDBr", Kind::Float, "-12.0", &TestSettings::ProbeLevelDBr, nullptr, nullptr},
    {"InputDevIndex", Kind::Int, "0", nullptr, &TestSettings::InputDevIndex, nullptr},
    {"OutputDevIndex", Kind::Int, "0", nullptr, &TestSettings::OutputDevIndex, nullptr},
    {"MinimizeAnalyzer", Kind::Bool, "0", nullptr, nullptr, &TestSettings::MinimizeAnalyzer},
    {"KeepResults", Kind::Bool, "1", nullptr, nullptr, &TestSettings::KeepResults},
    {"HistoryKeepWaves", Kind::Int, "100", nullptr, &TestSettings::HistoryKeepWaves, nullptr},
    {"CorwithLimitLow", Kind::Limit, "", nullptr, nullptr, nullptr, &TestSettings::CorwithLimitLow},
    {"CorwithLimitHigh", Kind::Limit, "", nullptr, nullptr, nullptr, &TestSettings::CorwithLimitHigh},
};

std::int32_t ReadInt(const std::string& text) {
    // Out-of-range values saturate rather than wrap: an edited file can hold anything.
    errno = 0;
    long long v = std::strtoll(text.c_str(), nullptr, 10);
    if (v > INT32_MAX) return INT32_MAX;
    if (v < INT32_MIN) return INT32_MIN;
    return static_cast<std::int32_t>(v);
}

void CopyText(char* target, std::size_t size, const std::string& text) {
    std::size_t n = text.size() < size - 1 ? text.size() : size - 1;
    std::memcpy(target, text.data(), n);
    target[n] = '\0';
}

// A limit is a number or nothing: text that does not read as a finite number sets none,
// as a limit of 0 would fail or pass every test.
std::optional<float> ReadLimit(const std::string& text) {
    const std::size_t start = text.find_first_not_of(" \t");
    if (start == std::string::npos) return std::nullopt;
    char* end = nullptr;
    const double value = std::strtod(text.c_str() + start, &end);
    if (end == text.c_str() + start || !std::isfinite(static_cast<float>(value))) return std::nullopt;
    return static_cast<float>(value);
}

std::string LimitText(std::optional<float> limit) {
    if (!limit) return {};
    char text[32];
    const auto result = std::to_chars(text, text + sizeof text, *limit);
    return std::string(text, result.ptr);
}

}  // namespace

float ReadSettingFloat(const std::string& text) {
    // strtod reads the longest numeric prefix after white space and gives 0 without one;
    // values beyond float's range become infinities, as a float conversion does.
    return static_cast<float>(std::strtod(text.c_str(), nullptr));
}

std::string BuildIniPath(const std::string& executablePath) {
    std::string folder = executablePath;
    for (std::size_t i = folder.size(); i-- > 1;) {
        if (folder[i] == '\\') {
            folder.resize(i);
            break;
        }
    }
    return folder + "\\VORN.ini";
}

void LoadSettings(SettingsFile& file, TestSettings& settings, std::string& stimulus) {
    for (const Key& key : kKeys) {
        switch (key.kind) {
        case Kind::Float:
            settings.*key.floatField = ReadSettingFloat(file.GetString(key.name, key.defaultText, kNumberCapacity));
            break;
        case Kind::Int:
            settings.*key.intField = ReadInt(file.GetString(key.name, key.defaultText, kNumberCapacity));
            break;
        case Kind::Bool:
            settings.*key.boolField = ReadInt(file.GetString(key.name, key.defaultText, kNumberCapacity)) != 0;
            break;
        case Kind::Folder:
            CopyText(settings.OutputFolder, sizeof settings.OutputFolder,
                     file.GetString(key.name, key.defaultText, sizeof settings.OutputFolder));
            break;
        case Kind::Stimulus:
            stimulus = file.GetString(key.name, key.defaultText, kMaxStimulusPathChars + 1);
            stimulus.resize(std::min(stimulus.size(), kMaxStimulusPathChars));
            break;
        case Kind::Limit:
            settings.*key.limitField = ReadLimit(file.GetString(key.name, key.defaultText, kNumberCapacity));
            break;
        }
    }
}

void SaveSettings(SettingsFile& file, const TestSettings& settings, const std::string& stimulus) {
    for (const Key& key : kKeys) {
        std::string value;
        switch (key.kind) {
        case Kind::Float: value = Format("%f", static_cast<double>(settings.*key.floatField)); break;
        case Kind::Int: value = std::to_string(settings.*key.intField); break;
        case Kind::Bool: value = std::to_string((settings.*key.boolField) ? 1 : 0); break;
        case Kind::Folder:
            // Bounded by the field even if a caller left no NUL.
            value.assign(settings.OutputFolder, strnlen(settings.OutputFolder, sizeof settings.OutputFolder - 1));
            break;
        case Kind::Stimulus: value = stimulus.substr(0, kMaxStimulusPathChars); break;
        case Kind::Limit: value = LimitText(settings.*key.limitField); break;
        }
        file.PutString(key.name, value.c_str());
    }
}

TestSettings DefaultSettings() {
    // A settings file without any key: every value is its row's default.
    struct NoKeys final : SettingsFile {
        std::string GetString(const char*, const char* defaultText, std::size_t) override { return defaultText; }
        void PutString(const char*, const char*) override {}
    } none;
    TestSettings settings;
    std::string stimulus;
    LoadSettings(none, settings, stimulus);
    return settings;
}

}  // namespace vorn
