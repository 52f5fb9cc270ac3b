// One row of the results journal, Output\Results.csv: one test that reached its Corwith
// Number, or one step that failed or was cancelled. Numbers are absent when not measured.
#pragma once

#include <optional>
#include <string>

namespace vorn {

struct JournalRow {
    std::string time;                   // local time, ISO 8601 with its UTC offset
    std::string station;                // the computer's name
    std::string stimulus;               // the stimulus wave file's path
    std::string status;                 // "ok", the failed step's label text, or "cancelled"
    std::optional<float> sealedSpl;     // total power of the sealed capture, dB SPL
    std::optional<float> openSpl;       // total power of the open capture, dB SPL
    std::optional<float> corwith;       // the Corwith Number
    std::string verdict;                // "pass", "fail", or empty without limits
    std::optional<float> limitLow;      // the limits the verdict used
    std::optional<float> limitHigh;
    std::optional<float> testDuration;  // s
    std::optional<float> spanStart;     // Hz
    std::optional<float> spanStop;      // Hz
    std::optional<float> scaleFactor;   // the Corwith Number's scale factor
    std::string archive;                // archive folder relative to Output, a note after it, or empty
};

// The header line's fields, in the journal's column order.
extern const char* const kJournalColumns[15];
// What a new journal starts with: the UTF-8 byte-order mark and the header line.
std::string JournalHeader();
// The row as one CSV line with its CRLF.
std::string JournalLine(const JournalRow& row);
// The archive folder of a row, without the note that may follow it.
std::string ArchiveFolder(const JournalRow& row);
// Separates the archive folder from the note of what could not be kept.
constexpr const char* kArchiveNoteMark = " (";

}  // namespace vorn
