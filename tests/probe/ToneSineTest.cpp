#include "probe/ToneSine.h"

#include "dsp/FirKernel.h"
#include "probe/ToneSineSteps.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>
#include <random>
#include <utility>
#include <vector>

namespace vorn {
namespace {

// Distance in units of the last place of the platform's result.
double Ulps(double ours, double reference) {
    if (reference == 0) return std::fabs(ours) / std::ldexp(1.0, -1074);
    return std::fabs(ours - reference) / std::ldexp(1.0, std::ilogb(reference) - 52);
}

// The glibc sine of the native build is accurate to within an ulp; so must ours be, from
// tiny arguments to the 3.4e10 radians of the longest file at 10 kHz, and its 32-bit rounding
// must agree.
TEST(ToneSineTest, AgreesWithThePlatformSineToAnUlp) {
#ifdef _WIN32
    GTEST_SKIP() << "the MinGW runtime's sin is off by up to millions of ulps at large arguments (why ToneSine exists)";
#endif
    const double xs[] = {0.0, 1e-300, 1e-8, 0.5, 0.785398, 0.7853982, 1.0, 1.5707963, 3.14159265, 100.0, 710.5,
                         12345.678, 3.77e6, 1.0e8, 2.1e8, 4.0e9, 1.0e12, 3.4e10, -0.3, -3.77e6};
    for (double x : xs) EXPECT_LE(Ulps(ToneSine(x), std::sin(x)), 1.0) << x;
    std::mt19937_64 rng(3);
    int floatsDiffer = 0;
    for (int i = 0; i < 200000; ++i) {
        const double x = std::uniform_real_distribution<double>(0, 4e6)(rng);
        ASSERT_LE(Ulps(ToneSine(x), std::sin(x)), 1.0) << x;
        floatsDiffer += float(ToneSine(x)) != float(std::sin(x));
    }
    EXPECT_EQ(floatsDiffer, 0);
}

// Every vector width must give ToneSine's bits, at every offset (the tail past the last
// whole vector takes the scalar path). The probe files pin the width this machine takes on
// the tool's own arguments; here every width meets the edges of the reduction (multiples of
// pi/4, the 26-bit split of k, the plain range's end), the values without a sine, and
// random doubles of every size.
TEST(ToneSineTest, VectorLanesGiveTheScalarBits) {
    const double inf = std::numeric_limits<double>::infinity();
    std::vector<double> xs = {0.0, -0.0, 1e-310, -1e-300, 5e-324, 1.0e15, 1.7e15,
                              1.76838e15, 1.8e15, 1.0e300, inf, -inf, std::nan("")};
    for (int i = 1; i < 4000; ++i)
        for (double scale : {0.7853981633974483, 1.5707963267948966 * 67108864.0})
            for (double nudge : {-1e-9, 0.0, 1e-9}) xs.push_back(i * scale * (1 + nudge));
    std::mt19937_64 rng(11);
    for (int i = 0; i < 100000; ++i)
        xs.push_back(std::ldexp(std::uniform_real_distribution<double>(-1, 1)(rng), int(rng() % 112) - 60));
    using Sines = void (*)(const double*, double*, size_t, double (*)(double));
    const std::pair<const char*, Sines> widths[] = {
        {"SSE2", tone_sine::SinesSse2},
        {"AVX2", fir::Avx2Available() ? tone_sine::SinesAvx2 : nullptr},
        {"AVX-512", fir::Avx512Available() ? tone_sine::SinesAvx512 : nullptr}};
    for (const auto& [name, sines] : widths) {
        for (size_t offset = 0; sines && offset < 3; ++offset) {
            std::vector<double> got(xs.size(), 7.0);
            sines(xs.data() + offset, got.data() + offset, xs.size() - offset, ToneSine);
            size_t differ = 0;
            for (size_t i = offset; i < xs.size(); ++i)
                if (std::bit_cast<uint64_t>(got[i]) != std::bit_cast<uint64_t>(ToneSine(xs[i])) && differ++ < 5)
                    ADD_FAILURE() << "x = " << xs[i] << " gives " << got[i] << ", ToneSine " << ToneSine(xs[i]);
            EXPECT_EQ(differ, 0u) << name << ", offset " << offset;
        }
    }
}

// A batch of toned samples, several at a time, against the same batch one sample at a time
// (which takes the scalar steps), on every vector width, for loud samples that saturate, far
// into a long file and with a batch that ends part-way through a vector.
TEST(ToneSineTest, ToneValuesInLanesGiveTheScalarBits) {
    using Values = void (*)(const tone_sine::ToneBatch&, const float*, int32_t*, double (*)(double));
    const std::pair<const char*, Values> widths[] = {
        {"SSE2", tone_sine::ValuesSse2},
        {"AVX2", fir::Avx2Available() ? tone_sine::ValuesAvx2 : nullptr},
        {"AVX-512", fir::Avx512Available() ? tone_sine::ValuesAvx512 : nullptr}};
    std::mt19937_64 rng(5);
    for (double top : {32767.0, 8388607.0, 2147483647.0}) {
        tone_sine::ToneBatch batch;
        batch.twoPi = 6.2831852;
        batch.frequency = 9999.5;
        batch.rate = 44100;
        batch.amplitude = top * 0.999;
        batch.low = -top - 1;
        batch.high = top;
        std::vector<float> stored(tone_sine::kToneBatch);
        for (float& v : stored) v = float(std::uniform_real_distribution<double>(-top - 1, top)(rng));
        for (uint32_t k : {0u, 123457u, 4000000000u}) {
            batch.k = k;
            batch.n = tone_sine::kToneBatch - 3;
            std::vector<int32_t> one(batch.n);
            for (uint32_t j = 0; j < batch.n; ++j) {
                tone_sine::ToneBatch single = batch;
                single.k = k + j;
                single.n = 1;
                tone_sine::ValuesSse2(single, &stored[j], &one[j], ToneSine);
            }
            for (const auto& [name, values] : widths) {
                std::vector<int32_t> got(batch.n);
                if (values) values(batch, stored.data(), got.data(), ToneSine);
                EXPECT_TRUE(!values || got == one) << name << ", full scale " << top << ", frame " << k;
            }
        }
    }
}

}  // namespace
}  // namespace vorn
