// The operator's settings, one plain record owned by the main dialog. Loaded from and
// saved to section "Settings" of VORN.ini by SettingsStore; copied whole by the
// settings dialog, which validates a copy and assigns it back.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

namespace vorn {

struct TestSettings {
    float TestDuration = 0;              // s; length of each capture step
    float SpanStartFreq = 0;             // Hz; start of the span the result is computed over
    float SpanStopFreq = 0;              // Hz; end of that span
    char OutputFolder[260] = {};         // folder of Config\, Output\ and Stimulus\; NUL-terminated
    float CorwithNumberScaleFactor = 0;  // factor applied to the Corwith Number
    bool AutoProcess = false;            // the test runs on by itself after the sealed capture
    float AutoProcessDelay = 0;          // s; wait before the automatic open capture
    float ProbeFreq = 0;                 // Hz; last probe-tone frequency
    float ProbeLevelDBr = 0;             // dB re full scale; last probe-tone level
    std::int32_t InputDevIndex = 0;      // position in the wave-input device list, -1 = none
    std::int32_t OutputDevIndex = 0;     // position in the wave-output device list, -1 = none
    bool MinimizeAnalyzer = false;       // the test scripts minimize the analyzer's window
    bool KeepResults = true;             // the results journal and the per-test archive below Output
    std::int32_t HistoryKeepWaves = 0;   // tests whose wave copies the archive keeps, latest first
    std::optional<float> CorwithLimitLow = {};   // pass from this Corwith Number up; none: no lower limit
    std::optional<float> CorwithLimitHigh = {};  // pass up to this one; none: no upper limit
};

// The stimulus path lives beside the record (a std::string of the main dialog), in the
// same INI section, and kept to the 255 characters it has always been stored with.
inline constexpr std::size_t kMaxStimulusPathChars = 255;

}  // namespace vorn
