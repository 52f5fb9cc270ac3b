// The 4096-point real FFT, forward and inverse, and its accuracy against a double
// DFT (printed once at start as "relative error ...", root-mean-square based).
#include "BenchCases.h"
#include "dsp/RealFft.h"

#include <cmath>
#include <complex>
#include <cstring>
#include <numbers>
#include <random>

namespace {

constexpr int kSize = 4096;

double RelativeErrorAgainstDft(const std::vector<float>& input) {
    std::vector<float> packed = input;
    vorn::TRealFft(kSize).Forward(packed.data());
    std::vector<double> cosine(kSize), sine(kSize);
    for (int i = 0; i < kSize; ++i) {
        cosine[i] = std::cos(2 * std::numbers::pi * i / kSize);
        sine[i] = std::sin(2 * std::numbers::pi * i / kSize);
    }
    double err = 0, ref = 0;
    for (int k = 0; k <= kSize / 2; ++k) {
        double re = 0, im = 0;
        for (int m = 0; m < kSize; ++m) {
            int j = static_cast<int>((static_cast<long>(k) * m) % kSize);
            re += input[m] * cosine[j];
            im -= input[m] * sine[j];
        }
        double gotRe, gotIm = 0, wantIm = 2 * im;
        if (k == 0) {
            gotRe = packed[0];
        } else if (k == kSize / 2) {
            gotRe = packed[1];
        } else {
            gotRe = packed[2 * k];
            gotIm = packed[2 * k + 1];
        }
        if (k == 0 || k == kSize / 2) wantIm = 0;
        err += (gotRe - 2 * re) * (gotRe - 2 * re) + (gotIm - wantIm) * (gotIm - wantIm);
        ref += 4 * re * re + wantIm * wantIm;
    }
    return std::sqrt(err / ref);
}

}  // namespace

int main(int argc, char** argv) {
    std::mt19937 rng(4096);
    std::uniform_real_distribution<float> dist(-1.0f, 1.0f);
    static std::vector<float> input(kSize), work(kSize);
    for (auto& x : input) x = dist(rng);
    std::printf("relative error %.3g\n", RelativeErrorAgainstDft(input));

    vorn::TRealFft fft(kSize);
    return vorn::bench::RunCases(argc, argv, {
        {"real_fft_forward_4096", [&] {
             std::memcpy(work.data(), input.data(), sizeof(float) * kSize);
             fft.Forward(work.data());
         }},
        {"real_fft_inverse_4096", [&] {
             std::memcpy(work.data(), input.data(), sizeof(float) * kSize);
             fft.Inverse(work.data());
         }},
    });
}
