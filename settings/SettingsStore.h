// Reads and writes the settings record and the stimulus path: 17 keys of section
// "Settings", floats written "%f", integers and flags "%d", text as it is; the two
// Corwith limits, which may be absent, as the shortest text that reads back to the same
// float, or empty for none. The store
// checks no ranges; the settings dialog does that when the operator confirms.
#pragma once

#include "settings/SettingsFile.h"
#include "settings/TestSettings.h"

#include <string>

namespace vorn {

// "<folder of the executable>\VORN.ini": the path is cut at its last backslash (one at
// the very first character does not count); without one the whole text is the folder.
std::string BuildIniPath(const std::string& executablePath);

// A floating setting's text as a number: as far as it reads, 0 when nothing does.
float ReadSettingFloat(const std::string& text);

// The stimulus path is read and written to at most kMaxStimulusPathChars characters.
void LoadSettings(SettingsFile& file, TestSettings& settings, std::string& stimulus);
void SaveSettings(SettingsFile& file, const TestSettings& settings, const std::string& stimulus);

// The record a settings file without any of the keys gives: the default of every key.
TestSettings DefaultSettings();

}  // namespace vorn
