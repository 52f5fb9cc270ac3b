#include "probe/ToneSine.h"

#include <cmath>
#include <cstdint>

namespace vorn {

namespace {

// pi/2 = kHalfPi[0] + kHalfPi[1] + kHalfPi[2] + kHalfPi[3] + about 1e-32, each piece with at
// most 26 significant bits, so its product with a 26-bit integer is exact.
constexpr double kHalfPi[4] = {0x1.921fb5p+0, 0x1.110b46p-26, 0x1.1a6263p-54, 0x1.8a2e03p-81};
constexpr double kTwoOverPi = 0.6366197723675814;
constexpr double kSplit = 67108864.0;  // 2^26
// Adding and taking away 1.5 x 2^52 rounds a double below 2^51 to the nearest integer
// (ties to even) with two plain operations, where a library call would cost more than the
// rest of the sine on some runtimes.
constexpr double kRounder = 6755399441055744.0;
constexpr double kPlainLimit = 1125899906842624.0;  // 2^50: beyond it, the library's rounding

struct DoubleDouble {
    double hi = 0, lo = 0;
};

// hi + lo += v, keeping the rounding error of the sum exactly (Knuth's two-sum).
void Accumulate(DoubleDouble& sum, double v) {
    const double s = sum.hi + v;
    const double b = s - sum.hi;
    const double error = (sum.hi - (s - b)) + (v - b);
    sum.hi = s;
    sum.lo += error;
}

// x - k pi/2 with k split into parts of at most 26 bits, so every product is exact.
DoubleDouble Reduce(double x, double k) {
    const double kHigh = std::fabs(k) < kPlainLimit ? double(int64_t(k) & ~int64_t(kSplit - 1))
                                                    : std::floor(k / kSplit) * kSplit;
    const double kLow = k - kHigh;
    DoubleDouble r{x, 0};
    for (double piece : kHalfPi) {
        Accumulate(r, -(kHigh * piece));
        Accumulate(r, -(kLow * piece));
    }
    const double hi = r.hi + r.lo;
    return {hi, r.lo - (hi - r.hi)};
}

// sin(hi + lo) and cos(hi + lo) for |hi| <= pi/4: the series in z = hi^2 to the terms
// below 1e-19, the small part lo entering through the first derivative.
double SinNear0(double hi, double lo) {
    const double z = hi * hi;
    const double p = -1.0 / 6 + z * (1.0 / 120 + z * (-1.0 / 5040 + z * (1.0 / 362880 + z * (-1.0 / 39916800 +
                     z * (1.0 / 6227020800 + z * (-1.0 / 1307674368000 + z * (1.0 / 355687428096000.0 +
                     z * (-1.0 / 121645100408832000.0))))))));
    return hi + (hi * z * p + lo * (1.0 - 0.5 * z));
}

double CosNear0(double hi, double lo) {
    const double z = hi * hi;
    const double q = 1.0 / 24 + z * (-1.0 / 720 + z * (1.0 / 40320 + z * (-1.0 / 3628800 + z * (1.0 / 479001600 +
                     z * (-1.0 / 87178291200.0 + z * (1.0 / 20922789888000.0 + z * (-1.0 / 6402373705728000.0 +
                     z * (1.0 / 2432902008176640000.0))))))));
    return (1.0 - 0.5 * z) + (z * z * q - hi * lo);
}

}  // namespace

double ToneSine(double x) {
    if (!std::isfinite(x)) return std::nan("");
    const double q = x * kTwoOverPi;
    const bool plain = std::fabs(q) < kPlainLimit;
    const double k = plain ? (q + kRounder) - kRounder : std::nearbyint(q);
    const DoubleDouble r = Reduce(x, k);
    const int quadrant = plain ? int(int64_t(k) & 3) : int(std::fmod(k, 4.0) + 4) % 4;
    switch (quadrant) {
        case 0: return SinNear0(r.hi, r.lo);
        case 1: return CosNear0(r.hi, r.lo);
        case 2: return -SinNear0(r.hi, r.lo);
        default: return -CosNear0(r.hi, r.lo);
    }
}

}  // namespace vorn
