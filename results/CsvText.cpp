#include "results/CsvText.h"

#include <charconv>
#include <cmath>

namespace vorn {

std::string CsvField(std::string_view text) {
    if (text.find_first_of(",\"\r\n") == std::string_view::npos) return std::string(text);
    std::string quoted = "\"";
    for (char c : text) {
        if (c == '"') quoted += '"';
        quoted += c;
    }
    return quoted + '"';
}

std::string CsvRecord(const std::vector<std::string>& fields) {
    std::string record;
    for (size_t i = 0; i < fields.size(); ++i) {
        if (i) record += ',';
        record += CsvField(fields[i]);
    }
    return record;
}

std::string FloatText(std::optional<float> value) {
    if (!value) return {};
    char buffer[32];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, *value);
    return std::string(buffer, result.ptr);
}

std::optional<float> ParseFloat(std::string_view text) {
    float value = 0;
    const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || result.ec != std::errc() || result.ptr != text.data() + text.size() || !std::isfinite(value))
        return std::nullopt;
    return value;
}

std::string FixedText(double value, int decimals) {
    if (!std::isfinite(value)) return "0";
    char buffer[400];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals);
    return result.ec == std::errc() ? std::string(buffer, result.ptr) : std::string("0");
}

CsvReader::CsvReader(std::string_view text) : text(text) {}

void CsvReader::SkipLineBreak() {
    if (pos < text.size() && text[pos] == '\r') ++pos;
    if (pos < text.size() && text[pos] == '\n') ++pos;
    ++line;
}

bool CsvReader::Next(std::vector<std::string>& fields, std::string& error) {
    while (pos < text.size() && (text[pos] == '\r' || text[pos] == '\n')) SkipLineBreak();
    fields.clear();
    error.clear();
    if (pos >= text.size()) return false;
    recordLine = line;
    const size_t start = pos;
    if (Parse(fields, error)) return true;
    // Go on after the first line of the refused record: a quote opened by mistake would
    // otherwise take every row after it along.
    fields.clear();
    const size_t end = text.find_first_of("\r\n", start);
    pos = end == std::string_view::npos ? text.size() : end;
    line = recordLine;
    if (pos < text.size()) SkipLineBreak();
    return true;
}

bool CsvReader::Parse(std::vector<std::string>& fields, std::string& error) {
    std::string field;
    while (true) {
        if (pos < text.size() && text[pos] == '"') {
            for (++pos;; ++pos) {
                if (pos >= text.size()) {
                    error = "a quote is never closed";
                    return false;
                }
                const char c = text[pos];
                if (c == '"') {
                    if (pos + 1 < text.size() && text[pos + 1] == '"') ++pos;
                    else break;
                }
                if (c == '\n') ++line;
                if (field.size() >= kMaxField) {
                    error = "a field is longer than " + std::to_string(kMaxField) + " bytes";
                    return false;
                }
                field += c;
            }
            ++pos;
            if (pos < text.size() && text[pos] != ',' && text[pos] != '\r' && text[pos] != '\n') {
                error = "text follows a closing quote";
                return false;
            }
        } else {
            const size_t end = std::min(text.find_first_of(",\r\n\"", pos), text.size());
            if (end < text.size() && text[end] == '"') {
                error = "a quote stands inside a field";
                return false;
            }
            if (end - pos > kMaxField) {
                error = "a field is longer than " + std::to_string(kMaxField) + " bytes";
                return false;
            }
            field.assign(text.substr(pos, end - pos));
            pos = end;
        }
        if (fields.size() >= kMaxFields) {
            error = "a row has more than " + std::to_string(kMaxFields) + " fields";
            return false;
        }
        fields.push_back(std::move(field));
        field.clear();
        if (pos >= text.size()) return true;
        if (text[pos] != ',') {
            SkipLineBreak();
            return true;
        }
        ++pos;
    }
}

std::string Printable(std::string_view text, size_t limit) {
    std::string shown;
    for (size_t i = 0; i < text.size() && i < limit; ++i) shown += uint8_t(text[i]) < 0x20 ? '?' : text[i];
    if (text.size() > limit) shown += "...";
    return shown;
}

}  // namespace vorn
