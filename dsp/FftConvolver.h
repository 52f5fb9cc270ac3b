// The FIR filter's fast path: the same sums as the direct kernels (FirKernel.h), computed by
// overlap-save FFT convolution in double precision, two segments per complex transform.
// Each segment carries a rigorous bound on how far its sums may lie from the direct loop's
// (derived in the .cpp); every output whose stored sample could differ within that bound is
// recomputed by the direct loop, so the stored samples are always the direct form's.
#pragma once

#include "dsp/ComplexFft.h"

#include <cstdint>
#include <memory>

namespace vorn {

// How a sum becomes a stored sample: offset added, truncated toward zero, held to the
// encoding's range [low, high]. A sum that is not a number stores silence.
struct SampleStore {
    double offset = 0;
    double low = -32768;
    double high = 32767;

    int32_t operator()(double sum) const {
        const double v = sum + offset;
        if (v >= high) return int32_t(high);
        if (v > low) return int32_t(v);
        return v <= low ? int32_t(low) : int32_t(offset);
    }
};

class FftConvolver {
public:
    // Below these the direct kernels are faster.
    static constexpr int32_t kMinTaps = 64;
    static constexpr uint32_t kMinOutputsPerTap = 4;
    static bool Worthwhile(int32_t taps, uint32_t outputs) {
        return taps >= kMinTaps && outputs / kMinOutputsPerTap >= uint32_t(taps);
    }

    // sums[i] for i < outputs such that store(sums[i]) == store(direct[i]), where direct[i] is
    // the sum over k = 0 .. taps - 1, in ascending k, of input[i + k] * coefficients[k]
    // accumulated in double from 0 (input holds outputs + taps - 1 values). Returns false,
    // leaving sums unspecified, when a coefficient is not finite or memory is short.
    bool Convolve(const double* input, const double* coefficients, int32_t taps, double* sums,
                  uint32_t outputs, const SampleStore& store);

    // Outputs computed so far, and how many of them the direct loop had to settle.
    uint64_t Outputs() const { return outputCount; }
    uint64_t Recomputed() const { return recomputedCount; }

private:
    bool Prepare(const double* coefficients, int32_t newCount, uint32_t outputs);
    double SegmentBound(double sumOfSquares, double largest, double bothSumOfSquares) const;
    void Settle(const double* input, const double* computed, double bound, double* sums, uint32_t first,
                uint32_t outputs, const SampleStore& store);

    std::unique_ptr<ComplexFft> fft;
    int32_t count = 0;                         // taps in use
    std::unique_ptr<double[]> taps;            // the coefficients the spectrum was made from
    std::unique_ptr<double[]> spectrumRe;      // of the reversed taps, bit-reversed, scaled by 1 / size
    std::unique_ptr<double[]> spectrumIm;
    std::unique_ptr<double[]> workRe;          // two input segments, then their two output segments
    std::unique_ptr<double[]> workIm;
    double tapsNorm2 = 0;              // ||taps||_2
    double tapsNorm1 = 0;              // ||taps||_1
    double spectrumPeak = 0;           // largest |spectrum| before the scaling
    uint64_t outputCount = 0;
    uint64_t recomputedCount = 0;
};

}  // namespace vorn
