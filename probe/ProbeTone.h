// The probe-tone tool's work on a loaded stimulus: a 150 Hz wide, 999-tap band-stop
// around the probe frequency cut out of channel 0, and a sine of that frequency and level
// added to it, one second of audio per block with a cancel check between blocks. The tone
// starts at frame 0 with phase 2 pi f / rate; the filtered stimulus lags the input by 500
// frames. Channel 1 stays as it was. New samples saturate to what the encoding can hold,
// as the filter's own output does. 8-bit samples get the tone around their stored silence
// 127, with amplitude 127 g 0.999 (what both sides of 127 can hold), rounded to nearest.
//
// The file steps around it (open, save under a new name) are here too, so the dialog and
// vornwave run the same code with the same messages; the dialog shows them as message
// boxes with the application title as caption and the error icon.
#pragma once

#include "dsp/FirFilter.h"
#include "probe/ProbeToneView.h"
#include "wave/SampleFormat.h"

#include <cstdint>
#include <memory>
#include <string>

namespace vorn {

class TWaveData;
class TWaveFile;

struct ProbeTone {
    static constexpr float kMinFrequency = 100.0f;   // Hz
    static constexpr float kMaxFrequency = 10000.0f;  // Hz
    static constexpr float kMinLevel = -60.0f;        // dBr
    static constexpr float kMaxLevel = -3.0f;         // dBr
    static constexpr int32_t kTaps = 999;
    static constexpr int32_t kNotchWidth = 150;       // Hz
    // 2 pi short by a digit, as every probe-tone stimulus so far was made with it; kept so
    // a file made again is byte for byte the same. Not a slip to be corrected.
    static constexpr double kTwoPi = 6.2831852;
    static constexpr double kAmplitudeFactor = 0.999;
    // Paths travel in 256-character fields (255 characters and the NUL).
    static constexpr size_t kMaxPathLength = 255;

    static constexpr const char* kFrequencyRange = "Probe frequency must be between 100 Hz and 10 kHz.";
    // "an d-60" is the text operators know from the dialog; kept as it is.
    static constexpr const char* kLevelRange = "Probe level must be between -3.0 an d-60 dBr";
    static constexpr const char* kCannotOpen = "Failure opening stimulus file.";
    static constexpr const char* kCannotRead = "Error reading stimulus file.";
    static constexpr const char* kCancelled = "Probe tone processing cancelled by user.";
    static constexpr const char* kPathTooLong =
        "The path is longer than 255 characters, which this program cannot carry. Choose a shorter one.";
    static constexpr const char* kCannotWrite = "The new stimulus file could not be written.";
};

// The probe value of an edit field: the leading decimal number as a 32-bit float, 0 when
// the text holds none.
float ParseProbeValue(const std::string& text);
// The message for a frequency or level out of range (the frequency is checked first),
// or nullptr when both are accepted; the bounds themselves are accepted.
const char* CheckProbeValues(float frequency, float level);

// 10^(level / 20) with the quotient and the result rounded to 32-bit floats.
float ProbeGain(float level);

// The stored value of one sample after the tone: the sample's stored value `stored`, frame
// k (counting from 0 over the whole file), frequency f in Hz, gain g.
int32_t ProbeSample(const SampleFormat& format, float stored, uint32_t k, float frequency, float gain);

// The notch's design for a probe frequency.
FirFilterParams ProbeNotch(float frequency);

// Filters channel 0 and adds the tone. False when there is no file, when the sample rate
// is not positive (no message), or when the operator cancelled (message shown).
bool AddProbeTone(TWaveData* file, float frequency, float level, ProbeToneView& view);
// Adds the tone alone, from frame 0 on, to a channel 0 that was notched some other way
// (vornwave probe --compensate). False when there is no file or the sample rate is not positive.
bool AddProbeSine(TWaveData* file, float frequency, float level);

// Loads a stimulus in memory. Null after a message when the path is too long, no file
// object could be made or the file could not be read.
std::unique_ptr<TWaveFile> OpenStimulus(const std::string& path);
// Writes the processed stimulus through the wave file's safe save (a temporary file beside
// it, then renamed), so a failure leaves no partial file and the old file at the path as
// it was. The stimulus's own path is taken too: the whole stimulus is in memory, so
// replacing it loses nothing (the dialog's save asks first, vornwave refuses it on its
// own). Refuses, with a message, a path too long to carry; says so when the file could
// not be written, which the wave file itself leaves unsaid.
bool SaveNewStimulus(TWaveFile& file, const std::string& path);

}  // namespace vorn
