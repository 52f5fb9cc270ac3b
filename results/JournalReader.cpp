#include "results/JournalReader.h"

#include "results/CsvText.h"
#include "results/TimeStamp.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace vorn {

namespace {

constexpr size_t kColumns = std::size(kJournalColumns);
constexpr size_t kAbsent = size_t(-1);

enum Column { kTime, kStation, kStimulus, kStatus, kSealed, kOpen, kCorwith, kVerdict, kLow, kHigh, kDuration,
              kSpanStart, kSpanStop, kScale, kArchive };

// Fills the row from the record's fields; the reason it cannot, otherwise.
std::string TakeRow(const std::vector<std::string>& fields, const std::array<size_t, kColumns>& at, JournalRow& row) {
    const auto text = [&](Column c) -> const std::string& {
        static const std::string empty;
        return at[c] == kAbsent ? empty : fields[at[c]];
    };
    std::string problem;
    const auto number = [&](Column c, std::optional<float>& value) {
        const std::string& t = text(c);
        value = ParseFloat(t);
        if (!t.empty() && !value && problem.empty())
            problem = std::string(kJournalColumns[c]) + " \"" + Printable(t) + "\" is not a number";
    };
    row.time = text(kTime);
    if (!ParseIsoTime(row.time)) return "time \"" + Printable(row.time) + "\" is not a local time with its offset";
    row.station = text(kStation);
    row.stimulus = text(kStimulus);
    row.status = text(kStatus);
    row.verdict = text(kVerdict);
    if (!row.verdict.empty() && row.verdict != "pass" && row.verdict != "fail")
        return "verdict \"" + Printable(row.verdict) + "\" is neither pass nor fail";
    row.archive = text(kArchive);
    number(kSealed, row.sealedSpl);
    number(kOpen, row.openSpl);
    number(kCorwith, row.corwith);
    number(kLow, row.limitLow);
    number(kHigh, row.limitHigh);
    number(kDuration, row.testDuration);
    number(kSpanStart, row.spanStart);
    number(kSpanStop, row.spanStop);
    number(kScale, row.scaleFactor);
    return problem;
}

}  // namespace

JournalContents ReadJournal(std::string_view text) {
    JournalContents contents;
    if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
    contents.rows.reserve(size_t(std::count(text.begin(), text.end(), '\n')));
    CsvReader reader(text);
    std::vector<std::string> fields;
    std::string error;
    std::array<size_t, kColumns> at;
    at.fill(kAbsent);
    size_t width = 0;
    while (reader.Next(fields, error)) {
        if (!contents.isJournal) {
            // Until the header: anything else is reported, as the header may follow a cut line.
            for (size_t i = 0; i < fields.size(); ++i)
                for (size_t c = 0; c < kColumns; ++c)
                    if (fields[i] == kJournalColumns[c] && at[c] == kAbsent) at[c] = i;
            contents.isJournal = at[kTime] != kAbsent && at[kCorwith] != kAbsent;
            if (contents.isJournal) width = fields.size();
            else {
                at.fill(kAbsent);
                contents.problems.push_back({reader.Line(), error.empty() ? "not the journal's header" : error});
            }
            continue;
        }
        if (!error.empty()) {
            contents.problems.push_back({reader.Line(), error});
            continue;
        }
        if (fields.size() != width) {
            contents.problems.push_back({reader.Line(), std::to_string(fields.size()) + " fields where the header has " +
                                                            std::to_string(width)});
            continue;
        }
        JournalRow row;
        std::string problem = TakeRow(fields, at, row);
        if (problem.empty()) contents.rows.push_back(std::move(row));
        else contents.problems.push_back({reader.Line(), std::move(problem)});
    }
    if (!contents.isJournal) contents.problems.clear();
    return contents;
}

}  // namespace vorn
