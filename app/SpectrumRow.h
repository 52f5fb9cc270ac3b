// One row of the analyzer's "Marked Spectrum" or "Marked Phase" reply.
#pragma once

namespace vorn {

struct SpectrumRow {
    float frequency;  // first number of the row, Hz; never used by the computation
    float value;      // level in dB (spectrum) or phase angle in degrees (phase)
};

}  // namespace vorn
