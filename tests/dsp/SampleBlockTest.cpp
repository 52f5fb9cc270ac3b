#include "dsp/SampleBlock.h"

#include "support/PythonRunner.h"
#include "support/TestFormat.h"

#include <gtest/gtest.h>

namespace vorn {
namespace {

TSampleBlock Block(uint32_t count, uint16_t bytes, uint32_t ratio = 1, bool interpolate = false) {
    return TSampleBlock(count, test::MakeFormat(48000, 1, bytes), ratio, interpolate);
}

// Reads are relative to silence (127 for 8-bit); an index past the end reads silence and
// writes nowhere.
TEST(SampleBlockTest, SamplesStayInsideTheBlockAndKeepTheirSign) {
    EXPECT_TRUE(Block(0, 2).Failed());
    EXPECT_EQ(Block(0, 2).SampleAddress(0), nullptr);
    TSampleBlock b8 = Block(5, 1);
    EXPECT_EQ(*b8.SampleAddress(4), 127) << "starts silent";
    EXPECT_EQ(b8.SampleAddress(5), nullptr);
    b8.WriteSample(0, 200);
    b8.WriteSample(5, 1);
    EXPECT_EQ(b8.ReadSample(0, false), 200.0f - 127);
    EXPECT_EQ(b8.ReadSample(5, false), 127.0f);
    TSampleBlock b24 = Block(1, 3);
    b24.WriteSample(0, -2);
    EXPECT_EQ(b24.ReadSample(0, false), -2.0f);
    TSampleBlock b16 = Block(1, 2);  // the default record reads fractions of full scale
    b16.WriteSample(0, 32767);
    EXPECT_FLOAT_EQ(b16.ReadSample(0, true), 1.0f);
}

// With interpolation the block carries the table's 39 samples of run-in.
TEST(SampleBlockTest, InterpolationTableIsAHanningWindowedSincLowpassWithItsRunIn) {
    EXPECT_EQ(Block(100, 2, 4, true).GetCount(), 100 + TSampleBlock::kTableSize);
    EXPECT_EQ(Block(100, 2, 4, false).GetCount(), 100u);
    VORN_SKIP_WITHOUT_PYTHON();
    const std::vector<double> all = test::RunPythonScript("dsp/interpolation_taps.py");
    ASSERT_EQ(all.size(), 4 * TSampleBlock::kTableSize);
    const double* want = all.data();
    for (uint32_t ratio : {2u, 3u, 4u, 8u}) {
        const TSampleBlock b = Block(16, 2, ratio, true);
        for (uint32_t i = 0; i < TSampleBlock::kTableSize; ++i) EXPECT_NEAR(b.GetTable()[i], *want++, 2e-7) << ratio;
    }
}

}  // namespace
}  // namespace vorn
