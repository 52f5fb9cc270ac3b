// An archived test's Spectrum.csv: the marked-spectrum and phase rows exactly as the
// Corwith Number used them, one line per row, `frequency_hz,level_db,phase_deg`.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace vorn {

struct SpectrumPoint {
    float frequency;  // Hz
    float level;      // dB
    float phase;      // degrees
};

// The whole file: byte-order mark, header and rows, numbers reading back to the same floats.
std::string SpectrumText(const std::vector<SpectrumPoint>& points);
// The rows back; a row that is not three finite numbers is left out.
std::vector<SpectrumPoint> ReadSpectrum(std::string_view text);

}  // namespace vorn
