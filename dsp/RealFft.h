// In-place radix-4 FFT (radix-2 for the last stage of an odd count) on single-precision data: a complex transform of n points and,
// built on it, a real transform of N points whose spectrum is packed into the same N
// floats. No memory is allocated and no tables are kept: twiddles come from rotation
// recurrences, intermediate arithmetic is double.
//
// Complex data: n interleaved (real, imaginary) pairs. Forward (direction 1) is the
// unnormalised sum x[m] e^(-j 2 pi k m / n); inverse (direction -1) scales by 1/n first
// and uses e^(+j ...), so it undoes the forward transform.
//
// Packed real spectrum of N values: [0] = 2 X[0] (DC), [1] = 2 X[N/2] (Nyquist),
// [2k], [2k + 1] = 2 Re X[k], 2 Im X[k] for k = 1 .. N/2 - 1, where X is the forward DFT
// of the N reals. The inverse of a packed spectrum P is
//   x[m] = (P[0]/2 + P[1]/2 (-1)^m + sum_k (P[2k] cos(2 pi k m/N) - P[2k+1] sin(...))) / N,
// which undoes the forward transform.
//
// Where fir::Avx2Chosen(), the passes hold two points per AVX2 register; they may round
// differently in the last bit from the SSE2 passes, within the same accuracy.
//
// Sizes must be powers of two (n from 1 to 2^20, N from 4 to 2^21); other sizes leave the
// data untouched.
#pragma once

#include <cstdint>

namespace vorn {

inline constexpr int32_t kFftForward = 1;
inline constexpr int32_t kFftInverse = -1;

void InterleavedComplexFft(float* data, int32_t n, int32_t direction);
void RealFft(float* data, int32_t N, int32_t direction);
// The transform's passes with AVX2 (RealFftAvx2.cpp), n >= 8; only after fir::Avx2Chosen().
void RealFftPassesAvx2(float* data, int32_t n, double sign);
// RealFft's split of the M-point spectrum for pairs k = 1, 2, ... below M / 4 with AVX2
// (M >= 8); returns the first k it left to the caller.
int32_t RealFftSplitAvx2(float* data, int32_t M, double rotation, double scale);

// A real transform of a fixed size; it owns no memory.
class TRealFft {
public:
    explicit TRealFft(int32_t size) : size(size) {}

    void Forward(float* data) const { RealFft(data, size, kFftForward); }
    void Inverse(float* data) const { RealFft(data, size, kFftInverse); }
    int32_t GetSize() const { return size; }

private:
    int32_t reserved = 0;  // always 0, kept so the object has the two fields peers know
    int32_t size;  // N, number of real values
};

}  // namespace vorn
