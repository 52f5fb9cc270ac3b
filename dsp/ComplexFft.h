// Radix-2 complex FFT in double precision on split real and imaginary arrays, for the FIR
// filter's FFT convolution (the single-precision RealFft is too coarse for it). Forward
// runs decimation in frequency (natural order in, bit-reversed order out) and Inverse
// decimation in time (bit-reversed in, natural out), so a convolution never permutes:
// it multiplies the spectra in bit-reversed order. Inverse is unnormalised (it returns
// size times the inverse DFT).
#pragma once

#include <complex>
#include <cstdint>
#include <memory>

namespace vorn {

class ComplexFft {
public:
    static constexpr uint32_t kMaxLog2Size = 20;
    // Largest |computed - exact| of a twiddle factor that RelativeError assumes: eight
    // units in the last place. The table is built from arguments below pi / 4, where sin
    // and cos are good to about one.
    static constexpr double kTwiddleError = 0x1p-50;

    // Sizes 2^1 .. 2^kMaxLog2Size; anything else, or a failed allocation, leaves Failed().
    explicit ComplexFft(uint32_t log2Size);

    bool Failed() const { return size == 0; }
    uint32_t Size() const { return size; }
    uint32_t Log2Size() const { return log2Size; }

    // y[k] = sum over j of x[j] exp(-2 pi i jk / size), y in bit-reversed order.
    void Forward(double* re, double* im) const;
    // x[j] = sum over k of y[k] exp(+2 pi i jk / size), y given in bit-reversed order.
    void Inverse(double* re, double* im) const;

    // Allows or forbids the AVX2 passes (on by default where the CPU has AVX2, unless
    // VORN_FIR_KERNEL=sse2 holds the FIR filter to its baseline). Both paths give the same bits.
    void UseAvx2(bool allowed);

    // Bound on ||computed - exact||_2 / ||exact||_2 of either transform (see the .cpp).
    double RelativeError() const;

    // exp(-2 pi i j / size) as the table holds it, j < size / 2.
    std::complex<double> Twiddle(uint32_t j) const;

private:
    void ForwardAvx2(double* re, double* im) const;  // in ComplexFftAvx2.cpp
    void InverseAvx2(double* re, double* im) const;

    uint32_t log2Size = 0;
    bool avx2 = false;
    uint32_t size = 0;
    // Stage with butterflies h apart uses the twiddles exp(-pi i j / h), j < h, stored at
    // [h, 2h): each stage reads a contiguous run.
    std::unique_ptr<double[]> twiddleRe;
    std::unique_ptr<double[]> twiddleIm;
};

}  // namespace vorn
