#include "dsp/FftConvolver.h"

#include "dsp/FirKernel.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <new>

#if defined(__x86_64__) || defined(__SSE2__)
#define VORN_HAVE_SSE2 1
#include <emmintrin.h>
#endif

namespace vorn {

namespace {

constexpr double kUnitRoundoff = 0x1p-53;
constexpr uint32_t kLargestLog2Size = 16;

double Gamma(double k) { return k * kUnitRoundoff / (1 - k * kUnitRoundoff); }

// Transform size for `taps` and `outputs`: the least butterfly work for the whole block,
// two segments of size - taps + 1 outputs per transform pair.
uint32_t ChooseLog2Size(int32_t taps, uint32_t outputs) {
    uint32_t best = 0;
    double bestCost = 0;
    for (uint32_t log2 = 2; log2 <= kLargestLog2Size; ++log2) {
        const uint64_t size = uint64_t(1) << log2;
        if (size < 2 * uint64_t(taps)) continue;
        const uint64_t perSegment = size - uint64_t(taps) + 1;
        const uint64_t pairs = (outputs + 2 * perSegment - 1) / (2 * perSegment);
        const double cost = double(pairs) * double(size) * (log2 + 2);
        if (best == 0 || cost < bestCost) best = log2, bestCost = cost;
    }
    return best;
}

// x *= h pointwise (size is even); vectors round each element as the plain form would.
void MultiplySpectra(double* re, double* im, const double* hRe, const double* hIm, uint32_t size) {
#ifdef VORN_HAVE_SSE2
    for (uint32_t j = 0; j < size; j += 2) {
        const __m128d xr = _mm_loadu_pd(re + j), xi = _mm_loadu_pd(im + j);
        const __m128d hr = _mm_loadu_pd(hRe + j), hi = _mm_loadu_pd(hIm + j);
        _mm_storeu_pd(re + j, _mm_sub_pd(_mm_mul_pd(xr, hr), _mm_mul_pd(xi, hi)));
        _mm_storeu_pd(im + j, _mm_add_pd(_mm_mul_pd(xr, hi), _mm_mul_pd(xi, hr)));
    }
#else
    for (uint32_t j = 0; j < size; ++j) {
        const double xr = re[j], xi = im[j];
        re[j] = xr * hRe[j] - xi * hIm[j];
        im[j] = xr * hIm[j] + xi * hRe[j];
    }
#endif
}

}  // namespace

bool FftConvolver::Prepare(const double* coefficients, int32_t newCount, uint32_t outputs) {
    const uint32_t log2 = ChooseLog2Size(newCount, outputs);
    if (log2 == 0) return false;
    const bool sameTaps =
        count == newCount && std::memcmp(taps.get(), coefficients, sizeof(double) * size_t(count)) == 0;
    if (sameTaps && fft && fft->Log2Size() == log2) return true;
    for (int32_t k = 0; k < newCount; ++k)
        if (!std::isfinite(coefficients[k])) return false;

    count = 0;
    const uint32_t size = 1u << log2;
    fft.reset(new (std::nothrow) ComplexFft(log2));
    taps.reset(new (std::nothrow) double[size_t(newCount)]);
    spectrumRe.reset(new (std::nothrow) double[size]());
    spectrumIm.reset(new (std::nothrow) double[size]());
    workRe.reset(new (std::nothrow) double[size]);
    workIm.reset(new (std::nothrow) double[size]);
    if (!fft || fft->Failed() || !taps || !spectrumRe || !spectrumIm || !workRe || !workIm) {
        fft.reset();
        return false;
    }
    count = newCount;
    std::copy(coefficients, coefficients + count, taps.get());
    // Reversed, the taps turn the correlation of the direct form into a convolution.
    for (int32_t k = 0; k < count; ++k) spectrumRe[size_t(count - 1 - k)] = coefficients[k];
    double squares = 0;
    tapsNorm1 = 0;
    for (int32_t k = 0; k < count; ++k) {
        squares += coefficients[k] * coefficients[k];
        tapsNorm1 += std::fabs(coefficients[k]);
    }
    tapsNorm2 = std::sqrt(squares);
    fft->Forward(spectrumRe.get(), spectrumIm.get());
    spectrumPeak = 0;
    const double scale = 1.0 / size;  // exact: a power of two
    for (uint32_t j = 0; j < size; ++j) {
        spectrumPeak = std::max(spectrumPeak, std::hypot(spectrumRe[j], spectrumIm[j]));
        spectrumRe[j] *= scale;
        spectrumIm[j] *= scale;
    }
    return true;
}

// How far one output of a segment may lie from the direct loop's sum. With z the transform's
// input (two segments as real and imaginary parts), h the taps, d = ComplexFft::RelativeError
// (radix-2 arithmetic, one rounding per product and per sum, on the SSE2 and AVX2 paths alike),
// g2 = gamma_2 and P = max |computed spectrum of h|, the FFT result differs from the exact
// sum by at most
//   ||z||_2 ((sqrt2 g2 (1 + d)^2 + d (2 + d)) ||h||_2 + d (1 + sqrt2 g2)(1 + d) P):
// spectrum errors of z and h (d sqrt(size) ||.||_2 each, Parseval) and the pointwise complex
// product (sqrt2 g2 |product|) reach one output through the inverse DFT as 1/size times
// their 1-norm, bounded by Cauchy-Schwarz; the inverse transform's own rounding is at most
// d ||its input||_2 / sqrt(size) <= d (1 + sqrt2 g2)(1 + d) P ||z||_2, and no output's error
// exceeds the 2-norm of all. The direct loop differs from the exact sum by at most
// gamma_taps sum |x h| <= gamma_taps min(||x||_2 ||h||_2, max|x| ||h||_1) over this segment
// x. Folding 1/size into the spectrum is exact (a power of two). Computing the bound itself
// rounds it by a relative O(size u) < 2^-30, covered by the final 2^-20; 2^-900 covers
// underflow, which inputs of whole numbers times a gain of at least 3e-5 cannot reach.
double FftConvolver::SegmentBound(double sumOfSquares, double largest, double bothSumOfSquares) const {
    const double d = fft->RelativeError();
    const double g2 = std::sqrt(2.0) * Gamma(2);
    const double transform =
        std::sqrt(bothSumOfSquares) *
        ((g2 * (1 + d) * (1 + d) + d * (2 + d)) * tapsNorm2 + d * (1 + g2) * (1 + d) * spectrumPeak);
    const double direct =
        Gamma(double(count)) * std::min(std::sqrt(sumOfSquares) * tapsNorm2, largest * tapsNorm1);
    return (transform + direct) * (1 + 0x1p-20) + 0x1p-900;
}

// Keeps a computed sum where every value within `bound` of it stores the same sample (the
// store is monotone, so the two ends decide), and takes the direct loop's sum elsewhere.
void FftConvolver::Settle(const double* input, const double* computed, double bound, double* sums,
                          uint32_t first, uint32_t outputs, const SampleStore& store) {
    double largest = 0;
    for (uint32_t i = 0; i < outputs; ++i) largest = std::max(largest, std::fabs(computed[i]));
    // Widened so that rounding s - reach and s + reach cannot pull an end inside the bound.
    const double reach = bound * (1 + 0x1p-50) + largest * 0x1p-50;
    auto settleOne = [&](uint32_t i) {
        const double s = computed[i];
        if (store(s - reach) == store(s + reach)) {
            sums[first + i] = s;
            return;
        }
        fir::ConvolveScalar(input + first + i, taps.get(), count, sums + first + i, 1);
        ++recomputedCount;
    };
    uint32_t i = 0;
#ifdef VORN_HAVE_SSE2
    // Two at a time when both ends of both outputs lie inside the range, where the store is
    // the plain truncation that the vector conversion does too; otherwise one at a time.
    const __m128d r = _mm_set1_pd(reach), offset = _mm_set1_pd(store.offset);
    const __m128d low = _mm_set1_pd(store.low), high = _mm_set1_pd(store.high);
    for (; i + 2 <= outputs; i += 2) {
        const __m128d s = _mm_loadu_pd(computed + i);
        const __m128d a = _mm_add_pd(_mm_sub_pd(s, r), offset), b = _mm_add_pd(_mm_add_pd(s, r), offset);
        const bool inside = _mm_movemask_pd(_mm_and_pd(_mm_cmpgt_pd(a, low), _mm_cmplt_pd(b, high))) == 3;
        const bool same = (_mm_movemask_epi8(_mm_cmpeq_epi32(_mm_cvttpd_epi32(a), _mm_cvttpd_epi32(b))) & 0xFF) == 0xFF;
        if (inside && same) {
            _mm_storeu_pd(sums + first + i, s);
        } else {
            settleOne(i);
            settleOne(i + 1);
        }
    }
#endif
    for (; i < outputs; ++i) settleOne(i);
}

bool FftConvolver::Convolve(const double* input, const double* coefficients, int32_t tapCount, double* sums,
                            uint32_t outputs, const SampleStore& store) {
    if (tapCount < 1 || outputs == 0 || !Prepare(coefficients, tapCount, outputs)) return false;
    const uint32_t size = fft->Size();
    const uint32_t perSegment = size - uint32_t(count) + 1;
    const uint64_t inputs = uint64_t(outputs) + uint32_t(count) - 1;
    double* re = workRe.get();
    double* im = workIm.get();

    // Segment values from `from` on, zero past the input; their sum of squares and largest magnitude.
    auto load = [&](double* to, uint64_t from, double& squares, double& largest) {
        const uint64_t available = from < inputs ? std::min<uint64_t>(size, inputs - from) : 0;
        squares = 0, largest = 0;
        for (uint64_t p = 0; p < available; ++p) {
            const double v = input[from + p];
            to[p] = v;
            squares += v * v;
            largest = std::max(largest, std::fabs(v));
        }
        std::fill(to + available, to + size, 0.0);
    };

    for (uint64_t first = 0; first < outputs; first += 2 * uint64_t(perSegment)) {
        const uint64_t second = first + perSegment;
        double squares1, largest1, squares2, largest2;
        load(re, first, squares1, largest1);
        load(im, second, squares2, largest2);
        fft->Forward(re, im);
        MultiplySpectra(re, im, spectrumRe.get(), spectrumIm.get(), size);
        fft->Inverse(re, im);
        // Circular positions taps - 1 .. size - 1 hold the segment's outputs.
        const uint32_t valid = uint32_t(count) - 1;
        const double both = squares1 + squares2;
        Settle(input, re + valid, SegmentBound(squares1, largest1, both), sums, uint32_t(first),
               uint32_t(std::min<uint64_t>(perSegment, outputs - first)), store);
        if (second < outputs)
            Settle(input, im + valid, SegmentBound(squares2, largest2, both), sums, uint32_t(second),
                   uint32_t(std::min<uint64_t>(perSegment, outputs - second)), store);
    }
    outputCount += outputs;
    return true;
}

}  // namespace vorn
