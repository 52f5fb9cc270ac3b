#include "analyzer/LeadingNumber.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <system_error>

namespace vorn {

namespace {

bool IsSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsHexDigit(char c) { return IsDigit(c) || ((c | 0x20) >= 'a' && (c | 0x20) <= 'f'); }
bool IsNanChar(char c) { return IsDigit(c) || ((c | 0x20) >= 'a' && (c | 0x20) <= 'z') || c == '_'; }

// True when [p, last) starts with `word`, ignoring case (word is lower case).
bool StartsWithNoCase(const char* p, const char* last, std::string_view word) {
    if (static_cast<std::size_t>(last - p) < word.size()) return false;
    for (char w : word) {
        if ((*p++ | 0x20) != w) return false;
    }
    return true;
}

// The digits of a number with an optional radix point, and where its first non-zero
// digit stands, which is all that is needed to tell overflow from underflow.
struct Mantissa {
    const char* end = nullptr;
    bool hasDigits = false;
    // Power of the base at the first non-zero digit; meaningful only when nonZero.
    long long leadingPower = 0;
    bool nonZero = false;
};

template <class DigitTest>
Mantissa ScanMantissa(const char* p, const char* last, DigitTest isDigit) {
    Mantissa m;
    long long integerDigits = 0;
    for (; p != last && isDigit(*p); ++p) {
        m.hasDigits = true;
        if (m.nonZero) {
            ++integerDigits;
        } else if (*p != '0') {
            m.nonZero = true;
            integerDigits = 1;
        }
    }
    m.leadingPower = integerDigits - 1;
    if (p != last && *p == '.') {
        const char* afterPoint = p + 1;
        long long position = 0;
        for (p = afterPoint; p != last && isDigit(*p); ++p) {
            m.hasDigits = true;
            --position;
            if (!m.nonZero && *p != '0') {
                m.nonZero = true;
                m.leadingPower = position;
            }
        }
        if (!m.hasDigits) p = afterPoint - 1;  // a lone "." is not part of a number
    }
    m.end = p;
    return m;
}

// An exponent "<marker>[sign]digits"; returns its end, or p when there is none.
const char* ScanExponent(const char* p, const char* last, char marker, long long& exponent) {
    exponent = 0;
    if (p == last || (*p | 0x20) != marker) return p;
    const char* q = p + 1;
    bool negative = false;
    if (q != last && (*q == '+' || *q == '-')) negative = *q++ == '-';
    if (q == last || !IsDigit(*q)) return p;
    for (; q != last && IsDigit(*q); ++q) {
        // Saturate: any exponent this large already decides overflow or underflow.
        if (exponent < 1000000000) exponent = exponent * 10 + (*q - '0');
    }
    if (negative) exponent = -exponent;
    return q;
}

// from_chars leaves the value alone when it is out of range; strtod gives infinity
// or zero. Which one follows from the magnitude of the leading digit.
double Convert(const char* first, const char* last, std::chars_format format, const Mantissa& m,
               long long exponent, int bitsPerDigit) {
    double value = 0.0;
    auto result = std::from_chars(first, last, value, format);
    if (result.ec == std::errc::result_out_of_range) {
        long long magnitude = bitsPerDigit == 4 ? m.leadingPower * 4 + exponent : m.leadingPower + exponent;
        value = magnitude > 0 ? std::numeric_limits<double>::infinity() : 0.0;
    }
    return value;
}

}  // namespace

const char* ReadLeadingNumber(const char* first, const char* last, double& value) {
    value = 0.0;
    const char* p = first;
    while (p != last && IsSpace(*p)) ++p;
    bool negative = false;
    if (p != last && (*p == '+' || *p == '-')) negative = *p++ == '-';
    const double sign = negative ? -1.0 : 1.0;

    if (p != last && (*p | 0x20) == 'i') {
        if (!StartsWithNoCase(p, last, "inf")) return first;
        value = sign * std::numeric_limits<double>::infinity();
        return p + (StartsWithNoCase(p, last, "infinity") ? 8 : 3);
    }
    if (p != last && (*p | 0x20) == 'n') {
        if (!StartsWithNoCase(p, last, "nan")) return first;
        value = std::copysign(std::numeric_limits<double>::quiet_NaN(), sign);
        p += 3;
        if (p != last && *p == '(') {
            const char* q = p + 1;
            while (q != last && IsNanChar(*q)) ++q;
            if (q != last && *q == ')') p = q + 1;
        }
        return p;
    }

    // "0x" counts only when hexadecimal digits follow; otherwise the "0" alone is read.
    if (p != last && *p == '0' && last - p >= 2 && (p[1] | 0x20) == 'x') {
        Mantissa m = ScanMantissa(p + 2, last, IsHexDigit);
        if (m.hasDigits) {
            long long exponent = 0;
            const char* end = ScanExponent(m.end, last, 'p', exponent);
            value = sign * Convert(p + 2, end, std::chars_format::hex, m, exponent, 4);
            return end;
        }
    }

    Mantissa m = ScanMantissa(p, last, IsDigit);
    if (!m.hasDigits) return first;
    long long exponent = 0;
    const char* end = ScanExponent(m.end, last, 'e', exponent);
    value = sign * Convert(p, end, std::chars_format::general, m, exponent, 1);
    return end;
}

double LeadingNumberOf(std::string_view text) {
    double value = 0.0;
    ReadLeadingNumber(text.data(), text.data() + text.size(), value);
    return value;
}

}  // namespace vorn
