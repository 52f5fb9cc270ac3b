// The texts of a test's moment: the journal's ISO 8601 time with its UTC offset
// ("2026-12-07T10:15:02+01:00"), the archive folder's name ("2026-12-07_10-15-02"), and
// the way back from the journal's text to a moment that sorts across time zones.
#pragma once

#include "results/ResultsFileSystem.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vorn {

std::string IsoTimeText(const LocalTime& t);
std::string FolderStamp(const LocalTime& t);
// Seconds since 1970-01-01 UTC, for the journal's time text exactly; nothing for any other text.
std::optional<int64_t> ParseIsoTime(std::string_view text);

}  // namespace vorn
