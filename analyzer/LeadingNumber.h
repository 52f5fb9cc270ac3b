// The leading decimal number of an analyzer reply, read exactly as the C library's
// strtod reads it in the "C" locale: leading white space (blank, \t, \n, \v, \f, \r)
// skipped, an optional sign, then the longest prefix that forms a decimal number
// (digits with an optional "." and an optional exponent that is taken only when a
// digit follows the "e"), a hexadecimal number ("0x" with hex digits, optional "." and
// "p" exponent), "inf", "infinity" or "nan" with an optional "(letters, digits, _)"
// suffix, all case-insensitive. Nothing readable gives 0.
//
// Values are correctly rounded; out-of-range values give +/-infinity or a signed zero as
// strtod does. NaNs keep their sign but not the payload "nan(...)" would give them.
// Unlike strtod it does not depend on the locale, does not touch errno, takes explicit
// bounds (a zero byte simply ends the number) and stays fast under the Windows runtime,
// whose strtod and sscanf are many times slower.
#pragma once

#include <string_view>

namespace vorn {

// Reads the number at the start of [first, last). Returns the end of what was read,
// or first (with value 0) when no number is there, as strtod's end pointer.
const char* ReadLeadingNumber(const char* first, const char* last, double& value);

// The leading number of a text, 0 when there is none.
double LeadingNumberOf(std::string_view text);

}  // namespace vorn
