#include "dsp/InterpolationTable.h"
#include "support/PythonRunner.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <sstream>
#include <vector>

namespace vorn {
namespace {

using Pairs = std::vector<float>;  // x0, y0, x1, y1, ...

float Eval(const Pairs& t, uint8_t linear, float x) {
    return TInterpolationTable(t.data(), uint32_t(t.size() / 2), linear).Evaluate(x);
}

TEST(InterpolationTableTest, StatedThreePointExamples) {
    const Pairs hat = {0, 0, 1, 1, 2, 0};
    const TInterpolationTable spline(hat.data(), 3, 0);
    ASSERT_NE(spline.GetSecondDerivatives(), nullptr);
    EXPECT_EQ(spline.GetSecondDerivatives()[0], 0.0f);
    EXPECT_FLOAT_EQ(spline.GetSecondDerivatives()[1], -3.0f);
    EXPECT_EQ(spline.GetSecondDerivatives()[2], 0.0f);
    EXPECT_FLOAT_EQ(spline.Evaluate(0.5f), 0.6875f);
    EXPECT_FLOAT_EQ(Eval(hat, 1, 0.5f), 0.5f);
    EXPECT_FLOAT_EQ(Eval(hat, 1, 1.5f), 0.5f);
    for (uint8_t linear : {0, 1})
        for (int i = 0; i < 3; ++i) EXPECT_FLOAT_EQ(Eval(hat, linear, hat[2 * i]), hat[2 * i + 1]) << int(linear);
}

TEST(InterpolationTableTest, TablesItCannotUseEvaluateToZero) {
    const Pairs two = {0, 5, 1, 7}, hat = {0, 0, 1, 1, 2, 0};
    EXPECT_EQ(Eval(two, 0, 0.5f), 0.0f) << "two points";
    EXPECT_EQ(Eval(two, 1, 0.5f), 0.0f) << "two points, linear";
    EXPECT_EQ(TInterpolationTable(nullptr, 3, 0).Evaluate(0.5f), 0.0f) << "no table";
    EXPECT_EQ(Eval(hat, 2, 0.5f), 0.0f) << "linear flag 2";
}

// Two rows at one x (a step) leave no natural spline; the curve between the points is
// then straight, never the elimination's leftovers bent by the squared interval (which
// put 18000 units at 500 here).
TEST(InterpolationTableTest, StepInTheTableGivesStraightLines) {
    const Pairs step = {100, 0, 200, 0, 1000, -6, 1000, 0, 2000, 0};
    for (float x : {150.0f, 500.0f, 1500.0f}) {
        const float y = Eval(step, 0, x);
        EXPECT_GE(y, -6.0f) << x;
        EXPECT_LE(y, 0.0f) << x;
    }
    EXPECT_FLOAT_EQ(Eval(step, 0, 500.0f), -2.25f);
}

TEST(InterpolationTableTest, MatchesScipyNaturalSplineAndNumpyInterp) {
    VORN_SKIP_WITHOUT_PYTHON();
    std::mt19937 rng(12);
    std::vector<Pairs> tables = {{20, -3, 100, 0, 1000, -6, 10000, -12, 20000, -30}};
    for (int n : {3, 4, 7, 25}) {
        Pairs t;
        float x = std::uniform_real_distribution<float>(0, 50)(rng);
        for (int i = 0; i < n; ++i, x += std::uniform_real_distribution<float>(1, 500)(rng))
            t.insert(t.end(), {x, std::uniform_real_distribution<float>(-40, 10)(rng)});
        tables.push_back(t);
    }
    std::ostringstream args;
    args.precision(9);
    for (const Pairs& t : tables) {
        args << t.size() / 2;
        for (float v : t) args << ' ' << v;
        args << ' ';
    }
    const std::vector<double> want = test::RunPython(R"(
import sys
from scipy.interpolate import CubicSpline
a = [float(v) for v in sys.argv[1:]]
while a:
    n = int(a[0]); t = np.array(a[1:1 + 2 * n]).reshape(n, 2); a = a[1 + 2 * n:]
    x = np.linspace(t[0, 0], t[-1, 0], 40)
    print(*CubicSpline(t[:, 0], t[:, 1], bc_type='natural')(x)); print(*np.interp(x, t[:, 0], t[:, 1])))",
                                                     args.str());
    size_t at = 0;
    for (const Pairs& t : tables) {
        const size_t n = t.size() / 2;
        for (uint8_t linear : {0, 1}) {
            ASSERT_LE(at + 40, want.size());
            for (int i = 0; i < 40; ++i, ++at) {
                const float x = float(t[0] + (double(t[2 * n - 2]) - t[0]) * i / 39);
                EXPECT_NEAR(Eval(t, linear, x), want[at], 2e-4 * (1 + std::fabs(want[at])))
                    << n << " points, linear " << int(linear) << ", x " << x;
            }
        }
    }
}

}  // namespace
}  // namespace vorn
