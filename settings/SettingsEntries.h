// What the settings dialog's controls hold, as text and ticks, and the two ways between
// that and the settings record: the texts shown when the dialog starts and the record the
// operator's entries make when OK is pressed. The dialog itself only moves these values
// in and out of its controls.
#pragma once

#include "settings/TestSettings.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace vorn {

// Characters of an entry that are read: a numeric field's first 39, the folder's first 259.
inline constexpr std::size_t kNumberEntryChars = 39;
inline constexpr std::size_t kFolderEntryChars = sizeof(TestSettings::OutputFolder) - 1;

struct SettingsEntries {
    std::string testDuration;      // s
    std::string spanStartFreq;     // Hz
    std::string spanStopFreq;      // Hz
    std::string outputFolder;
    std::string scaleFactor;
    std::string autoProcessDelay;  // s
    bool autoProcess = false;
    bool minimizeAnalyzer = false;
    std::int32_t inputDevice = -1;   // selected position in the input list, -1 = none
    std::int32_t outputDevice = -1;  // likewise for the output list
};

// The floats with "%6.1f", the folder, the flags and the two device indexes of the record.
SettingsEntries ShownEntries(const TestSettings& record);

// A copy of the record with every field the dialog edits replaced by its entry; the
// probe fields stay as the record holds them. Numbers are read as far as they read from
// their first 39 characters (nothing readable gives 0), the folder from its first 259.
TestSettings AcceptedSettings(const TestSettings& record, const SettingsEntries& entries);

// What the Defaults button shows: the store's default values, no ticks, the first device
// of each list; the output folder is left as it is.
void ResetToDefaults(SettingsEntries& entries);

}  // namespace vorn
