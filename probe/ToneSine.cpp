#include "probe/ToneSine.h"

#include <bit>
#include <cmath>
#include <cstdint>
#include <cstring>

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

// The same steps on two arguments at once in SSE2 lanes (the x86-64 baseline, so every
// build has them): each lane does exactly the scalar code's IEEE operations in its order,
// so it returns the same bits. The branches become bit masks: k comes out of the rounder's
// sum t = 1.5 x 2^52 + k, whose low mantissa bits hold k in two's complement, so masking
// them gives k's quadrant and its high part (k with its low 26 bits cleared) exactly.
using Lanes = double __attribute__((vector_size(16)));
using LaneBits = int64_t __attribute__((vector_size(16)));
constexpr size_t kLanes = sizeof(Lanes) / sizeof(double);

Lanes FromBits(LaneBits b) { return std::bit_cast<Lanes>(b); }
LaneBits ToBits(Lanes v) { return std::bit_cast<LaneBits>(v); }

void AccumulateLanes(Lanes& hi, Lanes& lo, Lanes v) {
    const Lanes s = hi + v;
    const Lanes b = s - hi;
    const Lanes error = (hi - (s - b)) + (v - b);
    hi = s;
    lo += error;
}

// False when some lane lies beyond the plain range (or is not finite): the caller then
// takes the scalar path for both.
bool SineLanes(Lanes x, Lanes& result) {
    const LaneBits signBit = LaneBits{} + INT64_MIN;
    const Lanes q = x * kTwoOverPi;
    const LaneBits plain = FromBits(ToBits(q) & ~signBit) < kPlainLimit;
    for (size_t i = 0; i < kLanes; ++i)
        if (plain[i] == 0) return false;
    const Lanes t = q + kRounder;
    const Lanes k = t - kRounder;
    const Lanes kHigh = FromBits(ToBits(t) & ~int64_t(kSplit - 1)) - kRounder;
    const Lanes kLow = k - kHigh;
    Lanes hi = x, lo = Lanes{};
    for (double piece : kHalfPi) {
        AccumulateLanes(hi, lo, -(kHigh * piece));
        AccumulateLanes(hi, lo, -(kLow * piece));
    }
    const Lanes rHi = hi + lo;
    const Lanes rLo = lo - (rHi - hi);

    const Lanes z = rHi * rHi;
    const Lanes p = -1.0 / 6 + z * (1.0 / 120 + z * (-1.0 / 5040 + z * (1.0 / 362880 + z * (-1.0 / 39916800 +
                    z * (1.0 / 6227020800 + z * (-1.0 / 1307674368000 + z * (1.0 / 355687428096000.0 +
                    z * (-1.0 / 121645100408832000.0))))))));
    const Lanes sine = rHi + (rHi * z * p + rLo * (1.0 - 0.5 * z));
    const Lanes c = 1.0 / 24 + z * (-1.0 / 720 + z * (1.0 / 40320 + z * (-1.0 / 3628800 + z * (1.0 / 479001600 +
                    z * (-1.0 / 87178291200.0 + z * (1.0 / 20922789888000.0 + z * (-1.0 / 6402373705728000.0 +
                    z * (1.0 / 2432902008176640000.0))))))));
    const Lanes cosine = (1.0 - 0.5 * z) + (z * z * c - rHi * rLo);

    const LaneBits quadrant = ToBits(t);
    const LaneBits odd = -(quadrant & 1);
    const LaneBits negative = -((quadrant >> 1) & 1);
    const LaneBits chosen = (ToBits(cosine) & odd) | (ToBits(sine) & ~odd);
    result = FromBits(chosen ^ (negative & signBit));
    return true;
}

}  // namespace

void ToneSines(const double* x, double* y, size_t count) {
    size_t i = 0;
    for (; i + kLanes <= count; i += kLanes) {
        Lanes v, r;
        std::memcpy(&v, x + i, sizeof v);
        if (SineLanes(v, r)) {
            std::memcpy(y + i, &r, sizeof r);
        } else {
            for (size_t j = i; j < i + kLanes; ++j) y[j] = ToneSine(x[j]);
        }
    }
    for (; i < count; ++i) y[i] = ToneSine(x[i]);
}

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
