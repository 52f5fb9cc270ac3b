// The checks the settings dialog runs when the operator presses OK, in the order they run.
// Only the first failure is reported; the output folder, the device positions, the flags
// and the probe fields are not looked at.
#pragma once

#include "settings/TestSettings.h"

namespace vorn {

// The wording is kept as operators know it, the missing full stops, the lowercase
// "scale factor" and a range message that reads as if 4.0 were taken included.
inline constexpr const char* kTestDurationRangeMessage = "Test Duration must be between 4.0 and 360.0";
inline constexpr const char* kStartFrequencyMessage = "Invalid Start Frequency";
inline constexpr const char* kStopFrequencyMessage = "Invalid Stop Frequency";
inline constexpr const char* kStartAboveStopMessage = "Start Frequency must be less than the Stop Frequency";
inline constexpr const char* kScaleFactorMessage = "Corwith scale factor must be greater than zero.";
inline constexpr const char* kStartDelayMessage = "Start delay time must be greater than zero.";

// The message of the first check the value fails, nullptr when it passes them all.
// Each check states the accepted range, so a value that is not a number fails it.
const char* SettingsFault(const TestSettings& value);

// Shows the first failure (application title, error icon, OK) and returns false, or
// returns true.
bool ValidateSettings(const TestSettings& value);

}  // namespace vorn
