#include "dsp/RealFft.h"

#include "dsp/FirKernel.h"

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
inline Complex Multiply(Complex x, Complex y) { return _mm_mul_pd(x, y); }
inline Complex Conjugate(Complex x) { return _mm_xor_pd(x, _mm_set_pd(-0.0, 0.0)); }
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
inline Complex Multiply(Complex x, Complex y) { return {x.re * y.re, x.im * y.im}; }
inline Complex Conjugate(Complex x) { return {x.re, -x.im}; }
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

// Swaps whole complex points (two floats as one 64-bit move).
void BitReverse(float* data, int32_t n) {
    int32_t j = 0;
    for (int32_t i = 0; i < n - 1; ++i) {
        if (i < j) {
            uint64_t a, b;
            std::memcpy(&a, data + 2 * i, sizeof a);
            std::memcpy(&b, data + 2 * j, sizeof b);
            std::memcpy(data + 2 * i, &b, sizeof b);
            std::memcpy(data + 2 * j, &a, sizeof a);
        }
        int32_t bit = n >> 1;
        while (j & bit) {
            j ^= bit;
            bit >>= 1;
        }
        j |= bit;
    }
}

// d times sign j: forward (sign -1) (d.im, -d.re), inverse (-d.im, d.re); exact.
inline Complex TimesSignJ(Complex d, double sign) {
#if defined(__SSE2__)
    return _mm_mul_pd(_mm_shuffle_pd(d, d, 1), _mm_set_pd(sign, -sign));
#else
    return {-sign * d.im, sign * d.re};
#endif
}

// Unnormalised transform, output in bit-reversed order. Decimation in frequency, two
// radix-2 stages (spans s and s/2) per pass over the data as one radix-4 butterfly:
// for q = s/4 and the twiddle w = e^(sign j 2 pi / s),
//   z0 = (x0 + x2) + (x1 + x3),      z1 = ((x0 + x2) - (x1 + x3)) w^2k,
//   z2 = (t + u) w^k,  z3 = (t - u) w^3k,  t = x0 - x2,  u = (x1 - x3) sign j,
// which is what the two radix-2 stages compute, with one rounding to float per pass
// instead of per stage. An odd stage count leaves a last radix-2 stage of span 2.
void Transform(float* data, int32_t n, double sign) {
    if (n >= 8 && fir::Avx2Chosen()) {
        RealFftPassesAvx2(data, n, sign);
        BitReverse(data, n);
        return;
    }
    int32_t span = n;
    for (; span >= 4; span /= 4) {
        const int32_t q = span / 4;
        const double stepSin = sign * std::sin(kTwoPi / span);
        const double stepCos = std::cos(kTwoPi / span);
        double wr = 1, wi = 0;
        for (int32_t k = 0; k < q; ++k) {
            const double w2r = wr * wr - wi * wi, w2i = 2 * wr * wi;
            const double w3r = w2r * wr - w2i * wi, w3i = w2r * wi + w2i * wr;
            const Complex c1 = Broadcast(wr, wr), s1 = Broadcast(-wi, wi);
            const Complex c2 = Broadcast(w2r, w2r), s2 = Broadcast(-w2i, w2i);
            const Complex c3 = Broadcast(w3r, w3r), s3 = Broadcast(-w3i, w3i);
            for (int32_t g = k; g < n; g += span) {
                float* p0 = data + 2 * g;
                float* p1 = p0 + 2 * q;
                float* p2 = p1 + 2 * q;
                float* p3 = p2 + 2 * q;
                const Complex x0 = Load(p0), x1 = Load(p1), x2 = Load(p2), x3 = Load(p3);
                const Complex a = Add(x0, x2), b = Add(x1, x3);
                const Complex t = Subtract(x0, x2), u = TimesSignJ(Subtract(x1, x3), sign);
                Store(p0, Add(a, b));
                Store(p1, k == 0 ? Subtract(a, b) : Rotate(Subtract(a, b), c2, s2));
                Store(p2, k == 0 ? Add(t, u) : Rotate(Add(t, u), c1, s1));
                Store(p3, k == 0 ? Subtract(t, u) : Rotate(Subtract(t, u), c3, s3));
            }
            const double r = wr * stepCos - wi * stepSin;
            wi = wi * stepCos + wr * stepSin;
            wr = r;
        }
    }
    if (span == 2) {
        for (int32_t g = 0; g < n; g += 2) {
            const Complex x = Load(data + 2 * g), y = Load(data + 2 * g + 2);
            Store(data + 2 * g, Add(x, y));
            Store(data + 2 * g + 2, Subtract(x, y));
        }
    }
    BitReverse(data, n);
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
    Transform(data, n, direction == kFftForward ? -1.0 : 1.0);
}

void RealFft(float* data, int32_t N, int32_t direction) {
    if (data == nullptr || (direction != kFftForward && direction != kFftInverse)) return;
    // The limit of 2^20 is the complex transform's, of N/2 points: N may be 2^21.
    if (N < 4 || N % 2 != 0 || StageCount(N / 2) < 0) return;
    const int32_t M = N / 2;
    const bool forward = direction == kFftForward;
    if (forward) Transform(data, M, -1.0);

    // The N reals seen as M complex points z: the spectra of the even and the odd
    // samples are separated from Z = FFT(z) pair by pair, Z[k] with its mirror Z[M - k].
    // The inverse's scale, 1 / (4 M), is applied here: a power of two, so it rounds nothing.
    const double scale = forward ? 1.0 : 0.25 / M;
    const double e = forward ? 2.0 : scale;
    const double z0r = data[0], z0i = data[1];
    data[0] = static_cast<float>(e * (z0r + z0i));
    data[1] = static_cast<float>(e * (z0r - z0i));

    // Forward combines with -j e^(-j 2 pi k / N), inverse with +j e^(+j 2 pi k / N).
    const double rotation = forward ? -1.0 : 1.0;
    const int32_t first = M >= 8 && fir::Avx2Chosen() ? RealFftSplitAvx2(data, M, rotation, scale) : 1;
    const double stepSin = std::sin(kTwoPi / N);
    const double stepCos = std::sqrt(1.0 - stepSin * stepSin);
    const double stepRotSin = rotation * stepSin;
    double wr = first == 1 ? stepCos : std::cos(first * (kTwoPi / N));
    double wi = first == 1 ? stepRotSin : rotation * std::sin(first * (kTwoPi / N));
    const Complex scales = Broadcast(scale, scale);
    for (int32_t i = 2 * first; i <= M; i += 2) {
        float* a = data + i;
        float* b = data + (N - i);
        const Complex x = Load(a), y = Conjugate(Load(b));
        const Complex sum = Multiply(Add(x, y), scales), difference = Multiply(Subtract(x, y), scales);
        // h = rotation j w d; the mirror gets conj(s - h).
        const Complex h = TimesSignJ(Rotate(difference, Broadcast(wr, wr), Broadcast(-wi, wi)), rotation);
        Store(a, Add(sum, h));
        Store(b, Conjugate(Subtract(sum, h)));
        const double r = wr * stepCos - wi * stepRotSin;
        wi = wi * stepCos + wr * stepRotSin;
        wr = r;
    }

    if (!forward) Transform(data, M, 1.0);
}

}  // namespace vorn
