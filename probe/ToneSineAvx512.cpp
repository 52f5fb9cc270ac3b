// The tone's sines eight at a time. Only this file is built with -mavx512f, and it runs only
// after the CPU check in ToneSine.cpp.
#include "probe/ToneSineSteps.h"

namespace vorn::tone_sine {

#if defined(__AVX512F__)
constexpr int kBytes = 64;
#else
constexpr int kBytes = 16;
#endif

void SinesAvx512(const double* x, double* y, size_t count, double (*scalar)(double)) {
    SinesOfWidth<kBytes>(x, y, count, scalar);
}

void ValuesAvx512(const ToneBatch& b, const float* stored, int32_t* values, double (*scalar)(double)) {
    ValuesOfWidth<kBytes>(b, stored, values, scalar);
}

}  // namespace vorn::tone_sine
