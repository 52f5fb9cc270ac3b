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
        // signs, blanks, digits and points
        {"", 0.0, 0}, {"85.3", 85.3, 4}, {"  \t\r\n\v\f-12.5 dB", -12.5, 12}, {"\xa0" "1", 0.0, 0},
        {"0012", 12.0, 4}, {"+7", 7.0, 2}, {"+-1", 0.0, 0}, {"-0", -0.0, 2}, {"1,5", 1.0, 1}, {"1..2", 1.0, 2},
        {".5", 0.5, 2}, {"5.", 5.0, 2}, {".", 0.0, 0}, {"-.", 0.0, 0}, {".e5", 0.0, 0},
        // exponents, the edges of the double range and correct rounding
        {"1e", 1.0, 1}, {"1e+x", 1.0, 1}, {"1e5.5", 1e5, 3}, {"1.5e+02\t", 150.0, 7},
        {"4.9406564584124654e-324", 4.9406564584124654e-324, 23}, {"2e-324", 0.0, 6}, {"-1e-400", -0.0, 7},
        {"2.2250738585072009e-308", 2.2250738585072009e-308, 23}, {"9007199254740993", 9007199254740992.0, 16},
        {tiny, 0.0, tiny.size()}, {"1." + std::string(800, '0') + "1", 1.0, 803}, {"0." + nines + "e-5", 1e-5, 405},
        {"1.7976931348623157e308", DBL_MAX, 22}, {"1.7976931348623159e308", kInf, 22},
        {"-1e99999999999999999999", -kInf, 23}, {nines, kInf, 400},
        // hexadecimal
        {"0X1.8P+1 ", 3.0, 8}, {"-0x.8", -0.5, 5}, {"0xfffffffffffffffffff", 0xfffffffffffffffffffp0, 21},
        {"0x1p-1074", 4.9406564584124654e-324, 9}, {"0x1p-1080", 0.0, 9}, {"0x1p1024", kInf, 8}, {"0x1p", 1.0, 3},
        {"0x.p1", 0.0, 1}, {"0xg", 0.0, 1},
        // infinity and not-a-number
        {"inf", kInf, 3}, {"infinit", kInf, 3}, {"-INFinity", -kInf, 9}, {"in", 0.0, 0}, {"nan", kNaN, 3},
        {"-NaN", -kNaN, 4}, {"nan()", kNaN, 5}, {"nan(ind_1)x", kNaN, 10}, {"nan(a b)", kNaN, 3}, {"nan(", kNaN, 3},
    };
}

void ExpectSameValue(double got, double want, const std::string& text) {
    if (std::isnan(want)) EXPECT_TRUE(std::isnan(got)) << text.substr(0, 40);
    else EXPECT_EQ(got, want) << text.substr(0, 40);
    EXPECT_EQ(std::signbit(got), std::signbit(want)) << text.substr(0, 40);
}

TEST(LeadingNumberTest, ReadsTheExpectedValueAndLength) {
    for (const Case& c : Cases()) {
        const char* text = c.text.c_str();
        double bounded = -1, terminated = -1;
        EXPECT_EQ(ReadLeadingNumber(text, text + c.text.size(), bounded), text + c.length) << c.text.substr(0, 40);
        EXPECT_EQ(ReadLeadingNumber(text, terminated), text + c.length) << c.text.substr(0, 40);
        ExpectSameValue(bounded, c.value, c.text);
        ExpectSameValue(terminated, c.value, c.text);
        ExpectSameValue(LeadingNumberOf(c.text), c.value, c.text);
    }
}

// With explicit bounds nothing past them is read and a zero byte simply is not a digit
// (the zero-terminated form against the bounded one: see the fuzz target).
TEST(LeadingNumberTest, StopsAtTheBounds) {
    for (const Case& c : {Case{std::string("12\0" "34", 5), 12.0, 2}, Case{"123", 123.0, 3}, Case{"", 0.0, 0},
                          Case{"1e", 1.0, 1}}) {
        const std::string text = c.text + "456e5";  // each read from a longer text
        double value = -1;
        EXPECT_EQ(ReadLeadingNumber(text.data(), text.data() + c.text.size(), value), text.data() + c.length) << c.text;
        EXPECT_EQ(value, c.value) << c.text;
    }
}

#ifndef _WIN32
// The table's values are the C library's; floats printed as the analyzer prints them and
// with full precision are read as it reads them (arbitrary texts: see the fuzz target).
TEST(LeadingNumberTest, AgreesWithStrtod) {
    for (const Case& c : Cases()) {
        char* strtodEnd = nullptr;
        ExpectSameValue(std::strtod(c.text.c_str(), &strtodEnd), c.value, c.text);
        EXPECT_EQ(strtodEnd, c.text.c_str() + c.length) << c.text.substr(0, 40);
    }
    std::mt19937 rng(7);
    for (int i = 0; i < 100000 && !HasFailure(); ++i) {
        char text[400], *strtodEnd = nullptr;
        const float f = std::bit_cast<float>(static_cast<uint32_t>(rng()));
        std::snprintf(text, sizeof text, i % 2 ? "%f\t" : "%.9g\r\n", static_cast<double>(f));
        const double want = std::strtod(text, &strtodEnd);
        double bounded = -1, terminated = -1;
        EXPECT_EQ(ReadLeadingNumber(text, text + std::strlen(text), bounded), strtodEnd) << text;
        EXPECT_EQ(ReadLeadingNumber(text, terminated), strtodEnd) << text;
        ExpectSameValue(bounded, want, text);
        ExpectSameValue(terminated, want, text);
    }
}
#endif

}  // namespace
}  // namespace vorn
