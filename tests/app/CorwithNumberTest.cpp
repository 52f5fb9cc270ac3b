#include "app/CorwithNumber.h"

#include "support/FakeAnalyzerConnection.h"
#include "support/MessageRecorder.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <numbers>
#include <string>
#include <vector>

namespace vorn {
namespace {

// An analyzer with an open conversation, as the result computation finds it.
test::FakeAnalyzerConnection Linked() {
    test::FakeAnalyzerConnection link;
    link.linked = true;
    return link;
}

// Rows as the analyzer writes them, "%f\t%f\r\n", one per (frequency, value).
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
    void Serve(const std::vector<float>& levels, const std::vector<float>& phases) {
        analyzer.replies[kMarkedSpectrumItem] = Rows(levels);
        analyzer.replies[kMarkedPhaseItem] = Rows(phases);
    }
    float Compute(float scale = 1.0f) { return ComputeCorwithNumber(analyzer, 30.0f, 20000.0f, scale); }

    test::FakeAnalyzerConnection analyzer = Linked();
    test::MessageRecorder recorder;
};

TEST_F(CorwithNumberTest, OneRowAtZeroDecibelsAnd45DegreesGivesOne) {
    Serve({0.0f}, {45.0f});
    float result = Compute();
    EXPECT_NEAR(result, 1.0f, 1e-6f);
    char shown[32];
    std::snprintf(shown, sizeof shown, "%6.2f", static_cast<double>(result));
    EXPECT_STREQ(shown, "  1.00");
    EXPECT_TRUE(recorder.messages.empty());
}

TEST_F(CorwithNumberTest, MarkersAreSetToTheSpanWithSixDecimalsBeforeTheReplies) {
    Serve({0.0f}, {45.0f});
    ComputeCorwithNumber(analyzer, 30.0f, 1234.5f, 1.0f);
    EXPECT_EQ(analyzer.Commands(), (std::vector<std::string>{"[Set Marker 1 30.000000]", "[Set Marker 2 1234.500000]"}));
    EXPECT_EQ(analyzer.Requests(), (std::vector<std::string>{"Marked Spectrum", "Marked Phase"}));
}

TEST_F(CorwithNumberTest, PowersWeightTheRowsAndTheScaleFactorMultiplies) {
    // 10 dB is ten times the power of 0 dB: (10 sin 60 + sin 30) / (10 cos 60 + cos 30).
    Serve({10.0f, 0.0f}, {60.0f, 30.0f});
    double want = 2.5 * (10 * std::sin(std::numbers::pi / 3) + 0.5) / (10 * 0.5 + std::cos(std::numbers::pi / 6));
    EXPECT_NEAR(Compute(2.5f), want, want * 1e-6);
}

TEST_F(CorwithNumberTest, NegativeAndPositivePhasesCountTheSame) {
    Serve({-3.0f, 6.0f, 0.5f}, {30.0f, -30.0f, 12.5f});
    float mixed = Compute();
    Serve({-3.0f, 6.0f, 0.5f}, {30.0f, 30.0f, -12.5f});
    EXPECT_EQ(Compute(), mixed);
    EXPECT_GT(mixed, 0.0f);
}

TEST_F(CorwithNumberTest, NegativeScaleFactorGivesTheSameAsItsMagnitude) {
    Serve({1.0f, 2.0f}, {100.0f, 20.0f});
    float negative = Compute(-3.0f);
    EXPECT_EQ(negative, Compute(3.0f));
    EXPECT_GT(negative, 0.0f);
}

// 90 degrees in single precision is not exactly a right angle: the cosine sum is tiny
// but not 0, so the ratio is huge rather than undefined.
TEST_F(CorwithNumberTest, NinetyDegreesEverywhereGivesAVeryLargeNumber) {
    Serve({0.0f, 3.0f, -6.0f}, {90.0f, 90.0f, -90.0f});
    float result = Compute();
    EXPECT_GT(result, 1e6f);
    EXPECT_TRUE(std::isfinite(result));
    EXPECT_TRUE(recorder.messages.empty());
}

TEST_F(CorwithNumberTest, AnExactlyZeroCosineSumGivesZero) {
    Serve({0.0f, 0.0f}, {0.0f, 180.0f});
    EXPECT_EQ(Compute(), 0.0f);
    EXPECT_TRUE(recorder.messages.empty());
}

// 1e8 absorbs every later +1 in single precision; a sum kept in double would not.
TEST_F(CorwithNumberTest, SumsAreRoundedToSinglePrecisionAfterEachRow) {
    std::vector<float> levels = {80.0f};
    std::vector<float> phases = {0.0f};
    for (int i = 0; i < 32; ++i) {
        levels.push_back(0.0f);
        phases.push_back(0.0f);
    }
    levels.push_back(0.0f);
    phases.push_back(90.0f);
    Serve(levels, phases);
    EXPECT_EQ(Compute(), 1.0f / 1e8f);
}

TEST_F(CorwithNumberTest, OnlyTheFirst16384RowsOfEachReplyCount) {
    std::vector<float> levels(20000, 0.0f);
    std::vector<float> phases(kMaxSpectrumRows, 45.0f);
    phases.resize(20000, 0.0f);
    Serve(levels, phases);
    EXPECT_NEAR(Compute(), 1.0f, 1e-5f);
    EXPECT_TRUE(recorder.messages.empty());
}

TEST_F(CorwithNumberTest, DifferentRowCountsAreReported) {
    Serve(std::vector<float>(100, 0.0f), std::vector<float>(99, 45.0f));
    EXPECT_EQ(Compute(), 0.0f);
    ASSERT_EQ(recorder.messages.size(), 1u);
    EXPECT_EQ(recorder.messages[0].caption, "VORN");
    EXPECT_EQ(recorder.messages[0].text, kRowCountMismatchText);
    EXPECT_EQ(recorder.messages[0].icon, MessageIcon::None);
    EXPECT_EQ(recorder.messages[0].buttons, MessageButtons::Ok);
}

TEST_F(CorwithNumberTest, EachFailureIsReportedOnceAndGivesZero) {
    struct Failure {
        const char* name;
        bool serveSpectrum;
        std::string spectrum;
        bool servePhase;
        std::string phase;
        const char* message;
        std::size_t requests;
    };
    const std::string good = Rows({0.0f, 1.0f});
    const std::vector<Failure> failures = {
        {"spectrum not served", false, "", true, good, kSpectrumReadFailedText, 1},
        {"spectrum unreadable", true, "Error: no data", true, good, kSpectrumParseFailedText, 1},
        {"spectrum empty", true, "", true, good, kSpectrumParseFailedText, 1},
        {"phase not served", true, good, false, "", kPhaseReadFailedText, 2},
        {"phase unreadable", true, good, true, "\r\n", kSpectrumParseFailedText, 2},
    };
    for (const auto& f : failures) {
        test::FakeAnalyzerConnection link = Linked();
        test::MessageRecorder messages;
        if (f.serveSpectrum) link.replies[kMarkedSpectrumItem] = f.spectrum;
        if (f.servePhase) link.replies[kMarkedPhaseItem] = f.phase;
        EXPECT_EQ(ComputeCorwithNumber(link, 30.0f, 20000.0f, 1.0f), 0.0f) << f.name;
        ASSERT_EQ(messages.messages.size(), 1u) << f.name;
        EXPECT_EQ(messages.messages[0].caption, "VORN") << f.name;
        EXPECT_EQ(messages.messages[0].text, f.message) << f.name;
        EXPECT_EQ(messages.messages[0].icon, MessageIcon::None) << f.name;
        EXPECT_EQ(link.Requests().size(), f.requests) << f.name;
        EXPECT_EQ(link.Commands().size(), 2u) << f.name;
    }
}

// The phase reply goes into the buffer that held the longer spectrum reply; nothing
// of the spectrum may be read as further phase rows.
TEST_F(CorwithNumberTest, AShorterPhaseReplyIsNotExtendedByTheSpectrumText) {
    Serve(std::vector<float>(50, 0.0f), std::vector<float>(10, 45.0f));
    EXPECT_EQ(Compute(), 0.0f);
    ASSERT_EQ(recorder.messages.size(), 1u);
    EXPECT_EQ(recorder.messages[0].text, kRowCountMismatchText);
}

}  // namespace
}  // namespace vorn
