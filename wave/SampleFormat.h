// How samples are stored: channel count, rate and the integer range of one sample.
// Every wave container, the FIR filter and the spectral data describe their samples
// with it. Set() repairs nonsense values instead of failing, so a record made by Set()
// always describes 1 or 2 channels of 1 to 4 bytes.
#pragma once

#include <cstdint>

namespace vorn {

struct SampleFormat {
    uint16_t channels = 1;         // 1 or 2 (interleaved, channel 0 first)
    uint32_t sampleRate = 44100;   // frames per second, Hz
    uint16_t bytesPerSample = 2;   // 1 to 4
    uint16_t bits = 16;            // 8 x bytesPerSample
    int32_t maximum = 32767;       // largest stored value counted as full scale
    int32_t minimum = -32767;      // smallest stored value counted as full scale
    int32_t offset = 0;            // stored value of silence (127 for 8-bit unsigned)

    // Repairs the three values (rate 0 -> 44100, channels 0 or > 2 -> 1, bytes 0 or
    // > 4 -> 2) and derives bits, maximum, minimum and offset from the byte count.
    void Set(uint32_t rate, uint16_t channelCount, uint16_t bytes);

    // Full-scale value: (maximum - minimum) / 2, 32767 for 16-bit, 127.5 for 8-bit.
    // Computed in double because maximum - minimum does not fit int32 for 4 bytes.
    double HalfRange() const { return (double(maximum) - double(minimum)) * 0.5; }

    uint32_t FrameSize() const { return uint32_t(channels) * bytesPerSample; }
};

// 24-bit two's complement held in the low bits of an int32.
constexpr int32_t SignExtend24(int32_t v) { return (v & 0x800000) ? v - 16777216 : v; }
constexpr int32_t Pack24(int32_t v) { return v < 0 ? ((v + 16777216) | 0x800000) : v; }

// One stored sample of `bytes` bytes (little-endian) as an integer:
// 1 byte unsigned 0..255, 2 bytes signed, 3 bytes sign-extended from bit 23,
// 4 bytes signed 32-bit. Widths outside 1..4 read 0 (such formats are never
// produced by Set(); callers that keep an unrepaired format still stay in bounds).
inline int32_t DecodeSample(const uint8_t* p, uint16_t bytes) {
    switch (bytes) {
    case 1: return p[0];
    case 2: return int16_t(uint16_t(p[0] | (p[1] << 8)));
    case 3: return SignExtend24(int32_t(p[0] | (p[1] << 8) | (uint32_t(p[2]) << 16)));
    case 4:
        return int32_t(uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) |
                       (uint32_t(p[3]) << 24));
    default: return 0;
    }
}

// Stores the low `bytes` bytes of v; no clipping, so out-of-range values wrap.
inline void EncodeSample(uint8_t* p, uint16_t bytes, int32_t v) {
    uint32_t u = uint32_t(bytes == 3 ? Pack24(v) : v);
    uint16_t n = bytes > 4 ? 4 : bytes;
    for (uint16_t i = 0; i < n; ++i) p[i] = uint8_t(u >> (8 * i));
}

// The stored values an encoding of `bytes` bytes can hold: 0..255 for 1 byte, the signed
// range of 16, 24 or 32 bits otherwise. Writers that must not wrap saturate to it.
constexpr int64_t StoredLow(uint16_t bytes) {
    return bytes == 1 ? 0 : bytes == 3 ? -8388608 : bytes == 4 ? INT32_MIN : -32768;
}
constexpr int64_t StoredHigh(uint16_t bytes) {
    return bytes == 1 ? 255 : bytes == 3 ? 8388607 : bytes == 4 ? INT32_MAX : 32767;
}

}  // namespace vorn
