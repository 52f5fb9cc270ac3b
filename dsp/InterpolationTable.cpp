#include "dsp/InterpolationTable.h"

#include <algorithm>
#include <cmath>
#include <new>

namespace vorn {

TInterpolationTable::TInterpolationTable(const float* pairs, uint32_t count, uint8_t linearFlag)
    : n(count), table(pairs), linear(linearFlag) {
    if (table == nullptr || n <= 2) return;
    secondDerivatives.reset(new (std::nothrow) float[n]());
    if (secondDerivatives) SetUpSpline();
}

// Tridiagonal elimination for the natural spline, then back substitution.
void TInterpolationTable::SetUpSpline() {
    std::unique_ptr<float[]> u(new (std::nothrow) float[n - 1]());
    if (!u) return;  // all-zero derivatives: the curve is piecewise linear
    float* y2 = secondDerivatives.get();
    for (uint32_t i = 1; i + 1 < n; ++i) {
        const double d1 = double(X(i)) - X(i - 1);
        const double d2 = double(X(i + 1)) - X(i);
        const double d3 = double(X(i + 1)) - X(i - 1);
        // Two equal x values (a step in the table) leave no natural spline through the
        // points. What the elimination has stored so far are its own coefficients, not
        // derivatives, and would bend the curve by hundreds of units; straight lines
        // between the points are the sound answer.
        if (!(d1 > 0) || !(d2 > 0) || !(d3 > 0)) {
            std::fill(y2, y2 + n, 0.0f);
            return;
        }
        const double sig = d1 / d3;
        const double p = sig * y2[i - 1] + 2.0;
        y2[i] = static_cast<float>((sig - 1.0) / p);
        const double slopes = (double(Y(i + 1)) - Y(i)) / d2 - (double(Y(i)) - Y(i - 1)) / d1;
        u[i] = static_cast<float>((6.0 * float(slopes) / d3 - sig * u[i - 1]) / p);
    }
    y2[n - 1] = 0.0f;
    for (uint32_t k = n - 1; k-- > 0;) y2[k] = static_cast<float>(double(y2[k]) * y2[k + 1] + u[k]);
    // Points a hair apart can overflow the single-precision set-up; straight lines again.
    if (!std::all_of(y2, y2 + n, [](float v) { return std::isfinite(v); })) std::fill(y2, y2 + n, 0.0f);
}

float TInterpolationTable::Evaluate(float x) const {
    if (!secondDerivatives || n <= 1 || linear > 1) return 0.0f;
    uint32_t lo = 0, hi = n - 1;
    while (hi - lo > 1) {
        const uint32_t mid = (hi + lo) / 2;
        if (x >= X(mid)) lo = mid;
        else hi = mid;
    }
    const double h = double(X(hi)) - X(lo);
    if (h == 0) return Y(lo);  // only beyond a table that ends in two equal x values
    if (linear == 1) return static_cast<float>(Y(lo) + (double(Y(hi)) - Y(lo)) * (double(x) - X(lo)) / h);
    const double a = (X(hi) - double(x)) / h;
    const double b = (double(x) - X(lo)) / h;
    const float* y2 = secondDerivatives.get();
    return static_cast<float>(a * Y(lo) + b * Y(hi) +
                              ((a * a * a - a) * y2[lo] + (b * b * b - b) * y2[hi]) * h * h / 6.0);
}

}  // namespace vorn
