#include "dsp/ComplexFft.h"

#include "dsp/FirKernel.h"

#include <cmath>
#include <new>

#if defined(__x86_64__) || defined(__SSE2__)
#define VORN_HAVE_SSE2 1
#include <emmintrin.h>
#endif

namespace vorn {

namespace {

constexpr double kTwoPi = 6.283185307179586476925286766559;
constexpr double kUnitRoundoff = 0x1p-53;

double Gamma(int k) { return k * kUnitRoundoff / (1 - k * kUnitRoundoff); }

// One stage of butterflies h apart (h >= 4, so pairs of j fill a vector), in place. The
// vector forms do the same operations per element as the plain ones, so they round alike.
// Forward: a + b, (a - b) w.
void ForwardStage(double* re, double* im, uint32_t n, uint32_t h, const double* wr, const double* wi) {
    for (uint32_t base = 0; base < n; base += 2 * h) {
        double* ar = re + base;
        double* ai = im + base;
        double* br = ar + h;
        double* bi = ai + h;
#ifdef VORN_HAVE_SSE2
        for (uint32_t j = 0; j < h; j += 2) {
            const __m128d xr = _mm_loadu_pd(ar + j), xi = _mm_loadu_pd(ai + j);
            const __m128d yr = _mm_loadu_pd(br + j), yi = _mm_loadu_pd(bi + j);
            const __m128d cr = _mm_loadu_pd(wr + j), ci = _mm_loadu_pd(wi + j);
            const __m128d dr = _mm_sub_pd(xr, yr), di = _mm_sub_pd(xi, yi);
            _mm_storeu_pd(ar + j, _mm_add_pd(xr, yr));
            _mm_storeu_pd(ai + j, _mm_add_pd(xi, yi));
            _mm_storeu_pd(br + j, _mm_sub_pd(_mm_mul_pd(dr, cr), _mm_mul_pd(di, ci)));
            _mm_storeu_pd(bi + j, _mm_add_pd(_mm_mul_pd(dr, ci), _mm_mul_pd(di, cr)));
        }
#else
        for (uint32_t j = 0; j < h; ++j) {
            const double dr = ar[j] - br[j], di = ai[j] - bi[j];
            ar[j] = ar[j] + br[j];
            ai[j] = ai[j] + bi[j];
            br[j] = dr * wr[j] - di * wi[j];
            bi[j] = dr * wi[j] + di * wr[j];
        }
#endif
    }
}

// Inverse: a + b conj(w), a - b conj(w).
void InverseStage(double* re, double* im, uint32_t n, uint32_t h, const double* wr, const double* wi) {
    for (uint32_t base = 0; base < n; base += 2 * h) {
        double* ar = re + base;
        double* ai = im + base;
        double* br = ar + h;
        double* bi = ai + h;
#ifdef VORN_HAVE_SSE2
        for (uint32_t j = 0; j < h; j += 2) {
            const __m128d xr = _mm_loadu_pd(ar + j), xi = _mm_loadu_pd(ai + j);
            const __m128d yr = _mm_loadu_pd(br + j), yi = _mm_loadu_pd(bi + j);
            const __m128d cr = _mm_loadu_pd(wr + j), ci = _mm_loadu_pd(wi + j);
            const __m128d tr = _mm_add_pd(_mm_mul_pd(yr, cr), _mm_mul_pd(yi, ci));
            const __m128d ti = _mm_sub_pd(_mm_mul_pd(yi, cr), _mm_mul_pd(yr, ci));
            _mm_storeu_pd(br + j, _mm_sub_pd(xr, tr));
            _mm_storeu_pd(bi + j, _mm_sub_pd(xi, ti));
            _mm_storeu_pd(ar + j, _mm_add_pd(xr, tr));
            _mm_storeu_pd(ai + j, _mm_add_pd(xi, ti));
        }
#else
        for (uint32_t j = 0; j < h; ++j) {
            const double tr = br[j] * wr[j] + bi[j] * wi[j];
            const double ti = bi[j] * wr[j] - br[j] * wi[j];
            br[j] = ar[j] - tr;
            bi[j] = ai[j] - ti;
            ar[j] = ar[j] + tr;
            ai[j] = ai[j] + ti;
        }
#endif
    }
}

}  // namespace

ComplexFft::ComplexFft(uint32_t log2) {
    if (log2 < 1 || log2 > kMaxLog2Size) return;
    const uint32_t n = 1u << log2;
    twiddleRe.reset(new (std::nothrow) double[n]);
    twiddleIm.reset(new (std::nothrow) double[n]);
    if (!twiddleRe || !twiddleIm) return;

    // The finest stage, exp(-2 pi i j / n) for j < n / 2, from angles of at most pi / 4:
    // cos and sin of the octant's mirror angle give the rest exactly.
    double* finestRe = twiddleRe.get() + n / 2;
    double* finestIm = twiddleIm.get() + n / 2;
    const uint32_t eighth = n / 8, quarter = n / 4;
    auto cosine = [&](uint32_t j) {  // cos(2 pi j / n) for j <= n / 4
        return j <= eighth ? std::cos(j * (kTwoPi / n)) : std::sin((quarter - j) * (kTwoPi / n));
    };
    auto sine = [&](uint32_t j) {  // sin(2 pi j / n) for j <= n / 4
        return j <= eighth ? std::sin(j * (kTwoPi / n)) : std::cos((quarter - j) * (kTwoPi / n));
    };
    for (uint32_t j = 0; j < n / 2; ++j) {
        const bool firstQuarter = j <= quarter;
        finestRe[j] = firstQuarter ? cosine(j) : -cosine(n / 2 - j);
        finestIm[j] = -(firstQuarter ? sine(j) : sine(n / 2 - j));
    }
    // Coarser stages take every other value of the next finer one: the same numbers.
    for (uint32_t h = n / 4; h >= 1; h /= 2)
        for (uint32_t j = 0; j < h; ++j) {
            twiddleRe[h + j] = twiddleRe[2 * h + 2 * j];
            twiddleIm[h + j] = twiddleIm[2 * h + 2 * j];
        }
    log2Size = log2;
    size = n;
    UseAvx2(true);
}

void ComplexFft::UseAvx2(bool allowed) {
    // The vector passes work on runs of four points.
    avx2 = allowed && size >= 4 && fir::Avx2Chosen();
}

std::complex<double> ComplexFft::Twiddle(uint32_t j) const {
    return {twiddleRe[size / 2 + j], twiddleIm[size / 2 + j]};
}

// The radix-2 transform of size 2^t, its twiddles off by at most mu, satisfies
//   ||computed - exact||_2 <= t eta / (1 - t eta) ||exact||_2,  eta = mu + gamma_4 (sqrt 2 + mu),
// gamma_k = k u / (1 - k u), u = 2^-53 (Higham, Accuracy and Stability of Numerical
// Algorithms, 2nd ed., theorem 24.2). The proof needs only that each of the t stages is a
// matrix of butterflies of norm sqrt 2, each output one complex multiply and one add away
// from its inputs, so it covers both orders used here. Stages one and two multiply by 1 and
// -i exactly, which only lowers the error. The AVX2 passes (ComplexFftAvx2.cpp) do two
// stages per pass over the data but the same operations per element, unfused (no FMA), so
// they give the same bits and the same bound. The bound returned is twice that for margin.
double ComplexFft::RelativeError() const {
    const double mu = kTwiddleError;
    const double eta = mu + Gamma(4) * (std::sqrt(2.0) + mu);
    const double t = log2Size;
    return 2 * t * eta / (1 - t * eta);
}

void ComplexFft::Forward(double* re, double* im) const {
    if (avx2) {
        ForwardAvx2(re, im);
        return;
    }
    const uint32_t n = size;
    for (uint32_t h = n / 2; h >= 4; h /= 2) ForwardStage(re, im, n, h, twiddleRe.get() + h, twiddleIm.get() + h);
    if (n >= 4) {  // butterflies 2 apart: twiddles 1 and -i
        for (uint32_t base = 0; base < n; base += 4) {
            double* r = re + base;
            double* i = im + base;
            const double d0r = r[0] - r[2], d0i = i[0] - i[2];
            const double d1r = r[1] - r[3], d1i = i[1] - i[3];
            r[0] += r[2], i[0] += i[2];
            r[1] += r[3], i[1] += i[3];
            r[2] = d0r, i[2] = d0i;
            r[3] = d1i, i[3] = -d1r;
        }
    }
    for (uint32_t base = 0; base < n; base += 2) {
        const double dr = re[base] - re[base + 1], di = im[base] - im[base + 1];
        re[base] += re[base + 1], im[base] += im[base + 1];
        re[base + 1] = dr, im[base + 1] = di;
    }
}

void ComplexFft::Inverse(double* re, double* im) const {
    if (avx2) {
        InverseAvx2(re, im);
        return;
    }
    const uint32_t n = size;
    for (uint32_t base = 0; base < n; base += 2) {
        const double ar = re[base], ai = im[base];
        re[base] = ar + re[base + 1], im[base] = ai + im[base + 1];
        re[base + 1] = ar - re[base + 1], im[base + 1] = ai - im[base + 1];
    }
    if (n >= 4) {  // twiddles 1 and +i
        for (uint32_t base = 0; base < n; base += 4) {
            double* r = re + base;
            double* i = im + base;
            const double t0r = r[2], t0i = i[2];
            const double t1r = -i[3], t1i = r[3];
            const double a0r = r[0], a0i = i[0], a1r = r[1], a1i = i[1];
            r[0] = a0r + t0r, i[0] = a0i + t0i;
            r[2] = a0r - t0r, i[2] = a0i - t0i;
            r[1] = a1r + t1r, i[1] = a1i + t1i;
            r[3] = a1r - t1r, i[3] = a1i - t1i;
        }
    }
    for (uint32_t h = 4; h < n; h *= 2) InverseStage(re, im, n, h, twiddleRe.get() + h, twiddleIm.get() + h);
}

}  // namespace vorn
