// FilterBlock with the probe-tone band-stop (999 taps, 226 Hz, 150 Hz wide, 48 kHz) over
// channel 0 of 60 s of 16-bit stereo noise, in one-second blocks, once per direct kernel
// (the plain scalar loop at -O2, SSE2, AVX2, AVX-512) and once as FilterBlock picks (the FFT
// path). All must give the same samples; the run stops if they do not.
//
//   bench_fir_filter [--export=DIR] [--recomputes FILE.wav ...] [benchmark flags]
// --export writes the taps (float32) and channel 0 (int16) to DIR for the lfilter timing.
// --recomputes filters each file's channel 0 with that band-stop at the file's rate, on both
// paths, checks that they agree, prints how many outputs the FFT path left to the direct
// loop, and exits.
#include "dsp/FirFilter.h"
#include "wave/WaveData.h"
#include "wave/WaveFile.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <random>
#include <string>
#include <vector>

namespace {

using namespace vorn;

constexpr uint32_t kRate = 48000;
constexpr uint32_t kSeconds = 60;

// The baseline: one output at a time, built at -O2 whatever the tree's level.
#pragma GCC push_options
#pragma GCC optimize("O2")
void PlainLoopO2(const double* input, const double* coefficients, int32_t taps, double* output,
                 uint32_t outputs) {
    for (uint32_t i = 0; i < outputs; ++i) {
        double acc = 0.0;
        for (int32_t k = 0; k < taps; ++k) acc += input[i + k] * coefficients[k];
        output[i] = acc;
    }
}
#pragma GCC pop_options

SampleFormat StereoFormat() {
    SampleFormat f;
    f.Set(kRate, 2, 2);
    return f;
}

FirFilterParams ProbeBandstop() {
    FirFilterParams p;
    p.type = FirFilterParams::Bandstop;
    p.taps = 999;
    p.bandstopCentre = 226;
    p.bandstopWidth = 150;
    return p;
}

const std::vector<uint8_t>& NoiseFrames() {
    static const std::vector<uint8_t> frames = [] {
        std::vector<uint8_t> bytes(size_t(kRate) * kSeconds * 4);
        std::mt19937 rng(48000);
        std::normal_distribution<double> noise(0.0, 6000.0);
        for (size_t i = 0; i < bytes.size(); i += 2) {
            const double v = std::max(-32768.0, std::min(32767.0, noise(rng)));
            const uint16_t s = uint16_t(int16_t(v));
            bytes[i] = uint8_t(s);
            bytes[i + 1] = uint8_t(s >> 8);
        }
        return bytes;
    }();
    return frames;
}

std::unique_ptr<TWaveData> NoiseWave() {
    auto wave = std::make_unique<TWaveData>(kRate * kSeconds, StereoFormat());
    std::memcpy(wave->GetSamples(), NoiseFrames().data(), NoiseFrames().size());
    return wave;
}

void FilterWhole(TFirFilter& filter, TWaveData& wave) {
    filter.ResetHistory();
    for (uint32_t s = 0; s < kSeconds; ++s) filter.FilterBlock(&wave, s * kRate, kRate);
}

// kernel null: FilterBlock as it stands (the FFT path for these blocks).
void Run(benchmark::State& state, fir::ConvolveFunction kernel) {
    TFirFilter filter(StereoFormat(), ProbeBandstop());
    if (kernel != nullptr) {
        filter.UseKernel(kernel);
        filter.UseFftPath(false);
    }
    auto wave = NoiseWave();
    for (auto _ : state) {
        state.PauseTiming();
        std::memcpy(wave->GetSamples(), NoiseFrames().data(), NoiseFrames().size());
        state.ResumeTiming();
        FilterWhole(filter, *wave);
        benchmark::DoNotOptimize(wave->GetSamples());
    }
    state.counters["samples/s"] =
        benchmark::Counter(double(kRate) * kSeconds, benchmark::Counter::kIsIterationInvariantRate);
}

void BM_ScalarO2(benchmark::State& state) { Run(state, PlainLoopO2); }
void BM_Sse2(benchmark::State& state) { Run(state, fir::ConvolveSse2); }
void BM_Avx2(benchmark::State& state) {
    if (!fir::Avx2Available()) {
        state.SkipWithError("this CPU has no AVX2");
        return;
    }
    Run(state, fir::ConvolveAvx2);
}
void BM_Avx512(benchmark::State& state) {
    if (!fir::Avx512Available()) {
        state.SkipWithError("this CPU has no AVX-512");
        return;
    }
    Run(state, fir::ConvolveAvx512);
}
void BM_FftPath(benchmark::State& state) { Run(state, nullptr); }

BENCHMARK(BM_ScalarO2)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(3);
BENCHMARK(BM_Sse2)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(5);
BENCHMARK(BM_Avx2)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(5);
BENCHMARK(BM_Avx512)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(5);
BENCHMARK(BM_FftPath)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(9);

// Filters the whole file with every kernel and the FFT path and compares the results byte
// for byte.
bool KernelsAgree() {
    std::vector<std::vector<uint8_t>> results;
    std::vector<fir::ConvolveFunction> kernels = {PlainLoopO2, fir::ConvolveSse2, nullptr};
    if (fir::Avx2Available()) kernels.push_back(fir::ConvolveAvx2);
    if (fir::Avx512Available()) kernels.push_back(fir::ConvolveAvx512);
    for (fir::ConvolveFunction kernel : kernels) {
        TFirFilter filter(StereoFormat(), ProbeBandstop());
        if (kernel != nullptr) {
            filter.UseKernel(kernel);
            filter.UseFftPath(false);
        }
        auto wave = NoiseWave();
        FilterWhole(filter, *wave);
        results.emplace_back(wave->GetSamples(), wave->GetSamples() + wave->GetByteSize());
    }
    for (size_t i = 1; i < results.size(); ++i)
        if (results[i] != results[0]) return false;
    return true;
}

bool Export(const std::string& dir) {
    TFirFilter filter(StereoFormat(), ProbeBandstop());
    FILE* taps = std::fopen((dir + "/taps.f32").c_str(), "wb");
    FILE* samples = std::fopen((dir + "/channel0.i16").c_str(), "wb");
    bool ok = taps != nullptr && samples != nullptr;
    if (ok) {
        ok = std::fwrite(filter.GetCoefficients(), sizeof(float), filter.GetCount(), taps) ==
             size_t(filter.GetCount());
        const std::vector<uint8_t>& frames = NoiseFrames();
        for (size_t i = 0; ok && i < frames.size(); i += 4) ok = std::fwrite(&frames[i], 1, 2, samples) == 2;
    }
    if (taps) std::fclose(taps);
    if (samples) std::fclose(samples);
    return ok;
}

// Channel 0 of `path` through the band-stop in one-second blocks, on the FFT path or the
// direct one; false when the file does not load.
bool FilterFile(const char* path, bool fft, std::vector<uint8_t>& samples, uint64_t& outputs,
                uint64_t& recomputed) {
    TWaveFile wave(path, 0, false, nullptr);
    if (wave.Failed()) return false;
    const SampleFormat format = wave.GetFormat();
    TFirFilter filter(format, ProbeBandstop());
    filter.UseFftPath(fft);
    const uint32_t frames = wave.GetFrameCount();
    for (uint32_t at = 0; at < frames; at += format.sampleRate)
        filter.FilterBlock(&wave, at, std::min(format.sampleRate, frames - at));
    samples.assign(wave.GetSamples(), wave.GetSamples() + wave.GetByteSize());
    outputs = filter.GetFftOutputs();
    recomputed = filter.GetRecomputedOutputs();
    return true;
}

int CountRecomputes(int count, char** paths) {
    for (int i = 0; i < count; ++i) {
        std::vector<uint8_t> fast, direct;
        uint64_t outputs = 0, recomputed = 0, unused = 0;
        if (!FilterFile(paths[i], true, fast, outputs, recomputed) ||
            !FilterFile(paths[i], false, direct, unused, unused)) {
            std::fprintf(stderr, "cannot load %s\n", paths[i]);
            return 1;
        }
        std::printf("%-28s %10llu outputs by FFT, %8llu recomputed (%.4f%%), %s\n", paths[i],
                    (unsigned long long)outputs, (unsigned long long)recomputed,
                    outputs ? 100.0 * double(recomputed) / double(outputs) : 0.0,
                    fast == direct ? "same samples as direct" : "DIFFERENT SAMPLES");
        if (fast != direct) return 1;
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<char*> args;
    for (int i = 0; i < argc; ++i) {
        if (std::strcmp(argv[i], "--recomputes") == 0) return CountRecomputes(argc - i - 1, argv + i + 1);
        if (std::strncmp(argv[i], "--export=", 9) == 0) {
            if (!Export(argv[i] + 9)) {
                std::fprintf(stderr, "cannot export to %s\n", argv[i] + 9);
                return 1;
            }
            continue;
        }
        args.push_back(argv[i]);
    }
    if (!KernelsAgree()) {
        std::fprintf(stderr, "the kernels disagree: vectorised output is not bit-identical\n");
        return 1;
    }
    int count = int(args.size());
    benchmark::Initialize(&count, args.data());
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
