#include "results/CsvText.h"
#include "results/TimeStamp.h"
#include "results/Verdict.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <cstring>
#include <limits>
#include <random>

namespace vorn {
namespace {

TEST(CsvTextTest, FloatsReadBackBitForBitWhateverTheLocale) {
    // A comma-decimal locale where the system has one: printf would then write "1,5".
    const char* locales[] = {"de_DE.UTF-8", "de_DE", "German_Germany.1252", "C"};
    for (const char* l : locales)
        if (std::setlocale(LC_ALL, l)) break;
    std::mt19937 rng(7);
    std::vector<float> values = {0.0f, -0.0f, 1.5f, 0.1f, 94.123456f, std::numeric_limits<float>::min(),
                                 std::numeric_limits<float>::denorm_min(), std::numeric_limits<float>::max(), -3.4e-5f};
    for (int i = 0; i < 2000; ++i) {
        uint32_t bits = rng();
        float f;
        std::memcpy(&f, &bits, sizeof f);
        if (std::isfinite(f)) values.push_back(f);
    }
    for (float v : values) {
        const std::string text = FloatText(v);
        ASSERT_EQ(text.find(','), std::string::npos) << text;
        const auto back = ParseFloat(text);
        ASSERT_TRUE(back) << text;
        EXPECT_EQ(std::memcmp(&*back, &v, sizeof v), 0) << text;
    }
    std::setlocale(LC_ALL, "C");
    EXPECT_EQ(FloatText(std::nullopt), "");
    for (const char* bad : {"", "nan", "inf", "-inf", "1e99", "1.5x", " 1", "1,5", "0x10"})
        EXPECT_FALSE(ParseFloat(bad)) << bad;
}

TEST(CsvTextTest, FieldsWithCommasQuotesAndLineBreaksSurvive) {
    const std::vector<std::string> fields = {"plain", "C:\\a, b.wav", "say \"hi\"", "two\r\nlines", "", "\"", "é"};
    const std::string text = CsvRecord(fields) + "\r\nnext,row\r\n";
    CsvReader reader(text);
    std::vector<std::string> got;
    std::string error;
    ASSERT_TRUE(reader.Next(got, error));
    EXPECT_EQ(got, fields);
    ASSERT_TRUE(reader.Next(got, error));
    EXPECT_EQ(reader.Line(), 3u);
    EXPECT_EQ(got, (std::vector<std::string>{"next", "row"}));
    EXPECT_FALSE(reader.Next(got, error));
}

TEST(CsvTextTest, HostileRecordsAreRefusedOneByOneAndReadingGoesOn) {
    const std::string huge(CsvReader::kMaxField + 1, 'x');
    const std::string text = "a,b\"c\n" "\"open,quote\n" "x,\"closed\"tail\n" + huge + "\n" +
                             std::string(CsvReader::kMaxFields + 1, ',') + "\n" "good,row\n" "\"never closed";
    CsvReader reader(text);
    std::vector<std::string> fields;
    std::string error;
    std::vector<size_t> refused;
    std::vector<std::vector<std::string>> taken;
    while (reader.Next(fields, error)) {
        if (error.empty()) taken.push_back(fields);
        else refused.push_back(reader.Line());
    }
    EXPECT_EQ(refused, (std::vector<size_t>{1, 2, 3, 4, 5, 7}));
    EXPECT_EQ(taken, (std::vector<std::vector<std::string>>{{"good", "row"}}));
}

TEST(CsvTextTest, IsoTimesSortAcrossTimeZonesAndFoldersNameTheMoment) {
    const LocalTime t{2026, 12, 7, 10, 15, 2, 60};
    EXPECT_EQ(IsoTimeText(t), "2026-12-07T10:15:02+01:00");
    EXPECT_EQ(IsoTimeText({2026, 1, 2, 3, 4, 5, -330}), "2026-01-02T03:04:05-05:30");
    EXPECT_EQ(FolderStamp(t), "2026-12-07_10-15-02");
    EXPECT_EQ(*ParseIsoTime("2026-12-07T10:15:02+01:00"), *ParseIsoTime("2026-12-07T09:15:02+00:00"));
    EXPECT_EQ(*ParseIsoTime("1970-01-01T00:00:00+00:00"), 0);
    EXPECT_LT(*ParseIsoTime("2026-12-07T10:15:02+01:00"), *ParseIsoTime("2026-12-07T09:15:03-00:00"));
    for (const char* bad : {"2026-12-07 10:15:02+01:00", "2026-13-07T10:15:02+01:00", "2026-12-07T10:15:02Z",
                            "2026-12-07T10:15:02+01:0x", ""})
        EXPECT_FALSE(ParseIsoTime(bad)) << bad;
}

TEST(CsvTextTest, VerdictCountsTheLimitsAsInside) {
    const Limits both{1.0f, 2.0f};
    EXPECT_EQ(Judge(1.0f, both), Verdict::Pass);
    EXPECT_EQ(Judge(2.0f, both), Verdict::Pass);
    EXPECT_EQ(Judge(std::nextafter(2.0f, 3.0f), both), Verdict::Fail);
    EXPECT_EQ(Judge(0.5f, {1.0f, std::nullopt}), Verdict::Fail);
    EXPECT_EQ(Judge(1e30f, {1.0f, std::nullopt}), Verdict::Pass);
    EXPECT_EQ(Judge(NAN, {std::nullopt, 2.0f}), Verdict::Fail);
    EXPECT_EQ(Judge(5.0f, {}), Verdict::None);
    EXPECT_STREQ(VerdictText(Verdict::None), "");
}

}  // namespace
}  // namespace vorn
