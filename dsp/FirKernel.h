// Direct-form FIR convolution over a contiguous work array:
//   output[i] = sum over k = 0 .. taps - 1, in ascending k, of input[i + k] * coefficients[k],
// accumulated in double precision from 0, for i = 0 .. outputs - 1 (input holds
// outputs + taps - 1 values). Every variant gives bit-identical results: the vector ones put
// a different output in each lane and keep the same k order, and no variant may fuse the
// multiply and the add (these files are built with -ffp-contract=off).
#pragma once

#include <cstdint>

namespace vorn::fir {

using ConvolveFunction = void (*)(const double* input, const double* coefficients, int32_t taps,
                                  double* output, uint32_t outputs);

// The reference: one output at a time.
void ConvolveScalar(const double* input, const double* coefficients, int32_t taps, double* output,
                    uint32_t outputs);
// 128-bit SSE2, the x86-64 baseline; falls back to the scalar loop elsewhere.
void ConvolveSse2(const double* input, const double* coefficients, int32_t taps, double* output,
                  uint32_t outputs);
// 256-bit AVX2; call only when Avx2Available().
void ConvolveAvx2(const double* input, const double* coefficients, int32_t taps, double* output,
                  uint32_t outputs);

// 512-bit AVX-512F, lanes holding outputs a stride apart; call only when Avx512Available().
void ConvolveAvx512(const double* input, const double* coefficients, int32_t taps, double* output,
                    uint32_t outputs);

bool Avx2Available();
bool Avx512Available();
// The fastest variant this CPU runs, unless the environment variable VORN_FIR_KERNEL is
// "sse2", which forces the SSE2 kernel.
ConvolveFunction BestConvolve();
// AVX2 is there and VORN_FIR_KERNEL does not hold the filter to SSE2; the FFTs' AVX2 passes
// follow this, so forcing the baseline forces it for the whole filter.
bool Avx2Chosen();

}  // namespace vorn::fir
