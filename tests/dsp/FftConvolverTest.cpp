#include "dsp/FftConvolver.h"
#include "dsp/FirFilter.h"
#include "dsp/FirKernel.h"
#include "wave/WaveData.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <random>
#include <string>
#include <vector>

namespace vorn {
namespace {

// The stored range of each encoding relative to silence, and its silence.
SampleStore Store(uint16_t bytes) {
    SampleStore s;
    if (bytes == 1) s.offset = 127, s.low = 0, s.high = 255;
    if (bytes == 3) s.low = -8388608, s.high = 8388607;
    if (bytes == 4) s.low = -2147483648.0, s.high = 2147483647.0;
    return s;
}

FirFilterParams Params(int32_t type, int32_t count, int32_t edge, int32_t width = 0) {
    FirFilterParams p;
    p.type = type, p.taps = count, p.bandpassWidth = p.bandstopWidth = width;
    p.lowpassCutoff = p.highpassCutoff = p.bandpassCentre = p.bandstopCentre = edge;
    return p;
}

std::vector<double> Taps(const FirFilterParams& p) {
    SampleFormat f;
    f.Set(48000, 1, 2);
    TFirFilter filter(f, p);
    return {filter.GetCoefficients(), filter.GetCoefficients() + filter.GetCount()};
}

// Inputs (history then block) as FilterBlock hands them over: whole numbers in the
// encoding's range, times the gain.
enum class Stimulus { Noise, Square, Ones, Dyadic };
std::vector<double> Inputs(Stimulus kind, size_t n, uint16_t bytes, double gain, uint32_t seed) {
    const double top = bytes == 1 ? 128 : std::ldexp(1.0, 8 * bytes - 1) - 1, bottom = bytes == 1 ? -127 : -top;
    std::mt19937 rng(seed);
    std::vector<double> v(n);
    for (size_t j = 0; j < n; ++j) {
        switch (kind) {
            case Stimulus::Noise: v[j] = std::round(std::uniform_real_distribution<double>(bottom, top)(rng)); break;
            case Stimulus::Square: v[j] = (j / 37) % 2 ? top : bottom; break;
            case Stimulus::Ones: v[j] = double(int(rng() % 3) - 1); break;
            case Stimulus::Dyadic: v[j] = double(int(rng() % 64) - 32) * (j % 5 == 0 ? 1000 : 1); break;
        }
        v[j] *= gain;
    }
    return v;
}

// Taps m / 64 for small whole m: the direct sums are exact multiples of 1/64, so many land
// exactly on a whole or half number, where the FFT's nearby values would store differently.
std::vector<double> DyadicTaps(int32_t count, uint32_t seed) {
    std::mt19937 rng(seed);
    std::vector<double> c(count);
    for (double& x : c) x = double(int(rng() % 17) - 8) / 64;
    c[count / 2] = 1;
    return c;
}

// The first output the FFT path stores differently from the direct loop ("" when none), and
// how many it recomputed.
std::string Compare(const std::vector<double>& in, const std::vector<double>& taps, uint32_t outputs,
                    const SampleStore& store, uint64_t& recomputed) {
    FftConvolver fast;
    std::vector<double> got(outputs), want(outputs);
    if (!fast.Convolve(in.data(), taps.data(), int32_t(taps.size()), got.data(), outputs, store)) return "refused";
    fir::ConvolveScalar(in.data(), taps.data(), int32_t(taps.size()), want.data(), outputs);
    recomputed += fast.Recomputed();
    for (uint32_t i = 0; i < outputs; ++i)
        if (store(got[i]) != store(want[i])) return "output " + std::to_string(i) + " differs";
    return "";
}

TEST(SampleStoreTest, TruncatesTowardZeroHoldsTheRangeAndStoresSilenceForNaN) {
    const struct { uint16_t bytes; double sum; int32_t stored; } cases[] = {
        {2, 2.999999999, 2},       {2, -2.999999999, -2},     {2, 3.0, 3},          {2, -0.5, 0},
        {2, 32767.99, 32767},      {2, 40000.0, 32767},       {2, -32768.5, -32768}, {2, -1e300, -32768},
        {1, -127.0, 0},            {1, -126.5, 0},            {1, 128.7, 255},      {1, 0.9, 127},
        {4, 3e9, 2147483647},      {4, -2147483648.9, INT32_MIN}, {3, 8388606.5, 8388606},
        {2, std::nan(""), 0},      {1, std::nan(""), 127}};
    for (const auto& c : cases) EXPECT_EQ(Store(c.bytes)(c.sum), c.stored) << c.bytes << " bytes, " << c.sum;
}

// Every stored sample of the FFT path equals the direct loop's, over every encoding, tap
// counts 3 .. 999, block lengths 1 .. 3 s at 48 kHz, and inputs built to sit on the
// boundaries: exact whole and half sums, full-scale squares that saturate, loud 32-bit
// blocks, and signals a few millionths of a step high.
TEST(FftConvolverTest, StoresTheDirectLoopsSamplesOnAdversarialBlocks) {
    const std::vector<double> probe = Taps(Params(FirFilterParams::Bandstop, 999, 226, 150));
    const std::vector<double> lowpass = Taps(Params(FirFilterParams::Lowpass, 39, 3000));
    const std::vector<double> bandpass = Taps(Params(FirFilterParams::Bandpass, 401, 5000, 2000));
    std::vector<double> tiny(probe);  // single-precision subnormal taps
    for (double& c : tiny) c = float(c * 1e-39);
    const struct Case { const char* what; std::vector<double> taps; Stimulus kind; uint16_t bytes; double gain;
                        uint32_t outputs; bool mustRecompute; } cases[] = {
        {"dyadic 3 taps", DyadicTaps(3, 1), Stimulus::Dyadic, 2, 1.0, 5000, true},
        {"dyadic 4 taps", DyadicTaps(4, 2), Stimulus::Dyadic, 1, 1.0, 1, false},
        {"dyadic 65 taps", DyadicTaps(65, 3), Stimulus::Dyadic, 2, 1.0, 4097, true},
        {"dyadic 999 taps", DyadicTaps(999, 4), Stimulus::Dyadic, 2, 1.0, 48000, true},
        {"dyadic 8-bit", DyadicTaps(101, 5), Stimulus::Dyadic, 1, 1.0, 20000, true},
        {"dyadic 24-bit", DyadicTaps(257, 6), Stimulus::Dyadic, 3, 1.0, 30000, true},
        {"dyadic saturating", DyadicTaps(63, 7), Stimulus::Square, 2, 1.0, 10000, false},
        {"dyadic halves", DyadicTaps(99, 8), Stimulus::Dyadic, 2, 0.5, 10000, true},
        {"square 16-bit", probe, Stimulus::Square, 2, 1.0, 144000, false},
        {"square 16-bit +12 dB", probe, Stimulus::Square, 2, 3.981071705534973, 48000, false},
        {"square 8-bit", bandpass, Stimulus::Square, 1, 1.0, 48000, false},
        {"square 24-bit", lowpass, Stimulus::Square, 3, 1.0, 20000, false},
        {"square 32-bit", probe, Stimulus::Square, 4, 1.0, 48000, false},
        {"noise 32-bit", probe, Stimulus::Noise, 4, 1.0, 48000, true},
        {"noise 32-bit +90 dB", probe, Stimulus::Noise, 4, 31622.776, 9000, false},
        {"noise 24-bit", bandpass, Stimulus::Noise, 3, 1.0, 48000, false},
        {"noise 16-bit, 1 output", probe, Stimulus::Noise, 2, 1.0, 1, false},
        {"noise 8-bit -6 dB", lowpass, Stimulus::Noise, 1, 0.5011872336272722, 4095, false},
        {"steps of one at -90 dB", probe, Stimulus::Ones, 2, 3.1622776e-5, 48000, false},
        {"subnormal taps", tiny, Stimulus::Noise, 4, 1.0, 8192, false},
    };
    uint32_t seed = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::vector<double> in = Inputs(c.kind, c.outputs + c.taps.size() - 1, c.bytes, c.gain, ++seed);
        uint64_t recomputed = 0;
        EXPECT_EQ(Compare(in, c.taps, c.outputs, Store(c.bytes), recomputed), "");
        EXPECT_TRUE(!c.mustRecompute || recomputed > 0) << "no output came near a boundary";
    }
}

// Random taps of every count from 3 to 999 (a stride of them) and random lengths: the
// stored samples agree, and on 16-bit noise the bound leaves almost nothing to recompute.
TEST(FftConvolverTest, RandomTapsAndLengthsAgreeAndRarelyRecompute) {
    std::mt19937 rng(99);
    std::uniform_real_distribution<double> coefficient(-0.5, 0.5);
    uint64_t outputs = 0, recomputed = 0;
    for (int32_t count = 3; count <= 999; count += 37) {
        std::vector<double> taps(count);
        for (double& c : taps) c = float(coefficient(rng));
        const uint32_t length = 1 + rng() % 20000;
        const uint16_t bytes = uint16_t(1 + count % 3);
        const std::vector<double> in = Inputs(Stimulus::Noise, length + count - 1, bytes, 1.0, rng());
        EXPECT_EQ(Compare(in, taps, length, Store(bytes), recomputed), "") << count << " taps, " << length;
        outputs += length;
    }
    EXPECT_LT(double(recomputed), 1e-3 * double(outputs));
}

// FilterBlock takes the FFT path for long blocks without callers seeing it: the same bytes
// in both channels as with the plain loop, for every encoding, mono and stereo, uneven
// blocks (short ones go direct), and the history carried across both paths.
TEST(FftConvolverTest, FilterBlockStoresTheSameWaveOnEitherPath) {
    const uint32_t blocks[] = {20000, 4000, 7, 999, 1, 30000, 5000}, frames = 60007;
    for (uint16_t bytes = 1; bytes <= 4; ++bytes)
        for (uint16_t channels = 1; channels <= 2; ++channels) {
            SCOPED_TRACE(testing::Message() << bytes << " bytes, " << channels << " channels");
            SampleFormat f;
            f.Set(48000, channels, bytes);
            FirFilterParams p = Params(FirFilterParams::Bandstop, 999, 1000 * bytes, 150);
            p.gain = bytes == 2 ? 6.0f : 0.0f;
            TWaveData fastWave(frames, f), directWave(frames, f);
            std::mt19937 rng(bytes * 10 + channels);
            for (uint32_t i = 0; i < fastWave.GetByteSize(); ++i) fastWave.GetSamples()[i] = uint8_t(rng());
            std::memcpy(directWave.GetSamples(), fastWave.GetSamples(), fastWave.GetByteSize());
            TFirFilter fast(f, p), direct(f, p);
            direct.UseFftPath(false), direct.UseKernel(fir::ConvolveScalar);
            uint32_t at = 0;
            for (uint32_t b : blocks) {
                ASSERT_TRUE(fast.FilterBlock(&fastWave, at, b));
                ASSERT_TRUE(direct.FilterBlock(&directWave, at, b));
                at += b;
            }
            EXPECT_EQ(fast.GetFftOutputs(), 20000u + 4000u + 30000u + 5000u);
            EXPECT_EQ(std::memcmp(fastWave.GetSamples(), directWave.GetSamples(), fastWave.GetByteSize()), 0);
        }
}

}  // namespace
}  // namespace vorn
