#include "dsp/InterpolationTable.h"
#include "support/PythonRunner.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace vorn {
namespace {

using Pairs = std::vector<float>;  // x0, y0, x1, y1, ...

float Eval(const Pairs& t, uint8_t linear, float x) {
    return TInterpolationTable(t.data(), uint32_t(t.size() / 2), linear).Evaluate(x);
}

TEST(InterpolationTableTest, StatedExamplesAndTablesItCannotUse) {
    const Pairs hat = {0, 0, 1, 1, 2, 0}, two = {0, 5, 1, 7};
    const TInterpolationTable spline(hat.data(), 3, 0);
    ASSERT_NE(spline.GetSecondDerivatives(), nullptr);
    EXPECT_EQ(Pairs(spline.GetSecondDerivatives(), spline.GetSecondDerivatives() + 3), (Pairs{0, -3, 0}));
    EXPECT_FLOAT_EQ(spline.Evaluate(0.5f), 0.6875f);
    EXPECT_FLOAT_EQ(Eval(hat, 1, 0.5f), 0.5f);
    EXPECT_FLOAT_EQ(Eval(hat, 1, 1.5f), 0.5f);
    for (uint8_t linear : {0, 1})
        for (int i = 0; i < 3; ++i) EXPECT_FLOAT_EQ(Eval(hat, linear, hat[2 * i]), hat[2 * i + 1]) << int(linear);
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
    const std::vector<double> all = test::RunPythonScript("dsp/natural_spline.py");
    int tables = 0;
    for (size_t at = 0; at < all.size(); ++tables) {
        const size_t n = size_t(all[at]);
        ASSERT_LE(at + 1 + 2 * n + 120, all.size());
        const Pairs t(all.begin() + long(at) + 1, all.begin() + long(at + 1 + 2 * n));
        const double* x = &all[at + 1 + 2 * n];
        for (uint8_t linear : {0, 1})
            for (int i = 0; i < 40; ++i) {
                const double want = x[40 + 40 * linear + i];
                EXPECT_NEAR(Eval(t, linear, float(x[i])), want, 2e-4 * (1 + std::fabs(want)))
                    << n << " points, linear " << int(linear) << ", x " << x[i];
            }
        at += 1 + 2 * n + 120;
    }
    EXPECT_EQ(tables, 5);
}

}  // namespace
}  // namespace vorn
