#include "results/JournalRow.h"

#include "results/CsvText.h"

#include <vector>

namespace vorn {

const char* const kJournalColumns[15] = {
    "time",     "station",   "stimulus",      "status",    "sealed_spl", "open_spl",    "corwith", "verdict",
    "limit_low", "limit_high", "test_duration", "span_start", "span_stop",  "scale_factor", "archive"};

std::string JournalHeader() {
    return "\xEF\xBB\xBF" + CsvRecord(std::vector<std::string>(std::begin(kJournalColumns), std::end(kJournalColumns))) +
           "\r\n";
}

std::string JournalLine(const JournalRow& r) {
    return CsvRecord({r.time, r.station, r.stimulus, r.status, FloatText(r.sealedSpl), FloatText(r.openSpl),
                      FloatText(r.corwith), r.verdict, FloatText(r.limitLow), FloatText(r.limitHigh),
                      FloatText(r.testDuration), FloatText(r.spanStart), FloatText(r.spanStop),
                      FloatText(r.scaleFactor), r.archive}) +
           "\r\n";
}

std::string ArchiveFolder(const JournalRow& row) { return row.archive.substr(0, row.archive.find(kArchiveNoteMark)); }

}  // namespace vorn
