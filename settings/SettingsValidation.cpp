#include "settings/SettingsValidation.h"

#include "common/MessageSink.h"

namespace vorn {

namespace {

struct Check {
    bool (*accepts)(const TestSettings&);
    const char* message;
};

constexpr Check kChecks[] = {
    {[](const TestSettings& s) { return s.TestDuration > 4.0f && s.TestDuration <= 360.0f; },
     kTestDurationRangeMessage},
    {[](const TestSettings& s) { return s.SpanStartFreq > 10.0f && s.SpanStartFreq <= 1000.0f; },
     kStartFrequencyMessage},
    {[](const TestSettings& s) { return s.SpanStopFreq > 100.0f && s.SpanStopFreq <= 10000.0f; },
     kStopFrequencyMessage},
    {[](const TestSettings& s) { return s.SpanStartFreq < s.SpanStopFreq; }, kStartAboveStopMessage},
    {[](const TestSettings& s) { return s.CorwithNumberScaleFactor > 0.0f; }, kScaleFactorMessage},
    {[](const TestSettings& s) { return s.AutoProcessDelay > 0.0f; }, kStartDelayMessage},
};

}  // namespace

const char* SettingsFault(const TestSettings& value) {
    for (const Check& check : kChecks)
        if (!check.accepts(value)) return check.message;
    return nullptr;
}

bool ValidateSettings(const TestSettings& value) {
    const char* fault = SettingsFault(value);
    if (fault) ShowMessage(ApplicationTitle(), fault, MessageIcon::Stop);
    return fault == nullptr;
}

}  // namespace vorn
