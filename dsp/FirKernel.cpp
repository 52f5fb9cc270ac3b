#include "dsp/FirKernel.h"

#include <cstdlib>
#include <cstring>

#if defined(__x86_64__) || defined(__SSE2__)
#define VORN_HAVE_SSE2 1
#include <emmintrin.h>
#endif

namespace vorn::fir {

void ConvolveScalar(const double* input, const double* coefficients, int32_t taps, double* output,
                    uint32_t outputs) {
    for (uint32_t i = 0; i < outputs; ++i) {
        double acc = 0.0;
        for (int32_t k = 0; k < taps; ++k) acc += input[i + k] * coefficients[k];
        output[i] = acc;
    }
}

#ifdef VORN_HAVE_SSE2
namespace {

// Sixteen outputs in eight independent accumulators: enough chains in flight to hide the
// add latency, and few enough registers that nothing spills.
void Block16(const double* in, const double* coefficients, int32_t taps, double* out) {
    __m128d a0 = _mm_setzero_pd(), a1 = _mm_setzero_pd(), a2 = _mm_setzero_pd(),
            a3 = _mm_setzero_pd(), a4 = _mm_setzero_pd(), a5 = _mm_setzero_pd(),
            a6 = _mm_setzero_pd(), a7 = _mm_setzero_pd();
    for (int32_t k = 0; k < taps; ++k) {
        const __m128d c = _mm_set1_pd(coefficients[k]);
        const double* x = in + k;
        a0 = _mm_add_pd(a0, _mm_mul_pd(_mm_loadu_pd(x + 0), c));
        a1 = _mm_add_pd(a1, _mm_mul_pd(_mm_loadu_pd(x + 2), c));
        a2 = _mm_add_pd(a2, _mm_mul_pd(_mm_loadu_pd(x + 4), c));
        a3 = _mm_add_pd(a3, _mm_mul_pd(_mm_loadu_pd(x + 6), c));
        a4 = _mm_add_pd(a4, _mm_mul_pd(_mm_loadu_pd(x + 8), c));
        a5 = _mm_add_pd(a5, _mm_mul_pd(_mm_loadu_pd(x + 10), c));
        a6 = _mm_add_pd(a6, _mm_mul_pd(_mm_loadu_pd(x + 12), c));
        a7 = _mm_add_pd(a7, _mm_mul_pd(_mm_loadu_pd(x + 14), c));
    }
    _mm_storeu_pd(out + 0, a0);
    _mm_storeu_pd(out + 2, a1);
    _mm_storeu_pd(out + 4, a2);
    _mm_storeu_pd(out + 6, a3);
    _mm_storeu_pd(out + 8, a4);
    _mm_storeu_pd(out + 10, a5);
    _mm_storeu_pd(out + 12, a6);
    _mm_storeu_pd(out + 14, a7);
}

void Block2(const double* in, const double* coefficients, int32_t taps, double* out) {
    __m128d a = _mm_setzero_pd();
    for (int32_t k = 0; k < taps; ++k)
        a = _mm_add_pd(a, _mm_mul_pd(_mm_loadu_pd(in + k), _mm_set1_pd(coefficients[k])));
    _mm_storeu_pd(out, a);
}

}  // namespace

void ConvolveSse2(const double* input, const double* coefficients, int32_t taps, double* output,
                  uint32_t outputs) {
    uint32_t i = 0;
    for (; i + 16 <= outputs; i += 16) Block16(input + i, coefficients, taps, output + i);
    for (; i + 2 <= outputs; i += 2) Block2(input + i, coefficients, taps, output + i);
    ConvolveScalar(input + i, coefficients, taps, output + i, outputs - i);
}

bool Avx2Available() {
    static const bool available = [] {
        __builtin_cpu_init();
        return __builtin_cpu_supports("avx2") != 0;
    }();
    return available;
}

// The AVX-512 kernel finishes its blocks with the AVX2 one, so it needs both.
bool Avx512Available() {
    static const bool available = [] {
        __builtin_cpu_init();
        return __builtin_cpu_supports("avx512f") != 0 && Avx2Available();
    }();
    return available;
}

ConvolveFunction BestConvolve() {
    // VORN_FIR_KERNEL=sse2 holds a machine with AVX2 to the baseline kernel, so the
    // benchmarks can time what a CPU without AVX2 would do.
    const char* forced = std::getenv("VORN_FIR_KERNEL");
    if (forced && std::strcmp(forced, "sse2") == 0) return ConvolveSse2;
    if (Avx512Available()) return ConvolveAvx512;
    return Avx2Available() ? ConvolveAvx2 : ConvolveSse2;
}

bool Avx2Chosen() {
    static const bool chosen = Avx2Available() && BestConvolve() != ConvolveSse2;
    return chosen;
}

#else

void ConvolveSse2(const double* input, const double* coefficients, int32_t taps, double* output,
                  uint32_t outputs) {
    ConvolveScalar(input, coefficients, taps, output, outputs);
}

bool Avx2Available() { return false; }
bool Avx512Available() { return false; }

ConvolveFunction BestConvolve() { return ConvolveScalar; }
bool Avx2Chosen() { return false; }

#endif

}  // namespace vorn::fir
