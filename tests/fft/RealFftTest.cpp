#include "dsp/RealFft.h"

#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <numbers>
#include <cstdint>
#include <random>
#include <vector>

namespace vorn {
namespace {

using Spectrum = std::vector<std::complex<double>>;

// Straightforward O(n^2) DFT in double, the reference for every size. sign -1 forward.
Spectrum NaiveDft(const Spectrum& x, int sign) {
    const std::size_t n = x.size();
    std::vector<std::complex<double>> roots(n);
    for (std::size_t i = 0; i < n; ++i) {
        double angle = 2.0 * std::numbers::pi * static_cast<double>(i) / static_cast<double>(n);
        roots[i] = {std::cos(angle), sign * std::sin(angle)};
    }
    Spectrum out(n);
    for (std::size_t k = 0; k < n; ++k) {
        std::complex<double> sum = 0;
        for (std::size_t m = 0; m < n; ++m) sum += x[m] * roots[(k * m) % n];
        out[k] = sum;
    }
    return out;
}

std::vector<float> RandomFloats(std::size_t count, unsigned seed) {
    std::mt19937 rng(seed);
    std::uniform_real_distribution<float> dist(-1.0f, 1.0f);
    std::vector<float> v(count);
    for (auto& x : v) x = dist(rng);
    return v;
}

// Root-mean-square error relative to the reference's root-mean-square size.
double RelativeError(const std::vector<float>& got, const std::vector<double>& want) {
    double err = 0, ref = 0;
    for (std::size_t i = 0; i < want.size(); ++i) {
        err += (got[i] - want[i]) * (got[i] - want[i]);
        ref += want[i] * want[i];
    }
    return std::sqrt(err / ref);
}

std::vector<double> Interleave(const Spectrum& s) {
    std::vector<double> v;
    for (const auto& c : s) {
        v.push_back(c.real());
        v.push_back(c.imag());
    }
    return v;
}

// Packs 2 X as the real transform does: DC, Nyquist, then bins 1 .. N/2 - 1.
std::vector<double> PackedTwice(const Spectrum& X) {
    const std::size_t N = X.size();
    std::vector<double> p(N);
    p[0] = 2 * X[0].real();
    p[1] = 2 * X[N / 2].real();
    for (std::size_t k = 1; k < N / 2; ++k) {
        p[2 * k] = 2 * X[k].real();
        p[2 * k + 1] = 2 * X[k].imag();
    }
    return p;
}

TEST(RealFftTest, ComplexTransformMatchesDftForEverySize) {
    for (int32_t n = 1; n <= 4096; n *= 2) {
        for (int32_t direction : {kFftForward, kFftInverse}) {
            std::vector<float> data = RandomFloats(2 * n, n + direction);
            Spectrum x(n);
            for (int32_t i = 0; i < n; ++i) x[i] = {data[2 * i], data[2 * i + 1]};
            Spectrum want = NaiveDft(x, direction == kFftForward ? -1 : 1);
            if (direction == kFftInverse)
                for (auto& c : want) c /= n;
            ComplexFft(data.data(), n, direction);
            EXPECT_LT(RelativeError(data, Interleave(want)), 2e-7) << "n " << n << " dir " << direction;
        }
    }
}

TEST(RealFftTest, RealForwardMatchesDftForEverySize) {
    for (int32_t N = 4; N <= 4096; N *= 2) {
        std::vector<float> data = RandomFloats(N, N);
        Spectrum x(data.begin(), data.end());
        std::vector<double> want = PackedTwice(NaiveDft(x, -1));
        RealFft(data.data(), N, kFftForward);
        EXPECT_LT(RelativeError(data, want), 2e-7) << "N " << N;
    }
}

// The inverse of an arbitrary packed spectrum, checked against its closed form.
TEST(RealFftTest, RealInverseMatchesItsClosedForm) {
    for (int32_t N = 4; N <= 4096; N *= 2) {
        std::vector<float> packed = RandomFloats(N, 7 * N);
        Spectrum X(N);
        X[0] = packed[0] / 2.0;
        X[N / 2] = packed[1] / 2.0;
        for (int32_t k = 1; k < N / 2; ++k) {
            X[k] = {packed[2 * k] / 2.0, packed[2 * k + 1] / 2.0};
            X[N - k] = std::conj(X[k]);
        }
        Spectrum x = NaiveDft(X, 1);
        std::vector<double> want(N);
        for (int32_t m = 0; m < N; ++m) {
            EXPECT_NEAR(x[m].imag(), 0.0, 1e-9);
            want[m] = x[m].real() / N;
        }
        TRealFft fft(N);
        fft.Inverse(packed.data());
        EXPECT_LT(RelativeError(packed, want), 2e-7) << "N " << N;
    }
}

TEST(RealFftTest, ForwardThenInverseRestoresTheSignal) {
    for (int32_t N : {4, 64, 4096}) {
        std::vector<float> original = RandomFloats(N, 99 + N);
        std::vector<float> data = original;
        TRealFft fft(N);
        fft.Forward(data.data());
        fft.Inverse(data.data());
        for (int32_t i = 0; i < N; ++i) ASSERT_NEAR(data[i], original[i], 1e-6f) << "N " << N << " i " << i;
    }
    std::vector<float> original = RandomFloats(2 * 512, 5);
    std::vector<float> data = original;
    ComplexFft(data.data(), 512, kFftForward);
    ComplexFft(data.data(), 512, kFftInverse);
    for (std::size_t i = 0; i < data.size(); ++i) ASSERT_NEAR(data[i], original[i], 1e-6f);
}

TEST(RealFftTest, ConstantSignalHasOnlyATwiceScaledDcTerm) {
    std::vector<float> data(16, 1.0f);
    RealFft(data.data(), 16, kFftForward);
    EXPECT_FLOAT_EQ(data[0], 32.0f);
    for (int i = 1; i < 16; ++i) EXPECT_NEAR(data[i], 0.0f, 1e-6f) << i;
}

TEST(RealFftTest, InverseOfUnitRealPartsGivesTheStatedSamples) {
    std::vector<float> data(16, 0.0f);
    for (int k = 0; k < 8; ++k) data[2 * k] = 1.0f;
    TRealFft(16).Inverse(data.data());
    EXPECT_NEAR(data[0], 0.46875f, 1e-7f);
    for (int m = 1; m < 16; ++m) EXPECT_NEAR(data[m], m % 2 ? 0.03125f : -0.03125f, 1e-7f) << m;
}

TEST(RealFftTest, SinglePointIsLeftAlone) {
    float data[2] = {0.3f, -7.5f};
    ComplexFft(data, 1, kFftForward);
    EXPECT_EQ(data[0], 0.3f);
    EXPECT_EQ(data[1], -7.5f);
    ComplexFft(data, 1, kFftInverse);
    EXPECT_EQ(data[0], 0.3f);
    EXPECT_EQ(data[1], -7.5f);
}

TEST(RealFftTest, UnsupportedSizesLeaveTheDataUntouched) {
    std::vector<float> original = RandomFloats(24, 3);
    for (int32_t n : {0, -4, 3, 6, 12}) {
        std::vector<float> data = original;
        ComplexFft(data.data(), n, kFftForward);
        RealFft(data.data(), n, kFftForward);
        EXPECT_EQ(data, original) << n;
    }
    std::vector<float> two = {1.0f, 2.0f};
    RealFft(two.data(), 2, kFftForward);
    EXPECT_EQ(two, (std::vector<float>{1.0f, 2.0f}));
    std::vector<float> data = original;
    ComplexFft(data.data(), 4, 0);
    EXPECT_EQ(data, original);
}

}  // namespace
}  // namespace vorn
