#include "probe/ProbeTone.h"

#include "common/MessageSink.h"
#include "dsp/FirFilter.h"
#include "probe/ToneSine.h"
#include "wave/WaveFile.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <new>

namespace vorn {

namespace {

void Refuse(const char* text) { ShowMessage(ApplicationTitle(), text, MessageIcon::Stop); }

// The tone's phase at frame k: it runs from 2 pi f / rate at frame 0 on without a break
// from one block to the next.
double TonePhase(uint32_t k, float frequency, uint32_t rate) {
    const double n = double(k) + 1.0;
    return n * ProbeTone::kTwoPi * double(frequency) / double(rate);
}

// The tone's peak in stored counts. 8-bit samples: silence is the stored 127, and 127 is
// what both sides of it can hold.
double ToneAmplitude(const SampleFormat& format, float gain) {
    const double counts = format.bytesPerSample == 1 ? 127.0 : double(format.maximum - format.offset);
    return counts * (double(gain) * ProbeTone::kAmplitudeFactor);
}

int32_t AddTone8(float stored, float tone) {
    const float x = (stored - 127.0f) + tone;
    const double v = std::clamp(std::floor(double(x) + 0.5), -127.0, 128.0);
    return static_cast<int32_t>(v) + 127;
}

// The stored value of a sample of `width` bytes after the tone, from its 32-bit sine.
inline int32_t AddTone(uint16_t width, float stored, float sine, double amplitude) {
    const float tone = static_cast<float>(amplitude * double(sine));
    if (width == 1) return AddTone8(stored, tone);
    const float x = stored + tone;
    // A loud stimulus would otherwise wrap to a full-scale click of the other sign.
    // Clamping to the whole-number ends before the conversion truncates toward zero
    // is the same as after it, and keeps the conversion defined.
    const double v = std::clamp(double(x) + 0.5, double(StoredLow(width)), double(StoredHigh(width)));
    const int32_t value = static_cast<int32_t>(v);
    return width == 3 ? Pack24(value) : value;
}

// The value ReadSample(frame, 0, false) gives for a stored channel-0 sample.
inline float StoredValue(uint16_t width, int32_t offset, const uint8_t* p) {
    const int32_t s = DecodeSample(p, width);
    if (width <= 2) return float(s);
    return float(int64_t(s) - offset);
}

// Channel 0 of frames [start, start + count) in the wave data's memory, or nullptr when
// they do not all lie inside it.
const uint8_t* Channel0(const TWaveData& file, uint32_t start, uint32_t count) {
    const SampleFormat format = file.GetFormat();
    const uint64_t end = uint64_t(start) + count;
    if (!file.GetSamples() || format.bytesPerSample > 4 || end > file.GetFrameCount() ||
        end * format.FrameSize() > file.GetByteSize())
        return nullptr;
    return file.GetSamples() + uint64_t(start) * format.FrameSize();
}

// The values of n channel-0 samples from p on, as floats; a fixed width lets the compiler
// drop the per-sample choice of encoding.
template <uint16_t Width>
void StoredValues(const uint8_t* p, uint32_t frameSize, int32_t offset, uint32_t n, float* stored) {
    for (uint32_t j = 0; j < n; ++j, p += frameSize) stored[j] = StoredValue(Width, offset, p);
}

void StoredValues(uint16_t width, const uint8_t* p, uint32_t frameSize, int32_t offset, uint32_t n, float* stored) {
    switch (width) {
    case 2: StoredValues<2>(p, frameSize, offset, n, stored); break;
    case 3: StoredValues<3>(p, frameSize, offset, n, stored); break;
    default: StoredValues<4>(p, frameSize, offset, n, stored); break;
    }
}

// The frames go in batches, read from memory and written back with one WriteSamples, which
// leaves the cursor and the count of written frames as one WriteSample per frame would.
// Samples of 2 to 4 bytes go through ToneValues, several at a time; 8-bit ones, which round
// differently, take the sines several at a time and the rest one by one. Frames outside the
// memory go through ReadSample and WriteSample alone.
void AddToneToFrames(TWaveData& file, const SampleFormat& format, uint32_t& k, uint32_t frames, float frequency,
                     float gain) {
    constexpr uint32_t kBatch = tone_sine::kToneBatch;
    double phases[kBatch], sines[kBatch];
    float stored[kBatch];
    int32_t values[kBatch];
    const uint16_t width = format.bytesPerSample;
    const uint32_t frameSize = format.FrameSize();
    const double amplitude = ToneAmplitude(format, gain);
    tone_sine::ToneBatch batch;
    batch.twoPi = ProbeTone::kTwoPi;
    batch.frequency = double(frequency);
    batch.rate = double(format.sampleRate);
    batch.amplitude = amplitude;
    batch.low = double(StoredLow(width));
    batch.high = double(StoredHigh(width));
    while (frames > 0) {
        const uint32_t n = std::min(frames, kBatch);
        const uint8_t* p = Channel0(file, k, n);
        if (p && width >= 2) {
            StoredValues(width, p, frameSize, format.offset, n, stored);
            batch.k = k;
            batch.n = n;
            ToneValues(batch, stored, values);
            file.WriteSamples(values, k, n, 0);
        } else {
            for (uint32_t j = 0; j < n; ++j) phases[j] = TonePhase(k + j, frequency, format.sampleRate);
            ToneSines(phases, sines, n);
            for (uint32_t j = 0; j < n; ++j) {
                const float value = p ? StoredValue(width, format.offset, p + uint64_t(j) * frameSize)
                                      : file.ReadSample(k + j, 0, false);
                values[j] = AddTone(width, value, static_cast<float>(sines[j]), amplitude);
            }
            if (p) {
                file.WriteSamples(values, k, n, 0);
            } else {
                for (uint32_t j = 0; j < n; ++j) file.WriteSample(values[j], k + j, 0);
            }
        }
        k += n;
        frames -= n;
    }
}

}  // namespace

FirFilterParams ProbeNotch(float frequency) {
    FirFilterParams p;
    p.type = FirFilterParams::Bandstop;
    p.taps = ProbeTone::kTaps;
    p.bandstopCentre = static_cast<int32_t>(frequency);  // whole hertz, toward zero
    p.bandstopWidth = ProbeTone::kNotchWidth;
    p.gain = 0.0f;
    return p;
}

float ParseProbeValue(const std::string& text) { return static_cast<float>(std::strtod(text.c_str(), nullptr)); }

const char* CheckProbeValues(float frequency, float level) {
    // Written so that NaN is refused too.
    if (!(frequency >= ProbeTone::kMinFrequency && frequency <= ProbeTone::kMaxFrequency))
        return ProbeTone::kFrequencyRange;
    if (!(level >= ProbeTone::kMinLevel && level <= ProbeTone::kMaxLevel)) return ProbeTone::kLevelRange;
    return nullptr;
}

float ProbeGain(float level) {
    const float exponent = level / 20.0f;
    return static_cast<float>(std::pow(10.0, double(exponent)));
}

int32_t ProbeSample(const SampleFormat& format, float stored, uint32_t k, float frequency, float gain) {
    const float sine = static_cast<float>(ToneSine(TonePhase(k, frequency, format.sampleRate)));
    return AddTone(format.bytesPerSample, stored, sine, ToneAmplitude(format, gain));
}

bool AddProbeTone(TWaveData* file, float frequency, float level, ProbeToneView& view) {
    if (file == nullptr) return false;
    const float gain = ProbeGain(level);
    const uint32_t frames = file->GetFrameCount();
    const SampleFormat format = file->GetFormat();
    TFirFilter filter(format, ProbeNotch(frequency));

    const int32_t rate = static_cast<int32_t>(format.sampleRate);
    if (rate <= 0) return false;
    uint32_t blockLength = uint32_t(rate);
    uint32_t blocks = frames / blockLength;
    uint32_t remainder = frames % blockLength;
    if (blocks == 0) {  // shorter than a second: the whole file is one block
        blocks = 1;
        blockLength = frames;
        remainder = 0;
    }

    view.ShowProcessing();
    bool cancelled = false;
    uint32_t start = 0, k = 0;
    for (uint32_t i = 0; i < blocks; ++i) {
        view.SetProgress(static_cast<int>(100 * uint64_t(i) / blocks));
        filter.FilterBlock(file, start, blockLength);
        AddToneToFrames(*file, format, k, blockLength, frequency, gain);
        start += blockLength;
        if (view.CancelRequested()) {
            cancelled = true;
            break;
        }
    }
    if (remainder > 0 && !cancelled) {
        filter.FilterBlock(file, start, remainder);
        AddToneToFrames(*file, format, k, remainder, frequency, gain);
    }
    view.ShowIdle();

    if (cancelled) {
        Refuse(ProbeTone::kCancelled);
        return false;
    }
    return true;
}

bool AddProbeSine(TWaveData* file, float frequency, float level) {
    if (file == nullptr || static_cast<int32_t>(file->GetFormat().sampleRate) <= 0) return false;
    uint32_t k = 0;
    AddToneToFrames(*file, file->GetFormat(), k, file->GetFrameCount(), frequency, ProbeGain(level));
    return true;
}

std::unique_ptr<TWaveFile> OpenStimulus(const std::string& path) {
    if (path.size() > ProbeTone::kMaxPathLength) {
        Refuse(ProbeTone::kPathTooLong);
        return nullptr;
    }
    std::unique_ptr<TWaveFile> file(new (std::nothrow) TWaveFile(path, 0, false, nullptr));
    if (!file) {
        Refuse(ProbeTone::kCannotOpen);
        return nullptr;
    }
    if (file->Failed()) {
        Refuse(ProbeTone::kCannotRead);
        return nullptr;
    }
    return file;
}

bool SaveNewStimulus(TWaveFile& file, const std::string& path) {
    if (path.size() > ProbeTone::kMaxPathLength) {
        Refuse(ProbeTone::kPathTooLong);
        return false;
    }
    file.SetTargetName(path);
    if (file.Commit()) return true;
    Refuse(ProbeTone::kCannotWrite);
    return false;
}

}  // namespace vorn
