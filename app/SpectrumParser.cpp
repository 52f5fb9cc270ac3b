#include "app/SpectrumParser.h"

#include "analyzer/LeadingNumber.h"

namespace vorn {

namespace {

bool IsSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

// Skips white space, noting the first line feed passed if none was noted yet.
const char* SkipSpace(const char* p, const char*& lineFeed) {
    for (; IsSpace(*p); ++p) {
        if (*p == '\n' && lineFeed == nullptr) lineFeed = p;
    }
    return p;
}

}  // namespace

// The text is walked once: the white space before and between a row's numbers is
// where a line feed may hide, so it is noted while skipping; after the row only the
// rest of its line remains to be passed. (The reply buffer is over a megabyte.)
bool ParseSpectrumRows(const char* text, int32_t maximum, SpectrumRow* rows, int32_t& count) {
    if (text == nullptr || rows == nullptr || *text == '\0') return false;
    const char* rowStart = text;
    int32_t n = 0;
    while (n < maximum) {
        const char* lineFeed = nullptr;
        double first = 0.0;
        const char* p = SkipSpace(rowStart, lineFeed);
        const char* afterFirst = ReadLeadingNumber(p, first);
        if (afterFirst == p) break;
        double second = 0.0;
        p = SkipSpace(afterFirst, lineFeed);
        p = ReadLeadingNumber(p, second);
        rows[n].frequency = static_cast<float>(first);
        rows[n].value = static_cast<float>(second);
        ++n;
        if (lineFeed == nullptr) {
            while (*p != '\0' && *p != '\n') ++p;
            if (*p == '\0') break;
            lineFeed = p;
        }
        rowStart = lineFeed + 1;
    }
    count = n;
    return n > 0;
}

}  // namespace vorn
