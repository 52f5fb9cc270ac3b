#include "simulator/FrameTransform.h"

#include "dsp/RealFft.h"

#include <cstdint>

namespace vorn::sim {

// The real transform packs 2 X[k] into the frame's own floats: [0] DC, [1] Nyquist,
// then real and imaginary parts of bins 1 .. N/2 - 1.
Bins RealSpectrum(const std::vector<double>& frame) {
    const std::size_t n = frame.size();
    std::vector<float> packed(frame.begin(), frame.end());
    TRealFft(static_cast<int32_t>(n)).Forward(packed.data());
    Bins bins(n / 2 + 1);
    bins[0] = packed[0] / 2.0;
    bins[n / 2] = packed[1] / 2.0;
    for (std::size_t k = 1; k < n / 2; ++k) bins[k] = {packed[2 * k] / 2.0, packed[2 * k + 1] / 2.0};
    return bins;
}

std::vector<double> RealFrame(const Bins& halfSpectrum, std::size_t n) {
    std::vector<float> packed(n, 0.0f);
    auto bin = [&](std::size_t k) { return k < halfSpectrum.size() ? halfSpectrum[k] : std::complex<double>(); };
    packed[0] = static_cast<float>(2 * bin(0).real());
    packed[1] = static_cast<float>(2 * bin(n / 2).real());
    for (std::size_t k = 1; k < n / 2; ++k) {
        packed[2 * k] = static_cast<float>(2 * bin(k).real());
        packed[2 * k + 1] = static_cast<float>(2 * bin(k).imag());
    }
    TRealFft(static_cast<int32_t>(n)).Inverse(packed.data());
    return std::vector<double>(packed.begin(), packed.end());
}

}  // namespace vorn::sim
