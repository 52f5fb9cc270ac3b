// The 4096-point real FFT, forward and inverse, and its accuracy against a double
// DFT (printed once at start as "relative error ...", root-mean-square based); then the
// double-precision complex FFT at the sizes the FIR filter's FFT path picks.
#include "BenchCases.h"
#include "dsp/ComplexFft.h"
#include "dsp/RealFft.h"

#include <cmath>
#include <complex>
#include <cstring>
#include <memory>
#include <numbers>
#include <random>
#include <string>

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
    std::vector<vorn::bench::Case> cases = {
        {"real_fft_forward_4096", [&] {
             std::memcpy(work.data(), input.data(), sizeof(float) * kSize);
             fft.Forward(work.data());
         }},
        {"real_fft_inverse_4096", [&] {
             std::memcpy(work.data(), input.data(), sizeof(float) * kSize);
             fft.Inverse(work.data());
         }},
    };
    // Split real and imaginary parts, as the FFT path holds them.
    static std::vector<double> re, im, workRe, workIm;
    static std::vector<std::unique_ptr<vorn::ComplexFft>> transforms;
    for (uint32_t log2 : {12u, 13u}) {
        const uint32_t n = 1u << log2;
        if (re.size() < n) {
            std::uniform_real_distribution<double> value(-1.0, 1.0);
            re.resize(n), im.resize(n), workRe.resize(n), workIm.resize(n);
            for (uint32_t j = 0; j < n; ++j) re[j] = value(rng), im[j] = value(rng);
        }
        const vorn::ComplexFft* t = transforms.emplace_back(std::make_unique<vorn::ComplexFft>(log2)).get();
        cases.push_back({"complex_fft_forward_" + std::to_string(n), [=] {
                             std::memcpy(workRe.data(), re.data(), sizeof(double) * n);
                             std::memcpy(workIm.data(), im.data(), sizeof(double) * n);
                             t->Forward(workRe.data(), workIm.data());
                         }});
        cases.push_back({"complex_fft_inverse_" + std::to_string(n), [=] {
                             std::memcpy(workRe.data(), re.data(), sizeof(double) * n);
                             std::memcpy(workIm.data(), im.data(), sizeof(double) * n);
                             t->Inverse(workRe.data(), workIm.data());
                         }});
    }
    return vorn::bench::RunCases(argc, argv, cases);
}
