#include "wave/CalibrationBlock.h"

#include "wave/LittleEndian.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>
#include <vector>

namespace vorn {
namespace {

std::vector<uint8_t> RandomBytes(size_t n, unsigned seed) {
    std::mt19937 rng(seed);
    std::vector<uint8_t> b(n);
    for (auto& x : b) x = uint8_t(rng());
    return b;
}

TEST(CalibrationBlockTest, AnyStoredBlockRoundTripsByteForByte) {
    for (unsigned seed = 1; seed <= 20; ++seed) {
        auto stored = RandomBytes(CalibrationBlock::kSize, seed);
        uint8_t again[CalibrationBlock::kSize];
        CalibrationBlock::Decode(stored.data()).Encode(again);
        ASSERT_EQ(std::memcmp(again, stored.data(), sizeof again), 0) << seed;
    }
}

TEST(CalibrationBlockTest, FieldsSitAtTheirStoredOffsets) {
    CalibrationBlock b;
    SetTextField(b.description, sizeof b.description, "rig 4");
    b.left.valid = 1;
    b.left.unitKind = 3;
    b.left.calFactor = 0.5f;
    b.right.countScale = 2.0f;
    SetTextField(b.right.channelName, sizeof b.right.channelName, "Right mic");
    SetTextField(b.left.dbUnit, sizeof b.left.dbUnit, "dB");
    b.unused[0] = 0xAB;
    uint8_t out[CalibrationBlock::kSize];
    b.Encode(out);
    EXPECT_STREQ(reinterpret_cast<char*>(out), "rig 4");
    EXPECT_EQ(le::I32(out + 260), 1);
    EXPECT_EQ(le::I32(out + 260 + 12), 3);
    EXPECT_EQ(le::F32(out + 260 + 140), 0.5f);
    EXPECT_STREQ(reinterpret_cast<char*>(out + 260 + 76), "dB");
    EXPECT_EQ(le::F32(out + 894 + 144), 2.0f);
    EXPECT_STREQ(reinterpret_cast<char*>(out + 894 + 156), "Right mic");
    EXPECT_EQ(out[1528], 0xAB);
}

TEST(CalibrationBlockTest, LegacyRecordFillsBothChannelsFromTheLeft) {
    std::vector<uint8_t> r(CalibrationBlock::kLegacySize, 0);
    le::PutI32(&r[0], 1);
    std::memcpy(&r[4], "old rig\0junk", 12);
    le::PutF32(&r[264], 1.25f);
    le::PutI32(&r[268], 7);
    le::PutI32(&r[272], 3);
    std::memcpy(&r[276], "Pa", 2);
    std::memcpy(&r[336], "dB SPL", 6);
    le::PutI32(&r[396], 11);
    le::PutF32(&r[400], 0.1f);
    le::PutF32(&r[404], 0.2f);
    le::PutF32(&r[408], 0.3f);
    le::PutF32(&r[412], 0.4f);
    le::PutI32(&r[416], 12);
    le::PutI32(&r[420], 13);
    std::memcpy(&r[424], "front", 5);
    std::memcpy(&r[464], "rear", 4);
    std::memset(&r[504], 0xEE, 520);

    CalibrationBlock b = CalibrationBlock::FromLegacy(r.data());
    EXPECT_STREQ(b.description, "old rig");
    EXPECT_EQ(b.description[8], '\0');  // text ends at its NUL, the rest is cleared
    EXPECT_EQ(b.left.valid, 1);
    EXPECT_EQ(b.left.field4, 1.25f);
    EXPECT_EQ(b.left.field8, 7);
    EXPECT_EQ(b.left.unitKind, 3);
    EXPECT_STREQ(b.left.linearUnit, "Pa");
    EXPECT_STREQ(b.left.dbUnit, "dB SPL");
    EXPECT_EQ(b.left.field136, 11);
    EXPECT_EQ(b.left.calFactor, 0.1f);
    EXPECT_EQ(b.left.countScale, 0.3f);
    EXPECT_EQ(b.left.field148, 12);
    EXPECT_EQ(b.left.field152, 13);
    EXPECT_STREQ(b.left.channelName, "front");
    EXPECT_EQ(b.right.calFactor, 0.2f);
    EXPECT_EQ(b.right.countScale, 0.4f);
    EXPECT_STREQ(b.right.channelName, "rear");

    ChannelCalibration same = b.right;
    same.calFactor = b.left.calFactor;
    same.countScale = b.left.countScale;
    std::memcpy(same.channelName, b.left.channelName, sizeof same.channelName);
    EXPECT_TRUE(same.SameBytes(b.left));
    for (uint8_t x : b.unused) ASSERT_EQ(x, 0);
}

// "333D01 ", 18 other characters, then the two five-digit sensitivities and one more.
std::string Cal1Text(const char* left, const char* right) {
    return std::string("front end 4;333D01 ") + "ABCDEFGHIJKLMNOPQR" + left + right + "X";
}

TEST(CalibrationBlockTest, Cal1TextGivesAccelerationFactors) {
    CalibrationBlock b;
    SetTextField(b.left.channelName, sizeof b.left.channelName, "kept");
    b.left.countScale = 0.25f;
    ASSERT_TRUE(b.ImportCal1Text(Cal1Text("10000", "12000").c_str()));
    EXPECT_NEAR(b.left.calFactor, 0.016532775, 1e-9);
    EXPECT_NEAR(b.right.calFactor, 0.019839330, 1e-9);
    for (const ChannelCalibration* c : {&b.left, &b.right}) {
        EXPECT_EQ(c->valid, 1);
        EXPECT_EQ(c->field4, 1.0f);
        EXPECT_EQ(c->field8, 1);
        EXPECT_EQ(c->unitKind, 3);
        EXPECT_STREQ(c->linearUnit, "Acceleration (G) rms");
        EXPECT_STREQ(c->dbUnit, "Acceleration (G dB) rms");
    }
    EXPECT_STREQ(b.left.channelName, "kept");
    EXPECT_EQ(b.left.countScale, 0.25f);
}

TEST(CalibrationBlockTest, Cal1TextWithoutUsableNumbersChangesNothing) {
    const std::string cases[] = {
        Cal1Text("00999", "12000"),                  // below 1000
        Cal1Text("10000", "  -50"),                  // negative
        Cal1Text("10000", "abcde"),                  // no digits: 0
        Cal1Text("10000", "12000").substr(0, 47),    // text ends right after the numbers
        std::string("no marker here at all, though long enough to count"),
    };
    for (const std::string& text : cases) {
        SCOPED_TRACE(text);
        CalibrationBlock b;
        EXPECT_FALSE(b.ImportCal1Text(text.c_str()));
        EXPECT_TRUE(b.SameBytes(CalibrationBlock{}));
    }
    CalibrationBlock b;  // digits end the number: "1200x" reads 1200
    EXPECT_TRUE(b.ImportCal1Text(Cal1Text(" 1500", "1200x").c_str()));
}

}  // namespace
}  // namespace vorn
