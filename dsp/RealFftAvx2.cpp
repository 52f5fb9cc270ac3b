// The single-precision FFT's passes with AVX2: two complex points per 256-bit register,
// in double as in RealFft.cpp, with the same radix-4 butterflies. Only this file is built
// with -mavx2 (no FMA), and it runs only after the CPU check.
#include "dsp/RealFft.h"

#include <cmath>

#if defined(__AVX2__)
#include <immintrin.h>

namespace vorn {

namespace {

constexpr double kTwoPi = 6.283185307179586;

// Two points (re0, im0, re1, im1) in double.
using Pair = __m256d;

inline Pair LoadAdjacent(const float* p) { return _mm256_cvtps_pd(_mm_loadu_ps(p)); }
inline void StoreAdjacent(float* p, Pair v) { _mm_storeu_ps(p, _mm256_cvtpd_ps(v)); }
// Point p in the low half, point q in the high one.
inline Pair LoadApart(const float* p, const float* q) {
    const __m128d bits = _mm_loadh_pd(_mm_load_sd(reinterpret_cast<const double*>(p)), reinterpret_cast<const double*>(q));
    return _mm256_cvtps_pd(_mm_castpd_ps(bits));
}
inline void StoreApart(float* p, float* q, Pair v) {
    const __m128d bits = _mm_castps_pd(_mm256_cvtpd_ps(v));
    _mm_storel_pd(reinterpret_cast<double*>(p), bits);
    _mm_storeh_pd(reinterpret_cast<double*>(q), bits);
}

// d w for each point: (dr wr - di wi, di wr + dr wi), each product rounded, then the sum.
inline Pair Rotate(Pair d, Pair w) {
    const Pair cosines = _mm256_movedup_pd(w);
    const Pair sines = _mm256_xor_pd(_mm256_permute_pd(w, 0b1111), _mm256_set_pd(0.0, -0.0, 0.0, -0.0));
    return _mm256_add_pd(_mm256_mul_pd(d, cosines), _mm256_mul_pd(_mm256_permute_pd(d, 0b0101), sines));
}
// d times sign j, exact.
inline Pair TimesSignJ(Pair d, Pair signs) { return _mm256_mul_pd(_mm256_permute_pd(d, 0b0101), signs); }

// One radix-4 butterfly on two points at each of the four places (see Transform).
struct Butterfly {
    Pair z0, z1, z2, z3;
};
inline Butterfly Radix4(Pair x0, Pair x1, Pair x2, Pair x3, Pair signs) {
    const Pair a = _mm256_add_pd(x0, x2), b = _mm256_add_pd(x1, x3);
    const Pair t = _mm256_sub_pd(x0, x2), u = TimesSignJ(_mm256_sub_pd(x1, x3), signs);
    return {_mm256_add_pd(a, b), _mm256_sub_pd(a, b), _mm256_add_pd(t, u), _mm256_sub_pd(t, u)};
}

}  // namespace

void RealFftPassesAvx2(float* data, int32_t n, double sign) {
    // u = (x1 - x3) sign j: (-sign im, sign re) after the swap.
    const Pair signs = _mm256_set_pd(sign, -sign, sign, -sign);
    int32_t span = n;
    // Passes of q >= 2 points per quarter: the two points of a register are neighbours k and
    // k + 1, with their own twiddles, stepped together by w^2.
    for (; span >= 8; span /= 4) {
        const int32_t q = span / 4;
        const double angle = kTwoPi / span;
        const Pair step = _mm256_set_pd(sign * std::sin(2 * angle), std::cos(2 * angle),
                                        sign * std::sin(2 * angle), std::cos(2 * angle));
        Pair w = _mm256_set_pd(sign * std::sin(angle), std::cos(angle), 0.0, 1.0);
        for (int32_t k = 0; k < q; k += 2) {
            const Pair w2 = Rotate(w, w), w3 = Rotate(w2, w);
            for (int32_t g = k; g < n; g += span) {
                float* p0 = data + 2 * g;
                float* p1 = p0 + 2 * q;
                float* p2 = p1 + 2 * q;
                float* p3 = p2 + 2 * q;
                const Butterfly z =
                    Radix4(LoadAdjacent(p0), LoadAdjacent(p1), LoadAdjacent(p2), LoadAdjacent(p3), signs);
                StoreAdjacent(p0, z.z0);
                StoreAdjacent(p1, Rotate(z.z1, w2));
                StoreAdjacent(p2, Rotate(z.z2, w));
                StoreAdjacent(p3, Rotate(z.z3, w3));
            }
            w = Rotate(w, step);
        }
    }
    // Span 4: twiddles 1; the two points of a register come from neighbouring groups.
    if (span == 4) {
        for (int32_t g = 0; g < n; g += 8) {
            float* p = data + 2 * g;
            const Butterfly z = Radix4(LoadApart(p, p + 8), LoadApart(p + 2, p + 10), LoadApart(p + 4, p + 12),
                                       LoadApart(p + 6, p + 14), signs);
            StoreApart(p, p + 8, z.z0);
            StoreApart(p + 2, p + 10, z.z1);
            StoreApart(p + 4, p + 12, z.z2);
            StoreApart(p + 6, p + 14, z.z3);
        }
    } else if (span == 2) {
        for (int32_t g = 0; g < n; g += 4) {
            float* p = data + 2 * g;
            const Pair x = LoadApart(p, p + 4), y = LoadApart(p + 2, p + 6);
            StoreApart(p, p + 4, _mm256_add_pd(x, y));
            StoreApart(p + 2, p + 6, _mm256_sub_pd(x, y));
        }
    }
}

int32_t RealFftSplitAvx2(float* data, int32_t M, double rotation, double scale) {
    const double angle = kTwoPi / (2.0 * M);
    const Pair conjugate = _mm256_set_pd(-0.0, 0.0, -0.0, 0.0);
    const Pair signs = _mm256_set_pd(rotation, -rotation, rotation, -rotation);
    const Pair scales = _mm256_set1_pd(scale);
    const Pair step = _mm256_set_pd(rotation * std::sin(2 * angle), std::cos(2 * angle),
                                    rotation * std::sin(2 * angle), std::cos(2 * angle));
    Pair w = _mm256_set_pd(rotation * std::sin(2 * angle), std::cos(2 * angle), rotation * std::sin(angle),
                           std::cos(angle));
    int32_t k = 1;
    // Points k, k + 1 and their mirrors M - k, M - k - 1, which stay apart below M / 2.
    for (; 2 * (k + 1) < M; k += 2) {
        float* a = data + 2 * k;
        float* b = data + 2 * (M - k - 1);
        const Pair x = LoadAdjacent(a);
        const Pair y = _mm256_xor_pd(_mm256_permute4x64_pd(LoadAdjacent(b), 0x4E), conjugate);
        const Pair sum = _mm256_mul_pd(_mm256_add_pd(x, y), scales);
        const Pair difference = _mm256_mul_pd(_mm256_sub_pd(x, y), scales);
        const Pair h = TimesSignJ(Rotate(difference, w), signs);
        StoreAdjacent(a, _mm256_add_pd(sum, h));
        StoreAdjacent(b, _mm256_permute4x64_pd(_mm256_xor_pd(_mm256_sub_pd(sum, h), conjugate), 0x4E));
        w = Rotate(w, step);
    }
    return k;
}

}  // namespace vorn

#else

namespace vorn {

// Built without AVX2 (a compiler or target without it): never chosen.
void RealFftPassesAvx2(float*, int32_t, double) {}
int32_t RealFftSplitAvx2(float*, int32_t, double, double) { return 1; }

}  // namespace vorn

#endif
