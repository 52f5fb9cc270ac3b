#include "wave/SampleBlock.h"

#include <gtest/gtest.h>

#include <cstring>

namespace vorn {
namespace {

SampleFormat Format(uint16_t bytes) {
    SampleFormat f;
    f.Set(48000, 1, bytes);
    return f;
}

TEST(SampleBlockTest, EmptyBlockFailsAndEightBitBlockStartsSilent) {
    TSampleBlock empty(0, Format(2), 1, false);
    EXPECT_TRUE(empty.Failed());
    EXPECT_EQ(empty.SampleAddress(0), nullptr);

    TSampleBlock b(5, Format(1), 1, false);
    ASSERT_FALSE(b.Failed());
    for (uint32_t i = 0; i < 5; ++i) EXPECT_EQ(*b.SampleAddress(i), 127);
    EXPECT_EQ(b.SampleAddress(5), nullptr);
}

TEST(SampleBlockTest, UnscaledReadsAreCentredOnTheOffset) {
    TSampleBlock b8(2, Format(1), 1, false);
    b8.WriteSample(0, 200);
    EXPECT_EQ(b8.ReadSample(0, false), 73.0f);
    EXPECT_EQ(b8.ReadSample(9, false), 127.0f);  // outside: the offset

    TSampleBlock b16(2, Format(2), 1, false);
    b16.WriteSample(1, -5);
    EXPECT_EQ(b16.ReadSample(1, false), -5.0f);
    b16.WriteSample(2, 99);  // outside: ignored
    TSampleBlock b24(1, Format(3), 1, false);
    b24.WriteSample(0, -2);
    EXPECT_EQ(b24.ReadSample(0, false), -2.0f);
    EXPECT_EQ(b24.SampleAddress(0)[2], 0xFF);
}

TEST(SampleBlockTest, DefaultCalibrationScalesToFractionsOfFullScale) {
    TSampleBlock b(1, Format(2), 1, false);
    const ChannelCalibration& c = b.GetChannelCalibration();
    EXPECT_EQ(c.valid, 0);
    EXPECT_EQ(c.unitKind, 4);
    EXPECT_STREQ(c.linearUnit, "Percent Full Scale");
    EXPECT_STREQ(c.dbUnit, "Relative Amplitude (dBr)");
    EXPECT_FLOAT_EQ(c.countScale, 1.0f / 32767.0f);
    b.WriteSample(0, 32767);
    EXPECT_FLOAT_EQ(b.ReadSample(0, true), 1.0f);
}

TEST(SampleBlockTest, ValidRecordIsCopiedAndItsCountScaleDividedAgain) {
    TSampleBlock b(1, Format(2), 1, false);
    ChannelCalibration c;
    c.valid = 1;
    c.countScale = 32767.0f;
    c.calFactor = 3.5f;
    SetTextField(c.channelName, sizeof c.channelName, "Mic");
    b.SetChannelCalibration(&c);
    EXPECT_FLOAT_EQ(b.GetChannelCalibration().countScale, 1.0f);
    EXPECT_EQ(b.GetChannelCalibration().calFactor, 3.5f);
    EXPECT_STREQ(b.GetChannelCalibration().channelName, "Mic");

    ChannelCalibration invalid;  // valid 0: defaults, the held name stays
    invalid.calFactor = 9.0f;
    b.SetChannelCalibration(&invalid);
    EXPECT_EQ(b.GetChannelCalibration().valid, 1);
    EXPECT_EQ(b.GetChannelCalibration().calFactor, 1.0f);
    EXPECT_STREQ(b.GetChannelCalibration().channelName, "Mic");
}

TEST(SampleBlockTest, InterpolatingBlockCarriesTheFilterRunIn) {
    TSampleBlock b(100, Format(2), 4, true);
    EXPECT_EQ(b.GetCount(), 139u);
    TSampleBlock plain(100, Format(2), 4, false);
    EXPECT_EQ(plain.GetCount(), 100u);
}

}  // namespace
}  // namespace vorn
