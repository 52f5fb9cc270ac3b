// The complex FFT's AVX2 passes. Only this file is built with -mavx2 (no FMA), and it runs
// only after the CPU check, so the program still starts on CPUs without AVX2. Each pass
// does two radix-2 stages while the four points of a butterfly pair stay in registers;
// every element sees the same adds, subtracts and products, in the same order, as in the
// one-stage passes of ComplexFft.cpp, so both give the same bits and the same error bound.
#include "dsp/ComplexFft.h"

#if defined(__AVX2__)
#include <immintrin.h>

namespace vorn {

namespace {

struct Points {
    __m256d re, im;
};

inline Points Load(const double* re, const double* im, uint32_t at) {
    return {_mm256_loadu_pd(re + at), _mm256_loadu_pd(im + at)};
}
inline void Store(double* re, double* im, uint32_t at, Points p) {
    _mm256_storeu_pd(re + at, p.re);
    _mm256_storeu_pd(im + at, p.im);
}
inline Points Add(Points a, Points b) { return {_mm256_add_pd(a.re, b.re), _mm256_add_pd(a.im, b.im)}; }
inline Points Subtract(Points a, Points b) { return {_mm256_sub_pd(a.re, b.re), _mm256_sub_pd(a.im, b.im)}; }
// d w: (dr wr - di wi, dr wi + di wr).
inline Points Times(Points d, Points w) {
    return {_mm256_sub_pd(_mm256_mul_pd(d.re, w.re), _mm256_mul_pd(d.im, w.im)),
            _mm256_add_pd(_mm256_mul_pd(d.re, w.im), _mm256_mul_pd(d.im, w.re))};
}
// b conj(w): (br wr + bi wi, bi wr - br wi).
inline Points TimesConjugate(Points b, Points w) {
    return {_mm256_add_pd(_mm256_mul_pd(b.re, w.re), _mm256_mul_pd(b.im, w.im)),
            _mm256_sub_pd(_mm256_mul_pd(b.im, w.re), _mm256_mul_pd(b.re, w.im))};
}

// Forward stages h and h / 2 (h >= 8) over the groups of 2h points.
void ForwardPair(double* re, double* im, uint32_t n, uint32_t h, const double* wr, const double* wi) {
    const uint32_t q = h / 2;
    for (uint32_t base = 0; base < n; base += 2 * h) {
        for (uint32_t j = 0; j < q; j += 4) {
            const uint32_t a = base + j, b = a + q, c = a + h, d = c + q;
            const Points w1 = Load(wr + h, wi + h, j), w2 = Load(wr + h, wi + h, j + q);
            const Points w3 = Load(wr + q, wi + q, j);
            const Points xa = Load(re, im, a), xb = Load(re, im, b), xc = Load(re, im, c), xd = Load(re, im, d);
            const Points ya = Add(xa, xc), yc = Times(Subtract(xa, xc), w1);
            const Points yb = Add(xb, xd), yd = Times(Subtract(xb, xd), w2);
            Store(re, im, a, Add(ya, yb));
            Store(re, im, b, Times(Subtract(ya, yb), w3));
            Store(re, im, c, Add(yc, yd));
            Store(re, im, d, Times(Subtract(yc, yd), w3));
        }
    }
}

// Forward stage h = 4 alone (an odd count of stages above the last two).
void ForwardSingle(double* re, double* im, uint32_t n, const double* wr, const double* wi) {
    const Points w = Load(wr + 4, wi + 4, 0);
    for (uint32_t base = 0; base < n; base += 8) {
        const Points x = Load(re, im, base), y = Load(re, im, base + 4);
        Store(re, im, base, Add(x, y));
        Store(re, im, base + 4, Times(Subtract(x, y), w));
    }
}

// The last two forward stages on each run of four points: twiddles 1 and -i, then 1.
void ForwardLastTwo(double* re, double* im, uint32_t n) {
    const __m256d negateLast = _mm256_set_pd(-0.0, 0.0, 0.0, 0.0);
    for (uint32_t base = 0; base < n; base += 4) {
        const Points x = Load(re, im, base);
        const __m128d r01 = _mm256_castpd256_pd128(x.re), r23 = _mm256_extractf128_pd(x.re, 1);
        const __m128d i01 = _mm256_castpd256_pd128(x.im), i23 = _mm256_extractf128_pd(x.im, 1);
        const __m128d sr = _mm_add_pd(r01, r23), si = _mm_add_pd(i01, i23);
        const __m128d dr = _mm_sub_pd(r01, r23), di = _mm_sub_pd(i01, i23);
        // Points 2, 3 become d0 and d1 (-i): re (d0r, d1i), im (d0i, -d1r).
        const __m256d re4 = _mm256_insertf128_pd(_mm256_castpd128_pd256(sr), _mm_unpacklo_pd(dr, _mm_unpackhi_pd(di, di)), 1);
        const __m256d im4 = _mm256_xor_pd(
            _mm256_insertf128_pd(_mm256_castpd128_pd256(si), _mm_unpacklo_pd(di, _mm_unpackhi_pd(dr, dr)), 1),
            negateLast);
        // Stage h = 1: (p0 + p1, p0 - p1) in each half.
        const __m256d reEven = _mm256_unpacklo_pd(re4, re4), reOdd = _mm256_unpackhi_pd(re4, re4);
        const __m256d imEven = _mm256_unpacklo_pd(im4, im4), imOdd = _mm256_unpackhi_pd(im4, im4);
        Store(re, im, base,
              {_mm256_blend_pd(_mm256_add_pd(reEven, reOdd), _mm256_sub_pd(reEven, reOdd), 0b1010),
               _mm256_blend_pd(_mm256_add_pd(imEven, imOdd), _mm256_sub_pd(imEven, imOdd), 0b1010)});
    }
}

// The first two inverse stages on each run of four points: twiddle 1, then 1 and +i.
void InverseFirstTwo(double* re, double* im, uint32_t n) {
    for (uint32_t base = 0; base < n; base += 4) {
        const Points x = Load(re, im, base);
        const __m256d reEven = _mm256_unpacklo_pd(x.re, x.re), reOdd = _mm256_unpackhi_pd(x.re, x.re);
        const __m256d imEven = _mm256_unpacklo_pd(x.im, x.im), imOdd = _mm256_unpackhi_pd(x.im, x.im);
        const __m256d r = _mm256_blend_pd(_mm256_add_pd(reEven, reOdd), _mm256_sub_pd(reEven, reOdd), 0b1010);
        const __m256d i = _mm256_blend_pd(_mm256_add_pd(imEven, imOdd), _mm256_sub_pd(imEven, imOdd), 0b1010);
        // Stage h = 2: a = points 0, 1; t = (point 2, i point 3) = re (r2, -i3), im (i2, r3).
        const __m128d ar = _mm256_castpd256_pd128(r), ai = _mm256_castpd256_pd128(i);
        const __m128d br = _mm256_extractf128_pd(r, 1), bi = _mm256_extractf128_pd(i, 1);
        const __m128d tr = _mm_xor_pd(_mm_unpacklo_pd(br, _mm_unpackhi_pd(bi, bi)), _mm_set_pd(-0.0, 0.0));
        const __m128d ti = _mm_unpacklo_pd(bi, _mm_unpackhi_pd(br, br));
        Store(re, im, base,
              {_mm256_insertf128_pd(_mm256_castpd128_pd256(_mm_add_pd(ar, tr)), _mm_sub_pd(ar, tr), 1),
               _mm256_insertf128_pd(_mm256_castpd128_pd256(_mm_add_pd(ai, ti)), _mm_sub_pd(ai, ti), 1)});
    }
}

// Inverse stages h and 2h (h >= 4) over the groups of 4h points.
void InversePair(double* re, double* im, uint32_t n, uint32_t h, const double* wr, const double* wi) {
    for (uint32_t base = 0; base < n; base += 4 * h) {
        for (uint32_t j = 0; j < h; j += 4) {
            const uint32_t a = base + j, b = a + h, c = b + h, d = c + h;
            const Points w1 = Load(wr + h, wi + h, j);
            const Points w2 = Load(wr + 2 * h, wi + 2 * h, j), w3 = Load(wr + 2 * h, wi + 2 * h, j + h);
            const Points xa = Load(re, im, a), xb = Load(re, im, b), xc = Load(re, im, c), xd = Load(re, im, d);
            const Points tb = TimesConjugate(xb, w1), td = TimesConjugate(xd, w1);
            const Points ya = Add(xa, tb), yb = Subtract(xa, tb);
            const Points yc = Add(xc, td), yd = Subtract(xc, td);
            const Points tc = TimesConjugate(yc, w2), te = TimesConjugate(yd, w3);
            Store(re, im, a, Add(ya, tc));
            Store(re, im, c, Subtract(ya, tc));
            Store(re, im, b, Add(yb, te));
            Store(re, im, d, Subtract(yb, te));
        }
    }
}

// Inverse stage h alone, h >= 4 (the top one of an odd count).
void InverseSingle(double* re, double* im, uint32_t n, uint32_t h, const double* wr, const double* wi) {
    for (uint32_t base = 0; base < n; base += 2 * h) {
        for (uint32_t j = 0; j < h; j += 4) {
            const Points w = Load(wr + h, wi + h, j);
            const Points x = Load(re, im, base + j);
            const Points t = TimesConjugate(Load(re, im, base + j + h), w);
            Store(re, im, base + j, Add(x, t));
            Store(re, im, base + j + h, Subtract(x, t));
        }
    }
}

}  // namespace

void ComplexFft::ForwardAvx2(double* re, double* im) const {
    const uint32_t n = size;
    const double* wr = twiddleRe.get();
    const double* wi = twiddleIm.get();
    uint32_t h = n / 2;
    for (; h >= 8; h /= 4) ForwardPair(re, im, n, h, wr, wi);
    if (h == 4) ForwardSingle(re, im, n, wr, wi);
    ForwardLastTwo(re, im, n);
}

void ComplexFft::InverseAvx2(double* re, double* im) const {
    const uint32_t n = size;
    const double* wr = twiddleRe.get();
    const double* wi = twiddleIm.get();
    InverseFirstTwo(re, im, n);
    uint32_t h = 4;
    for (; 2 * h < n; h *= 4) InversePair(re, im, n, h, wr, wi);
    if (h < n) InverseSingle(re, im, n, h, wr, wi);
}

}  // namespace vorn

#else

namespace vorn {

// Built without AVX2 (a compiler or target without it): never chosen.
void ComplexFft::ForwardAvx2(double* re, double* im) const { Forward(re, im); }
void ComplexFft::InverseAvx2(double* re, double* im) const { Inverse(re, im); }

}  // namespace vorn

#endif
