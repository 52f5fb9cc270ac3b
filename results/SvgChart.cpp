#include "results/SvgChart.h"

#include "results/CsvText.h"

#include <algorithm>
#include <cmath>

namespace vorn {

namespace {

constexpr double kLeft = 70, kRight = 20, kTop = 30, kBottom = 50;

void Widen(ChartAxis& a) {
    if (!std::isfinite(a.min) || !std::isfinite(a.max)) a.min = 0, a.max = 1;
    if (a.log) {
        a.min = std::max(a.min, 1e-6);
        a.max = std::max(a.max, a.min * 1.01);
    } else if (a.max - a.min < 1e-9 * std::max(1.0, std::fabs(a.max))) {
        const double pad = std::max(1.0, std::fabs(a.max) * 0.1);
        a.min -= pad;
        a.max += pad;
    }
}

// Round tick values across the range: steps of 1, 2 or 5 times a power of ten, or decades.
std::vector<double> Ticks(const ChartAxis& a, int& decimals) {
    std::vector<double> ticks;
    decimals = 0;
    if (a.log) {
        // Decades; 1, 2 and 5 of each decade, or every step, when the range spans few of them.
        const double decades = std::log10(a.max / a.min);
        const std::vector<double> steps = decades > 3 ? std::vector<double>{1} : decades > 1.2 ? std::vector<double>{1, 2, 5}
                                                                                           : std::vector<double>{1, 2, 3, 4, 5, 6, 7, 8, 9};
        for (double d = std::pow(10, std::floor(std::log10(a.min))); d <= a.max * 1.0001; d *= 10)
            for (double m : steps)
                if (d * m >= a.min * 0.9999 && d * m <= a.max * 1.0001) ticks.push_back(d * m);
        decimals = a.min < 1 ? 3 : 0;
        return ticks;
    }
    const double raw = (a.max - a.min) / 6;
    const double power = std::pow(10, std::floor(std::log10(raw)));
    const double step = power * (raw / power < 1.5 ? 1 : raw / power < 3.5 ? 2 : raw / power < 7.5 ? 5 : 10);
    decimals = std::max(0, int(-std::floor(std::log10(step) + 1e-9)));
    for (double t = std::ceil(a.min / step) * step; t <= a.max + step * 1e-6; t += step) ticks.push_back(t);
    return ticks;
}

}  // namespace

std::string HtmlText(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        switch (c) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '"': out += "&quot;"; break;
        default: out += uint8_t(c) < 0x20 ? ' ' : c;
        }
    }
    return out;
}

SvgChart::SvgChart(std::string title, ChartAxis x, ChartAxis y) : title(std::move(title)), x(std::move(x)), y(std::move(y)) {
    Widen(this->x);
    Widen(this->y);
}

double SvgChart::Position(const ChartAxis& a, double value, double from, double to) const {
    const double f = a.log ? (std::log10(value) - std::log10(a.min)) / (std::log10(a.max) - std::log10(a.min))
                           : (value - a.min) / (a.max - a.min);
    return from + (to - from) * std::clamp(f, -0.02, 1.02);
}

bool SvgChart::At(double vx, double vy, double& sx, double& sy) const {
    if (!std::isfinite(vx) || !std::isfinite(vy) || (x.log && vx <= 0) || (y.log && vy <= 0)) return false;
    sx = Position(x, vx, kLeft, kWidth - kRight);
    sy = Position(y, vy, kHeight - kBottom, kTop);
    return true;
}

void SvgChart::Polyline(const std::vector<std::pair<double, double>>& points, const std::string& cssClass) {
    std::string list;
    double sx, sy;
    for (const auto& [px, py] : points)
        if (At(px, py, sx, sy)) list += FixedText(sx, 1) + ',' + FixedText(sy, 1) + ' ';
    if (!list.empty()) list.pop_back();
    body += "<polyline class=\"" + cssClass + "\" points=\"" + list + "\"/>\n";
}

void SvgChart::Point(double px, double py, const std::string& cssClass, const std::string& tip) {
    double sx, sy;
    if (!At(px, py, sx, sy)) return;
    body += "<circle class=\"" + cssClass + "\" cx=\"" + FixedText(sx, 1) + "\" cy=\"" + FixedText(sy, 1) +
            "\" r=\"2.5\"><title>" + HtmlText(tip) + "</title></circle>\n";
}

