// The tone's sines eight at a time. Only this file is built with -mavx512f, and it runs only
// after the CPU check in ToneSine.cpp.
#include "probe/ToneSineSteps.h"

namespace vorn::tone_sine {

#if defined(__AVX512F__)
using Avx512Lanes = double __attribute__((vector_size(64)));
using Avx512LaneBits = int64_t __attribute__((vector_size(64)));
#else
using Avx512Lanes = double __attribute__((vector_size(16)));
using Avx512LaneBits = int64_t __attribute__((vector_size(16)));
#endif

void SinesAvx512(const double* x, double* y, size_t count, double (*scalar)(double)) {
    SinesIn<Avx512Lanes, Avx512LaneBits>(x, y, count, scalar);
}

}  // namespace vorn::tone_sine
