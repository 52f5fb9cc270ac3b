#include "dsp/FirFilter.h"
#include "wave/WaveData.h"
#include "support/PythonRunner.h"
#include "support/TestFormat.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <complex>
#include <cstring>
#include <numbers>
#include <random>
#include <tuple>

namespace vorn {
namespace {

using test::MakeFormat;

FirFilterParams Params(int32_t type, int32_t taps, int32_t edge, int32_t width = 0, float gain = 0.0f) {
    FirFilterParams p;  // edge: the cut-off or the band's centre
    p.type = type, p.taps = taps, p.gain = gain;
    p.lowpassCutoff = p.highpassCutoff = p.bandpassCentre = p.bandstopCentre = edge;
    p.bandpassWidth = p.bandstopWidth = width;
    return p;
}
const FirFilterParams kProbe = Params(FirFilterParams::Bandstop, 999, 226, 150);

std::vector<float> Coefficients(const TFirFilter& f) {
    return {f.GetCoefficients(), f.GetCoefficients() + f.GetCount()};
}

// Magnitude response of the taps at `hz`, in dB.
double ResponseDb(const std::vector<float>& c, double hz, double rate) {
    std::complex<double> sum = 0;
    for (size_t k = 0; k < c.size(); ++k) sum += double(c[k]) * std::polar(1.0, -2 * std::numbers::pi * hz * k / rate);
    return 20 * std::log10(std::abs(sum));
}

std::vector<int32_t> Noise(size_t n, int32_t low, int32_t high, uint32_t seed) {
    std::mt19937 rng(seed);
    std::vector<int32_t> v(n);
    for (int32_t& x : v) x = std::uniform_int_distribution<int32_t>(low, high)(rng);
    return v;
}

// A buffer with `left` on channel 0 and, in two-channel formats, its reverse on channel 1.
std::unique_ptr<TWaveData> Wave(const SampleFormat& f, const std::vector<int32_t>& left) {
    auto wave = std::make_unique<TWaveData>(uint32_t(left.size()), f);
    for (uint32_t i = 0; i < left.size(); ++i) {
        wave->WriteSample(left[i], i, 0);
        if (f.channels == 2) wave->WriteSample(left[left.size() - 1 - i], i, 1);
    }
    return wave;
}

std::vector<int32_t> Channel(const TWaveData& wave, uint16_t channel) {
    const SampleFormat f = wave.GetFormat();
    std::vector<int32_t> out(wave.GetFrameCount());
    for (uint32_t i = 0; i < out.size(); ++i)
        out[i] = DecodeSample(wave.GetSamples() + i * f.FrameSize() + channel * f.bytesPerSample, f.bytesPerSample);
    return out;
}

// The filter written out plainly: silence before the stream, output i the sum of inputs
// i - n .. i - 1 (x gain) x coefficients 0 .. n - 1 in that order plus the offset, truncated
// and held to the encoding's range (an impulse comes out as the taps, last first, from the
// next sample on). Inputs pass through single precision as the blocks hold them.
std::vector<int32_t> PlainFilter(const std::vector<int32_t>& in, const TFirFilter& f, double low, double high) {
    const std::vector<float> c = Coefficients(f);
    const int32_t offset = f.GetFormat().offset;
    const double gain = f.GetLinearGain();
    std::vector<int32_t> out(in.size());
    for (size_t i = 0; i < in.size(); ++i) {
        double acc = 0.0;
        for (size_t k = 0, n = c.size(); k < n; ++k) {
            const long j = long(i + k) - long(n);
            acc += (j < 0 ? 0.0 : std::min(double(float(in[j] - offset)), 2147483647.0)) * gain * double(c[k]);
        }
        out[i] = int32_t(std::clamp(std::trunc(acc + float(offset)), low, high));
    }
    return out;
}

TEST(FirFilterTest, TapCountIsOddFrom39To999AndGainWithin90Decibels) {
    const std::pair<int32_t, int32_t> taps[] = {{-5, 39},    {0, 39},     {38, 39},    {39, 39},     {40, 41},
                                                {998, 999}, {999, 999}, {1000, 999}, {100000, 999}};
    for (auto [asked, count] : taps) EXPECT_EQ(TFirFilter(MakeFormat(48000), Params(0, asked, 1000)).GetCount(), count);
    EXPECT_EQ(TFirFilter(MakeFormat(48000), Params(0, 39, 1000, 0, 95.0f)).GetGainDb(), 90.0f);
    TFirFilter f(MakeFormat(48000), Params(0, 39, 1000));
    const std::tuple<float, float, float, float> gains[] = {  // dB asked, dB kept, linear gain, tolerance
        {100.0f, 90.0f, 31622.78f, 0.01f}, {-120.0f, -90.0f, 3.1622777e-5f, 1e-10f}, {6.0f, 6.0f, 1.9952623f, 1e-6f}};
    for (auto [asked, kept, linear, tolerance] : gains) {
        f.SetGain(asked);
        EXPECT_EQ(f.GetGainDb(), kept);
        EXPECT_NEAR(f.GetLinearGain(), linear, tolerance);
    }
    f.SetGain(std::nanf(""));
    EXPECT_EQ(f.GetLinearGain(), 1.0f);
}

// Any type but 0 to 3 is a band-stop from fN / 18 to 5 fN / 6.
TEST(FirFilterTest, WindowDesignsMatchScipyFirwinWithHann) {
    VORN_SKIP_WITHOUT_PYTHON();
    const std::vector<double> all = test::RunPythonScript("dsp/firwin_designs.py");
    size_t at = 0;
    for (int32_t r : {8000, 11025, 44100, 48000}) {
        std::vector<FirFilterParams> designs;
        for (int32_t n : {39, 41, 101, 999})
            designs.insert(designs.end(), {Params(0, n, r / 7), Params(1, n, r / 5), Params(2, n, r / 6, r / 10 + 1),
                                           Params(3, n, r / 8, r / 20)});
        designs.push_back(Params(7, 201, 0));
        for (const FirFilterParams& p : designs) {
            const std::vector<float> got = Coefficients(TFirFilter(MakeFormat(uint32_t(r)), p));
            SCOPED_TRACE(testing::Message() << "type " << p.type << ", " << got.size() << " taps, " << r << " Hz");
            ASSERT_LE(at + got.size(), all.size());
            double worst = 0;
            for (size_t k = 0; k < got.size(); ++k) worst = std::max(worst, std::fabs(got[k] - all[at + k]));
            EXPECT_LT(worst, 1e-6);
            at += got.size();
        }
    }
    EXPECT_EQ(at, all.size());
}

TEST(FirFilterTest, ProbeToneBandstopAndFullBandLowpass) {
    const std::vector<float> c = Coefficients(TFirFilter(MakeFormat(48000), kProbe));
    ASSERT_EQ(c.size(), 999u);
    EXPECT_NEAR(ResponseDb(c, 151, 48000), -6.0, 0.5);
    EXPECT_NEAR(ResponseDb(c, 301, 48000), -6.0, 0.5);
    EXPECT_LT(ResponseDb(c, 226, 48000), -35.0);
    EXPECT_NEAR(ResponseDb(c, 1000, 48000), 0.0, 0.1);
    EXPECT_NEAR(ResponseDb(c, 10000, 48000), 0.0, 0.1);
    for (size_t k = 0; k < c.size(); ++k) ASSERT_EQ(c[k], c[c.size() - 1 - k]) << "linear phase";
    const std::vector<float> all = Coefficients(TFirFilter(MakeFormat(44100), Params(0, 101, 22050)));
    EXPECT_FLOAT_EQ(all[50], 1.0f);  // the centre tap of a lowpass at fN
    for (size_t k = 0; k < all.size(); ++k) EXPECT_NEAR(all[k], k == 50 ? 1.0f : 0.0f, 1e-6f) << k;
}

// Uneven blocks, some shorter than the filter, over both channel counts and every
// encoding: loud results saturate instead of wrapping, and 8-bit silence stays 127.
TEST(FirFilterTest, StreamMatchesThePlainFilterSaturatesAndKeepsSilence) {
    struct Case { uint16_t channels, bytes; int32_t low, high; float gainDb; };
    const Case cases[] = {
        {1, 1, 0, 255, 0.0f},          {2, 1, 60, 190, 3.0f},          {1, 1, 0, 255, 12.0f},
        {2, 2, -32768, 32767, 0.0f},   {1, 2, -20000, 20000, -6.0f},   {2, 2, -32768, 32767, 12.0f},
        {1, 3, -8388608, 8388607, 1.5f}, {2, 3, -8388608, 8388607, 12.0f}, {1, 4, -2000000000, 2000000000, 0.0f},
        {2, 4, INT32_MIN, INT32_MAX, 12.0f}, {1, 1, 127, 127, -90.0f}, {1, 1, 127, 127, -6.0f},
        {2, 1, 127, 127, 40.0f},       {1, 1, 127, 127, 90.0f}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.channels << " x " << c.bytes << " bytes from " << c.low << ", " << c.gainDb);
        TFirFilter f(MakeFormat(16000, c.channels, c.bytes), Params(0, 61, 3000, 0, c.gainDb));
        const std::vector<int32_t> in = Noise(2500, c.low, c.high, 7 + c.bytes);
        auto wave = Wave(f.GetFormat(), in);
        uint32_t at = 0;
        for (uint32_t length : {7u, 50u, 993u, 1u, 1449u}) {
            ASSERT_TRUE(f.FilterBlock(wave.get(), at, length));
            at += length;
        }
        const double low = c.bytes == 1 ? 0 : -std::ldexp(1.0, 8 * c.bytes - 1), high = c.bytes == 1 ? 255 : -low - 1;
        const std::vector<int32_t> out = Channel(*wave, 0);
        const bool silence = c.low == 127 && c.high == 127;
        EXPECT_EQ(out, silence ? in : PlainFilter(in, f, low, high));
        EXPECT_TRUE(silence || c.gainDb < 12 || std::count(out.begin(), out.end(), int32_t(high)) > 100);
        EXPECT_TRUE(c.channels == 1 || Channel(*wave, 1) == std::vector<int32_t>(in.rbegin(), in.rend()));
    }
}

TEST(FirFilterTest, RefusedBlocksChangeNothing) {
    TFirFilter f(MakeFormat(48000), Params(0, 39, 2000));
    auto wave = Wave(f.GetFormat(), Noise(500, -1000, 1000, 9));
    ASSERT_TRUE(f.FilterBlock(wave.get(), 0, 100));
    const std::vector<int32_t> before = Channel(*wave, 0);
    const std::vector<float> history(f.GetHistory(), f.GetHistory() + 39);
    EXPECT_FALSE(f.FilterBlock(nullptr, 100, 100));
    for (auto [start, length] : {std::pair{450u, 51u}, {501u, 0u}, {100u, 0xFFFFFFF0u}})  // past the end or wrapping
        EXPECT_FALSE(f.FilterBlock(wave.get(), start, length)) << start;
    EXPECT_EQ(Channel(*wave, 0), before);
    EXPECT_EQ(std::vector<float>(f.GetHistory(), f.GetHistory() + 39), history);
}

// Every kernel must give the plain ascending-order loop bit for bit over tap counts and output
// lengths that leave every vector remainder, and must not write past the end.
TEST(FirKernelTest, KernelsAreBitIdenticalToThePlainLoop) {
    std::vector<std::pair<std::string, fir::ConvolveFunction>> kernels = {{"scalar", fir::ConvolveScalar},
                                                                          {"SSE2", fir::ConvolveSse2}};
    if (fir::Avx2Available()) kernels.emplace_back("AVX2", fir::ConvolveAvx2);
    if (fir::Avx512Available()) kernels.emplace_back("AVX-512", fir::ConvolveAvx512);
    std::mt19937 rng(20240611);
    std::uniform_real_distribution<float> coefficient(-1.0f, 1.0f);
    const float gains[] = {1.0f, 0.70794576f, 31622.777f};
    for (const auto& [name, kernel] : kernels) {
        for (int32_t taps : {1, 2, 3, 5, 7, 16, 31, 39, 41, 64, 999}) {
            for (uint32_t outputs : {0u, 1u, 2u, 3u, 5u, 15u, 16u, 17u, 31u, 32u, 33u, 63u, 100u, 193u, 1001u, 2500u}) {
                SCOPED_TRACE(name + ", taps " + std::to_string(taps) + ", outputs " + std::to_string(outputs));
                std::vector<double> in(outputs + taps - 1), c(taps), got(outputs + 8, 12345.0);
                for (double& v : in) v = double(std::uniform_int_distribution<int>(-32768, 32767)(rng)) * gains[(taps + outputs) % 3];
                for (double& v : c) v = coefficient(rng);
                kernel(in.data(), c.data(), taps, got.data(), outputs);
                for (uint32_t i = 0; i < outputs; ++i) {
                    double want = 0.0;
                    for (int32_t k = 0; k < taps; ++k) want += in[i + k] * c[k];
                    ASSERT_EQ(std::memcmp(&got[i], &want, sizeof want), 0) << i << ": " << got[i] << " != " << want;
                }
                for (uint32_t i = outputs; i < got.size(); ++i) ASSERT_EQ(got[i], 12345.0) << "written past the end";
            }
        }
    }
}

}  // namespace
}  // namespace vorn
