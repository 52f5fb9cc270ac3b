#include "settings/SettingsValidation.h"
#include "support/MessageRecorder.h"

#include <gtest/gtest.h>

#include <cmath>

namespace vorn {
namespace {

TestSettings Settings(float duration, float start, float stop, float scale, float delay) {
    return {duration, start, stop, {}, scale, false, delay};
}

TEST(SettingsValidationTest, EachCheckHoldsItsBoundariesAndTheFirstFailureIsReported) {
    const float nan = std::nanf("");  // "nan" typed into a field
    const struct {
        float duration, start, stop, scale, delay;
        const char* expected;  // nullptr: accepted
    } rows[] = {
        {4.1f, 30, 150, 1, 10, nullptr},
        {360.0f, 1000, 10000, 0.1f, 0.1f, nullptr},
        {4.0f, 30, 150, 1, 10, kTestDurationRangeMessage},
        {360.1f, 30, 150, 1, 10, kTestDurationRangeMessage},
        {nan, 30, 150, 1, 10, kTestDurationRangeMessage},
        {10, 10, 150, 1, 10, kStartFrequencyMessage},
        {10, 30, 100, 1, 10, kStopFrequencyMessage},
        {10, 150, 150, 1, 10, kStartAboveStopMessage},
        {10, 30, 150, 0, 10, kScaleFactorMessage},
        {10, 5, 50, -2, 0, kStartFrequencyMessage},  // several fail: the first is named
    };
    for (const auto& r : rows) {
        const char* fault = SettingsFault(Settings(r.duration, r.start, r.stop, r.scale, r.delay));
        EXPECT_STREQ(fault ? fault : "accepted", r.expected ? r.expected : "accepted")
            << r.duration << " s, " << r.start << "-" << r.stop << " Hz, scale " << r.scale << ", delay " << r.delay;
    }
    test::MessageRecorder recorder;
    EXPECT_TRUE(ValidateSettings(Settings(10, 30, 150, 1, 10)));
    EXPECT_FALSE(ValidateSettings(Settings(10, 30, 150, 1, 0)));
    ASSERT_EQ(recorder.messages.size(), 1u);
    EXPECT_EQ(recorder.messages[0].caption, ApplicationTitle());
    EXPECT_EQ(recorder.messages[0].text, kStartDelayMessage);
    EXPECT_EQ(recorder.messages[0].icon, MessageIcon::Stop);
}

}  // namespace
}  // namespace vorn
