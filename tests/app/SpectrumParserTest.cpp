#include "app/SpectrumParser.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace vorn {
namespace {

struct Parsed {
    bool ok = false;
    int32_t count = -1;
    std::vector<SpectrumRow> rows;
};

Parsed Parse(const char* text, int32_t maximum = 16) {
    Parsed p;
    p.rows.assign(maximum + 1, SpectrumRow{-9.0f, -9.0f});
    p.ok = ParseSpectrumRows(text, maximum, p.rows.data(), p.count);
    return p;
}

void ExpectRows(const Parsed& p, const std::vector<SpectrumRow>& want) {
    ASSERT_EQ(p.count, static_cast<int32_t>(want.size()));
    EXPECT_EQ(p.ok, !want.empty());
    for (std::size_t i = 0; i < want.size(); ++i) {
        EXPECT_EQ(p.rows[i].frequency, want[i].frequency) << "row " << i;
        EXPECT_EQ(p.rows[i].value, want[i].value) << "row " << i;
    }
}

TEST(SpectrumParserTest, ReadsTheAnalyzersRows) {
    ExpectRows(Parse("1000.000000\t-3.500000\r\n1010.000000\t-4.250000\r\n"),
               {{1000.0f, -3.5f}, {1010.0f, -4.25f}});
    ExpectRows(Parse("  20.5 \t 12\n21.5\t\t13"), {{20.5f, 12.0f}, {21.5f, 13.0f}});
    ExpectRows(Parse("0.1\t0.1\n"), {{0.1f, 0.1f}});
}

// The white space between a row's numbers may cross a line end, but the next row
// still starts after the first line feed.
TEST(SpectrumParserTest, ALoneNumberPairsWithTheNextLineWhichStillFormsItsOwnRow) {
    ExpectRows(Parse("1000.0\r\n1010.0\t-3.5\r\n"), {{1000.0f, 1010.0f}, {1010.0f, -3.5f}});
}

TEST(SpectrumParserTest, AMissingSecondNumberReadsAsZero) {
    ExpectRows(Parse("5.0\r\n"), {{5.0f, 0.0f}});
    ExpectRows(Parse("1 2\n3 x\n"), {{1.0f, 2.0f}, {3.0f, 0.0f}});
}

TEST(SpectrumParserTest, ParsingEndsAtTheFirstRowWithoutANumber) {
    ExpectRows(Parse("1 2\nend\n3 4\n"), {{1.0f, 2.0f}});
    ExpectRows(Parse("1 2\n\n"), {{1.0f, 2.0f}});
    // Without a line feed there is no next row: a lone CR does not end a line.
    ExpectRows(Parse("1 2\r3 4\r"), {{1.0f, 2.0f}});
    ExpectRows(Parse("1 2"), {{1.0f, 2.0f}});
}

TEST(SpectrumParserTest, RowsBeyondTheMaximumAreIgnored) {
    std::string text;
    for (int i = 0; i < 10; ++i) text += std::to_string(i) + ".000000\t1.000000\r\n";
    Parsed p = Parse(text.c_str(), 4);
    ExpectRows(p, {{0.0f, 1.0f}, {1.0f, 1.0f}, {2.0f, 1.0f}, {3.0f, 1.0f}});
    EXPECT_EQ(p.rows[4].frequency, -9.0f);
}

TEST(SpectrumParserTest, TextWithoutARowGivesFalse) {
    for (const char* text : {"abc", " \r\n\t", "x1 2\n", ".\t5\n", "\t-\n"}) {
        Parsed p = Parse(text);
        EXPECT_FALSE(p.ok) << text;
        EXPECT_EQ(p.count, 0) << text;
    }
}

TEST(SpectrumParserTest, MissingOrEmptyTextLeavesTheCountAlone) {
    SpectrumRow rows[2];
    int32_t count = 77;
    EXPECT_FALSE(ParseSpectrumRows(nullptr, 2, rows, count));
    EXPECT_FALSE(ParseSpectrumRows("", 2, rows, count));
    EXPECT_FALSE(ParseSpectrumRows("1 2\n", 2, nullptr, count));
    EXPECT_EQ(count, 77);
}

}  // namespace
}  // namespace vorn
