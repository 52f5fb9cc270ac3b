// One chart of the report as inline SVG: a plot area with both axes, ticks at round
// values with their numbers, axis titles with units, and what the caller draws inside.
// Coordinates are in the chart's own units; a logarithmic axis takes positive values only.
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace vorn {

struct ChartAxis {
    double min, max;    // range shown; widened when empty
    std::string title;  // with its unit, "Frequency (Hz)"
    bool log = false;
};

class SvgChart {
public:
    static constexpr double kWidth = 900, kHeight = 300;

    SvgChart(std::string title, ChartAxis x, ChartAxis y);

    // Screen position of a value; false when a log axis cannot show it.
    bool At(double x, double y, double& sx, double& sy) const;
    void Raw(const std::string& svg) { body += svg; }
    void Polyline(const std::vector<std::pair<double, double>>& points, const std::string& cssClass);
    // One dot, with its value as a tooltip.
    void Point(double x, double y, const std::string& cssClass, const std::string& tip);
    void HorizontalLine(double y, const std::string& cssClass, const std::string& label);
    void Bar(double x0, double x1, double y, const std::string& tip);
    void Legend(const std::vector<std::pair<std::string, std::string>>& classAndText);

    // The figure with its caption and the chart, added to the end of `out`.
    void AppendTo(std::string& out) const;
    void Reserve(size_t bytes) { body.reserve(bytes); }

private:
    std::string Axes() const;
    double Position(const ChartAxis& axis, double value, double from, double to) const;

    std::string title;
    ChartAxis x, y;
    std::string body;
};

// Text escaped for HTML and SVG content and attributes.
std::string HtmlText(const std::string& text);

}  // namespace vorn
