#include "dsp/ComplexFft.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <random>
#include <vector>

namespace vorn {
namespace {

constexpr long double kPi = 3.141592653589793238462643383279502884L;

uint32_t BitReversed(uint32_t k, uint32_t log2) {
    uint32_t r = 0;
    for (uint32_t b = 0; b < log2; ++b) r |= ((k >> b) & 1u) << (log2 - 1 - b);
    return r;
}

// The FFT convolution's error bound rests on this: every twiddle within kTwiddleError of
// the exact root of unity (here in extended precision, on both platforms' math libraries).
TEST(ComplexFftTest, TwiddlesAreWithinTheErrorTheBoundAssumes) {
    for (uint32_t log2 = 1; log2 <= 16; ++log2) {
        const ComplexFft fft(log2);
        ASSERT_FALSE(fft.Failed());
        const uint32_t n = fft.Size();
        for (uint32_t j = 0; j < n / 2; ++j) {
            const long double angle = 2 * kPi * j / n;
            const std::complex<double> w = fft.Twiddle(j);
            const long double error = std::hypot(w.real() - std::cos(angle), w.imag() + std::sin(angle));
            ASSERT_LE(error, ComplexFft::kTwiddleError) << "size " << n << ", j " << j;
        }
    }
}

// Against an extended-precision DFT: the error stays within RelativeError in the 2-norm,
// forward (bit-reversed out) and inverse (bit-reversed in, size times the inverse out).
TEST(ComplexFftTest, BothDirectionsMatchTheDftWithinTheirBound) {
    std::mt19937 rng(5);
    std::uniform_real_distribution<double> value(-1e5, 1e5);
    for (uint32_t log2 = 1; log2 <= 10; ++log2) {
        const ComplexFft fft(log2);
        const uint32_t n = fft.Size();
        std::vector<long double> cosine(n), sine(n);
        std::vector<double> re(n), im(n);
        for (uint32_t j = 0; j < n; ++j) {
            cosine[j] = std::cos(2 * kPi * j / n), sine[j] = std::sin(2 * kPi * j / n);
            re[j] = value(rng), im[j] = log2 % 2 ? value(rng) : 0;
        }
        for (int sign : {-1, 1}) {
            SCOPED_TRACE(testing::Message() << "size " << n << (sign < 0 ? " forward" : " inverse"));
            std::vector<long double> wantRe(n, 0), wantIm(n, 0);
            for (uint32_t k = 0; k < n; ++k)
                for (uint32_t j = 0; j < n; ++j) {
                    const uint32_t m = uint32_t((uint64_t(j) * k) % n);
                    const long double c = cosine[m], s = sign * sine[m];
                    // Forward reads natural order; inverse reads its input bit-reversed.
                    const uint32_t from = sign < 0 ? j : BitReversed(j, log2);
                    wantRe[k] += re[from] * c - im[from] * s;
                    wantIm[k] += re[from] * s + im[from] * c;
                }
            std::vector<double> gotRe = re, gotIm = im;
            sign < 0 ? fft.Forward(gotRe.data(), gotIm.data()) : fft.Inverse(gotRe.data(), gotIm.data());
            long double error = 0, norm = 0;
            for (uint32_t k = 0; k < n; ++k) {
                const uint32_t at = sign < 0 ? BitReversed(k, log2) : k;
                error += std::pow(gotRe[at] - wantRe[k], 2) + std::pow(gotIm[at] - wantIm[k], 2);
                norm += wantRe[k] * wantRe[k] + wantIm[k] * wantIm[k];
            }
            EXPECT_LE(std::sqrt(error / norm), fft.RelativeError());
        }
    }
}

// The AVX2 passes fuse stages but must round every element as the one-stage passes do, or
// the error bound above would not cover them: both paths, both directions, same bits.
TEST(ComplexFftTest, Avx2PassesGiveTheBaselinesBits) {
    std::mt19937 rng(7);
    std::uniform_real_distribution<double> value(-1e5, 1e5);
    for (uint32_t log2 = 1; log2 <= 13; ++log2) {
        ComplexFft vector(log2), baseline(log2);
        baseline.UseAvx2(false);
        const uint32_t n = vector.Size();
        std::vector<double> re(n), im(n);
        for (uint32_t j = 0; j < n; ++j) re[j] = value(rng), im[j] = value(rng);
        std::vector<double> vre = re, vim = im;
        vector.Forward(vre.data(), vim.data()), baseline.Forward(re.data(), im.data());
        ASSERT_EQ(std::memcmp(vre.data(), re.data(), n * sizeof(double)), 0) << "forward re, size " << n;
        ASSERT_EQ(std::memcmp(vim.data(), im.data(), n * sizeof(double)), 0) << "forward im, size " << n;
        vector.Inverse(vre.data(), vim.data()), baseline.Inverse(re.data(), im.data());
        ASSERT_EQ(std::memcmp(vre.data(), re.data(), n * sizeof(double)), 0) << "inverse re, size " << n;
        ASSERT_EQ(std::memcmp(vim.data(), im.data(), n * sizeof(double)), 0) << "inverse im, size " << n;
    }
}

}  // namespace
}  // namespace vorn
