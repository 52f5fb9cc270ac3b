// The AVX2 convolution. Only this file is built with -mavx2, and it runs only after the
// CPU check in FirKernel.cpp, so the program still starts on CPUs without AVX2.
#include "dsp/FirKernel.h"

#if defined(__AVX2__)
#include <immintrin.h>

namespace vorn::fir {

namespace {

// Thirty-two outputs in eight accumulators of four lanes. Eight chains keep both add
// pipes busy; with the broadcast coefficient that is nine of the sixteen registers, so
// nothing spills (MinGW cannot align 32-byte stack slots).
void Block32(const double* in, const double* coefficients, int32_t taps, double* out) {
    __m256d a0 = _mm256_setzero_pd(), a1 = _mm256_setzero_pd(), a2 = _mm256_setzero_pd(),
            a3 = _mm256_setzero_pd(), a4 = _mm256_setzero_pd(), a5 = _mm256_setzero_pd(),
            a6 = _mm256_setzero_pd(), a7 = _mm256_setzero_pd();
    for (int32_t k = 0; k < taps; ++k) {
        const __m256d c = _mm256_broadcast_sd(coefficients + k);
        const double* x = in + k;
        a0 = _mm256_add_pd(a0, _mm256_mul_pd(_mm256_loadu_pd(x + 0), c));
        a1 = _mm256_add_pd(a1, _mm256_mul_pd(_mm256_loadu_pd(x + 4), c));
        a2 = _mm256_add_pd(a2, _mm256_mul_pd(_mm256_loadu_pd(x + 8), c));
        a3 = _mm256_add_pd(a3, _mm256_mul_pd(_mm256_loadu_pd(x + 12), c));
        a4 = _mm256_add_pd(a4, _mm256_mul_pd(_mm256_loadu_pd(x + 16), c));
        a5 = _mm256_add_pd(a5, _mm256_mul_pd(_mm256_loadu_pd(x + 20), c));
        a6 = _mm256_add_pd(a6, _mm256_mul_pd(_mm256_loadu_pd(x + 24), c));
        a7 = _mm256_add_pd(a7, _mm256_mul_pd(_mm256_loadu_pd(x + 28), c));
    }
    _mm256_storeu_pd(out + 0, a0);
    _mm256_storeu_pd(out + 4, a1);
    _mm256_storeu_pd(out + 8, a2);
    _mm256_storeu_pd(out + 12, a3);
    _mm256_storeu_pd(out + 16, a4);
    _mm256_storeu_pd(out + 20, a5);
    _mm256_storeu_pd(out + 24, a6);
    _mm256_storeu_pd(out + 28, a7);
}

void Block4(const double* in, const double* coefficients, int32_t taps, double* out) {
    __m256d a = _mm256_setzero_pd();
    for (int32_t k = 0; k < taps; ++k)
        a = _mm256_add_pd(a, _mm256_mul_pd(_mm256_loadu_pd(in + k), _mm256_broadcast_sd(coefficients + k)));
    _mm256_storeu_pd(out, a);
}

}  // namespace

void ConvolveAvx2(const double* input, const double* coefficients, int32_t taps, double* output,
                  uint32_t outputs) {
    uint32_t i = 0;
    for (; i + 32 <= outputs; i += 32) Block32(input + i, coefficients, taps, output + i);
    for (; i + 4 <= outputs; i += 4) Block4(input + i, coefficients, taps, output + i);
    ConvolveScalar(input + i, coefficients, taps, output + i, outputs - i);
}

}  // namespace vorn::fir

#else

namespace vorn::fir {

// Built without AVX2 (a compiler or target without it): never chosen, same results.
void ConvolveAvx2(const double* input, const double* coefficients, int32_t taps, double* output,
                  uint32_t outputs) {
    ConvolveSse2(input, coefficients, taps, output, outputs);
}

}  // namespace vorn::fir

#endif
