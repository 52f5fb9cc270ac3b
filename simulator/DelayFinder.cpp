#include "simulator/DelayFinder.h"

#include "simulator/FrameTransform.h"

#include <algorithm>
#include <cmath>

namespace vorn::sim {

namespace {
constexpr std::size_t kMaxSegment = std::size_t{1} << 18;
}

std::optional<long> DelayFinder::FindLag(const std::vector<float>& first,
                                         const std::vector<float>& second, std::size_t start,
                                         long maxLag) {
    const std::size_t available = std::min(first.size(), second.size());
    if (start >= available || maxLag < 0) return std::nullopt;
    const std::size_t length = std::min(available - start, kMaxSegment);
    // Zero padding to twice the segment keeps the correlation linear, not circular.
    std::size_t n = 2;
    while (n < 2 * length) n <<= 1;

    std::vector<double> a(n, 0.0);
    std::vector<double> b(n, 0.0);
    for (std::size_t i = 0; i < length; ++i) {
        a[i] = first[start + i];
        b[i] = second[start + i];
    }
    const Bins sa = RealSpectrum(a);
    Bins product = RealSpectrum(b);
    for (std::size_t k = 0; k < product.size(); ++k) product[k] *= std::conj(sa[k]);
    const std::vector<double> correlation = RealFrame(product, n);  // r[m] = sum a[i] b[i+m]

    const long limit = std::min<long>(maxLag, static_cast<long>(length) - 1);
    long best = 0;
    double bestValue = -1.0;
    for (long m = -limit; m <= limit; ++m) {
        const std::size_t index = m >= 0 ? static_cast<std::size_t>(m) : n - static_cast<std::size_t>(-m);
        const double v = correlation[index];
        if (v > bestValue) {
            bestValue = v;
            best = m;
        }
    }
    if (!(bestValue > 0.0)) return std::nullopt;
    return best;
}

}  // namespace vorn::sim
