// Feeds random coefficients, history and samples to the FIR filter's FFT path and to the
// plain ascending-k loop, and stops on the first output they store differently. Taps come
// as raw single-precision bit patterns (subnormal, huge, infinite and NaN ones included, which
// the FFT path must refuse), as values in [-1, 1], or as multiples of 1/64 whose sums land
// exactly on storage boundaries; inputs are whole numbers of the encoding times a gain of
// -90 .. +90 dB, as FilterBlock forms them.
#include "dsp/FftConvolver.h"
#include "dsp/FirKernel.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

vorn::SampleStore Store(int bytes) {
    vorn::SampleStore s;
    if (bytes == 1) s.offset = 127, s.low = 0, s.high = 255;
    if (bytes == 3) s.low = -8388608, s.high = 8388607;
    if (bytes == 4) s.low = -2147483648.0, s.high = 2147483647.0;
    return s;
}

float Coefficient(FuzzedDataProvider& data, int mode) {
    if (mode == 0) {
        const uint32_t bits = data.ConsumeIntegral<uint32_t>();
        float f;
        std::memcpy(&f, &bits, sizeof f);
        return f;
    }
    if (mode == 1) return float(data.ConsumeFloatingPointInRange<double>(-1.0, 1.0));
    return float(data.ConsumeIntegralInRange<int>(-64, 64)) / 64;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
    FuzzedDataProvider data(bytes, size);
    const int encoding = data.ConsumeIntegralInRange<int>(1, 4);
    const int32_t taps = data.ConsumeIntegralInRange<int32_t>(3, 999);
    const uint32_t outputs = data.ConsumeIntegralInRange<uint32_t>(1, 3000);
    const float dB = float(data.ConsumeIntegralInRange<int>(-900, 900)) / 10;
    const double gain = float(std::pow(10.0, dB / 20.0));
    const int mode = data.ConsumeIntegralInRange<int>(0, 2);

    std::vector<double> coefficients(taps);
    bool finite = true;
    for (double& c : coefficients) {
        c = Coefficient(data, mode);
        finite = finite && std::isfinite(c);
    }
    const int64_t top = encoding == 1 ? 128 : (int64_t(1) << (8 * encoding - 1)) - 1;
    const int64_t bottom = encoding == 1 ? -127 : -top - (encoding == 4 ? 1 : 0);
    std::vector<double> input(size_t(outputs) + taps - 1);
    for (double& x : input) x = double(data.ConsumeIntegralInRange<int64_t>(bottom, top)) * gain;

    const vorn::SampleStore store = Store(encoding);
    std::vector<double> fast(outputs), direct(outputs);
    vorn::FftConvolver convolver;
    const bool taken = convolver.Convolve(input.data(), coefficients.data(), taps, fast.data(), outputs, store);
    if (taken != finite) std::abort();
    if (!taken) return 0;
    vorn::fir::ConvolveScalar(input.data(), coefficients.data(), taps, direct.data(), outputs);
    for (uint32_t i = 0; i < outputs; ++i)
        if (store(fast[i]) != store(direct[i])) std::abort();
    return 0;
}