void SvgChart::HorizontalLine(double py, const std::string& cssClass, const std::string& label) {
    double sx, sy;
    if (!At(x.min, py, sx, sy)) return;
    body += "<line class=\"" + cssClass + "\" x1=\"" + FixedText(kLeft, 1) + "\" x2=\"" + FixedText(kWidth - kRight, 1) +
            "\" y1=\"" + FixedText(sy, 1) + "\" y2=\"" + FixedText(sy, 1) + "\"/><text class=\"" + cssClass +
            "\" x=\"" + FixedText(kWidth - kRight - 4, 1) + "\" y=\"" + FixedText(sy - 4, 1) +
            "\" text-anchor=\"end\">" + HtmlText(label) + "</text>\n";
}

void SvgChart::Bar(double x0, double x1, double py, const std::string& tip) {
    double sx0, sx1, sy, base;
    if (!At(x0, py, sx0, sy) || !At(x1, y.min, sx1, base)) return;
    body += "<rect class=\"bar\" x=\"" + FixedText(sx0, 1) + "\" y=\"" + FixedText(sy, 1) + "\" width=\"" +
            FixedText(std::max(sx1 - sx0 - 1, 0.5), 1) + "\" height=\"" + FixedText(base - sy, 1) + "\"><title>" +
            HtmlText(tip) + "</title></rect>\n";
}

void SvgChart::Legend(const std::vector<std::pair<std::string, std::string>>& entries) {
    double at = kLeft + 10;
    for (const auto& [cssClass, text] : entries) {
        body += "<line class=\"" + cssClass + "\" x1=\"" + FixedText(at, 1) + "\" x2=\"" + FixedText(at + 18, 1) +
                "\" y1=\"" + FixedText(kTop + 12, 1) + "\" y2=\"" + FixedText(kTop + 12, 1) + "\"/><text x=\"" +
                FixedText(at + 22, 1) + "\" y=\"" + FixedText(kTop + 16, 1) + "\">" + HtmlText(text) + "</text>\n";
        at += 30 + 7.0 * double(text.size());
    }
}

std::string SvgChart::Axes() const {
    std::string svg = "<g class=\"axes\">\n<rect class=\"frame\" x=\"" + FixedText(kLeft, 1) + "\" y=\"" +
                      FixedText(kTop, 1) + "\" width=\"" + FixedText(kWidth - kLeft - kRight, 1) + "\" height=\"" +
                      FixedText(kHeight - kTop - kBottom, 1) + "\"/>\n";
    int decimals = 0;
    double sx, sy;
    for (double t : Ticks(x, decimals)) {
        At(t, y.log ? y.min : y.min, sx, sy);
        svg += "<line class=\"tick\" x1=\"" + FixedText(sx, 1) + "\" x2=\"" + FixedText(sx, 1) + "\" y1=\"" +
               FixedText(kTop, 1) + "\" y2=\"" + FixedText(kHeight - kBottom + 5, 1) + "\"/><text x=\"" +
               FixedText(sx, 1) + "\" y=\"" + FixedText(kHeight - kBottom + 18, 1) + "\" text-anchor=\"middle\">" +
               FixedText(t, decimals) + "</text>\n";
    }
    for (double t : Ticks(y, decimals)) {
        At(x.min, t, sx, sy);
        svg += "<line class=\"tick\" x1=\"" + FixedText(kLeft - 5, 1) + "\" x2=\"" + FixedText(kWidth - kRight, 1) +
               "\" y1=\"" + FixedText(sy, 1) + "\" y2=\"" + FixedText(sy, 1) + "\"/><text x=\"" +
               FixedText(kLeft - 8, 1) + "\" y=\"" + FixedText(sy + 4, 1) + "\" text-anchor=\"end\">" +
               FixedText(t, decimals) + "</text>\n";
    }
    svg += "<text class=\"axis-title\" x=\"" + FixedText((kLeft + kWidth - kRight) / 2, 1) + "\" y=\"" +
           FixedText(kHeight - 10, 1) + "\" text-anchor=\"middle\">" + HtmlText(x.title) + "</text>\n";
    svg += "<text class=\"axis-title\" transform=\"translate(16," + FixedText((kTop + kHeight - kBottom) / 2, 1) +
           ") rotate(-90)\" text-anchor=\"middle\">" + HtmlText(y.title) + "</text>\n</g>\n";
    return svg;
}

void SvgChart::AppendTo(std::string& out) const {
    out += "<figure><figcaption>" + HtmlText(title) + "</figcaption>\n<svg class=\"chart\" viewBox=\"0 0 " +
           FixedText(kWidth, 0) + " " + FixedText(kHeight, 0) + "\" xmlns=\"http://www.w3.org/2000/svg\">\n";
    out += Axes();
    out += body;
    out += "</svg></figure>\n";
}

}  // namespace vorn
