#include "app/SpectrumParser.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace vorn {
namespace {

// Parses into a row array marked with -9 so rows left untouched show.
std::vector<SpectrumRow> Parse(const std::string& text, int32_t maximum, bool& ok) {
    std::vector<SpectrumRow> rows(maximum + 1, SpectrumRow{-9.0f, -9.0f});
    int32_t count = -1;
    ok = ParseSpectrumRows(text.c_str(), maximum, rows.data(), count);
    EXPECT_GE(count, 0);
    rows.resize(count < 0 ? 0 : count + 1);  // one beyond, to see it untouched
    return rows;
}

TEST(SpectrumParserTest, ReadsRowsAsTheLineRuleSays) {
    const struct {
        const char* text;
        std::vector<SpectrumRow> rows;
    } cases[] = {
        {"1000.000000\t-3.500000\r\n1010.000000\t-4.250000\r\n", {{1000.0f, -3.5f}, {1010.0f, -4.25f}}},
        {"  20.5 \t 12\n21.5\t\t13", {{20.5f, 12.0f}, {21.5f, 13.0f}}},
        // The white space between a row's numbers may cross a line end, but the next
        // row still starts after the first line feed.
        {"1000.0\r\n1010.0\t-3.5\r\n", {{1000.0f, 1010.0f}, {1010.0f, -3.5f}}},
        {"5.0\r\n", {{5.0f, 0.0f}}},  // a missing second number reads as 0
        {"1 2\n3 x\n", {{1.0f, 2.0f}, {3.0f, 0.0f}}},
        {"1 2\nend\n3 4\n", {{1.0f, 2.0f}}},  // parsing ends at a row without a number
        {"1 2\n\n", {{1.0f, 2.0f}}},
        {"1 2\r3 4\r", {{1.0f, 2.0f}}},  // a lone CR does not end a line
        {"abc", {}},
        {" \r\n\t", {}},
        {".\t5\n", {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        bool ok = false;
        const std::vector<SpectrumRow> rows = Parse(c.text, 16, ok);
        EXPECT_EQ(ok, !c.rows.empty());
        ASSERT_EQ(rows.size(), c.rows.size() + 1);
        for (std::size_t i = 0; i < c.rows.size(); ++i) {
            EXPECT_EQ(rows[i].frequency, c.rows[i].frequency) << "row " << i;
            EXPECT_EQ(rows[i].value, c.rows[i].value) << "row " << i;
        }
    }
}

TEST(SpectrumParserTest, RowsBeyondTheMaximumAreIgnored) {
    std::string text;
    for (int i = 0; i < 10; ++i) text += std::to_string(i) + ".000000\t1.000000\r\n";
    bool ok = false;
    const std::vector<SpectrumRow> rows = Parse(text, 4, ok);
    ASSERT_EQ(rows.size(), 5u);
    EXPECT_EQ(rows[3].frequency, 3.0f);
    EXPECT_EQ(rows[4].frequency, -9.0f);
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
