#include "results/HtmlReport.h"

#include "results/CsvText.h"
#include "results/ResultsSummary.h"
#include "results/SvgChart.h"

#include <algorithm>
#include <cmath>
#include <map>

namespace vorn {

namespace {

constexpr const char* kStyle = R"(<style>
@page { size: A4; margin: 12mm; }
body { font: 13px/1.35 sans-serif; color: #222; margin: 16px; }
h1 { font-size: 20px; } h2 { font-size: 16px; margin-top: 24px; }
table { border-collapse: collapse; margin: 6px 0; }
th, td { border: 1px solid #bbb; padding: 2px 6px; text-align: right; }
th { background: #eee; } td.t { text-align: left; }
tr.fail td { background: #fde0e0; } tr.pass td.v { color: #176b2c; }
figure { margin: 10px 0; page-break-inside: avoid; } figcaption { font-weight: bold; }
svg.chart { width: 100%; max-width: 900px; height: auto; }
svg text { font: 11px sans-serif; fill: #333; }
svg .frame { fill: #fff; stroke: #555; } svg .tick { stroke: #e3e3e3; }
svg .axis-title { font-size: 12px; }
svg circle.pass { fill: #1a8f3c; } svg circle.fail { fill: #d62020; } svg circle.none { fill: #4a6fd6; }
svg circle.step { fill: #888; }
svg line.limit { stroke: #d62020; stroke-width: 1.5; stroke-dasharray: 6 4; } svg text.limit { fill: #d62020; }
svg rect.bar { fill: #4a6fd6; }
svg polyline { fill: none; stroke-width: 1.2; }
svg .c0 { stroke: #1f77b4; } svg .c1 { stroke: #ff7f0e; } svg .c2 { stroke: #2ca02c; }
svg .c3 { stroke: #9467bd; } svg .c4 { stroke: #8c564b; }
@media print { body { margin: 0; } h2 { page-break-after: avoid; } }
</style>
)";

std::string Cell(const std::string& text, const char* cssClass = nullptr) {
    return cssClass ? "<td class=\"" + std::string(cssClass) + "\">" + HtmlText(text) + "</td>"
                    : "<td>" + HtmlText(text) + "</td>";
}

std::string Figure(double value, size_t values, int decimals = 3) { return values ? FixedText(value, decimals) : ""; }

std::string SummaryRow(const std::string& name, const ResultsSummary& s) {
    return "<tr>" + Cell(name, "t") + Cell(std::to_string(s.tests)) + Cell(std::to_string(s.passes)) +
           Cell(std::to_string(s.failures)) + Cell(std::to_string(s.cancelled)) + Cell(Figure(s.mean, s.values)) +
           Cell(Figure(s.sd, s.values)) + Cell(Figure(s.min, s.values)) + Cell(Figure(s.max, s.values)) +
           Cell(s.cpk ? FixedText(*s.cpk, 2) : "") + "</tr>\n";
}

std::string Summaries(const ReportSources& sources, const std::vector<MergedRow>& merged) {
    std::vector<const JournalRow*> all;
    std::map<std::string, std::vector<const JournalRow*>> byStation;
    for (const MergedRow& m : merged) {
        all.push_back(m.row);
        byStation[m.row->station].push_back(m.row);
    }
    std::string html = "<h2>Summary</h2>\n<table><tr><th>Station</th><th>Tests</th><th>Passes</th><th>Failures</th>"
                       "<th>Cancelled</th><th>Mean</th><th>SD</th><th>Min</th><th>Max</th><th>Cpk</th></tr>\n";
    html += SummaryRow("All", ResultsSummary::Of(all));
    if (byStation.size() > 1)
        for (const auto& [station, rows] : byStation) html += SummaryRow(station, ResultsSummary::Of(rows));
    html += "</table>\n<p>Journals:";
    for (const SourcedJournal& j : sources.Journals())
        html.append(" ").append(HtmlText(j.path)).append(" (").append(std::to_string(j.contents.rows.size())).append(" rows)");
    return html + "</p>\n";
}

// Range of the values with a little room at both ends.
std::pair<double, double> Range(const std::vector<double>& values) {
    if (values.empty()) return {0, 1};
    const auto [lo, hi] = std::minmax_element(values.begin(), values.end());
    const double pad = (*hi - *lo) * 0.05;
    return {*lo - pad, *hi + pad};
}

void TrendChart(const std::vector<MergedRow>& merged, std::string& out) {
    std::vector<double> values;
    std::optional<float> low, high;
    for (const MergedRow& m : merged) {
        if (m.row->corwith) values.push_back(*m.row->corwith);
        if (m.row->limitLow) low = m.row->limitLow;
        if (m.row->limitHigh) high = m.row->limitHigh;
    }
    if (low) values.push_back(*low);
    if (high) values.push_back(*high);
    const auto [y0, y1] = Range(values);
    SvgChart chart("Corwith Number per test", {0.5, double(merged.size()) + 0.5, "Test (number, oldest first)"},
                   {y0, y1, "Corwith Number (ratio)"});
    // Every row has its dot: a value where there is one, a grey dot on the floor for a
    // step that failed or was cancelled.
    chart.Reserve(merged.size() * 120);
    chart.Raw("<g class=\"trend\">\n");
    for (size_t i = 0; i < merged.size(); ++i) {
        const JournalRow& r = *merged[i].row;
        if (r.corwith)
            chart.Point(double(i + 1), *r.corwith, r.verdict.empty() ? "none" : r.verdict,
                        r.time + " " + r.station + ": " + FloatText(r.corwith));
        else
            chart.Point(double(i + 1), y0, "step", r.time + " " + r.station + ": " + r.status);
    }
    chart.Raw("</g>\n");
    if (low) chart.HorizontalLine(*low, "limit", "low limit " + FloatText(low));
    if (high) chart.HorizontalLine(*high, "limit", "high limit " + FloatText(high));
    chart.AppendTo(out);
}

void Histogram(const std::vector<MergedRow>& merged, std::string& out) {
    std::vector<double> values;
    for (const MergedRow& m : merged)
        if (m.row->corwith) values.push_back(*m.row->corwith);
    if (values.empty()) return;
    const auto [lo, hi] = std::minmax_element(values.begin(), values.end());
    const size_t bins = std::clamp<size_t>(size_t(std::sqrt(double(values.size()))), 1, 40);
    const double width = *hi > *lo ? (*hi - *lo) / double(bins) : 1.0;
    std::vector<size_t> counts(bins);
    for (double v : values) ++counts[std::min(bins - 1, size_t((v - *lo) / width))];
    const double top = double(*std::max_element(counts.begin(), counts.end()));
    SvgChart chart("Corwith Number histogram", {*lo, *lo + width * double(bins), "Corwith Number (ratio)"},
                   {0, top * 1.05, "Tests (count)"});
    for (size_t b = 0; b < bins; ++b)
        if (counts[b])
            chart.Bar(*lo + width * double(b), *lo + width * double(b + 1), double(counts[b]),
                      std::to_string(counts[b]) + " tests from " + FixedText(*lo + width * double(b), 3));
    chart.AppendTo(out);
}

void PowerChart(const std::vector<MergedRow>& merged, std::string& out) {
    std::vector<std::pair<double, double>> sealed, open;
    std::vector<double> levels;
    const int64_t start = merged.empty() ? 0 : merged.front().utc;
    for (const MergedRow& m : merged) {
        const double hours = double(m.utc - start) / 3600.0;
        if (m.row->sealedSpl) sealed.push_back({hours, *m.row->sealedSpl}), levels.push_back(*m.row->sealedSpl);
        if (m.row->openSpl) open.push_back({hours, *m.row->openSpl}), levels.push_back(*m.row->openSpl);
    }
    if (levels.empty()) return;
    const auto [y0, y1] = Range(levels);
    const double span = merged.empty() ? 1.0 : double(merged.back().utc - start) / 3600.0;
    SvgChart chart("Total power over time",
                   {0, span, "Time since " + (merged.empty() ? std::string() : merged.front().row->time) + " (h)"},
                   {y0, y1, "Total power (dB SPL)"});
    chart.Polyline(sealed, "c0");
    chart.Polyline(open, "c1");
    chart.Legend({{"c0", "sealed"}, {"c1", "open"}});
    chart.AppendTo(out);
}

void SpectrumCharts(const std::vector<ArchivedSpectrum>& spectra, std::string& out) {
    if (spectra.empty()) return;
    double f0 = 1e30, f1 = 0;
    std::vector<double> levels, phases;
    for (const ArchivedSpectrum& s : spectra)
        for (const SpectrumPoint& p : s.points) {
            if (p.frequency > 0) f0 = std::min<double>(f0, p.frequency), f1 = std::max<double>(f1, p.frequency);
            levels.push_back(p.level);
            phases.push_back(p.phase);
        }
    if (f1 <= 0) return;
    const auto [l0, l1] = Range(levels);
    const auto [p0, p1] = Range(phases);
    SvgChart level("Spectrum of the latest archived tests", {f0, f1, "Frequency (Hz)", true}, {l0, l1, "Level (dB)"});
    SvgChart phase("Phase of the latest archived tests", {f0, f1, "Frequency (Hz)", true}, {p0, p1, "Phase (degrees)"});
    std::vector<std::pair<std::string, std::string>> legend;
    for (size_t i = 0; i < spectra.size(); ++i) {
        std::vector<std::pair<double, double>> l, p;
        for (const SpectrumPoint& s : spectra[i].points) l.push_back({s.frequency, s.level}), p.push_back({s.frequency, s.phase});
        const std::string cssClass = std::string("c").append(std::to_string(i % 5));
        level.Polyline(l, cssClass);
        phase.Polyline(p, cssClass);
        legend.push_back({cssClass, spectra[i].label});
    }
    level.Legend(legend);
    phase.Legend(legend);
    level.AppendTo(out);
    phase.AppendTo(out);
}

std::string Problems(const ReportSources& sources) {
    std::string html;
    size_t shown = 0, total = 0;
    for (const SourcedJournal& j : sources.Journals())
        for (const JournalProblem& p : j.contents.problems) {
            if (shown++ < HtmlReport::kProblemsShown)
                html += "<li>" + HtmlText(j.path) + ", line " + std::to_string(p.line) + ": " + HtmlText(p.text) + "</li>\n";
            ++total;
        }
    if (total == 0) return {};
    if (total > shown) html += "<li>and " + std::to_string(total - HtmlReport::kProblemsShown) + " more</li>\n";
    return "<h2>Rows left out (" + std::to_string(total) + ")</h2>\n<ul>\n" + html + "</ul>\n";
}

std::string RowTable(const std::vector<const JournalRow*>& rows) {
    std::string html = "<table><tr><th>Time</th><th>Station</th><th>Stimulus</th><th>Status</th><th>Sealed (dB SPL)</th>"
                       "<th>Open (dB SPL)</th><th>Corwith Number</th><th>Verdict</th><th>Limits</th><th>Archive</th></tr>\n";
    for (const JournalRow* r : rows) {
        const bool fail = IsFailure(*r);
        html += std::string(fail ? "<tr class=\"fail\">" : r->verdict == "pass" ? "<tr class=\"pass\">" : "<tr>") +
                Cell(r->time, "t") + Cell(r->station, "t") + Cell(r->stimulus, "t") + Cell(r->status, "t") +
                Cell(FloatText(r->sealedSpl)) + Cell(FloatText(r->openSpl)) + Cell(FloatText(r->corwith), "v") +
                Cell(r->verdict, "t") +
                Cell(r->limitLow || r->limitHigh ? FloatText(r->limitLow) + " .. " + FloatText(r->limitHigh) : "") +
                Cell(r->archive, "t") + "</tr>\n";
    }
    return html + "</table>\n";
}

}  // namespace

std::string HtmlReport::Build(const ReportSources& sources) {
    const std::vector<MergedRow> merged = sources.Merged();
    std::string html = "<!DOCTYPE html>\n<html lang=\"en\"><head><meta charset=\"utf-8\">\n<title>Test results</title>\n";
    html += kStyle;
    html += "</head><body>\n<h1>Test results</h1>\n";
    html += Summaries(sources, merged);
    html.reserve(merged.size() * 250 + 100000);
    TrendChart(merged, html);
    Histogram(merged, html);
    PowerChart(merged, html);
    SpectrumCharts(sources.LatestSpectra(merged, kSpectra), html);
    html += Problems(sources);
    std::vector<const JournalRow*> failed, latest;
    for (const MergedRow& m : merged)
        if (IsFailure(*m.row)) failed.push_back(m.row);
    for (auto it = merged.rbegin(); it != merged.rend() && latest.size() < kLatestRows; ++it) latest.push_back(it->row);
    html += "<h2>Failed tests (" + std::to_string(failed.size()) + ")</h2>\n";
    html += RowTable(failed);
    html += "<h2>Latest " + std::to_string(latest.size()) + " rows, newest first</h2>\n";
    html += RowTable(latest);
    return html + "</body></html>\n";
}

}  // namespace vorn
