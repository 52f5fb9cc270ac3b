// The results report: one self-contained HTML file (inline CSS and SVG, nothing fetched,
// no scripts) that opens offline in any browser and prints on A4. A summary overall and per
// station; the Corwith Number per test with its limit lines, its histogram, both total
// powers over time, the latest archived spectra and phases; the rows left out of each
// journal; every failed test; the latest 1,000 rows.
#pragma once

#include "results/ReportSources.h"

#include <string>

namespace vorn {

class HtmlReport {
public:
    static constexpr size_t kLatestRows = 1000;
    static constexpr size_t kSpectra = 5;
    static constexpr size_t kProblemsShown = 1000;

    static std::string Build(const ReportSources& sources);
};

}  // namespace vorn
