// Interpolates a table of (x, y) pairs, sorted by x, at any x: by a natural cubic spline
// (second derivative 0 at both ends) or, on request, by straight lines. The set-up keeps
// its values in single precision; evaluation works in double and returns a float.
//
// The pairs belong to the caller and must outlive the object. Tables of at most two
// pairs, or a `linear` flag other than 0 and 1, evaluate to 0 everywhere. Outside
// [x[0], x[n-1]] the end interval's formula extrapolates.
#pragma once

#include <cstdint>
#include <memory>

namespace vorn {

class TInterpolationTable {
public:
    // table: n pairs (x, y) of float32, x ascending. linear: 0 spline, 1 straight lines.
    TInterpolationTable(const float* table, uint32_t n, uint8_t linear);

    float Evaluate(float x) const;

    // The spline's second derivatives (n values), or nullptr when there are none.
    const float* GetSecondDerivatives() const { return secondDerivatives.get(); }

private:
    void SetUpSpline();
    float X(uint32_t i) const { return table[2 * i]; }
    float Y(uint32_t i) const { return table[2 * i + 1]; }

    uint32_t n = 0;                                // number of pairs
    const float* table = nullptr;                  // caller's pairs, not owned
    std::unique_ptr<float[]> secondDerivatives;    // n values, or none
    uint8_t linear = 0;                            // 0 spline, 1 linear, other: every result 0
};

}  // namespace vorn
