// Reads arbitrary bytes with ReadLeadingNumber and with the C library's strtod, and
// stops on the first text where they read a different length or a different value.
#include "analyzer/LeadingNumber.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string text(reinterpret_cast<const char*>(data), size);
    char* strtodEnd = nullptr;
    double want = std::strtod(text.c_str(), &strtodEnd);
    double got = 0;
    const char* end = vorn::ReadLeadingNumber(text.data(), text.data() + text.size(), got);
    if (end != strtodEnd) std::abort();
    if (std::isnan(want) != std::isnan(got)) std::abort();
    if (!std::isnan(want) && std::memcmp(&want, &got, sizeof want) != 0) std::abort();
    if (std::signbit(want) != std::signbit(got)) std::abort();
    return 0;
}
