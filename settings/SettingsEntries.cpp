#include "settings/SettingsEntries.h"

#include "common/Format.h"
#include "settings/SettingsStore.h"

#include <cstdio>
#include <cstring>

namespace vorn {

namespace {

// "%6.1f" of the largest float has 41 characters: Format takes what the text needs.
std::string OneDecimal(float value) { return Format("%6.1f", static_cast<double>(value)); }

float ReadEntry(const std::string& text) { return ReadSettingFloat(text.substr(0, kNumberEntryChars)); }

// Defaults shows its values without the leading blanks of "%6.1f" ("10.0", not "  10.0").
std::string Unpadded(std::string text) {
    text.erase(0, text.find_first_not_of(' '));
    return text;
}

}  // namespace

SettingsEntries ShownEntries(const TestSettings& record) {
    SettingsEntries e;
    e.testDuration = OneDecimal(record.TestDuration);
    e.spanStartFreq = OneDecimal(record.SpanStartFreq);
    e.spanStopFreq = OneDecimal(record.SpanStopFreq);
    e.outputFolder.assign(record.OutputFolder, strnlen(record.OutputFolder, kFolderEntryChars));
    e.scaleFactor = OneDecimal(record.CorwithNumberScaleFactor);
    e.autoProcessDelay = OneDecimal(record.AutoProcessDelay);
    e.autoProcess = record.AutoProcess;
    e.minimizeAnalyzer = record.MinimizeAnalyzer;
    e.inputDevice = record.InputDevIndex;
    e.outputDevice = record.OutputDevIndex;
    return e;
}

TestSettings AcceptedSettings(const TestSettings& record, const SettingsEntries& entries) {
    TestSettings working = record;
    working.TestDuration = ReadEntry(entries.testDuration);
    working.SpanStartFreq = ReadEntry(entries.spanStartFreq);
    working.SpanStopFreq = ReadEntry(entries.spanStopFreq);
    const std::size_t n = entries.outputFolder.copy(working.OutputFolder, kFolderEntryChars);
    working.OutputFolder[n] = '\0';
    working.CorwithNumberScaleFactor = ReadEntry(entries.scaleFactor);
    working.AutoProcess = entries.autoProcess;
    working.AutoProcessDelay = ReadEntry(entries.autoProcessDelay);
    working.InputDevIndex = entries.inputDevice;
    working.OutputDevIndex = entries.outputDevice;
    working.MinimizeAnalyzer = entries.minimizeAnalyzer;
    return working;
}

void ResetToDefaults(SettingsEntries& entries) {
    const TestSettings defaults = DefaultSettings();
    entries.testDuration = Unpadded(OneDecimal(defaults.TestDuration));
    entries.spanStartFreq = Unpadded(OneDecimal(defaults.SpanStartFreq));
    entries.spanStopFreq = Unpadded(OneDecimal(defaults.SpanStopFreq));
    entries.scaleFactor = Unpadded(OneDecimal(defaults.CorwithNumberScaleFactor));
    entries.autoProcess = defaults.AutoProcess;
    entries.autoProcessDelay = Unpadded(OneDecimal(defaults.AutoProcessDelay));
    entries.inputDevice = defaults.InputDevIndex;
    entries.outputDevice = defaults.OutputDevIndex;
    entries.minimizeAnalyzer = defaults.MinimizeAnalyzer;
}

}  // namespace vorn
