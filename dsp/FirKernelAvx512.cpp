// The AVX-512 convolution. Only this file is built with -mavx512f, and it runs only after the
// CPU check in FirKernel.cpp.
//
// The AVX2 kernel loads one input vector per accumulator and tap, and those loads, not the
// arithmetic, bound it. Here the eight lanes of a vector hold outputs `stride` apart, from a
// lane-interleaved copy of the input: row m of the copy holds input[first + l * stride + m]
// in lane l. The row that output row r needs at tap k is row r + k, so eight consecutive
// output rows at tap k read rows r .. r + 7 and at tap k + 1 rows r + 1 .. r + 8: seven of
// the eight stay in registers and one load per tap feeds eight multiply-adds. Each lane still
// sums its own output in ascending k with a separate multiply and add.
#include "dsp/FirKernel.h"

#if defined(__AVX512F__)
#include <immintrin.h>

#include <algorithm>
#include <memory>
#include <new>

namespace vorn::fir {

namespace {

constexpr uint32_t kLanes = 8;
constexpr uint32_t kRows = 12;          // output rows summed together
constexpr uint32_t kMaxStride = 252;    // output rows per chunk: the copy stays in L2

// Rows 0 .. stride + taps - 1 of the lane-interleaved copy; the last is read but not used.
void Interleave(const double* input, uint32_t stride, int32_t taps, double* rows) {
    const uint32_t used = stride + uint32_t(taps) - 1;
    for (uint32_t l = 0; l < kLanes; ++l) {
        const double* from = input + size_t(l) * stride;
        for (uint32_t m = 0; m < used; ++m) rows[size_t(m) * kLanes + l] = from[m];
        rows[size_t(used) * kLanes + l] = 0.0;
    }
}

// Output rows r .. r + kRows - 1 of a chunk (rows points at row r of the copy), written to
// out[l * stride + j] for lane l and row j. The arrays are indexed by constants only after
// unrolling, so they live in registers: 2 kRows + 1 of the 32.
void RowBlock(const double* rows, const double* coefficients, int32_t taps, double* out, uint32_t stride) {
    __m512d acc[kRows], window[kRows];
#pragma GCC unroll 16
    for (uint32_t j = 0; j < kRows; ++j) {
        acc[j] = _mm512_setzero_pd();
        window[j] = _mm512_loadu_pd(rows + size_t(j) * kLanes);
    }
    // Unrolled kRows taps at a time, the window turns by renaming instead of register moves:
    // at tap k + u, slot (u + j) % kRows holds the row that accumulator j needs.
    int32_t k = 0;
    for (; k + int32_t(kRows) <= taps; k += kRows) {
#pragma GCC unroll 16
        for (uint32_t u = 0; u < kRows; ++u) {
            const __m512d c = _mm512_set1_pd(coefficients[k + u]);
#pragma GCC unroll 16
            for (uint32_t j = 0; j < kRows; ++j)
                acc[j] = _mm512_add_pd(acc[j], _mm512_mul_pd(window[(u + j) % kRows], c));
            window[u] = _mm512_loadu_pd(rows + size_t(k + u + kRows) * kLanes);
        }
    }
    for (; k < taps; ++k) {
        const __m512d c = _mm512_set1_pd(coefficients[k]);
#pragma GCC unroll 16
        for (uint32_t j = 0; j < kRows; ++j) acc[j] = _mm512_add_pd(acc[j], _mm512_mul_pd(window[j], c));
#pragma GCC unroll 16
        for (uint32_t j = 0; j + 1 < kRows; ++j) window[j] = window[j + 1];
        window[kRows - 1] = _mm512_loadu_pd(rows + size_t(k + kRows) * kLanes);
    }
    double sums[kRows][kLanes];
#pragma GCC unroll 16
    for (uint32_t j = 0; j < kRows; ++j) _mm512_storeu_pd(sums[j], acc[j]);
    for (uint32_t l = 0; l < kLanes; ++l)
        for (uint32_t j = 0; j < kRows; ++j) out[size_t(l) * stride + j] = sums[j][l];
}

}  // namespace

void ConvolveAvx512(const double* input, const double* coefficients, int32_t taps, double* output,
                    uint32_t outputs) {
    const uint32_t chunk = kLanes * kRows;
    std::unique_ptr<double[]> rows;
    if (outputs >= chunk) rows.reset(new (std::nothrow) double[size_t(kMaxStride + uint32_t(taps)) * kLanes]);
    uint32_t i = 0;
    while (rows && outputs - i >= chunk) {
        const uint32_t stride = std::min(kMaxStride, (outputs - i) / chunk * kRows);
        Interleave(input + i, stride, taps, rows.get());
        for (uint32_t r = 0; r < stride; r += kRows)
            RowBlock(rows.get() + size_t(r) * kLanes, coefficients, taps, output + i + r, stride);
        i += kLanes * stride;
    }
    ConvolveAvx2(input + i, coefficients, taps, output + i, outputs - i);
}

}  // namespace vorn::fir

#else

namespace vorn::fir {

// Built without AVX-512 (a compiler or target without it): never chosen, same results.
void ConvolveAvx512(const double* input, const double* coefficients, int32_t taps, double* output,
                    uint32_t outputs) {
    ConvolveAvx2(input, coefficients, taps, output, outputs);
}

}  // namespace vorn::fir

#endif
