#include "wave/WaveData.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace vorn {
namespace {

SampleFormat Format(uint16_t channels, uint16_t bytes, uint32_t rate = 48000) {
    SampleFormat f;
    f.Set(rate, channels, bytes);
    return f;
}

std::vector<uint8_t> Bytes(const TWaveData& w) {
    return {w.GetSamples(), w.GetSamples() + w.GetByteSize()};
}

TEST(WaveDataTest, SixteenBitFullScaleReadsAsOneAndMinus32768BeyondIt) {
    TWaveData w(4, Format(1, 2));
    ASSERT_TRUE(w.WriteSample(32767, 0, 0));
    ASSERT_TRUE(w.WriteSample(-32768, 1, 0));
    EXPECT_FLOAT_EQ(w.ReadSample(0, 0, true), 1.0f);
    EXPECT_EQ(w.GetSamples()[2], 0x00);
    EXPECT_EQ(w.GetSamples()[3], 0x80);
    EXPECT_FLOAT_EQ(w.ReadSample(1, 0, true), -1.0000305f);
}

TEST(WaveDataTest, WritesKeepOnlyTheLowBytesWithoutClipping) {
    TWaveData w16(2, Format(1, 2));
    ASSERT_TRUE(w16.WriteSample(40000, 0, 0));
    EXPECT_EQ(w16.ReadSample(0, 0, false), -25536.0f);

    TWaveData w8(2, Format(1, 1));
    EXPECT_FALSE(w8.WriteSample(256, 0, 0));
    EXPECT_FALSE(w8.WriteSample(-256, 0, 0));
    ASSERT_TRUE(w8.WriteSample(255, 0, 0));
    EXPECT_EQ(w8.ReadSample(0, 0, false), 255.0f);
    EXPECT_FLOAT_EQ(w8.ReadSample(0, 0, true), 1.0039216f);
    ASSERT_TRUE(w8.WriteSample(0, 1, 0));
    EXPECT_FLOAT_EQ(w8.ReadSample(1, 0, true), -0.99607843f);
}

TEST(WaveDataTest, TwentyFourBitSamplesAreSignExtendedAndPacked) {
    TWaveData w(3, Format(1, 3));
    ASSERT_TRUE(w.WriteSample(-1, 0, 0));
    ASSERT_TRUE(w.WriteSample(8388607, 1, 0));
    ASSERT_TRUE(w.WriteSample(-8388608, 2, 0));
    EXPECT_EQ(Bytes(w), (std::vector<uint8_t>{0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x7F, 0x00, 0x00, 0x80}));
    EXPECT_EQ(w.ReadSample(0, 0, false), -1.0f);
    EXPECT_EQ(w.ReadSample(1, 0, false), 8388607.0f);
    EXPECT_EQ(w.ReadSample(2, 0, false), -8388608.0f);
    EXPECT_FLOAT_EQ(w.ReadSample(1, 0, true), 1.0f);
}

TEST(WaveDataTest, ScaleFactorsDivideFullScaleByHalfRange) {
    TWaveData w(1, Format(2, 2));
    w.SetScale(0.0f, 0.0f);
    ASSERT_TRUE(w.WriteSample(32767, 0, 0));
    ASSERT_TRUE(w.WriteSample(32767, 0, 1));
    EXPECT_FLOAT_EQ(w.ReadSample(0, 0, true), 2.0f);
    w.SetScale(1.0f, 94.0f);
    EXPECT_FLOAT_EQ(w.ReadSample(0, 0, true), 1.0f);
    EXPECT_FLOAT_EQ(w.ReadSample(0, 1, true), 94.0f);
}

TEST(WaveDataTest, ThirtyTwoBitHalfRangeDoesNotOverflow) {
    TWaveData w(1, Format(1, 4));
    ASSERT_TRUE(w.WriteSample(1073741824, 0, 0));
    EXPECT_FLOAT_EQ(w.ReadSample(0, 0, true), 1.0f);
    ASSERT_TRUE(w.WriteSample(-5, 0, 0));
    EXPECT_EQ(w.ReadSample(0, 0, false), -5.0f);
}

TEST(WaveDataTest, ChannelIndexRules) {
    TWaveData mono(2, Format(1, 2));
    ASSERT_TRUE(mono.WriteSample(123, 0, 1));  // channel 1 of mono is channel 0
    EXPECT_EQ(mono.ReadSample(0, 0, false), 123.0f);
    EXPECT_EQ(mono.ReadSample(0, 1, false), 123.0f);

    TWaveData stereo(4, Format(2, 2));
    ASSERT_TRUE(stereo.WriteSample(7, 2, 1));
    EXPECT_EQ(stereo.GetPosition(), 0u);  // channel 1 writes leave the cursor
    ASSERT_TRUE(stereo.WriteSample(5, 3, 0));
    EXPECT_EQ(stereo.GetPosition(), 1u);  // channel 0 writes move it, whatever the frame
    EXPECT_EQ(stereo.GetHighWater(), 1u);
    EXPECT_EQ(stereo.ReadSample(2, 1, false), 7.0f);
    EXPECT_EQ(stereo.ReadSample(2, 0, false), 0.0f);
    EXPECT_FALSE(stereo.WriteSample(1, 4, 0));
    EXPECT_EQ(stereo.ReadSample(4, 0, false), 0.0f);
}

TEST(WaveDataTest, CursorStopsAtTheEndSoHighWaterStaysInsideTheBuffer) {
    TWaveData w(2, Format(1, 2));
    for (int i = 0; i < 5; ++i) ASSERT_TRUE(w.WriteSample(i, 1, 0));
    EXPECT_EQ(w.GetPosition(), 2u);
    EXPECT_EQ(w.GetHighWater(), 2u);
}

TEST(WaveDataTest, FrameBlocksPackOneChannelOrMoveWholeFrames) {
    TWaveData w(4, Format(2, 2));
    for (uint32_t f = 0; f < 4; ++f) {
        w.WriteSample(int32_t(100 + f), f, 0);
        w.WriteSample(int32_t(200 + f), f, 1);
    }
    int16_t right[3] = {};
    ASSERT_TRUE(w.ReadFrames(right, 1, 3, 1));
    EXPECT_EQ(right[0], 201);
    EXPECT_EQ(right[2], 203);
    int16_t frames[6] = {};
    ASSERT_TRUE(w.ReadFrames(frames, 1, 3, 2));
    EXPECT_EQ(frames[0], 101);
    EXPECT_EQ(frames[1], 201);
    EXPECT_EQ(frames[5], 203);
    EXPECT_FALSE(w.ReadFrames(frames, 2, 3, 2));
    EXPECT_FALSE(w.ReadFrames(frames, 0xFFFFFFFFu, 2, 2));  // start + count wraps

    const int16_t left[2] = {-1, -2};
    ASSERT_TRUE(w.WriteFrames(left, 2, 2, 0));
    EXPECT_EQ(w.ReadSample(3, 0, false), -2.0f);
    EXPECT_EQ(w.ReadSample(3, 1, false), 203.0f);
    EXPECT_EQ(w.GetPosition(), 8u - 4u);  // eight writes, four of them channel 0
}

TEST(WaveDataTest, ReadBytesRefusesTheLastFrameAndZeroFillsShortTails) {
    TWaveData w(4, Format(1, 2));
    for (uint32_t f = 0; f < 4; ++f) w.WriteSample(int32_t(f + 1), f, 0);
    EXPECT_EQ(w.SetPosition(3), 3u);
    uint8_t buf[8];
    EXPECT_FALSE(w.ReadBytes(buf, 2));
    w.SetPosition(2);
    std::memset(buf, 0xAA, sizeof buf);
    ASSERT_TRUE(w.ReadBytes(buf, 8));
    EXPECT_EQ(std::vector<uint8_t>(buf, buf + 8), (std::vector<uint8_t>{3, 0, 4, 0, 0, 0, 0, 0}));
    EXPECT_EQ(w.GetPosition(), 4u);
}

TEST(WaveDataTest, WriteBytesNeverGrowsTheBuffer) {
    TWaveData w(3, Format(1, 2));
    w.SetPosition(1);
    const uint8_t src[10] = {1, 0, 2, 0, 3, 0, 4, 0, 5, 0};
    ASSERT_TRUE(w.WriteBytes(src, 10));
    EXPECT_EQ(w.GetFrameCount(), 3u);
    EXPECT_EQ(w.GetPosition(), 3u);
    EXPECT_EQ(w.GetHighWater(), 3u);
    EXPECT_EQ(w.ReadSample(2, 0, false), 2.0f);
}

TEST(WaveDataTest, CursorMovesOnlyInsideTheBuffer) {
    TWaveData w(10, Format(1, 2));
    EXPECT_EQ(w.SetPosition(10), 10u);
    EXPECT_EQ(w.SetPosition(11), 10u);
    w.SetPosition(4);
    EXPECT_EQ(w.Advance(0xFFFFFFFFu), 10u);
}

TEST(WaveDataTest, ClearRangeWritesSilenceWithinBounds) {
    TWaveData w(4, Format(2, 1));
    std::memset(w.GetSamples(), 9, w.GetByteSize());
    w.ClearRange(2, 99);
    EXPECT_EQ(Bytes(w), (std::vector<uint8_t>{9, 9, 9, 9, 127, 127, 127, 127}));
    EXPECT_EQ(w.GetHighWater(), 4u);
    w.ClearRange(5, 9);  // starts past the end: nothing
    w.ClearRange(1, 1);  // empty: nothing
    EXPECT_EQ(w.GetSamples()[2], 9);
    w.ClearFrom(1);
    EXPECT_EQ(w.GetSamples()[2], 127);
    EXPECT_EQ(w.GetSamples()[1], 9);
}

TEST(WaveDataTest, ResizeKeepsContentsAndFillsNewFramesWithSilence) {
    TWaveData w(2, Format(2, 1));
    std::memset(w.GetSamples(), 1, w.GetByteSize());
    w.SetPosition(2);
    ASSERT_TRUE(w.Resize(3));
    EXPECT_EQ(Bytes(w), (std::vector<uint8_t>{1, 1, 1, 1, 127, 127}));
    EXPECT_EQ(w.GetByteSize(), 6u);
    ASSERT_TRUE(w.Resize(1));
    EXPECT_EQ(Bytes(w), (std::vector<uint8_t>{1, 1}));
    EXPECT_EQ(w.GetPosition(), 1u);
    EXPECT_EQ(w.GetFrameCount(), 1u);
}

TEST(WaveDataTest, SizesBeyondThirtyTwoBitsAreRefused) {
    TWaveData big(0x80000000u, Format(2, 2));
    EXPECT_TRUE(big.Failed());
    EXPECT_EQ(big.GetFrameCount(), 0u);
    EXPECT_EQ(big.GetSamples(), nullptr);
    TWaveData w(2, Format(2, 4));
    EXPECT_FALSE(w.Resize(0x20000000u));
    EXPECT_EQ(w.GetFrameCount(), 2u);
}

TEST(WaveDataTest, FrameAndTimeArithmetic) {
    TWaveData w(0, Format(2, 2, 48000));
    EXPECT_EQ(w.FramesForBytes(4001), 1000u);
    EXPECT_DOUBLE_EQ(w.FramesToSeconds(24000), 0.5);
    TWaveData d;
    EXPECT_EQ(d.GetFormat().sampleRate, 44100u);
    EXPECT_TRUE(d.Modified());
    EXPECT_EQ(d.ReadSample(0, 0, false), 0.0f);
    EXPECT_FALSE(d.WriteSample(1, 0, 0));
}

}  // namespace
}  // namespace vorn
