#include "dsp/RealFft.h"

#include <cmath>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif
#include <utility>

namespace vorn {

namespace {

constexpr double kTwoPi = 6.283185307179586;
constexpr int kMaxStages = 20;

// One complex point in double precision: (real, imaginary) in one vector register.
// Loads widen two floats exactly; stores round both parts to nearest float, as a
// cast does. The operations round exactly as their scalar forms would.
#if defined(__SSE2__)
typedef __m128d Complex;

inline Complex Load(const float* p) {
    return _mm_cvtps_pd(_mm_castsi128_ps(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(p))));
}
inline void Store(float* p, Complex v) { _mm_storel_pi(reinterpret_cast<__m64*>(p), _mm_cvtpd_ps(v)); }
inline Complex Add(Complex x, Complex y) { return _mm_add_pd(x, y); }
inline Complex Subtract(Complex x, Complex y) { return _mm_sub_pd(x, y); }
inline Complex Broadcast(double a, double b) { return _mm_set_pd(b, a); }
// d * (wr + j wi) with cosines = (wr, wr) and sines = (-wi, wi):
// (dr wr - di wi, di wr + dr wi), each product rounded, then the sum.
inline Complex Rotate(Complex d, Complex cosines, Complex sines) {
    return _mm_add_pd(_mm_mul_pd(d, cosines), _mm_mul_pd(_mm_shuffle_pd(d, d, 1), sines));
}
#else
struct Complex {
    double re, im;
};
inline Complex Load(const float* p) { return {p[0], p[1]}; }
inline void Store(float* p, Complex v) {
    p[0] = static_cast<float>(v.re);
    p[1] = static_cast<float>(v.im);
}
inline Complex Add(Complex x, Complex y) { return {x.re + y.re, x.im + y.im}; }
inline Complex Subtract(Complex x, Complex y) { return {x.re - y.re, x.im - y.im}; }
inline Complex Broadcast(double a, double b) { return {a, b}; }
inline Complex Rotate(Complex d, Complex cosines, Complex sines) {
    return {d.re * cosines.re + d.im * sines.re, d.im * cosines.im + d.re * sines.im};
}
#endif

// log2(n) by doubling, or -1 when n is not a power of two up to 2^20.
int StageCount(int32_t n) {
    int32_t size = 1;
    for (int stages = 0; stages <= kMaxStages; ++stages, size *= 2) {
        if (size == n) return stages;
    }
    return -1;
}

void BitReverse(float* data, int32_t n) {
    int32_t j = 0;
    for (int32_t i = 0; i < n - 1; ++i) {
        if (i < j) {
            std::swap(data[2 * i], data[2 * j]);
            std::swap(data[2 * i + 1], data[2 * j + 1]);
        }
        int32_t bit = n >> 1;
        while (j & bit) {
            j ^= bit;
            bit >>= 1;
        }
        j |= bit;
    }
}

}  // namespace

void InterleavedComplexFft(float* data, int32_t n, int32_t direction) {
    if (data == nullptr || (direction != kFftForward && direction != kFftInverse)) return;
    if (StageCount(n) < 0) return;
    if (direction == kFftInverse) {
        const float scale = 1.0f / static_cast<float>(n);
        for (int32_t i = 0; i < 2 * n; ++i) data[i] *= scale;
    }
    // Forward twiddles are cos - j sin, inverse cos + j sin.
    const double sign = direction == kFftForward ? -1.0 : 1.0;
    double baseCos = std::cos(kTwoPi / n);
    double baseSin = std::sin(kTwoPi / n);
    // Decimation in frequency: span f halves each stage; the output is in bit-reversed order.
    for (int32_t span = n; span >= 2; span /= 2) {
        const int32_t half = span / 2;
        for (int32_t g = 0; g < n; g += span) {
            float* a = data + 2 * g;
            float* b = data + 2 * (g + half);
            const Complex x = Load(a), y = Load(b);
            Store(a, Add(x, y));
            Store(b, Subtract(x, y));
        }
        const double stepCos = baseCos;
        const double stepSin = sign * baseSin;
        double wr = baseCos;
        double wi = stepSin;
        for (int32_t k = 1; k < half; ++k) {
            const Complex cosines = Broadcast(wr, wr);
            const Complex sines = Broadcast(-wi, wi);
            for (int32_t g = k; g < n; g += span) {
                float* a = data + 2 * g;
                float* b = data + 2 * (g + half);
                const Complex x = Load(a), y = Load(b);
                Store(a, Add(x, y));
                Store(b, Rotate(Subtract(x, y), cosines, sines));
            }
            const double r = wr * stepCos - wi * stepSin;
            wi = wi * stepCos + wr * stepSin;
            wr = r;
        }
        // The next stage's base angle is twice this one's.
        const double doubledCos = 1.0 - 2.0 * baseSin * baseSin;
        baseSin = 2.0 * baseSin * baseCos;
        baseCos = doubledCos;
    }
    BitReverse(data, n);
}

void RealFft(float* data, int32_t N, int32_t direction) {
    if (data == nullptr || (direction != kFftForward && direction != kFftInverse)) return;
    // The limit of 2^20 is the complex transform's, of N/2 points: N may be 2^21.
    if (N < 4 || N % 2 != 0 || StageCount(N / 2) < 0) return;
    const int32_t M = N / 2;
    const bool forward = direction == kFftForward;
    if (forward) InterleavedComplexFft(data, M, kFftForward);

    // The N reals seen as M complex points z: the spectra of the even and the odd
    // samples are separated from Z = FFT(z) pair by pair, Z[k] with its mirror Z[M - k].
    const double e = forward ? 2.0 : 1.0;
    const double z0r = data[0], z0i = data[1];
    data[0] = static_cast<float>(e * (z0r + z0i));
    data[1] = static_cast<float>(e * (z0r - z0i));

    const double stepSin = std::sin(kTwoPi / N);
    const double stepCos = std::sqrt(1.0 - stepSin * stepSin);
    // Forward combines with -j e^(-j 2 pi k / N), inverse with +j e^(+j 2 pi k / N).
    const double rotation = forward ? -1.0 : 1.0;
    const double stepRotSin = rotation * stepSin;
    double wr = stepCos;
    double wi = stepRotSin;
    for (int32_t i = 2; i <= M; i += 2) {
        float* a = data + i;
        float* b = data + (N - i);
        const double ar = a[0], ai = a[1], br = b[0], bi = b[1];
        const double sr = ar + br, si = ai - bi;  // a + conj(b)
        const double dr = ar - br, di = ai + bi;  // a - conj(b)
        // h = rotation * j * w * d
        const double hr = -rotation * (wr * di + wi * dr);
        const double hi = rotation * (wr * dr - wi * di);
        a[0] = static_cast<float>(sr + hr);
        a[1] = static_cast<float>(si + hi);
        b[0] = static_cast<float>(sr - hr);
        b[1] = static_cast<float>(hi - si);
        const double r = wr * stepCos - wi * stepRotSin;
        wi = wi * stepCos + wr * stepRotSin;
        wr = r;
    }

    if (!forward) {
        InterleavedComplexFft(data, M, kFftInverse);
        for (int32_t i = 0; i < N; ++i) data[i] *= 0.25f;
    }
}

}  // namespace vorn
