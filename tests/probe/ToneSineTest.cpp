#include "probe/ToneSine.h"

#include "dsp/FirKernel.h"
#include "probe/ToneSineSteps.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>
#include <random>
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

// The arguments the tool makes (frames 1 .. n of a tone, and frames near the end of the
// longest file), the edges of the reduction (multiples of pi/4, the 26-bit split of k, the
// plain range's end) and whatever random doubles bring.
std::vector<double> SineArguments() {
    std::vector<double> xs;
    struct Tone { float frequency; double rate; uint32_t first; };
    const Tone tones[] = {{100.0f, 8000, 0},    {226.7f, 48000, 0},         {997.0f, 44100, 0},
                          {10000.0f, 96000, 0}, {10000.0f, 1, 4294900000u}, {123.4f, 48000, 4294900000u}};
    for (const auto& t : tones)
        for (uint32_t k = t.first; k < t.first + 60000; ++k)
            xs.push_back((double(k) + 1.0) * 6.2831852 * double(t.frequency) / t.rate);
    const double inf = std::numeric_limits<double>::infinity();
    for (double x : {0.0, -0.0, 1e-310, -1e-300, 5e-324, 0.7853981633974483, 2.356194490192345, 3.141592653589793,
                     1.0e15, 1.7e15, 1.76838e15, 1.8e15, 1.0e300, inf, -inf, std::nan("")})
        xs.push_back(x);
    for (int i = 1; i < 4000; ++i)
        for (double scale : {0.7853981633974483, 1.5707963267948966 * 67108864.0})
            for (double nudge : {-1e-9, 0.0, 1e-9}) xs.push_back(i * scale * (1 + nudge));
    std::mt19937_64 rng(11);
    for (int i = 0; i < 200000; ++i) {
        xs.push_back(std::uniform_real_distribution<double>(-4e6, 4e6)(rng));
        xs.push_back(std::ldexp(std::uniform_real_distribution<double>(-1, 1)(rng), int(rng() % 112) - 60));
    }
    return xs;
}

// Both vector widths must give ToneSine's bits for every argument, at every offset and
// length (the tail past the last whole vector takes the scalar path).
TEST(ToneSineTest, VectorLanesGiveTheScalarBits) {
    const std::vector<double> xs = SineArguments();
    std::vector<double> expected(xs.size());
    for (size_t i = 0; i < xs.size(); ++i) expected[i] = ToneSine(xs[i]);
    using Sines = void (*)(const double*, double*, size_t);
    const Sines sse2 = [](const double* x, double* y, size_t n) { tone_sine::SinesSse2(x, y, n, ToneSine); };
    const Sines avx2 = [](const double* x, double* y, size_t n) { tone_sine::SinesAvx2(x, y, n, ToneSine); };
    struct Path { const char* name; Sines sines; };
    const Path paths[] = {{"ToneSines", ToneSines}, {"SSE2", sse2}, {"AVX2", fir::Avx2Available() ? avx2 : nullptr}};
    for (const auto& path : paths) {
        if (!path.sines) continue;
        for (size_t offset : {0, 1, 3}) {
            std::vector<double> got(xs.size(), 7.0);
            path.sines(xs.data() + offset, got.data() + offset, xs.size() - offset);
            size_t differ = 0;
            for (size_t i = offset; i < xs.size(); ++i)
                if (std::bit_cast<uint64_t>(got[i]) != std::bit_cast<uint64_t>(expected[i]) && differ++ < 5)
                    ADD_FAILURE() << path.name << " offset " << offset << ": x = " << xs[i] << " gives " << got[i]
                                  << ", ToneSine " << expected[i];
            EXPECT_EQ(differ, 0u) << path.name << " offset " << offset;
        }
    }
}

}  // namespace
}  // namespace vorn
