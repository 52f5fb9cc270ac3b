#include "results/TimeStamp.h"

#include "common/Format.h"

#include <cstdlib>

namespace vorn {

std::string IsoTimeText(const LocalTime& t) {
    const int offset = std::abs(t.utcOffsetMinutes);
    return Format("%04d-%02d-%02dT%02d:%02d:%02d%c%02d:%02d", t.year, t.month, t.day, t.hour, t.minute, t.second,
                  t.utcOffsetMinutes < 0 ? '-' : '+', offset / 60, offset % 60);
}

std::string FolderStamp(const LocalTime& t) {
    return Format("%04d-%02d-%02d_%02d-%02d-%02d", t.year, t.month, t.day, t.hour, t.minute, t.second);
}

namespace {
// Days from 1970-01-01 to the date in the proleptic Gregorian calendar.
int64_t DaysFromCivil(int64_t y, int m, int d) {
    y -= m <= 2;
    const int64_t era = (y >= 0 ? y : y - 399) / 400;
    const int64_t yoe = y - era * 400;
    const int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

bool Digits(std::string_view text, size_t at, size_t count, int& value) {
    value = 0;
    for (size_t i = at; i < at + count; ++i) {
        if (text[i] < '0' || text[i] > '9') return false;
        value = value * 10 + (text[i] - '0');
    }
    return true;
}
}  // namespace

std::optional<int64_t> ParseIsoTime(std::string_view text) {
    // 2026-12-07T10:15:02+01:00
    if (text.size() != 25) return std::nullopt;
    for (auto [at, c] : {std::pair{4, '-'}, {7, '-'}, {10, 'T'}, {13, ':'}, {16, ':'}, {22, ':'}})
        if (text[size_t(at)] != c) return std::nullopt;
    if (text[19] != '+' && text[19] != '-') return std::nullopt;
    int year, month, day, hour, minute, second, offsetHours, offsetMinutes;
    if (!Digits(text, 0, 4, year) || !Digits(text, 5, 2, month) || !Digits(text, 8, 2, day) ||
        !Digits(text, 11, 2, hour) || !Digits(text, 14, 2, minute) || !Digits(text, 17, 2, second) ||
        !Digits(text, 20, 2, offsetHours) || !Digits(text, 23, 2, offsetMinutes))
        return std::nullopt;
    if (month < 1 || month > 12 || day < 1 || day > 31 || hour > 23 || minute > 59 || second > 60 ||
        offsetHours > 14 || offsetMinutes > 59)
        return std::nullopt;
    const int64_t offset = (offsetHours * 60 + offsetMinutes) * 60 * (text[19] == '-' ? -1 : 1);
    return DaysFromCivil(year, month, day) * 86400 + hour * 3600 + minute * 60 + second - offset;
}

}  // namespace vorn
