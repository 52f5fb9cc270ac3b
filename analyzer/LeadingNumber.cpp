#include "analyzer/LeadingNumber.h"

#include <charconv>
#include <cstdint>
#include <cmath>
#include <limits>
#include <system_error>

namespace vorn {

namespace {

bool IsSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsHexDigit(char c) { return IsDigit(c) || ((c | 0x20) >= 'a' && (c | 0x20) <= 'f'); }
bool IsNanChar(char c) { return IsDigit(c) || ((c | 0x20) >= 'a' && (c | 0x20) <= 'z') || c == '_'; }

// Where the text ends: at a bound, or at its terminating zero byte. A zero byte never
// matches a digit, sign, letter or blank, so every scan below stops at it anyway.
struct Bounded {
    const char* last;
    bool operator()(const char* p) const { return p == last; }
};
struct Terminated {
    bool operator()(const char* p) const { return *p == '\0'; }
};

// True when the text at p starts with `word`, ignoring case (word is lower case).
template <class End>
bool StartsWithNoCase(const char* p, End atEnd, std::string_view word) {
    for (char w : word) {
        if (atEnd(p) || (*p++ | 0x20) != w) return false;
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

template <class End, class DigitTest>
Mantissa ScanMantissa(const char* p, End atEnd, DigitTest isDigit) {
    Mantissa m;
    long long integerDigits = 0;
    for (; !atEnd(p) && isDigit(*p); ++p) {
        m.hasDigits = true;
        if (m.nonZero) {
            ++integerDigits;
        } else if (*p != '0') {
            m.nonZero = true;
            integerDigits = 1;
        }
    }
    m.leadingPower = integerDigits - 1;
    if (!atEnd(p) && *p == '.') {
        const char* afterPoint = p + 1;
        long long position = 0;
        for (p = afterPoint; !atEnd(p) && isDigit(*p); ++p) {
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
template <class End>
const char* ScanExponent(const char* p, End atEnd, char marker, long long& exponent) {
    exponent = 0;
    if (atEnd(p) || (*p | 0x20) != marker) return p;
    const char* q = p + 1;
    bool negative = false;
    if (!atEnd(q) && (*q == '+' || *q == '-')) negative = *q++ == '-';
    if (atEnd(q) || !IsDigit(*q)) return p;
    for (; !atEnd(q) && IsDigit(*q); ++q) {
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

constexpr double kExactPowersOfTen[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                       1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                       1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

// The common case of analyzer replies ("%f": a few digits, six decimals) without the
// general conversion: when the digits form an integer m below 2^53 and the decimal
// exponent e is within +/-22, m and 10^|e| are exact doubles and one multiplication
// or division rounds correctly. Returns false, having read nothing, otherwise.
template <class End>
bool ReadShortDecimal(const char* p, End atEnd, double& magnitude, const char*& end) {
    uint64_t digits = 0;
    int significant = 0;
    int fractionDigits = 0;
    bool any = false;
    for (; !atEnd(p) && IsDigit(*p); ++p) {
        any = true;
        if (digits != 0 || *p != '0') {
            digits = digits * 10 + static_cast<uint64_t>(*p - '0');
            ++significant;
        }
        if (significant > 19) return false;
    }
    if (!atEnd(p) && *p == '.') {
        const char* afterPoint = p + 1;
        for (p = afterPoint; !atEnd(p) && IsDigit(*p); ++p) {
            any = true;
            ++fractionDigits;
            if (digits != 0 || *p != '0') {
                digits = digits * 10 + static_cast<uint64_t>(*p - '0');
                ++significant;
            }
            if (significant > 19) return false;
        }
    }
    if (!any) return false;  // a lone "." is no number
    long long exponent = 0;
    p = ScanExponent(p, atEnd, 'e', exponent);
    exponent -= fractionDigits;
    if (digits == 0) {
        magnitude = 0.0;
    } else if (digits <= (uint64_t{1} << 53) && exponent >= -22 && exponent <= 22) {
        const double m = static_cast<double>(digits);
        magnitude = exponent < 0 ? m / kExactPowersOfTen[-exponent] : m * kExactPowersOfTen[exponent];
    } else {
        return false;
    }
    end = p;
    return true;
}

template <class End>
const char* ReadNumber(const char* first, End atEnd, double& value) {
    value = 0.0;
    const char* p = first;
    while (!atEnd(p) && IsSpace(*p)) ++p;
    bool negative = false;
    if (!atEnd(p) && (*p == '+' || *p == '-')) negative = *p++ == '-';
    const double sign = negative ? -1.0 : 1.0;

    if (!atEnd(p) && (*p | 0x20) == 'i') {
        if (!StartsWithNoCase(p, atEnd, "inf")) return first;
        value = sign * std::numeric_limits<double>::infinity();
        return p + (StartsWithNoCase(p, atEnd, "infinity") ? 8 : 3);
    }
    if (!atEnd(p) && (*p | 0x20) == 'n') {
        if (!StartsWithNoCase(p, atEnd, "nan")) return first;
        value = std::copysign(std::numeric_limits<double>::quiet_NaN(), sign);
        p += 3;
        if (!atEnd(p) && *p == '(') {
            const char* q = p + 1;
            while (!atEnd(q) && IsNanChar(*q)) ++q;
            if (!atEnd(q) && *q == ')') p = q + 1;
        }
        return p;
    }

    // "0x" counts only when hexadecimal digits follow; otherwise the "0" alone is read.
    if (!atEnd(p) && *p == '0' && !atEnd(p + 1) && (p[1] | 0x20) == 'x') {
        Mantissa m = ScanMantissa(p + 2, atEnd, IsHexDigit);
        if (m.hasDigits) {
            long long exponent = 0;
            const char* end = ScanExponent(m.end, atEnd, 'p', exponent);
            value = sign * Convert(p + 2, end, std::chars_format::hex, m, exponent, 4);
            return end;
        }
    }

    double magnitude = 0.0;
    const char* end = nullptr;
    if (ReadShortDecimal(p, atEnd, magnitude, end)) {
        value = sign * magnitude;
        return end;
    }
    Mantissa m = ScanMantissa(p, atEnd, IsDigit);
    if (!m.hasDigits) return first;
    long long exponent = 0;
    end = ScanExponent(m.end, atEnd, 'e', exponent);
    value = sign * Convert(p, end, std::chars_format::general, m, exponent, 1);
    return end;
}

}  // namespace

const char* ReadLeadingNumber(const char* first, const char* last, double& value) {
    return ReadNumber(first, Bounded{last}, value);
}

const char* ReadLeadingNumber(const char* text, double& value) {
    return ReadNumber(text, Terminated{}, value);
}

double LeadingNumberOf(std::string_view text) {
    double value = 0.0;
    ReadLeadingNumber(text.data(), text.data() + text.size(), value);
    return value;
}

}  // namespace vorn
