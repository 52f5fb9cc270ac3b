#include "wave/SampleFormat.h"

namespace vorn {

namespace {
struct Range {
    uint16_t bits;
    int32_t maximum, minimum, offset;
};
// Indexed by bytes per sample - 1. The 16- and 24-bit ranges are symmetric (no
// -32768), so full scale is the same in both directions.
constexpr Range kRanges[4] = {
    {8, 255, 0, 127},
    {16, 32767, -32767, 0},
    {24, 8388607, -8388607, 0},
    {32, 1073741824, -1073741824, 0},
};
}  // namespace

void SampleFormat::Set(uint32_t rate, uint16_t channelCount, uint16_t bytes) {
    sampleRate = rate == 0 ? 44100 : rate;
    channels = (channelCount == 0 || channelCount > 2) ? 1 : channelCount;
    bytesPerSample = (bytes == 0 || bytes > 4) ? 2 : bytes;
    const Range& r = kRanges[bytesPerSample - 1];
    bits = r.bits;
    maximum = r.maximum;
    minimum = r.minimum;
    offset = r.offset;
}

}  // namespace vorn
