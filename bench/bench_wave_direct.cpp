// Direct-mode WriteSample at 10,000 random frames of 60 s of 48 kHz 24-bit stereo, one
// call per iteration, against its baseline: the two seeks and two file calls a direct
// sample write needs at the least (seek, read the frame, seek back, write the frame) on
// the same file through the same C streams. bench/wave_calibrate.sh prints the ratio.
#include "wave/RiffChunks.h"
#include "wave/WaveFile.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

namespace {

using namespace vorn;

constexpr uint32_t kFrames = 48000 * 60;
constexpr uint32_t kFrameSize = 6;
constexpr size_t kCalls = 10000;

SampleFormat Format() {
    SampleFormat f;
    f.Set(48000, 2, 3);
    return f;
}

// The test file, made once per process with random samples.
const std::string& TestFile() {
    static const std::string path = [] {
        const std::string p = (std::filesystem::temp_directory_path() / "vorn-bench-direct.wav").string();
        uint8_t header[riff::kWaveHeaderSize];
        riff::EncodeWaveHeader(header, Format(), kFrames * kFrameSize);
        std::vector<uint8_t> data(size_t(kFrames) * kFrameSize);
        std::mt19937 random(7);
        for (uint8_t& b : data) b = uint8_t(random());
        FILE* f = std::fopen(p.c_str(), "wb");
        std::fwrite(header, 1, sizeof header, f);
        std::fwrite(data.data(), 1, data.size(), f);
        std::fclose(f);
        return p;
    }();
    return path;
}

std::vector<uint32_t> RandomFrames() {
    std::mt19937 random(11);
    std::vector<uint32_t> frames(kCalls);
    for (uint32_t& f : frames) f = random() % kFrames;
    return frames;
}

void BM_DirectWriteSample(benchmark::State& state) {
    TWaveFile wave(TestFile(), 1, false, nullptr);
    if (wave.Failed()) {
        state.SkipWithError("cannot open the test file");
        return;
    }
    const std::vector<uint32_t> frames = RandomFrames();
    size_t i = 0;
    for (auto _ : state) {
        const uint32_t frame = frames[i++ % kCalls];
        benchmark::DoNotOptimize(wave.WriteSample(int32_t(frame & 0x7FFFF), frame, uint16_t(frame & 1)));
    }
    state.SetItemsProcessed(int64_t(state.iterations()));
}
BENCHMARK(BM_DirectWriteSample)->Iterations(kCalls);

void BM_TwoSeeksTwoFileCalls(benchmark::State& state) {
    FILE* f = std::fopen(TestFile().c_str(), "r+b");
    if (!f) {
        state.SkipWithError("cannot open the test file");
        return;
    }
    const std::vector<uint32_t> frames = RandomFrames();
    uint8_t frame[kFrameSize];
    size_t i = 0;
    for (auto _ : state) {
        const long at = long(riff::kWaveHeaderSize) + long(frames[i++ % kCalls]) * kFrameSize;
        std::fseek(f, at, SEEK_SET);
        benchmark::DoNotOptimize(std::fread(frame, 1, kFrameSize, f));
        frame[0] ^= 1;
        std::fseek(f, at, SEEK_SET);
        benchmark::DoNotOptimize(std::fwrite(frame, 1, kFrameSize, f));
    }
    std::fclose(f);
    state.SetItemsProcessed(int64_t(state.iterations()));
}
BENCHMARK(BM_TwoSeeksTwoFileCalls)->Iterations(kCalls);

}  // namespace

BENCHMARK_MAIN();
