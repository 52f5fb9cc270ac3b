#include "analyzer/LeadingNumber.h"

#include <gtest/gtest.h>

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

std::vector<Case> Cases() {
    const std::string longDigits(400, '9');
    const std::string longZeros = "0." + std::string(350, '0') + "1";
    return {
        {"", 0.0, 0},
        {"85.3", 85.3, 4},
        {"  \t\r\n\v\f-12.5 dB", -12.5, 12},
        {"+7", 7.0, 2},
        {"-", 0.0, 0},
        {"+-1", 0.0, 0},
        {"- 1", 0.0, 0},
        {".", 0.0, 0},
        {"-.", 0.0, 0},
        {".e5", 0.0, 0},
        {".5", 0.5, 2},
        {"5.", 5.0, 2},
        {"-.5e-3x", -0.0005, 6},
        {"1e", 1.0, 1},
        {"1e+", 1.0, 1},
        {"1E-", 1.0, 1},
        {"1e+x", 1.0, 1},
        {"2E3", 2000.0, 3},
        {"1.5e+02\t", 150.0, 7},
        {"1e5.5", 1e5, 3},
        {"1..2", 1.0, 2},
        {"0012", 12.0, 4},
        {"-0", -0.0, 2},
        {"1,5", 1.0, 1},
        {"\xa0" "1", 0.0, 0},
        {"abc", 0.0, 0},
        {longDigits, kInf, 400},
        {"0." + longDigits + "e-5", 1e-5, 405},
        {"1." + std::string(800, '0') + "1", 1.0, 803},
        {longZeros, 0.0, longZeros.size()},
        {"4.9406564584124654e-324", 4.9406564584124654e-324, 23},
        {"2.2250738585072009e-308", 2.2250738585072009e-308, 23},
        {"2e-324", 0.0, 6},
        {"-1e-400", -0.0, 7},
        {"1e400", kInf, 5},
        {"-1e99999999999999999999", -kInf, 23},
        {"1.7976931348623157e308", DBL_MAX, 22},
        {"1.7976931348623159e308", kInf, 22},
        {"0.1", 0.1, 3},
        {"9007199254740993", 9007199254740992.0, 16},
        {"0x1p4", 16.0, 5},
        {"0X1.8P+1 ", 3.0, 8},
        {"-0x.8", -0.5, 5},
        {"0x", 0.0, 1},
        {"0xg", 0.0, 1},
        {"0x.", 0.0, 1},
        {"0x.p1", 0.0, 1},
        {"0x1p", 1.0, 3},
        {"0x1p-1074", 4.9406564584124654e-324, 9},
        {"0x1p-1080", 0.0, 9},
        {"0x1p1024", kInf, 8},
        {"0xfffffffffffffffffff", 0xfffffffffffffffffffp0, 21},
        {"inf", kInf, 3},
        {"-INFinity", -kInf, 9},
        {"infinit", kInf, 3},
        {"in", 0.0, 0},
    };
}

void ExpectSameValue(double got, double want, const std::string& text) {
    if (std::isnan(want)) {
        EXPECT_TRUE(std::isnan(got)) << text;
    } else {
        EXPECT_EQ(got, want) << text;
    }
    EXPECT_EQ(std::signbit(got), std::signbit(want)) << text;
}

TEST(LeadingNumberTest, ReadsWhatTheCLibraryReads) {
    for (const Case& c : Cases()) {
        double value = -1;
        const char* end = ReadLeadingNumber(c.text.data(), c.text.data() + c.text.size(), value);
        EXPECT_EQ(static_cast<std::size_t>(end - c.text.data()), c.length) << c.text.substr(0, 40);
        ExpectSameValue(value, c.value, c.text.substr(0, 40));
    }
}

