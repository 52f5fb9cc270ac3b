#include "analyzer/LeadingNumber.h"

#include <gtest/gtest.h>

#include <bit>
#include <cfloat>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <random>
#include <string>
#include <vector>

namespace vorn {
namespace {

struct Case {
    std::string text;
    double value;
    std::size_t length;  // characters read, 0 when there is no number
};

const double kInf = std::numeric_limits<double>::infinity();
const double kNaN = std::numeric_limits<double>::quiet_NaN();

std::vector<Case> Cases() {
    const std::string nines(400, '9');
    const std::string tiny = "0." + std::string(350, '0') + "1";
    return {
        {"", 0.0, 0}, {"85.3", 85.3, 4}, {"  \t\r\n\v\f-12.5 dB", -12.5, 12}, {"+7", 7.0, 2}, {"-", 0.0, 0},
        {"+-1", 0.0, 0}, {"- 1", 0.0, 0}, {".", 0.0, 0}, {"-.", 0.0, 0}, {".e5", 0.0, 0}, {".5", 0.5, 2},
        {"5.", 5.0, 2}, {"-.5e-3x", -0.0005, 6}, {"1e", 1.0, 1}, {"1e+", 1.0, 1}, {"1E-", 1.0, 1},
        {"1e+x", 1.0, 1}, {"2E3", 2000.0, 3}, {"1.5e+02\t", 150.0, 7}, {"1e5.5", 1e5, 3}, {"1..2", 1.0, 2},
        {"0012", 12.0, 4}, {"-0", -0.0, 2}, {"1,5", 1.0, 1}, {"\xa0" "1", 0.0, 0}, {"abc", 0.0, 0},
        {nines, kInf, 400}, {"0." + nines + "e-5", 1e-5, 405}, {"1." + std::string(800, '0') + "1", 1.0, 803},
        {tiny, 0.0, tiny.size()}, {"4.9406564584124654e-324", 4.9406564584124654e-324, 23},
        {"2.2250738585072009e-308", 2.2250738585072009e-308, 23}, {"2e-324", 0.0, 6}, {"-1e-400", -0.0, 7},
        {"1e400", kInf, 5}, {"-1e99999999999999999999", -kInf, 23}, {"1.7976931348623157e308", DBL_MAX, 22},
        {"1.7976931348623159e308", kInf, 22}, {"0.1", 0.1, 3}, {"9007199254740993", 9007199254740992.0, 16},
        {"0x1p4", 16.0, 5}, {"0X1.8P+1 ", 3.0, 8}, {"-0x.8", -0.5, 5}, {"0x", 0.0, 1}, {"0xg", 0.0, 1},
        {"0x.", 0.0, 1}, {"0x.p1", 0.0, 1}, {"0x1p", 1.0, 3}, {"0x1p-1074", 4.9406564584124654e-324, 9},
        {"0x1p-1080", 0.0, 9}, {"0x1p1024", kInf, 8}, {"0xfffffffffffffffffff", 0xfffffffffffffffffffp0, 21},
        {"inf", kInf, 3}, {"-INFinity", -kInf, 9}, {"infinit", kInf, 3}, {"in", 0.0, 0}, {"na", 0.0, 0},
        {"nan", kNaN, 3}, {"-NaN", -kNaN, 4}, {"nan()", kNaN, 5}, {"nan(ind_1)x", kNaN, 10}, {"nan(", kNaN, 3},
        {"nan(a b)", kNaN, 3}, {"nan(a", kNaN, 3},
    };
}

void ExpectSameValue(double got, double want, const std::string& text) {
    if (std::isnan(want)) EXPECT_TRUE(std::isnan(got)) << text;
    else EXPECT_EQ(got, want) << text;
    EXPECT_EQ(std::signbit(got), std::signbit(want)) << text;
}

TEST(LeadingNumberTest, ReadsTheExpectedValueAndLength) {
    for (const Case& c : Cases()) {
        const std::string shown = c.text.substr(0, 40);
        double bounded = -1, terminated = -1;
        const char* end = ReadLeadingNumber(c.text.data(), c.text.data() + c.text.size(), bounded);
        EXPECT_EQ(static_cast<std::size_t>(end - c.text.data()), c.length) << shown;
        ExpectSameValue(bounded, c.value, shown);
        end = ReadLeadingNumber(c.text.c_str(), terminated);
        EXPECT_EQ(static_cast<std::size_t>(end - c.text.data()), c.length) << shown;
        ExpectSameValue(terminated, c.value, shown);
        ExpectSameValue(LeadingNumberOf(c.text), c.value, shown);
    }
}

// A zero byte ends the text for strtod; with explicit bounds it simply is not a digit,
// and nothing past either end is looked at, also where a longer word could match.
TEST(LeadingNumberTest, StopsAtTheBoundsAndAtAZeroByte) {
    for (const char* cut : {"0", "0x", "1e", "1e+", "in", "infin", "nan", "nan(a", "-", "."}) {
        const std::string padded = std::string(cut) + '\0' + "x1p4inity(a)";
        double bounded = -1, terminated = -1;
        const char* a = ReadLeadingNumber(padded.data(), padded.data() + std::strlen(cut), bounded);
        EXPECT_EQ(a, ReadLeadingNumber(padded.c_str(), terminated)) << cut;
        ExpectSameValue(terminated, bounded, cut);
    }
    const Case cases[] = {{std::string("12\0" "34", 5), 12.0, 2}, {"123", 123.0, 3}, {"", 0.0, 0}, {"1e", 1.0, 1}};
    for (const Case& c : cases) {  // each read from a longer text
        const std::string text = c.text + "456e5";
        double value = -1;
        const char* end = ReadLeadingNumber(text.data(), text.data() + c.text.size(), value);
        EXPECT_EQ(static_cast<std::size_t>(end - text.data()), c.length) << c.text;
        EXPECT_EQ(value, c.value) << c.text;
    }
}

#ifndef _WIN32
void ExpectSameAsStrtod(const std::string& text) {
    char* strtodEnd = nullptr;
    const double want = std::strtod(text.c_str(), &strtodEnd);
    double bounded = -1, terminated = -1;
    const char* first = text.c_str();
    ASSERT_EQ(ReadLeadingNumber(first, first + text.size(), bounded), strtodEnd) << '"' << text << '"';
    ASSERT_EQ(ReadLeadingNumber(first, terminated), strtodEnd) << '"' << text << '"';
    ExpectSameValue(bounded, want, text);
    ExpectSameValue(terminated, want, text);
}

// The table, and floats printed as the analyzer prints them and with full precision
// (arbitrary texts are compared with strtod by the fuzz target).
TEST(LeadingNumberTest, AgreesWithStrtod) {
    for (const Case& c : Cases()) ExpectSameAsStrtod(c.text);
    std::mt19937 rng(7);
    for (int i = 0; i < 100000 && !HasFailure(); ++i) {
        const float f = std::bit_cast<float>(static_cast<uint32_t>(rng()));
        char text[400];
        std::snprintf(text, sizeof text, i % 2 ? "%f\t" : "%.9g\r\n", static_cast<double>(f));
        ExpectSameAsStrtod(text);
    }
}
#endif

}  // namespace
}  // namespace vorn
