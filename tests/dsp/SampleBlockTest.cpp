#include "dsp/SampleBlock.h"

#include "support/PythonRunner.h"

#include <gtest/gtest.h>

namespace vorn {
namespace {

SampleFormat Format(uint16_t bytes) {
    SampleFormat f;
    f.Set(48000, 1, bytes);
    return f;
}

TEST(SampleBlockTest, SamplesStayInsideTheBlockAndKeepTheirSign) {
    TSampleBlock empty(0, Format(2), 1, false);
    EXPECT_TRUE(empty.Failed());
    EXPECT_EQ(empty.SampleAddress(0), nullptr);
    TSampleBlock b8(5, Format(1), 1, false);
    for (uint32_t i = 0; i < 5; ++i) EXPECT_EQ(*b8.SampleAddress(i), 127);  // starts silent
    EXPECT_EQ(b8.SampleAddress(5), nullptr);
    b8.WriteSample(0, 200);
    b8.WriteSample(5, 1);  // outside: ignored
    EXPECT_EQ(b8.ReadSample(0, false), 73.0f);
    EXPECT_EQ(b8.ReadSample(5, false), 127.0f);  // outside: the offset
    TSampleBlock b24(1, Format(3), 1, false);
    b24.WriteSample(0, -2);
    EXPECT_EQ(b24.ReadSample(0, false), -2.0f);
    EXPECT_EQ(b24.SampleAddress(0)[2], 0xFF);
    TSampleBlock b16(1, Format(2), 1, false);  // the default record reads fractions of full scale
    b16.WriteSample(0, 32767);
    EXPECT_FLOAT_EQ(b16.ReadSample(0, true), 1.0f);
}

TEST(SampleBlockTest, InterpolationTableIsAHanningWindowedSincLowpassWithItsRunIn) {
    EXPECT_EQ(TSampleBlock(100, Format(2), 4, true).GetCount(), 139u);
    EXPECT_EQ(TSampleBlock(100, Format(2), 4, false).GetCount(), 100u);
    VORN_SKIP_WITHOUT_PYTHON();
    const std::vector<double> all = test::RunPython("for r in (2, 3, 4, 8): print(*ss.firwin(39, 1 / r, window='hann', scale=False))");
    size_t at = 0;
    for (uint32_t ratio : {2u, 3u, 4u, 8u}) {
        TSampleBlock b(16, Format(2), ratio, true);
        ASSERT_LE(at + 39, all.size());
        for (size_t i = 0; i < 39; ++i) EXPECT_NEAR(b.GetTable()[i], all[at + i], 2e-7) << ratio << " " << i;
        EXPECT_FLOAT_EQ(b.GetTable()[19], 1.0f / float(ratio));
        at += 39;
    }
}

}  // namespace
}  // namespace vorn
