#include "wave/WaveData.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace vorn {
namespace {

using Bytes = std::vector<uint8_t>;

SampleFormat Format(uint16_t channels, uint16_t bytes) {
    SampleFormat f;
    f.Set(48000, channels, bytes);
    return f;
}

Bytes Contents(const TWaveData& w) { return {w.GetSamples(), w.GetSamples() + w.GetByteSize()}; }

// Each width at its extremes. Full scale is half the range: 32767 for 16 bits (so -32768
// reads -32768 / 32767), 8388607 for 24, 2^30 for 32, and 127.5 around the stored 127 for
// 8 bits (255 reads 128 / 127.5). Writes keep only the low bytes without clipping (40000
// comes back as 40000 - 65536), and 8-bit values outside -255 .. 255 are refused.
TEST(WaveDataTest, SamplesOfEveryWidthKeepTheirSignAndScale) {
    TWaveData w16(2, Format(1, 2)), w24(2, Format(1, 3)), w32(1, Format(1, 4)), w8(2, Format(1, 1));
    ASSERT_TRUE(w16.WriteSample(32767, 0, 0) && w16.WriteSample(-32768, 1, 0));
    EXPECT_EQ(Contents(w16), (Bytes{0xFF, 0x7F, 0x00, 0x80}));
    EXPECT_FLOAT_EQ(w16.ReadSample(0, 0, true), 1.0f);
    EXPECT_FLOAT_EQ(w16.ReadSample(1, 0, true), -32768.0f / 32767.0f);
    ASSERT_TRUE(w16.WriteSample(40000, 0, 0));
    EXPECT_EQ(w16.ReadSample(0, 0, false), 40000.0f - 65536.0f);
    ASSERT_TRUE(w24.WriteSample(-1, 0, 0) && w24.WriteSample(8388607, 1, 0));
    EXPECT_EQ(Contents(w24), (Bytes{0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x7F}));
    EXPECT_EQ(w24.ReadSample(0, 0, false), -1.0f);
    EXPECT_FLOAT_EQ(w24.ReadSample(1, 0, true), 1.0f);
    ASSERT_TRUE(w32.WriteSample(1 << 30, 0, 0));  // half range in double: no overflow
    EXPECT_FLOAT_EQ(w32.ReadSample(0, 0, true), 1.0f);
    EXPECT_FALSE(w8.WriteSample(256, 0, 0) || w8.WriteSample(-256, 0, 0));
    ASSERT_TRUE(w8.WriteSample(255, 0, 0) && w8.WriteSample(0, 1, 0));
    EXPECT_FLOAT_EQ(w8.ReadSample(0, 0, true), 128.0f / 127.5f);
    EXPECT_FLOAT_EQ(w8.ReadSample(1, 0, true), -127.0f / 127.5f);
}

// Channel 1 of mono is channel 0, channel 2 moves whole frames; only channel-0 writes move
// the cursor, which stops at the end so the high-water mark stays inside the buffer.
TEST(WaveDataTest, ChannelsCursorAndFrameBlocks) {
    TWaveData mono(2, Format(1, 2)), w(4, Format(2, 2));
    ASSERT_TRUE(mono.WriteSample(123, 0, 1));
    EXPECT_EQ(mono.ReadSample(0, 0, false), 123.0f);
    for (int i = 0; i < 5; ++i) ASSERT_TRUE(mono.WriteSample(i, 1, 0));
    EXPECT_EQ(mono.GetPosition(), 2u);
    EXPECT_EQ(mono.GetHighWater(), 2u);
    for (uint32_t f = 0; f < 4; ++f) {
        ASSERT_TRUE(w.WriteSample(int32_t(200 + f), f, 1)) << f;
        ASSERT_TRUE(w.WriteSample(int32_t(100 + f), f, 0)) << f;
    }
    EXPECT_EQ(w.GetPosition(), 4u);
    EXPECT_FALSE(w.WriteSample(1, 4, 0));
    EXPECT_EQ(w.ReadSample(4, 0, false), 0.0f);
    int16_t right[3] = {}, frames[6] = {};
    ASSERT_TRUE(w.ReadFrames(right, 1, 3, 1));
    EXPECT_EQ(std::vector<int16_t>(right, right + 3), (std::vector<int16_t>{201, 202, 203}));
    ASSERT_TRUE(w.ReadFrames(frames, 1, 3, 2));
    EXPECT_EQ(std::vector<int16_t>(frames, frames + 6), (std::vector<int16_t>{101, 201, 102, 202, 103, 203}));
    EXPECT_FALSE(w.ReadFrames(frames, 2, 3, 2));
    EXPECT_FALSE(w.ReadFrames(frames, 0xFFFFFFFFu, 2, 2));  // start + count wraps
    const int16_t left[2] = {-1, -2};
    ASSERT_TRUE(w.WriteFrames(left, 2, 2, 0));
    EXPECT_EQ(w.ReadSample(3, 0, false), -2.0f);
    EXPECT_EQ(w.ReadSample(3, 1, false), 203.0f);
    const int16_t right2[3] = {-3, -4, -5};
    ASSERT_TRUE(w.WriteFrames(right2, 1, 3, 1));  // up to the last byte of the buffer
    ASSERT_TRUE(w.ReadFrames(frames, 0, 3, 2));
    EXPECT_EQ(std::vector<int16_t>(frames, frames + 6), (std::vector<int16_t>{100, 200, 101, -3, -1, -4}));
    EXPECT_EQ(w.ReadSample(3, 1, false), -5.0f);
}

// A batch of one channel's samples moves the cursor and the written-frame count as one
// WriteSample per frame does: channel 0 only, never past the end. A batch that does not
// fit, or holds an 8-bit value out of range, writes nothing.
TEST(WaveDataTest, BatchWriteOfOneChannelKeepsCursorAndWrittenFrames) {
    TWaveData w(5, Format(2, 1)), byOne(5, Format(2, 1));
    const int32_t values[] = {10, 20, 30, 40};
    w.SetPosition(3);
    byOne.SetPosition(3);
    ASSERT_TRUE(w.WriteSamples(values, 1, 4, 0) && w.WriteSamples(values, 0, 2, 1));
    for (uint32_t i = 0; i < 4; ++i) ASSERT_TRUE(byOne.WriteSample(values[i], 1 + i, 0));
    for (uint32_t i = 0; i < 2; ++i) ASSERT_TRUE(byOne.WriteSample(values[i], i, 1));
    EXPECT_EQ(Contents(w), Contents(byOne));
    EXPECT_EQ(w.GetPosition(), 5u);
    EXPECT_EQ(w.GetHighWater(), 5u);
    const int32_t loud[] = {1, 256};
    EXPECT_FALSE(w.WriteSamples(values, 2, 4, 0) || w.WriteSamples(loud, 0, 2, 0));
    EXPECT_EQ(Contents(w), Contents(byOne));
}

TEST(WaveDataTest, ByteCopiesClearsAndResizesStayInsideTheBuffer) {
    TWaveData w(4, Format(1, 2));
    for (uint32_t f = 0; f < 4; ++f) w.WriteSample(int32_t(f + 1), f, 0);
    uint8_t buf[8];
    EXPECT_EQ(w.SetPosition(3), 3u);
    EXPECT_FALSE(w.ReadBytes(buf, 2));  // not the last frame
    w.SetPosition(2);
    ASSERT_TRUE(w.ReadBytes(buf, 8));  // the short tail reads as zeros
    EXPECT_EQ(Bytes(buf, buf + 8), (Bytes{3, 0, 4, 0, 0, 0, 0, 0}));
    w.SetPosition(1);
    ASSERT_TRUE(w.WriteBytes(buf, 8));  // never grows the buffer
    EXPECT_EQ(Contents(w), (Bytes{1, 0, 3, 0, 4, 0, 0, 0}));
    EXPECT_EQ(w.SetPosition(11), 4u);
    EXPECT_EQ(w.Advance(0xFFFFFFFFu), 4u);
    TWaveData s(4, Format(2, 1));
    std::memset(s.GetSamples(), 9, s.GetByteSize());
    s.ClearRange(2, 99);
    s.ClearRange(5, 9);  // starts past the end: nothing
    EXPECT_EQ(Contents(s), (Bytes{9, 9, 9, 9, 127, 127, 127, 127}));
    ASSERT_TRUE(s.Resize(5));
    EXPECT_EQ(Contents(s), (Bytes{9, 9, 9, 9, 127, 127, 127, 127, 127, 127}));
    ASSERT_TRUE(s.Resize(1));
    EXPECT_EQ(Contents(s), (Bytes{9, 9}));
    EXPECT_EQ(s.GetPosition(), 1u);
    TWaveData big(0x80000000u, Format(2, 2));  // sizes beyond 32 bits are refused
    EXPECT_TRUE(big.Failed());
    EXPECT_EQ(big.GetSamples(), nullptr);
    EXPECT_FALSE(w.Resize(0x80000000u));
    EXPECT_EQ(w.GetFrameCount(), 4u);
}

}  // namespace
}  // namespace vorn
