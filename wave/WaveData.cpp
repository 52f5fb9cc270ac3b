#include "wave/WaveData.h"

#include "common/MessageSink.h"
#include "wave/SampleMemory.h"

#include <algorithm>
#include <bit>
#include <cstdlib>
#include <cstring>

namespace vorn {

namespace {
// A byte size that does not fit the 32-bit size fields of the file layout is refused
// instead of wrapping: a wrapped size would leave frameCount pointing past the memory.
bool FitsByteSize(uint64_t bytes) { return bytes <= UINT32_MAX; }

bool RangeInside(uint32_t start, uint32_t count, uint32_t frameCount) {
    return count <= frameCount && start <= frameCount && uint64_t(start) + count <= frameCount;
}

void FillWithOffset(uint8_t* p, uint64_t bytes, const SampleFormat& f) {
    if (f.offset == 0 || f.bytesPerSample == 0) return;
    for (uint64_t i = 0; i + f.bytesPerSample <= bytes; i += f.bytesPerSample)
        EncodeSample(p + i, f.bytesPerSample, f.offset);
}
}  // namespace

TWaveData::TWaveData() {
    format.Set(44100, 1, 2);
    SetScale(1.0f, 1.0f);
}

TWaveData::TWaveData(uint32_t frames, SampleFormat f) : format(f) {
    SetScale(1.0f, 1.0f);
    if (frames == 0) return;
    uint64_t bytes = uint64_t(format.FrameSize()) * frames;
    if (!FitsByteSize(bytes)) {
        failed = true;
        return;
    }
    WaitCursor wait;
    samples = SampleMemory::Allocate(bytes, true);
    if (!samples) {
        failed = true;
        return;
    }
    byteSize = uint32_t(bytes);
    frameCount = frames;
}

TWaveData::~TWaveData() { std::free(samples); }

void TWaveData::ReleaseSamples() {
    std::free(samples);
    samples = nullptr;
    byteSize = 0;
    frameCount = 0;
    position = 0;
    highWater = 0;
}

uint32_t TWaveData::BytesForFrames(uint32_t n) const {
    return uint32_t(format.bytesPerSample) * format.channels * n;
}

uint32_t TWaveData::FramesForBytes(uint32_t n) const {
    if (format.channels == 0 || format.bytesPerSample == 0) return 0;
    return n / format.channels / format.bytesPerSample;
}

double TWaveData::FramesToSeconds(uint32_t frames) const {
    if (format.sampleRate == 0) return 0.0;
    return double(frames) / double(format.sampleRate);
}

float TWaveData::GetDuration() const { return float(FramesToSeconds(frameCount)); }

void TWaveData::Seek(uint32_t frame) { position = frame; }

uint32_t TWaveData::SetPosition(uint32_t frame) {
    if (frame <= frameCount) position = frame;
    Seek(position);
    return position;
}

uint32_t TWaveData::Advance(uint32_t n) {
    uint64_t next = uint64_t(position) + n;
    position = next >= frameCount ? frameCount : uint32_t(next);
    Seek(position);
    return position;
}

void TWaveData::SetScale(float left, float right) {
    leftFullScale = left;
    rightFullScale = right;
    leftFactor = left == 0.0f ? 2.0f : left;
    rightFactor = right == 0.0f ? 2.0f : right;
    float half = float(format.HalfRange());
    leftFactor = leftFactor / half;
    rightFactor = rightFactor / half;
}

uint16_t TWaveData::EffectiveChannel(uint16_t channel) const {
    return (channel == 1 && format.channels >= 2) ? 1 : 0;
}

uint8_t* TWaveData::SampleAt(uint32_t frame, uint16_t channel) const {
    if (!samples) return nullptr;
    uint64_t at = uint64_t(format.FrameSize()) * frame + uint64_t(channel) * format.bytesPerSample;
    uint64_t width = std::min<uint16_t>(format.bytesPerSample, 4);
    if (at + width > byteSize) return nullptr;
    return samples + at;
}

float TWaveData::ReadSample(uint32_t frame, uint16_t channel, bool scaled) {
    const float silence = float(format.offset);
    if (!samples || frame >= frameCount) return silence;
    channel = EffectiveChannel(channel);
    const uint8_t* p = SampleAt(frame, channel);
    if (!p) return silence;
    int32_t s = DecodeSample(p, format.bytesPerSample);
    float factor = channel == 1 ? rightFactor : leftFactor;
    if (scaled) return float(int64_t(s) - format.offset) * factor;
    // 8-bit samples read unscaled keep their stored 0..255 form.
    if (format.bytesPerSample <= 2) return float(s);
    return float(int64_t(s) - format.offset);
}

bool TWaveData::WriteSample(int32_t value, uint32_t frame, uint16_t channel) {
    if (!samples || frame >= frameCount) return false;
    channel = EffectiveChannel(channel);
    if (format.bytesPerSample == 1 && (value > 255 || value < -255)) return false;
    uint8_t* p = SampleAt(frame, channel);
    if (!p) return false;
    EncodeSample(p, format.bytesPerSample, value);
    // The cursor counts channel-0 writes; it stops at the end of the buffer so that
    // highWater (the frames Save writes) never reaches past the memory.
    if (channel == 0 && position < frameCount) ++position;
    if (position > highWater) highWater = position;
    modified = true;
    return true;
}

namespace {
// A fixed width lets the compiler store each sample inline instead of choosing the
// encoding per sample.
template <uint16_t Width>
void EncodeSamples(uint8_t* p, uint32_t step, const int32_t* values, uint32_t count) {
    for (uint32_t i = 0; i < count; ++i, p += step) EncodeSample(p, Width, values[i]);
}

void EncodeSamples(uint8_t* p, uint32_t step, const int32_t* values, uint32_t count, uint16_t width) {
    switch (width) {
    case 1: EncodeSamples<1>(p, step, values, count); break;
    case 2: EncodeSamples<2>(p, step, values, count); break;
    case 3: EncodeSamples<3>(p, step, values, count); break;
    case 4: EncodeSamples<4>(p, step, values, count); break;
    default:
        for (uint32_t i = 0; i < count; ++i, p += step) EncodeSample(p, width, values[i]);
    }
}
}  // namespace

bool TWaveData::WriteSamples(const int32_t* values, uint32_t start, uint32_t count, uint16_t channel) {
    if (!samples || !values || !RangeInside(start, count, frameCount)) return false;
    if (count == 0) return true;
    channel = EffectiveChannel(channel);
    uint8_t* p = SampleAt(start, channel);
    if (!p || !SampleAt(start + count - 1, channel)) return false;
    const uint16_t width = format.bytesPerSample;
    if (width == 1 && std::any_of(values, values + count, [](int32_t v) { return v > 255 || v < -255; })) return false;
    EncodeSamples(p, format.FrameSize(), values, count, width);
    if (channel == 0) position = uint32_t(std::min<uint64_t>(uint64_t(position) + count, frameCount));
    highWater = std::max(highWater, position);
    modified = true;
    return true;
}

namespace {
// count samples of Width bytes from every fromStep-th byte to every toStep-th. A fixed
// width lets the compiler move each sample inline, where a library call per sample cost
// more than the copy itself.
template <uint32_t Width>
void CopySamples(uint8_t* to, uint32_t toStep, const uint8_t* from, uint32_t fromStep, uint32_t count) {
    for (uint32_t i = 0; i < count; ++i) std::memcpy(to + uint64_t(i) * toStep, from + uint64_t(i) * fromStep, Width);
}

// One channel of 16-bit stereo to packed samples and back, four bytes at a time from the
// channel's first byte on, its sample in the low half on little-endian CPUs: a plain loop the
// compiler runs several frames at a time, where a copy per sample goes one by one. The four
// bytes of the last frame's channel 1 would reach past the frame, so the callers stop one
// short.
void TakeHalves(uint8_t* to, const uint8_t* from, uint32_t count) {
    for (uint32_t i = 0; i < count; ++i) {
        uint32_t frame;
        std::memcpy(&frame, from + uint64_t(i) * 4, 4);
        const uint16_t half = uint16_t(frame);
        std::memcpy(to + uint64_t(i) * 2, &half, 2);
    }
}

void PutHalves(uint8_t* to, const uint8_t* from, uint32_t count) {
    for (uint32_t i = 0; i < count; ++i) {
        uint32_t frame;
        uint16_t half;
        std::memcpy(&frame, to + uint64_t(i) * 4, 4);
        std::memcpy(&half, from + uint64_t(i) * 2, 2);
        frame = (frame & 0xFFFF0000u) | half;
        std::memcpy(to + uint64_t(i) * 4, &frame, 4);
    }
}

// One channel between interleaved frames and packed samples.
void CopyChannel(uint8_t* to, uint32_t toStep, const uint8_t* from, uint32_t fromStep, uint32_t count, uint32_t bps) {
    const bool stereo16 = bps == 2 && ((fromStep == 4 && toStep == 2) || (fromStep == 2 && toStep == 4));
    if (std::endian::native == std::endian::little && stereo16 && count > 1) {
        const uint32_t most = count - 1;
        if (fromStep == 4) TakeHalves(to, from, most);
        else PutHalves(to, from, most);
        std::memcpy(to + uint64_t(most) * toStep, from + uint64_t(most) * fromStep, 2);
        return;
    }
    switch (bps) {
    case 1: CopySamples<1>(to, toStep, from, fromStep, count); break;
    case 2: CopySamples<2>(to, toStep, from, fromStep, count); break;
    case 3: CopySamples<3>(to, toStep, from, fromStep, count); break;
    case 4: CopySamples<4>(to, toStep, from, fromStep, count); break;
    default:
        for (uint32_t i = 0; i < count; ++i) std::memcpy(to + uint64_t(i) * toStep, from + uint64_t(i) * fromStep, bps);
    }
}
}  // namespace

bool TWaveData::ReadFrames(void* destination, uint32_t start, uint32_t count, uint16_t channel) {
    if (!samples || !destination || !RangeInside(start, count, frameCount)) return false;
    if (uint64_t(BytesForFrames(start)) + BytesForFrames(count) > byteSize) return false;
    auto* out = static_cast<uint8_t*>(destination);
    const uint32_t bps = format.bytesPerSample;
    if (format.channels >= 2 && channel <= 1) {
        const uint32_t frameSize = format.FrameSize();
        const uint8_t* in = samples + uint64_t(start) * frameSize + channel * bps;
        CopyChannel(out, bps, in, frameSize, count, bps);
    } else {
        std::memcpy(out, samples + BytesForFrames(start), BytesForFrames(count));
    }
    return true;
}

bool TWaveData::WriteFrames(const void* source, uint32_t start, uint32_t count, uint16_t channel) {
    if (!samples || !source || !RangeInside(start, count, frameCount)) return false;
    if (uint64_t(BytesForFrames(start)) + BytesForFrames(count) > byteSize) return false;
    auto* in = static_cast<const uint8_t*>(source);
    const uint32_t bps = format.bytesPerSample;
    if (format.channels >= 2 && channel <= 1) {
        const uint32_t frameSize = format.FrameSize();
        uint8_t* out = samples + uint64_t(start) * frameSize + channel * bps;
        CopyChannel(out, frameSize, in, bps, count, bps);
    } else {
        std::memcpy(samples + BytesForFrames(start), in, BytesForFrames(count));
    }
    modified = true;
    return true;
}

bool TWaveData::ReadBytes(void* destination, uint32_t n) {
    if (!destination || !samples) return false;
    // Reading from the last frame on is refused, as callers of the direct mode expect.
    if (position >= frameCount - 1) return false;
    uint32_t avail = byteSize - BytesForFrames(position);
    uint32_t len = std::min(n, avail);
    auto* out = static_cast<uint8_t*>(destination);
    std::memcpy(out, samples + BytesForFrames(position), len);
    std::memset(out + len, 0, n - len);
    Advance(FramesForBytes(len));
    return true;
}

bool TWaveData::WriteBytes(const void* source, uint32_t n) {
    if (!source || !samples) return false;
    uint32_t nf = std::min(FramesForBytes(n), frameCount - std::min(position, frameCount));
    std::memcpy(samples + BytesForFrames(position), source, BytesForFrames(nf));
    Advance(nf);
    modified = true;
    if (position > highWater) highWater = position;
    return true;
}

void TWaveData::ClearRange(uint32_t from, uint32_t to) {
    if (from >= to || from > frameCount) return;
    to = std::min(to, frameCount);
    for (uint32_t f = from; f < to; ++f) {
        WriteSample(format.offset, f, 0);
        if (format.channels == 2) WriteSample(format.offset, f, 1);
    }
    modified = true;
    if (to > highWater) highWater = to;
}

bool TWaveData::AllocateUnfilled(uint32_t frames) {
    ReleaseSamples();
    const uint64_t bytes = uint64_t(format.FrameSize()) * frames;
    if (!FitsByteSize(bytes)) {
        failed = true;
        return false;
    }
    if (bytes == 0) return true;
    samples = SampleMemory::Allocate(bytes, false);
    if (!samples) {
        failed = true;
        return false;
    }
    byteSize = uint32_t(bytes);
    frameCount = frames;
    return true;
}

bool TWaveData::Resize(uint32_t frames) {
    uint64_t wanted = uint64_t(format.FrameSize()) * frames;
    if (!FitsByteSize(wanted)) {
        failed = true;
        return false;
    }
    const uint32_t bytes = uint32_t(wanted);
    if (samples && bytes == byteSize) return true;
    if (bytes == 0) {
        std::free(samples);
        samples = nullptr;
    } else if (!samples || bytes < byteSize) {
        uint8_t* grown = samples ? static_cast<uint8_t*>(std::realloc(samples, bytes)) : SampleMemory::Allocate(bytes, true);
        if (!grown) {
            failed = true;
            return false;
        }
        bool fresh = !samples;
        samples = grown;
        if (fresh) FillWithOffset(samples, bytes, format);
    } else {
        WaitCursor wait;
        auto* grown = static_cast<uint8_t*>(std::realloc(samples, bytes));
        if (!grown) {
            failed = true;
            return false;
        }
        samples = grown;
        std::memset(samples + byteSize, 0, bytes - byteSize);
        FillWithOffset(samples + byteSize, bytes - byteSize, format);
    }
    byteSize = bytes;
    frameCount = frames;
    position = std::min(position, frames);
    highWater = std::min(highWater, frames);
    return true;
}

}  // namespace vorn
