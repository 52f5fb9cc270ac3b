// The tone's sines four at a time. Only this file is built with -mavx2, and it runs only
// after the CPU check in ToneSine.cpp, so the program still starts on CPUs without AVX2.
#include "probe/ToneSineSteps.h"

namespace vorn::tone_sine {

#if defined(__AVX2__)
constexpr int kBytes = 32;
#else
constexpr int kBytes = 16;
#endif

void SinesAvx2(const double* x, double* y, size_t count, double (*scalar)(double)) {
    SinesOfWidth<kBytes>(x, y, count, scalar);
}

void ValuesAvx2(const ToneBatch& b, const float* stored, int32_t* values, double (*scalar)(double)) {
    ValuesOfWidth<kBytes>(b, stored, values, scalar);
}

}  // namespace vorn::tone_sine
