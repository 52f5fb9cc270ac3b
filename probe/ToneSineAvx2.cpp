// The tone's sines four at a time. Only this file is built with -mavx2, and it runs only
// after the CPU check in ToneSine.cpp, so the program still starts on CPUs without AVX2.
#include "probe/ToneSineSteps.h"

namespace vorn::tone_sine {

#if defined(__AVX2__)
using Avx2Lanes = double __attribute__((vector_size(32)));
using Avx2LaneBits = int64_t __attribute__((vector_size(32)));
using Avx2Floats = float __attribute__((vector_size(16)));
using Avx2Ints = int32_t __attribute__((vector_size(16)));
#else
using Avx2Lanes = double __attribute__((vector_size(16)));
using Avx2LaneBits = int64_t __attribute__((vector_size(16)));
using Avx2Floats = float __attribute__((vector_size(8)));
using Avx2Ints = int32_t __attribute__((vector_size(8)));
#endif

void SinesAvx2(const double* x, double* y, size_t count, double (*scalar)(double)) {
    SinesIn<Avx2Lanes, Avx2LaneBits>(x, y, count, scalar);
}

void ValuesAvx2(const ToneBatch& b, const float* stored, int32_t* values, double (*scalar)(double)) {
    ValuesIn<Avx2Lanes, Avx2LaneBits, Avx2Floats, Avx2Ints>(b, stored, values, scalar);
}

}  // namespace vorn::tone_sine
