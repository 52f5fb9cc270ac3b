#include "probe/ToneSine.h"

#include "dsp/FirKernel.h"
#include "probe/ToneSineSteps.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace vorn {

using namespace tone_sine;

namespace {

// k with its low 26 bits cleared (toward minus infinity), so k - kHigh is a 26-bit part.
double HighPart(double k) {
    return std::fabs(k) < kPlainLimit ? double(int64_t(k) & ~int64_t(kSplit - 1)) : std::floor(k / kSplit) * kSplit;
}

using Sines = void (*)(const double*, double*, size_t, double (*)(double));

// The widest lanes the CPU has. VORN_FIR_KERNEL=sse2 holds the tone to the baseline lanes
// too, as it does the filter, so the benchmarks can time what a CPU without AVX2 would do.
Sines BestSines() {
    static const Sines best = [] {
        const char* forced = std::getenv("VORN_FIR_KERNEL");
        if (forced && std::strcmp(forced, "sse2") == 0) return SinesSse2;
        if (fir::Avx512Available()) return SinesAvx512;
        return fir::Avx2Available() ? SinesAvx2 : SinesSse2;
    }();
    return best;
}

}  // namespace

void tone_sine::SinesSse2(const double* x, double* y, size_t count, double (*scalar)(double)) {
    SinesOfWidth<16>(x, y, count, scalar);
}

void tone_sine::ValuesSse2(const ToneBatch& b, const float* stored, int32_t* values, double (*scalar)(double)) {
    ValuesOfWidth<16>(b, stored, values, scalar);
}

void ToneSines(const double* x, double* y, size_t count) { BestSines()(x, y, count, ToneSine); }

void ToneValues(const tone_sine::ToneBatch& batch, const float* stored, int32_t* values) {
    using Values = void (*)(const ToneBatch&, const float*, int32_t*, double (*)(double));
    static const Values best = BestSines() == SinesAvx512 ? ValuesAvx512
                               : BestSines() == SinesAvx2 ? ValuesAvx2
                                                          : ValuesSse2;
    best(batch, stored, values, ToneSine);
}

double ToneSine(double x) {
    if (!std::isfinite(x)) return std::nan("");
    const double q = x * kTwoOverPi;
    const bool plain = std::fabs(q) < kPlainLimit;
    const double k = plain ? (q + kRounder) - kRounder : std::nearbyint(q);
    const double kHigh = HighPart(k);
    double hi, lo;
    ReduceSplit(x, kHigh, k - kHigh, hi, lo, kHigh != 0);
    const int quadrant = plain ? int(int64_t(k) & 3) : int(std::fmod(k, 4.0) + 4) % 4;
    switch (quadrant) {
        case 0: return SinNear0(hi, lo);
        case 1: return CosNear0(hi, lo);
        case 2: return -SinNear0(hi, lo);
        default: return -CosNear0(hi, lo);
    }
}

}  // namespace vorn
