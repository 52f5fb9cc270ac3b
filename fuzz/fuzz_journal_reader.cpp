// Reads arbitrary bytes as a results journal, as a Spectrum.csv and as the report's input:
// every row is taken or reported, every taken row writes back to a line that reads the
// same, and the report is built from whatever came through.
#include "results/HtmlReport.h"
#include "results/JournalReader.h"
#include "results/SpectrumTable.h"

#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    vorn::JournalContents contents = vorn::ReadJournal(text);
    if (!contents.isJournal && (!contents.rows.empty() || !contents.problems.empty())) std::abort();
    for (const vorn::JournalRow& row : contents.rows) {
        const std::string line = vorn::JournalLine(row);
        const vorn::JournalContents again = vorn::ReadJournal(vorn::JournalHeader() + line);
        if (again.rows.size() != 1 || vorn::JournalLine(again.rows[0]) != line) std::abort();
    }
    for (const vorn::SpectrumPoint& p : vorn::ReadSpectrum(text))
        if (!(p.frequency == p.frequency && p.level == p.level && p.phase == p.phase)) std::abort();
    if (contents.isJournal && size < 4096) {
        vorn::ReportSources sources;
        sources.Add({"fuzz.csv", std::move(contents)});
        if (vorn::HtmlReport::Build(sources).empty()) std::abort();
    }
    return 0;
}
