// The response-table design of the FIR filter (type 4) at 999 taps and 48 kHz: the table
// load onto 2048 bins, one 4096-point inverse FFT and the window, as the filter's
// construction runs them; beside it the window design of the probe-tone band-stop with
// the same tap count, the design every other filter type runs.
#include "dsp/FirFilter.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <string>

namespace {

using namespace vorn;

const std::string& TablePath() {
    static const std::string path = [] {
        const std::string p = (std::filesystem::temp_directory_path() / "vorn-bench-table.txt").string();
        if (std::FILE* f = std::fopen(p.c_str(), "w")) {
            std::fputs("; a transducer compensation curve\n20\t-1\n200\t0\n1000\t2\n3000\t-1\n8000\t1\n16000\t-3\n24000\t-6\n", f);
            std::fclose(f);
        }
        return p;
    }();
    return path;
}

void Design(benchmark::State& state, FirFilterParams params) {
    SampleFormat format;
    format.Set(48000, 2, 2);
    for (auto _ : state) {
        TFirFilter filter(format, params);
        benchmark::DoNotOptimize(filter.GetCoefficients()[filter.GetCount() / 2]);
    }
}

void BM_DesignFromTable(benchmark::State& state) {
    FirFilterParams p;
    p.type = FirFilterParams::ResponseTable, p.taps = 999;
    std::snprintf(p.responsePath, sizeof p.responsePath, "%s", TablePath().c_str());
    Design(state, p);
}

void BM_WindowDesignBandstop(benchmark::State& state) {
    FirFilterParams p;
    p.type = FirFilterParams::Bandstop, p.taps = 999, p.bandstopCentre = 1000, p.bandstopWidth = 150;
    Design(state, p);
}

}  // namespace

BENCHMARK(BM_DesignFromTable)->Unit(benchmark::kMicrosecond)->Repetitions(11);
BENCHMARK(BM_WindowDesignBandstop)->Unit(benchmark::kMicrosecond)->Repetitions(11);
BENCHMARK_MAIN();
