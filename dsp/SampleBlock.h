// A block of samples of one channel (no interleaving) in a given format, with its own
// calibration record. The FIR filter keeps two of them as work buffers. With a ratio
// above 1 and interpolation requested it also carries a 39-tap windowed-sinc lowpass
// (cut-off at rate / (2 x ratio)) and 39 extra samples for the filter's run-in.
#pragma once

#include "wave/ChannelCalibration.h"
#include "wave/SampleFormat.h"

#include <cstdint>

namespace vorn {

class TSampleBlock {
public:
    static constexpr uint32_t kTableSize = 39;

    TSampleBlock(uint32_t count, SampleFormat format, uint32_t ratio, bool interpolate);
    ~TSampleBlock();
    TSampleBlock(const TSampleBlock&) = delete;
    TSampleBlock& operator=(const TSampleBlock&) = delete;

    uint32_t GetCount() const { return count; }
    SampleFormat GetFormat() const { return format; }
    bool Failed() const { return failed; }
    const ChannelCalibration& GetChannelCalibration() const { return channelCal; }
    const float* GetTable() const { return table; }

    uint8_t* SampleAddress(uint32_t index) const;
    // Stored value minus offset (scaled: times countScale); the offset value when the
    // index lies outside the block.
    float ReadSample(uint32_t index, bool scaled) const;
    void WriteSample(uint32_t index, int32_t value);
    void FillOffset();
    // A valid record is taken whole; none (or an invalid one) sets the relative
    // defaults. countScale is then divided by the format's half range either way.
    void SetChannelCalibration(const ChannelCalibration* record);

private:
    void BuildInterpolationTable();

    bool failed = false;
    SampleFormat format;
    uint8_t* samples = nullptr;   // count x bytesPerSample bytes, owned
    uint32_t count = 0;           // samples
    ChannelCalibration channelCal;
    uint32_t ratio = 1;           // interpolation ratio
    bool interpolate = false;
    float table[kTableSize] = {}; // interpolation filter taps, zero unless built
};

}  // namespace vorn
