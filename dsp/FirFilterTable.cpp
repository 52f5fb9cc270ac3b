// The response-table design of TFirFilter (type 4), kept apart from the window design and
// the block filtering: the magnitudes of a frequency/dB table file, carried onto a
// 4096-point grid by the spectral data's table loader, become a zero-phase impulse through
// the inverse real FFT; its middle `count` values, Hanning-windowed, are the taps. A table
// flat at 0 dB gives a centre tap of about 0.9997, so the table's levels are the filter's
// amplitude response (smoothed by the window over a few times rate / count hertz).
#include "dsp/FirFilter.h"

#include "dsp/Smoothing.h"
#include "dsp/SpectralData.h"

#include <cmath>
#include <vector>

namespace vorn {

namespace {

constexpr uint32_t kTableTransformSize = 4096;
// The impulse comes out multiplied by full scale x L (32767 x 4096); dividing by
// 4096 x 16384 leaves the taps at x[n] x 32767 / 16384, which puts a flat 0 dB table's
// centre tap at about 0.9997.
constexpr float kImpulseToTaps = 67108864.0f;

SpectralData MakeTableGrid(uint32_t sampleRate) {
    AnalysisSetup setup;
    setup.format.Set(sampleRate, 1, 2);
    setup.transformSize = kTableTransformSize;
    setup.decimation = 1;
    setup.averages = 1;
    setup.averagingType = 0;
    setup.windowType = 10;
    setup.span = 1.0f;
    DisplaySetup display;
    display.units = 0;
    display.analysisMode = 0;
    display.bandsPerOctave = 3;
    display.density = 0;
    display.weightingType = 0;
    display.compensationEnable = 0;
    return SpectralData(setup, display, false);
}

}  // namespace

void TFirFilter::DesignFromTable() {
    SpectralData grid = MakeTableGrid(format.sampleRate);
    float* power = grid.PowerArray();
    if (grid.GetError() != 0 || power == nullptr) return;
    std::vector<float> levels(size_t(grid.OutputCount()));
    // A failed load has shown its message; the taps stay zero and the filter outputs silence.
    if (!grid.LoadTable(params.responsePath, levels.data())) return;
    for (size_t k = 0; k < levels.size(); ++k) power[k] = static_cast<float>(std::pow(10.0, levels[k] / 10.0));
    grid.ImpulseFromPower();
    // Taps 0 and count - 1 stay zero (the window would zero them anyway).
    const int32_t m = (count - 1) / 2;
    for (int32_t i = 0; i < m; ++i)
        coefficients[m + i] = coefficients[m - i] = grid.ImpulseValue(uint32_t(i)) / kImpulseToTaps;
    TSmoothing hanning(static_cast<uint32_t>(count), TSmoothing::Hanning, TSmoothing::NoCorrection);
    hanning.Apply(coefficients);
}

}  // namespace vorn
