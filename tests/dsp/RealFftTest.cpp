#include "dsp/RealFft.h"

#include <gtest/gtest.h>
#include <cmath>
#include <complex>
#include <numbers>
#include <numeric>
#include <random>
#include <vector>

namespace vorn {
namespace {

using Spectrum = std::vector<std::complex<double>>;
// Plain O(n^2) DFT in double: sign -1 forward, +1 inverse scaled by 1/n.
Spectrum Dft(const Spectrum& x, int sign) {
    const size_t n = x.size();
    Spectrum roots(n), out(n);
    for (size_t i = 0; i < n; ++i) roots[i] = std::polar(1.0, sign * 2 * std::numbers::pi * double(i) / double(n));
    for (size_t k = 0; k < n; ++k)
        for (size_t m = 0; m < n; ++m) out[k] += x[m] * roots[k * m % n];
    for (auto& c : out) c /= sign > 0 ? double(n) : 1.0;
    return out;
}

std::vector<float> Random(size_t n, unsigned seed) {
    std::mt19937 rng(seed);
    std::vector<float> v(n);
    for (float& x : v) x = std::uniform_real_distribution<float>(-1.0f, 1.0f)(rng);
    return v;
}
// RMS error relative to the reference's RMS size.
double RelativeError(const std::vector<float>& got, const std::vector<double>& want) {
    double err = 0, ref = 0;
    for (size_t i = 0; i < want.size(); ++i) err += std::pow(got[i] - want[i], 2), ref += want[i] * want[i];
    return std::sqrt(err / ref);
}

// Every transform is also undone by its opposite, which must restore the input.
TEST(RealFftTest, TransformsMatchTheDftAndUndoEachOther) {
    for (int32_t n = 1; n <= 4096; n *= 2) {
        SCOPED_TRACE(n);
        for (int32_t direction : {kFftForward, kFftInverse}) {
            const std::vector<float> original = Random(2 * n, n + direction);
            std::vector<float> data = original;
            std::vector<double> want;
            const auto* points = reinterpret_cast<const std::complex<float>*>(original.data());
            for (auto c : Dft(Spectrum(points, points + n), -direction)) want.insert(want.end(), {c.real(), c.imag()});
            InterleavedComplexFft(data.data(), n, direction);
            EXPECT_LT(RelativeError(data, want), 2e-7) << "complex, direction " << direction;
            InterleavedComplexFft(data.data(), n, -direction);
            for (int32_t i = 0; i < 2 * n; ++i) ASSERT_NEAR(data[i], original[i], 1e-6f) << "complex back " << i;
        }
        if (n < 4) continue;
        // Real forward: 2 X packed as DC, Nyquist, then bins 1 .. N/2 - 1.
        std::vector<float> real = Random(n, n);
        const Spectrum X = Dft(Spectrum(real.begin(), real.end()), -1);
        std::vector<double> packed = {2 * X[0].real(), 2 * X[n / 2].real()};
        for (int32_t k = 1; k < n / 2; ++k) packed.insert(packed.end(), {2 * X[k].real(), 2 * X[k].imag()});
        RealFft(real.data(), n, kFftForward);
        EXPECT_LT(RelativeError(real, packed), 2e-7) << "real forward";
        // Real inverse of an arbitrary packed spectrum: the DFT of its conjugate-symmetric whole.
        std::vector<float> p = Random(n, 7 * n), samples = p;
        Spectrum S(n);
        S[0] = p[0] / 2.0, S[n / 2] = p[1] / 2.0;
        for (int32_t k = 1; k < n / 2; ++k) S[k] = {p[2 * k] / 2.0, p[2 * k + 1] / 2.0}, S[n - k] = std::conj(S[k]);
        std::vector<double> want;
        for (auto c : Dft(S, 1)) want.push_back(c.real());
        TRealFft(n).Inverse(samples.data());
        EXPECT_LT(RelativeError(samples, want), 2e-7) << "real inverse";
        TRealFft(n).Forward(samples.data());
        for (int32_t i = 0; i < n; ++i) ASSERT_NEAR(samples[i], p[i], 1e-6f) << "real back " << i;
    }
}

TEST(RealFftTest, StatedExamplesSinglePointAndUnsupportedSizes) {
    std::vector<float> ones(16, 1.0f), evens(16, 0.0f);
    RealFft(ones.data(), 16, kFftForward);
    EXPECT_FLOAT_EQ(ones[0], 32.0f);
    for (int i = 1; i < 16; ++i) EXPECT_NEAR(ones[i], 0.0f, 1e-6f) << i;
    for (int k = 0; k < 8; ++k) evens[2 * k] = 1.0f;
    TRealFft(16).Inverse(evens.data());
    EXPECT_NEAR(evens[0], 0.46875f, 1e-7f);
    for (int m = 1; m < 16; ++m) EXPECT_NEAR(evens[m], m % 2 ? 0.03125f : -0.03125f, 1e-7f) << m;
    std::vector<float> one = {0.3f, -7.5f};
    for (int32_t direction : {kFftForward, kFftInverse}) {
        InterleavedComplexFft(one.data(), 1, direction);
        EXPECT_EQ(one, (std::vector<float>{0.3f, -7.5f}));
    }
    for (int32_t n : {0, -4, 2, 3, 6, 12}) {  // sizes that are not allowed change nothing
        std::vector<float> data = Random(24, 3);
        if (n != 2) InterleavedComplexFft(data.data(), n, kFftForward);  // two complex points are a valid size
        RealFft(data.data(), n, kFftForward);
        InterleavedComplexFft(data.data(), 4, 0);  // no direction
        EXPECT_EQ(data, Random(24, 3)) << n;
    }
}

// The 2^20 limit is the complex transform's; a real transform of 2^21 values runs on 2^20 points.
TEST(RealFftTest, RealTransformOf2To21ValuesRunsAnd2To22DoesNot) {
    const int32_t n = 1 << 21;
    const std::vector<float> original = Random(n, 21);
    std::vector<float> data = original, tooLong = Random(2 * n, 22);
    RealFft(data.data(), n, kFftForward);
    EXPECT_NEAR(data[0], 2 * std::accumulate(original.begin(), original.end(), 0.0), 0.05) << "twice the sum at DC";
    TRealFft(n).Inverse(data.data());
    for (int32_t i = 0; i < n; i += 997) ASSERT_NEAR(data[i], original[i], 2e-5f) << i;
    RealFft(tooLong.data(), 2 * n, kFftForward);
    EXPECT_EQ(tooLong, Random(2 * n, 22));
}

}  // namespace
}  // namespace vorn
