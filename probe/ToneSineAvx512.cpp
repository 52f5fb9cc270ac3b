// The tone's sines eight at a time. Only this file is built with -mavx512f, and it runs only
// after the CPU check in ToneSine.cpp.
#include "probe/ToneSineSteps.h"

namespace vorn::tone_sine {

#if defined(__AVX512F__)
using Avx512Lanes = double __attribute__((vector_size(64)));
using Avx512LaneBits = int64_t __attribute__((vector_size(64)));
using Avx512Floats = float __attribute__((vector_size(32)));
using Avx512Ints = int32_t __attribute__((vector_size(32)));
#else
using Avx512Lanes = double __attribute__((vector_size(16)));
using Avx512LaneBits = int64_t __attribute__((vector_size(16)));
using Avx512Floats = float __attribute__((vector_size(8)));
using Avx512Ints = int32_t __attribute__((vector_size(8)));
#endif

void SinesAvx512(const double* x, double* y, size_t count, double (*scalar)(double)) {
    SinesIn<Avx512Lanes, Avx512LaneBits>(x, y, count, scalar);
}

void ValuesAvx512(const ToneBatch& b, const float* stored, int32_t* values, double (*scalar)(double)) {
    ValuesIn<Avx512Lanes, Avx512LaneBits, Avx512Floats, Avx512Ints>(b, stored, values, scalar);
}

}  // namespace vorn::tone_sine
