#include "dsp/FirFilter.h"
#include "wave/WaveData.h"
#include "PythonOracle.h"

#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <memory>
#include <numbers>
#include <random>
#include <string>
#include <vector>

namespace vorn {

namespace {

SampleFormat Format(uint32_t rate, uint16_t channels = 1, uint16_t bytes = 2) {
    SampleFormat f;
    f.Set(rate, channels, bytes);
    return f;
}

FirFilterParams Lowpass(int32_t taps, int32_t cutoff) {
    FirFilterParams p;
    p.type = FirFilterParams::Lowpass;
    p.taps = taps;
    p.lowpassCutoff = cutoff;
    return p;
}

FirFilterParams ProbeBandstop(int32_t centre) {
    FirFilterParams p;
    p.type = FirFilterParams::Bandstop;
    p.taps = 999;
    p.bandstopCentre = centre;
    p.bandstopWidth = 150;
    return p;
}

std::vector<float> Coefficients(const TFirFilter& f) {
    return std::vector<float>(f.GetCoefficients(), f.GetCoefficients() + f.GetCount());
}

// Magnitude response of the taps at frequency hz, in dB.
double ResponseDb(const std::vector<float>& c, double hz, double rate) {
    std::complex<double> sum = 0;
    for (size_t k = 0; k < c.size(); ++k) sum += double(c[k]) * std::polar(1.0, -2 * std::numbers::pi * hz * k / rate);
    return 20 * std::log10(std::abs(sum));
}

// A one-channel (or two-channel) buffer holding `samples` on channel 0 as stored values.
std::unique_ptr<TWaveData> Wave(const SampleFormat& format, const std::vector<int32_t>& samples) {
    auto wave = std::make_unique<TWaveData>(uint32_t(samples.size()), format);
    for (size_t i = 0; i < samples.size(); ++i) wave->WriteSample(samples[i], uint32_t(i), 0);
    return wave;
}

std::vector<int32_t> Channel(const TWaveData& wave, uint16_t channel) {
    const SampleFormat f = wave.GetFormat();
    std::vector<int32_t> out(wave.GetFrameCount());
    for (uint32_t i = 0; i < out.size(); ++i)
        out[i] = DecodeSample(wave.GetSamples() + size_t(i) * f.FrameSize() + channel * f.bytesPerSample,
                              f.bytesPerSample);
    return out;
}

std::vector<int32_t> Noise(size_t n, int32_t low, int32_t high, uint32_t seed) {
    std::mt19937 rng(seed);
    std::uniform_int_distribution<int32_t> d(low, high);
    std::vector<int32_t> v(n);
    for (int32_t& x : v) x = d(rng);
    return v;
}

// The filter written out plainly over a whole stream: inputs before the stream are
// silence, each output sums (input x gain) x coefficient in ascending order, adds the
// offset, truncates, and sticks at the ends of the encoding's range. Inputs pass through
// single precision as the sample blocks deliver them (exact up to 24 bits).
std::vector<int32_t> PlainFilter(const std::vector<int32_t>& stored, const std::vector<float>& c,
                                 float gain, int32_t offset, double low, double high) {
    const size_t n = c.size();
    std::vector<int32_t> out(stored.size());
    for (size_t i = 0; i < stored.size(); ++i) {
        double acc = 0.0;
        for (size_t k = 0; k < n; ++k) {
            const long j = long(i + k) - long(n);
            const double x = j < 0 ? 0.0 : std::min(double(float(stored[j] - offset)), 2147483647.0);
            acc += x * double(gain) * double(c[k]);
        }
        const double v = std::trunc(acc + float(offset));
        out[i] = int32_t(std::min(std::max(v, low), high));
    }
    return out;
}

}  // namespace

TEST(FirFilterTest, TapCountIsOddBetween39And999) {
    const int32_t requested[] = {-5, 0, 38, 39, 40, 998, 999, 1000, 100000};
    const int32_t expected[] = {39, 39, 39, 39, 41, 999, 999, 999, 999};
    for (size_t i = 0; i < std::size(requested); ++i) {
        EXPECT_EQ(TFirFilter::TapCount(requested[i]), expected[i]) << requested[i];
        EXPECT_EQ(TFirFilter(Format(48000), Lowpass(requested[i], 1000)).GetCount(), expected[i]);
    }
}

TEST(FirFilterTest, GainIsClampedToNinetyDecibels) {
    TFirFilter f(Format(48000), Lowpass(39, 1000));
    f.SetGain(100.0f);
    EXPECT_EQ(f.GetGainDb(), 90.0f);
    EXPECT_NEAR(f.GetLinearGain(), 31622.78f, 0.01f);
    f.SetGain(-120.0f);
    EXPECT_EQ(f.GetGainDb(), -90.0f);
    EXPECT_NEAR(f.GetLinearGain(), 3.1622777e-5f, 1e-10f);
    f.SetGain(6.0f);
    EXPECT_NEAR(f.GetLinearGain(), 1.9952623f, 1e-6f);
    f.SetGain(std::nanf(""));
    EXPECT_EQ(f.GetLinearGain(), 1.0f);

    FirFilterParams p = Lowpass(39, 1000);
    p.gain = 95.0f;
    EXPECT_EQ(TFirFilter(Format(48000), p).GetGainDb(), 90.0f);
}

TEST(FirFilterTest, FormatKeepsOnlyRateChannelsAndBytesOfTheCaller) {
    SampleFormat odd;
    odd.sampleRate = 0;
    odd.channels = 5;
    odd.bytesPerSample = 1;
    odd.offset = 0;  // ignored: 8-bit silence is 127
    const SampleFormat f = TFirFilter(odd, Lowpass(39, 1000)).GetFormat();
    EXPECT_EQ(f.sampleRate, 44100u);
    EXPECT_EQ(f.channels, 1);
    EXPECT_EQ(f.bytesPerSample, 1);
    EXPECT_EQ(f.offset, 127);
}

TEST(FirFilterTest, WindowDesignsMatchScipyFirwinWithHann) {
    VORN_SKIP_WITHOUT_PYTHON();
    struct Case {
        uint32_t rate;
        FirFilterParams params;
        std::string firwin;  // edges and pass_zero
    };
    std::vector<Case> cases;
    for (uint32_t rate : {8000u, 11025u, 44100u, 48000u}) {
        for (int32_t taps : {39, 41, 101, 999}) {
            FirFilterParams p;
            p.taps = taps;
            const std::string r = std::to_string(rate);
            p.type = FirFilterParams::Lowpass;
            p.lowpassCutoff = int32_t(rate / 7);
            cases.push_back({rate, p, std::to_string(p.lowpassCutoff) + ", pass_zero=True"});
            p.type = FirFilterParams::Highpass;
            p.highpassCutoff = int32_t(rate / 5);
            cases.push_back({rate, p, std::to_string(p.highpassCutoff) + ", pass_zero=False"});
            p.type = FirFilterParams::Bandpass;
            p.bandpassCentre = int32_t(rate / 6);
            p.bandpassWidth = int32_t(rate / 10) + 1;  // odd: the edges fall on half hertz
            cases.push_back({rate, p,
                             "[" + std::to_string(p.bandpassCentre) + " - " + std::to_string(p.bandpassWidth) +
                                 " / 2, " + std::to_string(p.bandpassCentre) + " + " +
                                 std::to_string(p.bandpassWidth) + " / 2], pass_zero=False"});
            p.type = FirFilterParams::Bandstop;
            p.bandstopCentre = int32_t(rate / 8);
            p.bandstopWidth = int32_t(rate / 20);
            cases.push_back({rate, p,
                             "[" + std::to_string(p.bandstopCentre) + " - " + std::to_string(p.bandstopWidth) +
                                 " / 2, " + std::to_string(p.bandstopCentre) + " + " +
                                 std::to_string(p.bandstopWidth) + " / 2], pass_zero='bandstop'"});
        }
        // Any unknown type: a band-stop from fN / 18 to 5 fN / 6.
        FirFilterParams p;
        p.type = 7;
        p.taps = 201;
        cases.push_back({rate, p, "[" + std::to_string(rate) + " / 36, 5 * " + std::to_string(rate) +
                                      " / 12], pass_zero='bandstop'"});
    }
    std::string script;
    for (const Case& c : cases)
        script += test::PrintAll("ss.firwin(" + std::to_string(TFirFilter::TapCount(c.params.taps)) + ", " +
                                 c.firwin + ", window='hann', scale=False, fs=" + std::to_string(c.rate) + ")");
    const std::vector<double> all = test::RunPython(script);
    size_t at = 0;
    for (const Case& c : cases) {
        const std::vector<float> got = Coefficients(TFirFilter(Format(c.rate), c.params));
        SCOPED_TRACE("type " + std::to_string(c.params.type) + ", " + std::to_string(got.size()) +
                     " taps, " + std::to_string(c.rate) + " Hz: firwin(" + c.firwin + ")");
        ASSERT_LE(at + got.size(), all.size());
        double worst = 0;
        for (size_t k = 0; k < got.size(); ++k) worst = std::max(worst, std::fabs(got[k] - all[at + k]));
        EXPECT_LT(worst, 1e-6);
        at += got.size();
    }
    EXPECT_EQ(at, all.size());
}

TEST(FirFilterTest, ProbeToneBandstopCutsANotchAndPassesTheRest) {
    const std::vector<float> c = Coefficients(TFirFilter(Format(48000), ProbeBandstop(226)));
    ASSERT_EQ(c.size(), 999u);
    EXPECT_NEAR(ResponseDb(c, 151, 48000), -6.0, 0.5);
    EXPECT_NEAR(ResponseDb(c, 301, 48000), -6.0, 0.5);
    EXPECT_LT(ResponseDb(c, 226, 48000), -35.0);
    EXPECT_NEAR(ResponseDb(c, 1000, 48000), 0.0, 0.1);
    EXPECT_NEAR(ResponseDb(c, 10000, 48000), 0.0, 0.1);
    for (size_t k = 0; k < c.size(); ++k) ASSERT_EQ(c[k], c[c.size() - 1 - k]) << "linear phase";
}

TEST(FirFilterTest, LowpassAtTheEdgesOfTheBand) {
    for (float v : Coefficients(TFirFilter(Format(44100), Lowpass(101, 0)))) EXPECT_EQ(v, 0.0f);
    const std::vector<float> all = Coefficients(TFirFilter(Format(44100), Lowpass(101, 22050)));
    EXPECT_FLOAT_EQ(all[50], 1.0f);
    for (size_t k = 0; k < all.size(); ++k)
        if (k != 50) {
            EXPECT_NEAR(all[k], 0.0f, 1e-6f) << k;
        }
}

TEST(FirFilterTest, ResponseTableTypeLeavesZeroTapsAndOutputsSilence) {
    FirFilterParams p;
    p.type = FirFilterParams::ResponseTable;
    p.taps = 41;
    TFirFilter f(Format(8000, 1, 1), p);
    for (float v : Coefficients(f)) EXPECT_EQ(v, 0.0f);
    auto wave = Wave(f.GetFormat(), Noise(300, 0, 255, 3));
    ASSERT_TRUE(f.FilterBlock(wave.get(), 0, 300));
    for (int32_t v : Channel(*wave, 0)) ASSERT_EQ(v, 127);
}

TEST(FirFilterTest, ImpulseComesOutAsTheCoefficientsAfterTheDelay) {
    TFirFilter f(Format(48000), ProbeBandstop(1000));
    const std::vector<float> c = Coefficients(f);
    const int32_t n = f.GetCount();
    const uint32_t j = 40, length = 1200;
    std::vector<int32_t> in(length, 0);
    in[j] = 20000;
    auto wave = Wave(f.GetFormat(), in);
    ASSERT_TRUE(f.FilterBlock(wave.get(), 0, length));
    const std::vector<int32_t> out = Channel(*wave, 0);
    for (uint32_t i = 0; i <= j; ++i) ASSERT_EQ(out[i], 0) << i;
    for (int32_t t = 0; t < n; ++t)
        ASSERT_EQ(out[j + 1 + t], int32_t(std::trunc(20000.0 * c[n - 1 - t]))) << t;
    EXPECT_EQ(out[j + (n + 1) / 2], int32_t(std::trunc(20000.0 * c[(n - 1) / 2])));
    EXPECT_NEAR(out[j + (n + 1) / 2], 19875, 1);  // 20000 x (1 - 150 / 24000), the centre tap
    for (uint32_t i = j + 1 + n; i < length; ++i) ASSERT_EQ(out[i], 0) << i;
}

TEST(FirFilterTest, StreamMatchesThePlainFilterInEveryEncoding) {
    struct Case {
        uint16_t bytes;
        int32_t low, high;  // stored input range
        double outLow, outHigh;
        float gainDb;
    };
    const Case cases[] = {{1, 0, 255, 0, 255, 0.0f},
                          {1, 60, 190, 0, 255, 3.0f},
                          {2, -32768, 32767, -32768, 32767, 0.0f},
                          {2, -20000, 20000, -32768, 32767, -6.0f},
                          {3, -8388608, 8388607, -8388608, 8388607, 1.5f},
                          {4, -2000000000, 2000000000, -2147483648.0, 2147483647.0, 0.0f}};
    for (const Case& c : cases) {
        SCOPED_TRACE("bytes " + std::to_string(c.bytes) + ", gain " + std::to_string(c.gainDb));
        FirFilterParams p = Lowpass(61, 3000);
        p.gain = c.gainDb;
        TFirFilter f(Format(16000, 1, c.bytes), p);
        const std::vector<int32_t> in = Noise(2500, c.low, c.high, 7 + c.bytes);
        auto wave = Wave(f.GetFormat(), in);
        // Uneven blocks, some shorter than the filter, in one pass over the stream.
        uint32_t at = 0;
        for (uint32_t len : {7u, 50u, 993u, 1u, 1449u}) {
            ASSERT_TRUE(f.FilterBlock(wave.get(), at, len));
            at += len;
        }
        ASSERT_EQ(at, in.size());
        EXPECT_EQ(Channel(*wave, 0), PlainFilter(in, Coefficients(f), f.GetLinearGain(),
                                                 f.GetFormat().offset, c.outLow, c.outHigh));
    }
}

TEST(FirFilterTest, TwoBlocksOf1000EqualOneBlockOf2000) {
    const std::vector<int32_t> in = Noise(2000, -30000, 30000, 11);
    TFirFilter once(Format(48000), ProbeBandstop(226));
    auto whole = Wave(once.GetFormat(), in);
    ASSERT_TRUE(once.FilterBlock(whole.get(), 0, 2000));

    TFirFilter split(Format(48000), ProbeBandstop(226));
    auto halves = Wave(split.GetFormat(), in);
    ASSERT_TRUE(split.FilterBlock(halves.get(), 0, 1000));
    ASSERT_TRUE(split.FilterBlock(halves.get(), 1000, 1000));
    EXPECT_EQ(Channel(*whole, 0), Channel(*halves, 0));
    for (int32_t k = 0; k < 999; ++k) ASSERT_EQ(once.GetHistory()[k], split.GetHistory()[k]);
    EXPECT_EQ(once.GetHistory()[998], float(in[1999]));
}

TEST(FirFilterTest, EightBitSilenceStaysSilentAtAnyGain) {
    for (float gain : {-90.0f, -6.0f, 0.0f, 40.0f, 90.0f}) {
        FirFilterParams p = ProbeBandstop(226);
        p.gain = gain;
        TFirFilter f(Format(48000, 1, 1), p);
        auto wave = Wave(f.GetFormat(), std::vector<int32_t>(3000, 127));
        ASSERT_TRUE(f.FilterBlock(wave.get(), 0, 1500));
        ASSERT_TRUE(f.FilterBlock(wave.get(), 1500, 1500));
        for (int32_t v : Channel(*wave, 0)) ASSERT_EQ(v, 127) << "gain " << gain;
    }
}

TEST(FirFilterTest, LoudResultsSaturateInsteadOfWrapping) {
    struct Case {
        uint16_t bytes;
        int32_t high, low;  // stored extremes of the input
        int32_t top, bottom;  // what the output must stick at
    };
    const Case cases[] = {{1, 255, 0, 255, 0},
                          {2, 32767, -32768, 32767, -32768},
                          {3, 8388607, -8388608, 8388607, -8388608},
                          {4, 2147483647, -2147483647 - 1, 2147483647, -2147483647 - 1}};
    for (const Case& c : cases) {
        SCOPED_TRACE("bytes " + std::to_string(c.bytes));
        FirFilterParams p = Lowpass(39, 1000);
        p.gain = 12.0f;
        TFirFilter f(Format(8000, 1, c.bytes), p);
        // Long runs of each extreme: the steady state is four times full scale.
        std::vector<int32_t> in(600, c.high);
        std::fill(in.begin() + 300, in.end(), c.low);
        auto wave = Wave(f.GetFormat(), in);
        ASSERT_TRUE(f.FilterBlock(wave.get(), 0, 600));
        const std::vector<int32_t> out = Channel(*wave, 0);
        for (int i = 100; i < 300; ++i) ASSERT_EQ(out[i], c.top) << i;
        for (int i = 400; i < 600; ++i) ASSERT_EQ(out[i], c.bottom) << i;
    }
}

TEST(FirFilterTest, OnlyChannelZeroOfAStereoWaveIsFiltered) {
    TFirFilter f(Format(48000, 2, 2), Lowpass(39, 2000));
    TWaveData wave(1000, f.GetFormat());
    const std::vector<int32_t> left = Noise(1000, -10000, 10000, 1), right = Noise(1000, -10000, 10000, 2);
    for (uint32_t i = 0; i < 1000; ++i) {
        wave.WriteSample(left[i], i, 0);
        wave.WriteSample(right[i], i, 1);
    }
    ASSERT_TRUE(f.FilterBlock(&wave, 0, 1000));
    EXPECT_EQ(Channel(wave, 1), right);
    EXPECT_EQ(Channel(wave, 0), PlainFilter(left, Coefficients(f), 1.0f, 0, -32768, 32767));
}

TEST(FirFilterTest, RefusedBlocksChangeNothing) {
    TFirFilter f(Format(48000), Lowpass(39, 2000));
    const std::vector<int32_t> in = Noise(500, -1000, 1000, 9);
    auto wave = Wave(f.GetFormat(), in);
    ASSERT_TRUE(f.FilterBlock(wave.get(), 0, 100));
    const std::vector<float> history(f.GetHistory(), f.GetHistory() + 39);
    const std::vector<int32_t> before = Channel(*wave, 0);

    EXPECT_FALSE(f.FilterBlock(nullptr, 100, 100));
    EXPECT_FALSE(f.FilterBlock(wave.get(), 450, 51));  // one frame past the end
    EXPECT_FALSE(f.FilterBlock(wave.get(), 501, 0));
    EXPECT_FALSE(f.FilterBlock(wave.get(), 100, 0xFFFFFFF0u));
    EXPECT_EQ(Channel(*wave, 0), before);
    EXPECT_EQ(std::vector<float>(f.GetHistory(), f.GetHistory() + 39), history);
    // The filter still works after the refusals.
    EXPECT_TRUE(f.FilterBlock(wave.get(), 100, 400));
}

TEST(FirFilterTest, ResetHistoryForgetsEarlierBlocks) {
    TFirFilter f(Format(48000), ProbeBandstop(500));
    const std::vector<int32_t> in = Noise(1200, -20000, 20000, 4);
    auto first = Wave(f.GetFormat(), in);
    auto second = Wave(f.GetFormat(), in);
    ASSERT_TRUE(f.FilterBlock(first.get(), 0, 1200));
    f.ResetHistory();
    for (int32_t k = 0; k < f.GetCount(); ++k) ASSERT_EQ(f.GetHistory()[k], 0.0f);
    ASSERT_TRUE(f.FilterBlock(second.get(), 0, 1200));
    EXPECT_EQ(Channel(*first, 0), Channel(*second, 0));
}

}  // namespace vorn
