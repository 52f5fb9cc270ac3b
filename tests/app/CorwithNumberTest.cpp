#include "app/CorwithNumber.h"

#include "support/FakeAnalyzerConnection.h"
#include "support/MessageRecorder.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <numbers>

namespace vorn {
namespace {

// Rows as the analyzer writes them, "%f\t%f\r\n".
std::string Rows(const std::vector<float>& values) {
    std::string text;
    char line[128];
    for (std::size_t i = 0; i < values.size(); ++i) {
        std::snprintf(line, sizeof line, "%f\t%f\r\n", 1000.0 + 10.0 * i, static_cast<double>(values[i]));
        text += line;
    }
    return text;
}

class CorwithNumberTest : public testing::Test {
protected:
    float Compute(const std::vector<float>& levels, const std::vector<float>& phases, float scale = 1.0f) {
        analyzer.replies[kMarkedSpectrumItem] = Rows(levels);
        analyzer.replies[kMarkedPhaseItem] = Rows(phases);
        return ComputeCorwithNumber(analyzer, 30.0f, 1234.5f, scale);
    }
    void SetUp() override { analyzer.linked = true; }
    test::FakeAnalyzerConnection analyzer;
    test::MessageRecorder recorder;
};

TEST_F(CorwithNumberTest, OneRowAtZeroDecibelsAnd45DegreesGivesOneAfterSettingTheMarkers) {
    EXPECT_NEAR(Compute({0.0f}, {45.0f}), 1.0f, 1e-6f);
    EXPECT_EQ(analyzer.Commands(), (std::vector<std::string>{"[Set Marker 1 30.000000]", "[Set Marker 2 1234.500000]"}));
    EXPECT_EQ(analyzer.Requests(), (std::vector<std::string>{"Marked Spectrum", "Marked Phase"}));
    EXPECT_TRUE(recorder.messages.empty());
}

TEST_F(CorwithNumberTest, PowersWeightTheRowsAndSignsOfPhaseAndScaleDoNotCount) {
    // 10 dB is ten times the power of 0 dB: (10 sin 60 + sin 30) / (10 cos 60 + cos 30).
    const double want = 2.5 * (10 * std::sin(std::numbers::pi / 3) + 0.5) / (10 * 0.5 + std::cos(std::numbers::pi / 6));
    EXPECT_NEAR(Compute({10.0f, 0.0f}, {60.0f, 30.0f}, 2.5f), want, want * 1e-6);
    const float mixed = Compute({-3.0f, 6.0f}, {30.0f, -30.0f}, 3.0f);
    EXPECT_EQ(Compute({-3.0f, 6.0f}, {-30.0f, 30.0f}, -3.0f), mixed);
    EXPECT_GT(mixed, 0.0f);
}

TEST_F(CorwithNumberTest, CosineSumsNearAndExactlyZero) {
    // 90 degrees in single precision is not a right angle: a tiny sum, a huge ratio.
    const float nearly = Compute({0.0f, 3.0f, -6.0f}, {90.0f, 90.0f, -90.0f});
    EXPECT_GT(nearly, 1e6f);
    EXPECT_TRUE(std::isfinite(nearly));
    EXPECT_EQ(Compute({0.0f, 0.0f}, {0.0f, 180.0f}), 0.0f);
    EXPECT_TRUE(recorder.messages.empty());
}

// 1e8 absorbs every later +1 in single precision; a sum kept in double would not.
TEST_F(CorwithNumberTest, SumsAreRoundedToSinglePrecisionAfterEachRow) {
    std::vector<float> levels(34, 0.0f), phases(34, 0.0f);
    levels[0] = 80.0f;
    phases[33] = 90.0f;
    EXPECT_EQ(Compute(levels, phases), 1.0f / 1e8f);
}

TEST_F(CorwithNumberTest, OnlyTheFirst16384RowsOfEachReplyCount) {
    std::vector<float> phases(kMaxSpectrumRows, 45.0f);
    phases.resize(20000, 0.0f);
    EXPECT_NEAR(Compute(std::vector<float>(20000, 0.0f), phases), 1.0f, 1e-5f);
    EXPECT_TRUE(recorder.messages.empty());
}

TEST_F(CorwithNumberTest, EachFailureIsToldOnceAndGivesZero) {
    const std::string good = Rows({0.0f, 1.0f});
    const struct {
        const char* spectrum;  // nullptr: not served
        const char* phase;
        const char* message;
    } failures[] = {
        {nullptr, good.c_str(), kSpectrumReadFailedText},
        {"Error: no data", good.c_str(), kSpectrumParseFailedText},
        {"", good.c_str(), kSpectrumParseFailedText},
        {good.c_str(), nullptr, kPhaseReadFailedText},
        {good.c_str(), "\r\n", kSpectrumParseFailedText},
        {good.c_str(), "1\t1\r\n", kRowCountMismatchText},
    };
    for (const auto& f : failures) {
        SCOPED_TRACE(f.message);
        test::FakeAnalyzerConnection link;
        link.linked = true;
        test::MessageRecorder messages;
        if (f.spectrum) link.replies[kMarkedSpectrumItem] = f.spectrum;
        if (f.phase) link.replies[kMarkedPhaseItem] = f.phase;
        EXPECT_EQ(ComputeCorwithNumber(link, 30.0f, 150.0f, 1.0f), 0.0f);
        ASSERT_EQ(messages.messages.size(), 1u);
        EXPECT_EQ(messages.messages[0].caption, "VORN");
        EXPECT_EQ(messages.messages[0].text, f.message);
        EXPECT_EQ(messages.messages[0].icon, MessageIcon::None);
        EXPECT_EQ(messages.messages[0].buttons, MessageButtons::Ok);
    }
}

// The phase reply reuses the buffer of the longer spectrum reply; none of the spectrum
// may be read as further phase rows.
TEST_F(CorwithNumberTest, ShorterReplyIsNotExtendedByTheEarlierText) {
    EXPECT_EQ(Compute(std::vector<float>(100, 0.0f), std::vector<float>(99, 45.0f)), 0.0f);
    EXPECT_EQ(recorder.Texts(), (std::vector<std::string>{kRowCountMismatchText}));
}

}  // namespace
}  // namespace vorn
