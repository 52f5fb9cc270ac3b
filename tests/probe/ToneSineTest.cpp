#include "probe/ToneSine.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

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
    EXPECT_TRUE(std::isnan(ToneSine(INFINITY)));
    EXPECT_TRUE(std::isnan(ToneSine(NAN)));
}

}  // namespace
}  // namespace vorn
