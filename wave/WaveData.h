// In-memory interleaved integer PCM frames (1 or 2 channels, 1 to 4 bytes per sample)
// with a frame cursor, a high-water mark of written frames and per-channel scale
// factors that turn stored integers into fractions of full scale.
//
// Channel index: 0 left (first), 1 right, 2 all channels of a frame; a one-channel
// format treats every index as 0. Failures are false results (or the offset value
// for ReadSample), never messages; allocation failures also set `failed`.
// Samples keep their stored integer form; conversion happens per read.
#pragma once

#include "wave/SampleFormat.h"

#include <cstdint>

namespace vorn {

class TWaveData {
public:
    TWaveData();
    // Zero-filled memory for `frames` frames in `format` (taken as given, not repaired).
    TWaveData(uint32_t frames, SampleFormat format);
    virtual ~TWaveData();
    TWaveData(const TWaveData&) = delete;
    TWaveData& operator=(const TWaveData&) = delete;

    SampleFormat GetFormat() const { return format; }
    uint32_t GetFrameCount() const { return frameCount; }
    uint32_t GetByteSize() const { return byteSize; }
    uint8_t* GetSamples() const { return samples; }
    int32_t GetOffset() const { return format.offset; }
    uint32_t GetPosition() const { return position; }
    uint32_t GetHighWater() const { return highWater; }
    bool Failed() const { return failed; }
    bool Modified() const { return modified; }

    uint32_t BytesForFrames(uint32_t n) const;
    uint32_t FramesForBytes(uint32_t n) const;
    double FramesToSeconds(uint32_t frames) const;
    float GetDuration() const;

    virtual void Seek(uint32_t frame);
    uint32_t SetPosition(uint32_t frame);
    uint32_t Advance(uint32_t n);

    void SetScale(float left, float right);

    float ReadSample(uint32_t frame, uint16_t channel, bool scaled);
    bool WriteSample(int32_t value, uint32_t frame, uint16_t channel);
    // WriteSample for frames start .. start + count - 1 of one channel, from packed values:
    // the cursor and the written-frame count end where those calls would leave them. False,
    // with nothing written, when a frame lies outside the buffer or an 8-bit value beyond
    // 255 in magnitude.
    bool WriteSamples(const int32_t* values, uint32_t start, uint32_t count, uint16_t channel);
    // Single-channel data outside the buffer is packed, bytesPerSample bytes each;
    // channel 2 (or a one-channel format) moves whole frames. The cursor is untouched.
    bool ReadFrames(void* destination, uint32_t start, uint32_t count, uint16_t channel);
    bool WriteFrames(const void* source, uint32_t start, uint32_t count, uint16_t channel);
    // Raw frame bytes at the cursor, which they advance.
    bool ReadBytes(void* destination, uint32_t n);
    bool WriteBytes(const void* source, uint32_t n);

    void ClearRange(uint32_t from, uint32_t to);
    void ClearFrom(uint32_t from) { ClearRange(from, frameCount); }
    bool Resize(uint32_t frames);

protected:
    // Drops the memory and forgets the frames (a failed load leaves nothing behind).
    void ReleaseSamples();
    // In place of what was there, memory for `frames` frames that the caller fills at once:
    // left as it comes, where Resize would write every byte a first time.
    bool AllocateUnfilled(uint32_t frames);
    // Address of one sample, or nullptr when it does not lie wholly inside the memory.
    uint8_t* SampleAt(uint32_t frame, uint16_t channel) const;
    uint16_t EffectiveChannel(uint16_t channel) const;

    bool failed = false;          // an allocation or file step failed; never cleared
    bool modified = true;         // samples changed since the last load or save
    uint8_t* samples = nullptr;   // byteSize bytes, owned (malloc family)
    SampleFormat format;
    uint32_t byteSize = 0;        // bytes of sample data
    uint32_t frameCount = 0;
    uint32_t position = 0;        // frame cursor, 0 .. frameCount
    uint32_t highWater = 0;       // frames counted as written; Save writes this many
    float leftFullScale = 1.0f;   // full-scale values last given to SetScale
    float rightFullScale = 1.0f;
    float leftFactor = 0;         // value per count, channel 0
    float rightFactor = 0;        // value per count, channel 1
};

}  // namespace vorn
