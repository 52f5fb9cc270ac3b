// The text of the results files: RFC 4180 fields, and numbers that read back to the same
// 32-bit float with a '.' decimal point whatever the locale (std::to_chars/from_chars,
// which never consult it). Also the fixed-point numbers of the report's charts.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vorn {

// The field as it goes into a row: quoted, with doubled quotes, when it holds a comma,
// a quote or a line break; as it is otherwise.
std::string CsvField(std::string_view text);
// The fields joined by commas; no line break.
std::string CsvRecord(const std::vector<std::string>& fields);

// Shortest text that reads back to the same float; empty for a value not measured.
std::string FloatText(std::optional<float> value);
// A finite float from the whole of the text; nothing for anything else ("nan", "1e99",
// "1.5x", "").
std::optional<float> ParseFloat(std::string_view text);
// `decimals` places after the point, for chart coordinates and the report's tables.
std::string FixedText(double value, int decimals);

// Splits RFC 4180 text into records. Hostile text is refused record by record: a record
// with a stray quote, a quote never closed, an overlong field or too many fields is
// reported with its first line, and reading goes on at the line after that one.
class CsvReader {
public:
    static constexpr size_t kMaxField = 64 * 1024;
    static constexpr size_t kMaxFields = 256;

    explicit CsvReader(std::string_view text);
    // False at the end. Otherwise `fields` holds the next record, or `error` says why the
    // record at Line() was refused (then `fields` is empty). Blank lines are skipped.
    bool Next(std::vector<std::string>& fields, std::string& error);
    // The line on which the record last returned began, counted from 1.
    size_t Line() const { return recordLine; }

private:
    bool Parse(std::vector<std::string>& fields, std::string& error);
    void SkipLineBreak();

    std::string_view text;
    size_t pos = 0;
    size_t line = 1;
    size_t recordLine = 1;
};

// Control characters of outside text shown as '?', cut to `limit` bytes, for messages.
std::string Printable(std::string_view text, size_t limit = 60);

}  // namespace vorn