TEST(LeadingNumberTest, NotANumberKeepsItsSignAndOptionalSuffix) {
    const std::vector<std::pair<std::string, std::size_t>> cases = {
        {"nan", 3}, {"-NaN", 4}, {"nan()", 5}, {"nan(ind_1)x", 10}, {"nan(", 3}, {"nan(a b)", 3}, {"nan(a", 3}};
    for (const auto& [text, length] : cases) {
        double value = 0;
        const char* end = ReadLeadingNumber(text.data(), text.data() + text.size(), value);
        EXPECT_TRUE(std::isnan(value)) << text;
        EXPECT_EQ(std::signbit(value), text[0] == '-') << text;
        EXPECT_EQ(static_cast<std::size_t>(end - text.data()), length) << text;
    }
    EXPECT_EQ(LeadingNumberOf("na"), 0.0);
}

// A zero byte ends the text for strtod; with explicit bounds it simply is not a digit.
TEST(LeadingNumberTest, StopsAtTheBoundsAndAtAZeroByte) {
    std::string text("12\0" "34", 5);
    double value = 0;
    EXPECT_EQ(ReadLeadingNumber(text.data(), text.data() + text.size(), value), text.data() + 2);
    EXPECT_EQ(value, 12.0);
    const char* digits = "123456";
    EXPECT_EQ(ReadLeadingNumber(digits, digits + 3, value), digits + 3);
    EXPECT_EQ(value, 123.0);
    EXPECT_EQ(ReadLeadingNumber(digits, digits, value), digits);
    EXPECT_EQ(value, 0.0);
    const char* exponent = "1e5";
    EXPECT_EQ(ReadLeadingNumber(exponent, exponent + 2, value), exponent + 1);
    EXPECT_EQ(value, 1.0);
}

#ifndef _WIN32
void ExpectSameAsStrtod(const std::string& text) {
    char* strtodEnd = nullptr;
    double want = std::strtod(text.c_str(), &strtodEnd);
    double got = -1;
    const char* end = ReadLeadingNumber(text.c_str(), text.c_str() + text.size(), got);
    ASSERT_EQ(end, strtodEnd) << '"' << text << '"';
    ExpectSameValue(got, want, text);
}

TEST(LeadingNumberTest, TableAgreesWithStrtod) {
    for (const Case& c : Cases()) ExpectSameAsStrtod(c.text);
    for (const char* text : {"nan", "-NaN", "nan()", "nan(ind_1)x", "nan(", "nan(a b)", "na"})
        ExpectSameAsStrtod(text);
}

// Random texts built from the pieces numbers are made of, so that most of them come
// close to being a number and hit the corners of the grammar.
TEST(LeadingNumberTest, RandomTextsAgreeWithStrtod) {
    const std::vector<std::string> pieces = {
        " ", "\t", "\n", "+", "-", "0", "1", "5", "9", "00000", "12345678901234567890", ".",
        "e", "E", "p", "P", "x", "X", "a", "f", "inf", "INFINITY", "nan", "(", ")", "_", "e308",
        "e-324", "e-400", "e400", "0x", "1.7976931348623157", "4.94065645841246544e-324", ",", "\xff"};
    std::mt19937 rng(20240611);
    std::uniform_int_distribution<std::size_t> pick(0, pieces.size() - 1);
    std::uniform_int_distribution<int> count(1, 8);
    for (int i = 0; i < 200000; ++i) {
        std::string text;
        for (int n = count(rng); n > 0; --n) text += pieces[pick(rng)];
        ExpectSameAsStrtod(text);
        if (HasFailure()) return;
    }
}

// Every float printed as the analyzer prints it and with full precision reads back
// exactly as strtod reads it.
TEST(LeadingNumberTest, PrintedNumbersAgreeWithStrtod) {
    std::mt19937 rng(7);
    std::uniform_int_distribution<uint32_t> bits;
    for (int i = 0; i < 100000; ++i) {
        uint32_t b = bits(rng);
        float f;
        std::memcpy(&f, &b, sizeof f);
        char text[400];
        std::snprintf(text, sizeof text, i % 2 ? "%f\t" : "%.9g\r\n", static_cast<double>(f));
        ExpectSameAsStrtod(text);
        if (HasFailure()) return;
    }
}
#endif

}  // namespace
}  // namespace vorn
