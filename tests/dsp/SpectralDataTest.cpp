#include "dsp/SpectralData.h"
#include "support/MessageRecorder.h"
#include "support/PythonRunner.h"
#include "support/ScratchFolder.h"

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <vector>

namespace vorn {
namespace {

AnalysisSetup Analysis(uint32_t rate, uint32_t size = 4096) {
    AnalysisSetup a;
    a.format.Set(rate, 1, 2);
    a.transformSize = size;
    return a;
}

DisplaySetup Display(uint16_t mode = 0, uint16_t bands = 3, uint16_t weighting = 0) {
    DisplaySetup d;
    d.analysisMode = mode, d.bandsPerOctave = bands, d.weightingType = weighting;
    return d;
}

// Loads `text` onto the 48 kHz, 4096-point grid; the out array starts at 99.
struct Loaded {
    explicit Loaded(const std::string& text) {
        std::ofstream(folder.File("table.txt")) << text;
        ok = grid.LoadTable(folder.File("table.txt").c_str(), bins.data());
    }
    test::ScratchFolder folder{"table"};
    test::MessageRecorder messages;
    SpectralData grid{Analysis(48000), Display(), false};
    std::vector<float> bins = std::vector<float>(2048, 99.0f);
    bool ok = false;
};

TEST(SpectralDataTest, GridOfTheTableDesign) {
    test::MessageRecorder messages;
    const SpectralData d(Analysis(48000), Display(), false);
    EXPECT_EQ(d.GetError(), 0);
    EXPECT_EQ(d.GetBinCount(), 2048u);
    EXPECT_EQ(d.GetMaximumFrequency(), 24000.0f);
    EXPECT_EQ(d.GetBinWidth(), 11.71875f);
    EXPECT_EQ(d.BinOfFrequency(1000), 85u);
    EXPECT_EQ(d.FrequencyOfBin(85), 996.09375f);
    EXPECT_EQ(d.BinOfFrequency(-5), 0u);
    EXPECT_EQ(d.BinOfFrequency(30000), 2047u);
    EXPECT_EQ(d.OutputCount(), 2048);
    for (uint32_t k : {0u, 1u, 2047u}) EXPECT_EQ(d.GetScale()[k], float(1.0 / (32767.0 * 4096))) << k;
    for (uint32_t size : {0u, 1u}) EXPECT_EQ(SpectralData(Analysis(48000, size), Display(), false).GetError(), 1) << size;
    EXPECT_TRUE(messages.messages.empty()) << "no messages, not even for a transform without bins";
}

TEST(SpectralDataTest, BandsAndTheirNominalNames) {
    test::MessageRecorder messages;
    SpectralData d(Analysis(2000), Display(2, 5), false);  // maximum frequency 1000 Hz
    ASSERT_EQ(d.GetBandCount(), 50u);
    EXPECT_FLOAT_EQ(d.GetBands()[0].centre, 1.0f);
    EXPECT_NEAR(d.GetBands()[10].centre, std::pow(10.0, 0.6), 1e-5);
    for (uint32_t j = 1; j < 50; ++j) ASSERT_EQ(d.GetBands()[j].lower, d.GetBands()[j - 1].upper) << j;
    EXPECT_LT(d.OutputCount(), 49);
    const std::pair<float, float> names[] = {{1258.9f, 1250}, {1995.3f, 2000}, {0.5f, 1}, {3e6f, 1e6f}, {31.7f, 31.5f}};
    for (auto [x, nominal] : names) EXPECT_FLOAT_EQ(d.NominalFrequency(x), nominal) << x;
    EXPECT_FLOAT_EQ(SpectralData(Analysis(2000), Display(2, 48), false).NominalFrequency(1258.9f), 1258.0f);
    EXPECT_TRUE(messages.messages.empty());
}

// The standard's closed forms, evaluated at each built-in row's frequency, lie within 0.06 dB
// of the row (its own table rounds 160 Hz of curve A 0.051 dB off the formula).
TEST(SpectralDataTest, WeightingTablesFollowTheStandardCurves) {
    VORN_SKIP_WITHOUT_PYTHON();
    const std::vector<double> want = test::RunPythonScript("dsp/weighting_curves.py");
    ASSERT_EQ(want.size(), 3 * 37u);
    for (uint16_t type : {1, 3}) {
        uint32_t rows = 0;
        const float* t = SpectralData::WeightingTable(type, rows);
        ASSERT_EQ(rows, 37u);
        for (uint32_t j = 0; j < 34; ++j) {
            EXPECT_FLOAT_EQ(t[2 * j], float(want[j])) << "frequency of row " << j;
            EXPECT_NEAR(t[2 * j + 1], want[(type == 1 ? 37 : 74) + j], 0.06) << "type " << type << ", " << t[2 * j] << " Hz";
        }
    }
    SpectralData weighted(Analysis(48000), Display(0, 3, 1), false);
    const uint32_t k = weighted.BinOfFrequency(1000);
    EXPECT_NEAR(20 * std::log10(weighted.GetWeighting()[k]), -0.02, 0.02);
    EXPECT_FLOAT_EQ(weighted.GetScale()[k], float(1.0 / (32767.0 * 4096)) * weighted.GetWeighting()[k]);
}

TEST(SpectralDataTest, TableFilesAndTheirOutcomes) {
    const std::string twelve = "100 0\n200 -1\n300 -2\n400 -3\n500 -4\n600 -5\n700 -6\n800 -7\n900 -8\n1000 -9\n";
    const std::string longComment = ";" + std::string(300, 'x') + "\n";
    const struct { const char* what; std::string text; const char* message; float last; } cases[] = {
        {"two rows", "100\t0\n1000\t-6\n", SpectralData::kTooFewEntriesText, 0},
        {"second below first", "1000\t0\n100\t-6\n10000\t-12\n", SpectralData::kNotAscendingText, 0},
        {"negative first", "-1\t0\n100\t-6\n10000\t-12\n", SpectralData::kNotAscendingText, 0},
        {"blank line ends it", "100\t0\n200\t-1\n\n" + twelve, SpectralData::kTooFewEntriesText, 0},
        {"one number ends it", "100\t0\n200\t-1\n300\n" + twelve, SpectralData::kTooFewEntriesText, 0},
        {"nan level ends it", "100\t0\n200\tnan\n" + twelve, SpectralData::kTooFewEntriesText, 0},
        {"nan frequency", "100\t0\n200\t-1\nnan\t-2\n" + twelve, SpectralData::kNotAscendingText, 0},
        {"infinite frequency", "100\t0\n200\t-1\ninf\t-2\n", SpectralData::kNotAscendingText, 0},
        {"equal frequencies", "100\t0\n100\t-3\n1000\t-6\n", nullptr, -6},
        {"comments, spaces, no separator", "; response\n100 0\n  1000-6\n;x\n10000\t \t-12\r\n", nullptr, -12},
        {"long comment stays a comment", "100\t0\n" + longComment + "1000\t-6\n10000\t-12\n", nullptr, -12},
        {"long row is one row", "100\t0\n1000\t-6 " + std::string(200, '#') + "\n10000\t-12\n", nullptr, -12},
        {"levels held to 240 dB", "100\t300\n1000\tinf\n10000\t-inf\n", nullptr, -240},
    };
    for (const auto& c : cases) {
        const Loaded t(c.text);
        EXPECT_EQ(t.ok, c.message == nullptr) << c.what;
        if (c.message == nullptr) {
            EXPECT_TRUE(t.messages.messages.empty()) << c.what;
            EXPECT_EQ(t.bins[2047], c.last) << c.what;
            continue;
        }
        ASSERT_EQ(t.messages.messages.size(), 1u) << c.what;
        EXPECT_EQ(t.messages.messages[0].text, c.message) << c.what;
        EXPECT_EQ(t.messages.messages[0].caption, ApplicationTitle());
        EXPECT_EQ(t.messages.messages[0].icon, MessageIcon::Stop);
        EXPECT_EQ(t.bins[0], 99.0f) << c.what << ": out array untouched";
    }
    EXPECT_EQ(Loaded(cases[12].text).bins[0], 240.0f);
    test::MessageRecorder messages;
    std::vector<float> bins(2048, 99.0f);
    const SpectralData grid(Analysis(48000), Display(), false);
    EXPECT_FALSE(grid.LoadTable("/nonexistent/response.txt", bins.data()));
    EXPECT_EQ(messages.Texts(), std::vector<std::string>{"Failure opening mic compensation file: /nonexistent/response.txt"});
    EXPECT_FALSE(grid.LoadTable("", bins.data()));
    EXPECT_EQ(messages.messages.size(), 1u) << "an empty path fails without a message";
}

}  // namespace
}  // namespace vorn
