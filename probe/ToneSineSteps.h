// The steps of ToneSine, written once for a plain double and for vectors of doubles (GCC
// vector extensions), so that each vector lane does exactly the scalar code's IEEE
// operations in its order and returns the same bits. Every file including this is built
// without fused multiply-add.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>

namespace vorn::tone_sine {

// pi/2 = kHalfPi[0] + kHalfPi[1] + kHalfPi[2] + kHalfPi[3] + about 1e-32, each piece with at
// most 26 significant bits, so its product with a 26-bit integer is exact.
inline constexpr double kHalfPi[4] = {0x1.921fb5p+0, 0x1.110b46p-26, 0x1.1a6263p-54, 0x1.8a2e03p-81};
inline constexpr double kTwoOverPi = 0.6366197723675814;
inline constexpr double kSplit = 67108864.0;  // 2^26
// Adding and taking away 1.5 x 2^52 rounds a double below 2^51 to the nearest integer
// (ties to even) with two plain operations, where a library call would cost more than the
// rest of the sine on some runtimes.
inline constexpr double kRounder = 6755399441055744.0;
inline constexpr double kPlainLimit = 1125899906842624.0;  // 2^50: beyond it, the library's rounding

// hi + lo += v, keeping the rounding error of the sum exactly (Knuth's two-sum).
template <class T>
inline void Accumulate(T& hi, T& lo, T v) {
    const T s = hi + v;
    const T b = s - hi;
    const T error = (hi - (s - b)) + (v - b);
    hi = s;
    lo += error;
}

// x - k pi/2 as hi + lo, with k = kHigh + kLow, each of at most 26 bits, so every product
// is exact. `high` false says kHigh is 0 (every argument below 2^26 pi/2, a tone of half an
// hour at 10 kHz): its terms would add -0, which leaves hi and lo as they are but for the
// sign of a zero lo, which no result sees, so they are left out.
template <class T>
inline void ReduceSplit(T x, T kHigh, T kLow, T& hi, T& lo, bool high) {
    T sumHi = x, sumLo = T{};
    for (double piece : kHalfPi) {
        if (high) Accumulate(sumHi, sumLo, T(-(kHigh * piece)));
        Accumulate(sumHi, sumLo, T(-(kLow * piece)));
    }
    hi = sumHi + sumLo;
    lo = sumLo - (hi - sumHi);
}

// sin(hi + lo) and cos(hi + lo) for |hi| <= pi/4: the series in z = hi^2 to the terms
// below 1e-19, the small part lo entering through the first derivative.
template <class T>
inline T SinNear0(T hi, T lo) {
    const T z = hi * hi;
    const T p = -1.0 / 6 + z * (1.0 / 120 + z * (-1.0 / 5040 + z * (1.0 / 362880 + z * (-1.0 / 39916800 +
                z * (1.0 / 6227020800 + z * (-1.0 / 1307674368000 + z * (1.0 / 355687428096000.0 +
                z * (-1.0 / 121645100408832000.0))))))));
    return hi + (hi * z * p + lo * (1.0 - 0.5 * z));
}

template <class T>
inline T CosNear0(T hi, T lo) {
    const T z = hi * hi;
    const T q = 1.0 / 24 + z * (-1.0 / 720 + z * (1.0 / 40320 + z * (-1.0 / 3628800 + z * (1.0 / 479001600 +
                z * (-1.0 / 87178291200.0 + z * (1.0 / 20922789888000.0 + z * (-1.0 / 6402373705728000.0 +
                z * (1.0 / 2432902008176640000.0))))))));
    return (1.0 - 0.5 * z) + (z * z * q - hi * lo);
}

// Several arguments at once. The scalar code's branches become bit masks: k comes out of
// the rounder's sum t = 1.5 x 2^52 + k, whose low mantissa bits hold k in two's complement,
// so masking them gives k's quadrant and its high part (k with its low 26 bits cleared,
// what the scalar code takes from int64_t(k)) exactly. False, with nothing computed, when
// some lane lies beyond the plain range or is not finite.
template <class Lanes, class LaneBits>
inline bool SineLanes(Lanes x, Lanes& result) {
    constexpr size_t lanes = sizeof(Lanes) / sizeof(double);
    const LaneBits signBit = LaneBits{} + INT64_MIN;
    const Lanes q = x * kTwoOverPi;
    const LaneBits plain = std::bit_cast<Lanes>(std::bit_cast<LaneBits>(q) & ~signBit) < kPlainLimit;
    for (size_t i = 0; i < lanes; ++i)
        if (plain[i] == 0) return false;
    const Lanes t = q + kRounder;
    const Lanes k = t - kRounder;
    const Lanes kHigh = std::bit_cast<Lanes>(std::bit_cast<LaneBits>(t) & ~int64_t(kSplit - 1)) - kRounder;
    bool high = false;
    for (size_t i = 0; i < lanes; ++i) high = high || kHigh[i] != 0;
    Lanes hi, lo;
    ReduceSplit(x, kHigh, Lanes(k - kHigh), hi, lo, high);
    const LaneBits sine = std::bit_cast<LaneBits>(SinNear0(hi, lo));
    const LaneBits cosine = std::bit_cast<LaneBits>(CosNear0(hi, lo));
    const LaneBits quadrant = std::bit_cast<LaneBits>(t);
    const LaneBits odd = -(quadrant & 1);
    const LaneBits negative = -((quadrant >> 1) & 1);
    result = std::bit_cast<Lanes>(((cosine & odd) | (sine & ~odd)) ^ (negative & signBit));
    return true;
}

// y[i] = scalar(x[i]) for i below count, a vector at a time where SineLanes takes it.
template <class Lanes, class LaneBits>
inline void SinesIn(const double* x, double* y, size_t count, double (*scalar)(double)) {
    constexpr size_t lanes = sizeof(Lanes) / sizeof(double);
    size_t i = 0;
    for (; i + lanes <= count; i += lanes) {
        Lanes v, r;
        std::memcpy(&v, x + i, sizeof v);
        if (SineLanes<Lanes, LaneBits>(v, r)) {
            std::memcpy(y + i, &r, sizeof r);
        } else {
            for (size_t j = i; j < i + lanes; ++j) y[j] = scalar(x[j]);
        }
    }
    for (; i < count; ++i) y[i] = scalar(x[i]);
}

// The stored values of n <= kToneBatch samples of 2 to 4 bytes after the tone, frames k to
// k + n - 1: phase ((k + j + 1) twoPi) f / rate, its sine rounded to 32 bits, times the
// amplitude rounded to 32 bits, added to the sample's 32-bit value, rounded half up and held
// to [low, high]; each step the scalar code's IEEE operation, so the compiler may run them
// several at a time. Nothing here calls an inline function of another header, which a build
// for a wider CPU would otherwise emit in its instruction set for every caller to share.
inline constexpr uint32_t kToneBatch = 512;

struct ToneBatch {
    uint32_t k = 0;          // frame of the first sample, counted from 0 over the whole file
    uint32_t n = 0;          // samples, at most kToneBatch
    double twoPi = 0;        // the tone's two pi
    double frequency = 0;    // Hz
    double rate = 0;         // frames per second
    double amplitude = 0;    // peak, stored counts
    double low = 0;          // stored range
    double high = 0;
};

// Floats and Ints: vectors of as many floats and int32_t as Lanes holds doubles.
template <class Lanes, class LaneBits, class Floats, class Ints>
inline void ValuesIn(const ToneBatch& b, const float* stored, int32_t* values, double (*scalar)(double)) {
    double phases[kToneBatch], sines[kToneBatch];
    const uint32_t n = b.n < kToneBatch ? b.n : kToneBatch;
    for (uint32_t j = 0; j < n; ++j) phases[j] = (double(b.k + j) + 1.0) * b.twoPi * b.frequency / b.rate;
    SinesIn<Lanes, LaneBits>(phases, sines, n, scalar);
    constexpr uint32_t lanes = sizeof(Lanes) / sizeof(double);
    uint32_t j = 0;
    for (; j + lanes <= n; j += lanes) {
        Lanes sine;
        Floats x;
        std::memcpy(&sine, sines + j, sizeof sine);
        std::memcpy(&x, stored + j, sizeof x);
        const Lanes tone = b.amplitude * __builtin_convertvector(__builtin_convertvector(sine, Floats), Lanes);
        const Lanes v = __builtin_convertvector(x + __builtin_convertvector(tone, Floats), Lanes) + 0.5;
        const Lanes held = v < b.low ? Lanes{} + b.low : b.high < v ? Lanes{} + b.high : v;
        const Ints out = __builtin_convertvector(held, Ints);
        std::memcpy(values + j, &out, sizeof out);
    }
    for (; j < n; ++j) {
        const float tone = static_cast<float>(b.amplitude * double(static_cast<float>(sines[j])));
        const double v = double(stored[j] + tone) + 0.5;
        values[j] = static_cast<int32_t>(v < b.low ? b.low : b.high < v ? b.high : v);
    }
}

// The vector types of one width: doubles and their bits `Bytes` wide, the floats and ints that
// hold as many values half as wide. A kernel file takes the width its instructions allow.
template <int Bytes>
struct LaneTypes {
    typedef double Doubles __attribute__((vector_size(Bytes)));
    typedef int64_t Bits __attribute__((vector_size(Bytes)));
    typedef float Floats __attribute__((vector_size(Bytes / 2)));
    typedef int32_t Ints __attribute__((vector_size(Bytes / 2)));
};

template <int Bytes>
void SinesOfWidth(const double* x, double* y, size_t count, double (*scalar)(double)) {
    using L = LaneTypes<Bytes>;
    SinesIn<typename L::Doubles, typename L::Bits>(x, y, count, scalar);
}

template <int Bytes>
void ValuesOfWidth(const ToneBatch& b, const float* stored, int32_t* values, double (*scalar)(double)) {
    using L = LaneTypes<Bytes>;
    ValuesIn<typename L::Doubles, typename L::Bits, typename L::Floats, typename L::Ints>(b, stored, values, scalar);
}

// The 128-bit version (SSE2, the x86-64 baseline), the 256-bit one for CPUs with AVX2 (built
// with -mavx2 alone) and the 512-bit one for CPUs with AVX-512F (built with -mavx512f alone).
void SinesSse2(const double* x, double* y, size_t count, double (*scalar)(double));
void SinesAvx2(const double* x, double* y, size_t count, double (*scalar)(double));
void SinesAvx512(const double* x, double* y, size_t count, double (*scalar)(double));
void ValuesSse2(const ToneBatch& b, const float* stored, int32_t* values, double (*scalar)(double));
void ValuesAvx2(const ToneBatch& b, const float* stored, int32_t* values, double (*scalar)(double));
void ValuesAvx512(const ToneBatch& b, const float* stored, int32_t* values, double (*scalar)(double));

}  // namespace vorn::tone_sine
