// The response-table design (type 4) and the block filter's handling of empty blocks.
#include "dsp/FirFilter.h"
#include "wave/WaveData.h"
#include "support/MessageRecorder.h"
#include "support/PythonRunner.h"
#include "support/ScratchFolder.h"
#include "support/TestFormat.h"

#include <gtest/gtest.h>

#include <fstream>
#include <vector>

namespace vorn {
namespace {

struct ResponseTable { const char *name, *text; };
const ResponseTable kTables[] = {
    {"flat", "0\t0\n12000\t0\n24000\t0\n"},
    {"three rows", "100\t0\n1000\t-6\n10000\t-12\n"},
    {"three rows, straight", ";Spline OFF, any case\n100\t0\n1000\t-6\n10000\t-12\n"},
    {"gentle", "20\t-1\n200\t0\n1000\t2\n3000\t-1\n8000\t1\n16000\t-3\n24000\t-6\n"},
    {"steep lowpass", ";spline off\n0\t0\n2000\t0\n2500\t-40\n24000\t-40\n"},
};

using test::MakeFormat;

std::vector<float> TableDesign(const std::string& path, uint32_t rate, int32_t taps) {
    FirFilterParams p;
    p.type = FirFilterParams::ResponseTable, p.taps = taps;
    std::snprintf(p.responsePath, sizeof p.responsePath, "%s", path.c_str());
    TFirFilter f(MakeFormat(rate), p);
    return {f.GetCoefficients(), f.GetCoefficients() + f.GetCount()};
}

TEST(FirFilterTest, TableDesignMatchesAnIndependentNumpyDesign) {
    VORN_SKIP_WITHOUT_PYTHON();
    test::ScratchFolder folder("table-design");
    std::string files;
    for (const ResponseTable& t : kTables) {
        std::ofstream(folder.File(t.name)) << t.text;
        files += " '" + folder.File(t.name) + "'";
    }
    const std::vector<double> want = test::RunPythonScript("dsp/table_design.py", files);
    size_t at = 0;
    for (const ResponseTable& t : kTables) {
        for (uint32_t rate : {44100u, 48000u}) {
            for (int32_t taps : {39, 101, 999}) {
                SCOPED_TRACE(testing::Message() << t.name << ", " << rate << " Hz, " << taps << " taps");
                const std::vector<float> c = TableDesign(folder.File(t.name), rate, taps);
                ASSERT_LE(at + c.size(), want.size());
                EXPECT_EQ(c.front(), 0.0f);
                EXPECT_EQ(c.back(), 0.0f);
                if (t.text == kTables[0].text) { EXPECT_NEAR(c[c.size() / 2], 0.9997f, 0.00005f) << "flat: centre tap"; }
                double worst = 0;
                for (size_t k = 0; k < c.size(); ++k) worst = std::max(worst, std::fabs(c[k] - want[at + k]));
                EXPECT_LT(worst, 2e-6);
                at += c.size();
            }
        }
    }
    EXPECT_EQ(at, want.size());
}

TEST(FirFilterTest, MissingTableGivesSilence) {
    test::ScratchFolder folder("table-missing");
    test::MessageRecorder messages;
    FirFilterParams p;
    p.type = FirFilterParams::ResponseTable, p.taps = 101;
    std::snprintf(p.responsePath, sizeof p.responsePath, "%s", folder.File("missing").c_str());
    TFirFilter f(MakeFormat(8000, 1, 1), p);
    EXPECT_EQ(messages.messages.size(), 1u);
    for (int32_t k = 0; k < f.GetCount(); ++k) ASSERT_EQ(f.GetCoefficients()[k], 0.0f) << k;
    TWaveData wave(400, MakeFormat(8000, 1, 1));
    for (uint32_t i = 0; i < 400; ++i) wave.WriteSample(int32_t(i * 37 % 256), i, 0);
    ASSERT_TRUE(f.FilterBlock(&wave, 0, 400));
    for (uint32_t i = 0; i < 400; ++i) ASSERT_EQ(wave.GetSamples()[i], 127) << "sample " << i << " is the offset";
}

TEST(FirFilterTest, EmptyBlockIsANoOpThatSucceeds) {
    FirFilterParams p;
    p.taps = 999, p.lowpassCutoff = 1000;
    TFirFilter f(MakeFormat(48000), p);
    TWaveData wave(2000, MakeFormat(48000));
    for (uint32_t i = 0; i < 2000; ++i) wave.WriteSample(int32_t(i * 7919 % 20000) - 10000, i, 0);
    ASSERT_TRUE(f.FilterBlock(&wave, 0, 1000));
    auto state = [&] { return std::pair(std::vector<float>(f.GetHistory(), f.GetHistory() + f.GetCount()),
                                        std::vector<uint8_t>(wave.GetSamples(), wave.GetSamples() + wave.GetByteSize())); };
    const auto before = state();
    EXPECT_TRUE(f.FilterBlock(&wave, 1000, 0));
    EXPECT_EQ(state(), before) << "history and wave unchanged";
}

}  // namespace
}  // namespace vorn
