#include "simulator/FrameTransform.h"

#include <cmath>
#include <numbers>

namespace vorn::sim {

namespace {

void Transform(std::vector<std::complex<double>>& x, bool inverse) {
    const std::size_t n = x.size();
    for (std::size_t i = 1, j = 0; i < n; ++i) {
        std::size_t bit = n >> 1;
        for (; j & bit; bit >>= 1) j ^= bit;
        j ^= bit;
        if (i < j) std::swap(x[i], x[j]);
    }
    for (std::size_t len = 2; len <= n; len <<= 1) {
        const double angle = 2 * std::numbers::pi / static_cast<double>(len) * (inverse ? 1 : -1);
        for (std::size_t k = 0; k < len / 2; ++k) {
            const std::complex<double> w = std::polar(1.0, angle * static_cast<double>(k));
            for (std::size_t g = 0; g < n; g += len) {
                const std::complex<double> a = x[g + k];
                const std::complex<double> b = x[g + k + len / 2] * w;
                x[g + k] = a + b;
                x[g + k + len / 2] = a - b;
            }
        }
    }
}

}  // namespace

Bins RealSpectrum(const std::vector<double>& frame) {
    std::vector<std::complex<double>> x(frame.begin(), frame.end());
    Transform(x, false);
    x.resize(frame.size() / 2 + 1);
    return x;
}

std::vector<double> RealFrame(const Bins& halfSpectrum, std::size_t n) {
    std::vector<std::complex<double>> x(n);
    for (std::size_t k = 0; k <= n / 2 && k < halfSpectrum.size(); ++k) {
        x[k] = halfSpectrum[k];
        if (k != 0 && k != n / 2) x[n - k] = std::conj(halfSpectrum[k]);
    }
    Transform(x, true);
    std::vector<double> out(n);
    for (std::size_t i = 0; i < n; ++i) out[i] = x[i].real() / static_cast<double>(n);
    return out;
}

}  // namespace vorn::sim
