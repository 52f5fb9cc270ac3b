#include "results/SpectrumTable.h"

#include "results/CsvText.h"

namespace vorn {

std::string SpectrumText(const std::vector<SpectrumPoint>& points) {
    std::string text = "\xEF\xBB\xBF" "frequency_hz,level_db,phase_deg\r\n";
    for (const SpectrumPoint& p : points)
        text += CsvRecord({FloatText(p.frequency), FloatText(p.level), FloatText(p.phase)}) + "\r\n";
    return text;
}

std::vector<SpectrumPoint> ReadSpectrum(std::string_view text) {
    std::vector<SpectrumPoint> points;
    CsvReader reader(text);
    std::vector<std::string> fields;
    std::string error;
    while (reader.Next(fields, error)) {
        if (fields.size() != 3) continue;
        const auto f = ParseFloat(fields[0]), l = ParseFloat(fields[1]), p = ParseFloat(fields[2]);
        if (f && l && p) points.push_back({*f, *l, *p});
    }
    return points;
}

}  // namespace vorn
