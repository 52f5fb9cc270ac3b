// Runs a bench file's cases either as Google Benchmark benchmarks (where the library
// exists) or, with --median or where it does not (the MinGW tree), with a small
// timer of its own that prints one line per case: "<name> median <us> us min <us> us". The
// timer is what the bench scripts read, in both trees alike.
#pragma once

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#ifdef VORN_HAVE_BENCHMARK
#include <benchmark/benchmark.h>
#endif

namespace vorn::bench {

struct Case {
    std::string name;
    std::function<void()> run;  // one iteration
};

struct Timing {
    double median;  // microseconds per iteration
    double minimum;
};

// Median and minimum over `samples` of the mean time of one iteration; each sample
// runs long enough (about 20 ms) for the clock not to matter. The minimum is the
// figure least disturbed by other work on a shared machine.
inline Timing TimeCase(const Case& c, int samples) {
    using Clock = std::chrono::steady_clock;
    auto seconds = [](Clock::duration d) { return std::chrono::duration<double>(d).count(); };
    c.run();
    long iterations = 1;
    for (;;) {
        auto start = Clock::now();
        for (long i = 0; i < iterations; ++i) c.run();
        if (seconds(Clock::now() - start) > 0.02) break;
        iterations *= 2;
    }
    std::vector<double> times;
    for (int s = 0; s < samples; ++s) {
        auto start = Clock::now();
        for (long i = 0; i < iterations; ++i) c.run();
        times.push_back(seconds(Clock::now() - start) / static_cast<double>(iterations) * 1e6);
    }
    std::sort(times.begin(), times.end());
    return {times[times.size() / 2], times.front()};
}

inline int RunCases(int argc, char** argv, const std::vector<Case>& cases) {
    bool own = true;
#ifdef VORN_HAVE_BENCHMARK
    own = argc > 1 && std::strcmp(argv[1], "--median") == 0;
    if (!own) {
        for (const Case& c : cases) {
            benchmark::RegisterBenchmark(c.name.c_str(), [&c](benchmark::State& state) {
                for (auto _ : state) c.run();
            });
        }
        benchmark::Initialize(&argc, argv);
        benchmark::RunSpecifiedBenchmarks();
        benchmark::Shutdown();
        return 0;
    }
#endif
    int samples = 15;
    if (own && argc > 2) samples = std::max(1, std::atoi(argv[2]));
    for (const Case& c : cases) {
        Timing t = TimeCase(c, samples);
        std::printf("%s median %.2f us min %.2f us\n", c.name.c_str(), t.median, t.minimum);
        std::fflush(stdout);
    }
    return 0;
}

}  // namespace vorn::bench
