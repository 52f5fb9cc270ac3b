// The sine of the probe tone, the same to the last bit on every platform. The platforms'
// own sin functions disagree in the last bits for the large arguments a long tone reaches
// (a minute at 10 kHz is 3.8 million radians), and one such bit can move the tone's
// 32-bit float, so two builds would write different files. This one reduces the argument
// by pi/2 in double-double arithmetic (pi/2 in four 26-bit pieces, every product exact)
// and sums Taylor series on the remainder with plain IEEE operations, built without fused
// multiply-add; its error stays within about one unit in the last place of a double.
#pragma once

#include "probe/ToneSineSteps.h"

#include <cstddef>
#include <cstdint>

namespace vorn {

// sin(x) for finite x; NaN for infinities and NaN.
double ToneSine(double x);
// y[i] = ToneSine(x[i]) for i below count, bit for bit, several at a time.
void ToneSines(const double* x, double* y, size_t count);
// The batch's toned sample values (see ToneBatch) from the samples' values in `stored`,
// bit for bit what one sample at a time gives, several at a time.
void ToneValues(const tone_sine::ToneBatch& batch, const float* stored, int32_t* values);

}  // namespace vorn
