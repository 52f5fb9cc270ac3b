#include "wave/WaveFile.h"

#include "support/MessageRecorder.h"
#include "wave/LittleEndian.h"
#include "WaveTestFiles.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>

namespace vorn {
namespace {

using test::Bytes;
using test::Chunk;

constexpr uint32_t kCalibrationId = 0x66;
constexpr uint32_t kLegacyId = 0x65;

Bytes StoredBlock() {
    Bytes b(2048);
    for (size_t i = 0; i < b.size(); ++i) b[i] = uint8_t(i * 31 + 5);
    std::memcpy(&b[260 + 156], "Mic A\0", 6);
    std::memcpy(&b[894 + 156], "Mic B\0", 6);
    return b;
}

Bytes Samples() { return test::Ramp(40); }
Bytes Wave() { return test::CanonicalFile(2, 44100, Samples()); }

std::unique_ptr<TWaveFile> Open(const test::TempFolder& dir, const Bytes& file) {
    test::WriteBytes(dir.File("in.wav"), file);
    return std::make_unique<TWaveFile>(dir.File("in.wav"), 0, false, nullptr);
}

Bytes Encoded(const CalibrationBlock& b) {
    Bytes out(CalibrationBlock::kSize);
    b.Encode(out.data());
    return out;
}

TEST(WaveFileCalibrationTest, TrailingChunkRoundTripsByteForByte) {
    test::TempFolder dir;
    Bytes file = Wave();
    test::Append(file, Chunk(kCalibrationId, StoredBlock()));
    auto w = Open(dir, file);
    ASSERT_FALSE(w->Failed());
    EXPECT_TRUE(w->CalibrationPresent());
    EXPECT_EQ(Encoded(w->GetCalibration()), StoredBlock());
    w->SetTargetName(dir.File("out.wav"));
    ASSERT_TRUE(w->Commit());
    EXPECT_EQ(test::ReadBytes(dir.File("out.wav")), file);
}

TEST(WaveFileCalibrationTest, ChunkSizeFieldIsNotTrusted) {
    test::TempFolder dir;
    Bytes file = Wave();
    test::Append(file, Chunk(kCalibrationId, StoredBlock(), 0));
    auto w = Open(dir, file);
    EXPECT_TRUE(w->CalibrationPresent());
    EXPECT_EQ(Encoded(w->GetCalibration()), StoredBlock());

    Bytes shortFile = Wave();  // fewer than 2048 bytes behind the header: absent
    Bytes part = StoredBlock();
    part.resize(2047);
    test::Append(shortFile, Chunk(kCalibrationId, part, 2048));
    auto s = Open(dir, shortFile);
    EXPECT_FALSE(s->Failed());
    EXPECT_FALSE(s->CalibrationPresent());
}

TEST(WaveFileCalibrationTest, LegacyRecordIsConvertedWhenNoBlockExists) {
    test::TempFolder dir;
    Bytes record(1024, 0);
    le::PutI32(&record[0], 1);
    le::PutF32(&record[400], 0.5f);
    le::PutF32(&record[404], 0.75f);
    std::memcpy(&record[424], "L1", 2);
    Bytes file = Wave();
    test::Append(file, Chunk(kLegacyId, record));
    auto w = Open(dir, file);
    ASSERT_TRUE(w->CalibrationPresent());
    EXPECT_EQ(w->GetCalibration().left.calFactor, 0.5f);
    EXPECT_EQ(w->GetCalibration().right.calFactor, 0.75f);
    EXPECT_STREQ(w->GetCalibration().left.channelName, "L1");
    EXPECT_STREQ(w->GetCalibration().right.channelName, "Right");  // empty name filled in
    // Saved, it becomes the current chunk.
    w->SetTargetName(dir.File("out.wav"));
    ASSERT_TRUE(w->Commit());
    Bytes out = test::ReadBytes(dir.File("out.wav"));
    ASSERT_EQ(out.size(), Wave().size() + 8 + 2048);
    EXPECT_EQ(le::U32(&out[Wave().size()]), kCalibrationId);
    EXPECT_EQ(le::U32(&out[Wave().size() + 4]), 2048u);
}

TEST(WaveFileCalibrationTest, FileWithoutCalibrationNamesChannelsAndSavesNoChunk) {
    test::TempFolder dir;
    auto w = Open(dir, Wave());
    EXPECT_FALSE(w->CalibrationPresent());
    EXPECT_STREQ(w->GetCalibration().left.channelName, "Left");
    EXPECT_STREQ(w->GetCalibration().right.channelName, "Right");
    w->SetTargetName(dir.File("out.wav"));
    ASSERT_TRUE(w->Commit());
    EXPECT_EQ(test::ReadBytes(dir.File("out.wav")), Wave());
}

Bytes WaveWithCal1(const std::string& text) {
    Bytes t(text.begin(), text.end());
    return test::Riff({Chunk("fmt ", test::FmtData(2, 44100, 4, 16)), Chunk("CAL1", t),
                       Chunk("data", Samples())});
}

const std::string kCal1 = "hdr 333D01 ABCDEFGHIJKLMNOPQR1000012000 tail of the text";

TEST(WaveFileCalibrationTest, Cal1TextIsImportedWhenNoChunkExists) {
    test::TempFolder dir;
    auto w = Open(dir, WaveWithCal1(kCal1));
    ASSERT_FALSE(w->Failed());
    ASSERT_TRUE(w->CalibrationPresent());
    EXPECT_NEAR(w->GetCalibration().left.calFactor, 0.016532775, 1e-9);
    EXPECT_NEAR(w->GetCalibration().right.calFactor, 0.019839330, 1e-9);
    EXPECT_EQ(w->GetCalibration().left.unitKind, 3);
    EXPECT_STREQ(w->GetCalibration().left.channelName, "Left");

    Bytes withBlock = WaveWithCal1(kCal1);  // a real block wins over the text
    test::Append(withBlock, Chunk(kCalibrationId, StoredBlock()));
    auto b = Open(dir, withBlock);
    EXPECT_EQ(Encoded(b->GetCalibration()), StoredBlock());
}

TEST(WaveFileCalibrationTest, Cal1TextOf43BytesIsIgnored) {
    test::TempFolder dir;
    std::string text = kCal1.substr(0, 43);
    ASSERT_GE(text.size() - text.find("333D01 "), 36u);
    auto w = Open(dir, WaveWithCal1(text));
    EXPECT_FALSE(w->Failed());
    EXPECT_FALSE(w->CalibrationPresent());
    auto ok = Open(dir, WaveWithCal1(kCal1.substr(0, 44)));
    EXPECT_TRUE(ok->CalibrationPresent());
}

TEST(WaveFileCalibrationTest, SetCalibrationMarksChangesOnlyWhenTheBlockDiffers) {
    test::TempFolder dir;
    auto w = Open(dir, Wave());
    CalibrationBlock same = w->GetCalibration();
    w->SetCalibration(same);
    EXPECT_FALSE(w->Modified());
    EXPECT_FALSE(w->CalibrationChanged());
    EXPECT_TRUE(w->CalibrationPresent());

    CalibrationBlock other = same;
    other.left.calFactor = 3.0f;
    w->SetCalibration(other);
    EXPECT_TRUE(w->Modified());
    EXPECT_TRUE(w->CalibrationChanged());

    w->SetTargetName(dir.File("out.wav"));
    ASSERT_TRUE(w->Commit());
    auto back = std::make_unique<TWaveFile>(dir.File("out.wav"), 0, false, nullptr);
    EXPECT_TRUE(back->GetCalibration().SameBytes(other));

    auto empty = std::make_unique<TWaveFile>(dir.File("none.wav"), 0, false, nullptr);
    empty->SetCalibration(other);
    EXPECT_FALSE(empty->CalibrationChanged());
    EXPECT_FALSE(empty->Modified());
    EXPECT_TRUE(empty->CalibrationPresent());
}

}  // namespace
}  // namespace vorn
