#include "dsp/SampleBlock.h"

#include "dsp/Smoothing.h"

#include <cmath>
#include <cstdlib>

namespace vorn {

TSampleBlock::TSampleBlock(uint32_t n, SampleFormat f, uint32_t r, bool interp)
    : format(f), count(n), ratio(r), interpolate(interp) {
    if (ratio > 1 && interpolate) {
        count += kTableSize;
        BuildInterpolationTable();
    }
    SetChannelCalibration(nullptr);
    if (count == 0) {
        failed = true;
        return;
    }
    uint64_t bytes = uint64_t(count) * format.bytesPerSample;
    samples = static_cast<uint8_t*>(std::calloc(bytes ? bytes : 1, 1));
    if (!samples) {
        failed = true;
        return;
    }
    FillOffset();
}

TSampleBlock::~TSampleBlock() { std::free(samples); }

uint8_t* TSampleBlock::SampleAddress(uint32_t index) const {
    if (!samples || index >= count) return nullptr;
    return samples + uint64_t(index) * format.bytesPerSample;
}

float TSampleBlock::ReadSample(uint32_t index, bool scaled) const {
    const uint8_t* p = SampleAddress(index);
    if (!p) return float(format.offset);
    int64_t centred = int64_t(DecodeSample(p, format.bytesPerSample)) - format.offset;
    if (scaled) return float(double(centred) * channelCal.countScale);
    return float(centred);
}

void TSampleBlock::WriteSample(uint32_t index, int32_t value) {
    if (uint8_t* p = SampleAddress(index)) EncodeSample(p, format.bytesPerSample, value);
}

void TSampleBlock::FillOffset() {
    for (uint32_t i = 0; i < count && samples; ++i)
        EncodeSample(samples + uint64_t(i) * format.bytesPerSample, format.bytesPerSample,
                     format.offset);
}

void TSampleBlock::SetChannelCalibration(const ChannelCalibration* record) {
    if (record && record->valid != 0) {
        channelCal = *record;
    } else {
        channelCal.SetRelativeDefaults();
        if (!record) channelCal.valid = 0;
    }
    channelCal.countScale = float(channelCal.countScale / format.HalfRange());
}

// A 39-tap windowed-sinc lowpass with its cut-off at rate / (2 x ratio). The rounding
// to single precision at each step, and pi to nine decimals, are part of the taps'
// definition; peers compute the same taps, so neither is to be tidied up.
void TSampleBlock::BuildInterpolationTable() {
    constexpr double pi = 3.141592654;
    constexpr int centre = int(kTableSize / 2);
    for (float& t : table) t = 0.0f;
    const float half = float(double(format.sampleRate) * 0.5);
    const float fc = half / float(ratio);
    // w = pi / ratio; a rate of 0 (an unrepaired format) must not turn it into 0 / 0.
    const float w = half > 0.0f ? float(double(fc) * pi / half) : float(pi / ratio);
    table[centre] = float(w / pi);
    for (int k = 1; k <= centre; ++k) {
        const float x = float(k) * w;
        const float c = float(double(std::sin(x)) * (1.0 / (k * pi)));
        table[centre + k] = c;
        table[centre - k] = c;
    }
    TSmoothing hanning(kTableSize, TSmoothing::Hanning, TSmoothing::NoCorrection);
    hanning.Apply(table);
}

}  // namespace vorn
