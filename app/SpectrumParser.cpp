#include "app/SpectrumParser.h"

#include "analyzer/LeadingNumber.h"

#include <cstring>

namespace vorn {

bool ParseSpectrumRows(const char* text, int32_t maximum, SpectrumRow* rows, int32_t& count) {
    if (text == nullptr || rows == nullptr || *text == '\0') return false;
    const char* const end = text + std::strlen(text);
    const char* rowStart = text;
    int32_t n = 0;
    while (n < maximum) {
        double first = 0.0;
        const char* afterFirst = ReadLeadingNumber(rowStart, end, first);
        if (afterFirst == rowStart) break;
        double second = 0.0;
        ReadLeadingNumber(afterFirst, end, second);
        rows[n].frequency = static_cast<float>(first);
        rows[n].value = static_cast<float>(second);
        ++n;
        const void* lineFeed = std::memchr(rowStart, '\n', static_cast<std::size_t>(end - rowStart));
        if (lineFeed == nullptr) break;
        rowStart = static_cast<const char*>(lineFeed) + 1;
    }
    count = n;
    return n > 0;
}

}  // namespace vorn
