// The calibration block on its own and as a wave file carries it: the current trailing
// chunk, the legacy record and the text of a "CAL1" chunk. Waves are read from and written
// to memory; only the rewrite of a file's calibration works on a file.
#include "wave/WaveFile.h"

#include "wave/LittleEndian.h"
#include "wave/MemoryStream.h"
#include "WaveTestFiles.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>

namespace vorn {
namespace {

using namespace test;

Bytes StoredBlock(unsigned seed = 5) {
    Bytes b(CalibrationBlock::kSize);
    for (size_t i = 0; i < b.size(); ++i) b[i] = uint8_t(i * seed * 31 + seed);
    std::memcpy(&b[260 + 156], "Mic A", 6);
    le::PutF32(&b[260 + 140], 0.25f);
    return b;
}

Bytes Encoded(const CalibrationBlock& b) {
    Bytes out(CalibrationBlock::kSize);
    b.Encode(out.data());
    return out;
}

// A canonical stereo file, with `extra` inserted before "data" or appended behind the form.
Bytes Wave(const Bytes& trailer, const Bytes& beforeData = {}) {
    Bytes file = Riff({Chunk("fmt ", FmtData(2, 44100, 4, 16)), beforeData, Chunk("data", Ramp(40))});
    Append(file, trailer);
    return file;
}

std::unique_ptr<TWaveFile> Open(const Bytes& file) {
    MemoryStream in(file);
    return std::make_unique<TWaveFile>(in);
}

Bytes Written(TWaveFile& w) {
    MemoryStream out;
    EXPECT_TRUE(w.WriteTo(out));
    return out.Bytes();
}

TEST(CalibrationBlockTest, AnyStoredBlockRoundTripsByteForByte) {
    for (unsigned seed = 1; seed <= 20; ++seed)
        ASSERT_EQ(Encoded(CalibrationBlock::Decode(StoredBlock(seed).data())), StoredBlock(seed)) << seed;
}

// "333D01 ", 18 other characters, the two five-digit sensitivities and one more character.
TEST(CalibrationBlockTest, Cal1TextWithoutUsableNumbersChangesNothing) {
    const auto text = [](const char* left, const char* right) { return "rig;333D01 ABCDEFGHIJKLMNOPQR" + std::string(left) + right + "X"; };
    for (const std::string& t : {text("00999", "12000"), text("10000", "  -50"), text("10000", "abcde"),
                                 text("10000", "12000").substr(0, 39), std::string(60, 'x')}) {
        CalibrationBlock b;
        EXPECT_FALSE(b.ImportCal1Text(t.c_str())) << t;
        EXPECT_TRUE(b.SameBytes(CalibrationBlock{})) << t;
    }
    CalibrationBlock b;  // digits end the number: "1200x" reads 1200
    EXPECT_TRUE(b.ImportCal1Text(text(" 1500", "1200x").c_str()));
}

// A size field of 0, as older files have it, is still read; fewer than 2048 bytes are no block.
TEST(WaveFileCalibrationTest, TrailingChunkRoundTripsByteForByte) {
    for (int64_t size : {-1, 0}) {
        const Bytes file = Wave(Chunk(0x66, StoredBlock(), size));
        auto w = Open(file);
        ASSERT_TRUE(w->CalibrationPresent());
        EXPECT_STREQ(w->GetCalibration().left.channelName, "Mic A");
        EXPECT_EQ(w->GetCalibration().left.calFactor, 0.25f);
        EXPECT_EQ(Encoded(w->GetCalibration()), StoredBlock());
        EXPECT_EQ(Written(*w), Wave(Chunk(0x66, StoredBlock())));
    }
    Bytes part = Wave(Chunk(0x66, StoredBlock()));
    part.pop_back();
    auto w = Open(part);
    EXPECT_FALSE(w->Failed());
    EXPECT_FALSE(w->CalibrationPresent());
}

TEST(WaveFileCalibrationTest, LegacyRecordIsConvertedAndSavedAsTheCurrentChunk) {
    Bytes r(CalibrationBlock::kLegacySize, 0);
    le::PutI32(&r[0], 1);
    std::memcpy(&r[4], "old rig\0junk", 12);
    le::PutI32(&r[272], 3);
    std::memcpy(&r[276], "Pa", 2);
    for (auto [at, v] : {std::pair{400, 0.5f}, {404, 0.75f}, {408, 0.3f}, {412, 0.4f}}) le::PutF32(&r[at], v);
    std::memcpy(&r[424], "L1", 2);
    auto w = Open(Wave(Chunk(0x65, r)));
    ASSERT_TRUE(w->CalibrationPresent());
    const CalibrationBlock c = w->GetCalibration();
    EXPECT_STREQ(c.description, "old rig");
    EXPECT_EQ(c.description[8], '\0');  // the text ends at its NUL, the rest is cleared
    for (const ChannelCalibration* ch : {&c.left, &c.right}) {  // both from the left settings
        EXPECT_EQ(ch->valid, 1);
        EXPECT_EQ(ch->unitKind, 3);
        EXPECT_STREQ(ch->linearUnit, "Pa");
    }
    EXPECT_EQ(c.left.calFactor, 0.5f);
    EXPECT_EQ(c.right.calFactor, 0.75f);
    EXPECT_EQ(c.left.countScale, 0.3f);
    EXPECT_EQ(c.right.countScale, 0.4f);
    EXPECT_STREQ(c.left.channelName, "L1");
    EXPECT_STREQ(c.right.channelName, "Right");  // an empty name is filled in
    EXPECT_EQ(Written(*w), Wave(Chunk(0x66, Encoded(c))));
}

TEST(WaveFileCalibrationTest, Cal1TextIsImportedUnlessShortOrABlockExists) {
    const std::string text = "hdr 333D01 ABCDEFGHIJKLMNOPQR1000012000 tail of the text";
    const auto cal1 = [&](size_t n) { return Chunk("CAL1", Bytes(text.begin(), text.begin() + long(n))); };
    auto w = Open(Wave({}, cal1(text.size())));
    ASSERT_TRUE(w->CalibrationPresent());
    const CalibrationBlock c = w->GetCalibration();
    EXPECT_NEAR(c.left.calFactor, 0.016532775, 1e-9);
    EXPECT_NEAR(c.right.calFactor, 0.019839330, 1e-9);
    EXPECT_EQ(c.right.unitKind, 3);
    EXPECT_STREQ(c.left.linearUnit, "Acceleration (G) rms");
    EXPECT_STREQ(c.right.dbUnit, "Acceleration (G dB) rms");
    EXPECT_STREQ(c.left.channelName, "Left");
    EXPECT_FALSE(Open(Wave({}, cal1(43)))->CalibrationPresent());
    EXPECT_TRUE(Open(Wave({}, cal1(44)))->CalibrationPresent());
    EXPECT_EQ(Encoded(Open(Wave(Chunk(0x66, StoredBlock()), cal1(text.size())))->GetCalibration()), StoredBlock());
}

TEST(WaveFileCalibrationTest, SetCalibrationMarksChangesOnlyWhenTheBlockDiffers) {
    auto w = Open(Wave({}));
    CalibrationBlock other = w->GetCalibration();
    w->SetCalibration(other);
    EXPECT_FALSE(w->Modified());
    EXPECT_FALSE(w->CalibrationChanged());
    other.left.calFactor = 3.0f;
    w->SetCalibration(other);
    EXPECT_TRUE(w->Modified());
    EXPECT_TRUE(w->CalibrationChanged());
    EXPECT_TRUE(Open(Written(*w))->GetCalibration().SameBytes(other));
}

// The old records go whatever their size fields say; the new block sits right behind the
// form, ahead of bytes behind it that are no chunk. A form longer than the file is cut.
TEST(WaveFileCalibrationTest, ReplacingTheCalibrationKeepsEveryOtherChunk) {
    ScratchFolder dir;
    const std::string path = dir.File("in.wav");
    const Bytes list = Chunk("LIST", Ramp(13)), bext = Chunk("bext", Ramp(7)), junk = {'x', 'y'};
    const CalibrationBlock block = CalibrationBlock::Decode(StoredBlock(7).data());
    Bytes file = Wave(Chunk(0x66, StoredBlock(), 0), list), expected = Wave(Chunk(0x66, Encoded(block)), list);
    for (const Bytes& more : {bext, Chunk(0x65, Bytes(CalibrationBlock::kLegacySize, 1)), junk}) Append(file, more);
    Append(expected, bext);
    Append(expected, junk);
    WriteBytes(path, file);
    ASSERT_TRUE(ReplaceCalibration(path, block));
    EXPECT_EQ(ReadBytes(path), expected);
    Bytes streaming = Wave({});
    le::PutU32(&streaming[4], 0xFFFFFFFF);
    WriteBytes(path, streaming);
    ASSERT_TRUE(ReplaceCalibration(path, block));
    EXPECT_EQ(ReadBytes(path), Wave(Chunk(0x66, Encoded(block))));
    EXPECT_FALSE(ReplaceCalibration(dir.File("missing.wav"), block));
    EXPECT_EQ(dir.Count(), 1u);
}

}  // namespace
}  // namespace vorn
