#include "settings/SettingsValidation.h"
#include "support/MessageRecorder.h"

#include <gtest/gtest.h>

#include <cmath>

namespace vorn {
namespace {

struct Row {
    float duration, start, stop, scale, delay;
    const char* expected;  // nullptr: accepted
};

TestSettings Settings(const Row& r) {
    TestSettings s;
    s.TestDuration = r.duration;
    s.SpanStartFreq = r.start;
    s.SpanStopFreq = r.stop;
    s.CorwithNumberScaleFactor = r.scale;
    s.AutoProcessDelay = r.delay;
    return s;
}

TEST(SettingsValidationTest, EachCheckHoldsItsBoundariesAndTheFirstFailureIsReported) {
    const float nan = std::nanf("");
    const Row rows[] = {
        {10.0f, 30.0f, 150.0f, 1.0f, 10.0f, nullptr},
        {4.0f, 30.0f, 150.0f, 1.0f, 10.0f, kTestDurationRangeMessage},
        {4.1f, 30.0f, 150.0f, 1.0f, 10.0f, nullptr},
        {360.0f, 30.0f, 150.0f, 1.0f, 10.0f, nullptr},
        {360.1f, 30.0f, 150.0f, 1.0f, 10.0f, kTestDurationRangeMessage},
        {nan, 30.0f, 150.0f, 1.0f, 10.0f, kTestDurationRangeMessage},
        {10.0f, 10.0f, 150.0f, 1.0f, 10.0f, kStartFrequencyMessage},
        {10.0f, 1000.0f, 2000.0f, 1.0f, 10.0f, nullptr},
        {10.0f, 1000.1f, 2000.0f, 1.0f, 10.0f, kStartFrequencyMessage},
        {10.0f, nan, 150.0f, 1.0f, 10.0f, kStartFrequencyMessage},
        {10.0f, 30.0f, 100.0f, 1.0f, 10.0f, kStopFrequencyMessage},
        {10.0f, 30.0f, 10000.0f, 1.0f, 10.0f, nullptr},
        {10.0f, 30.0f, 10000.1f, 1.0f, 10.0f, kStopFrequencyMessage},
        {10.0f, 150.0f, 150.0f, 1.0f, 10.0f, kStartAboveStopMessage},
        {10.0f, 1000.0f, 200.0f, 1.0f, 10.0f, kStartAboveStopMessage},
        {10.0f, 30.0f, 150.0f, 0.0f, 10.0f, kScaleFactorMessage},
        {10.0f, 30.0f, 150.0f, nan, 10.0f, kScaleFactorMessage},
        {10.0f, 30.0f, 150.0f, 1.0f, 0.0f, kStartDelayMessage},
        {10.0f, 30.0f, 150.0f, 1.0f, -1.0f, kStartDelayMessage},
        {0.0f, 0.0f, 0.0f, 0.0f, 0.0f, kTestDurationRangeMessage},
        {10.0f, 5.0f, 50.0f, 1.0f, 10.0f, kStartFrequencyMessage},
        {10.0f, 30.0f, 150.0f, -2.0f, 0.0f, kScaleFactorMessage},
    };
    for (const Row& r : rows) {
        const char* fault = SettingsFault(Settings(r));
        EXPECT_STREQ(fault ? fault : "accepted", r.expected ? r.expected : "accepted")
            << "duration " << r.duration << ", start " << r.start << ", stop " << r.stop << ", scale " << r.scale
            << ", delay " << r.delay;
    }
}

TEST(SettingsValidationTest, AFailureShowsOneErrorBoxUnderTheApplicationTitle) {
    test::MessageRecorder recorder;
    EXPECT_FALSE(ValidateSettings(Settings({10.0f, 30.0f, 150.0f, 1.0f, 0.0f, nullptr})));
    ASSERT_EQ(recorder.messages.size(), 1u);
    EXPECT_EQ(recorder.messages[0].caption, ApplicationTitle());
    EXPECT_EQ(recorder.messages[0].text, kStartDelayMessage);
    EXPECT_EQ(recorder.messages[0].icon, MessageIcon::Stop);
    EXPECT_EQ(recorder.messages[0].buttons, MessageButtons::Ok);

    EXPECT_TRUE(ValidateSettings(Settings({10.0f, 30.0f, 150.0f, 1.0f, 10.0f, nullptr})));
    EXPECT_EQ(recorder.messages.size(), 1u);
}

}  // namespace
}  // namespace vorn
