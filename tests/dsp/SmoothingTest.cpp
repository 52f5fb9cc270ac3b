#include "dsp/Smoothing.h"
#include "support/MessageRecorder.h"
#include "support/PythonRunner.h"

#include <gtest/gtest.h>

#include <cmath>

namespace vorn {
namespace {

std::vector<float> Window(uint32_t n, uint16_t type, int16_t correction = 0) {
    TSmoothing w(n, type, correction);
    return std::vector<float>(w.GetValues(), w.GetValues() + n);
}

void ExpectValues(const std::vector<float>& got, const std::vector<double>& want, double tolerance) {
    ASSERT_EQ(got.size(), want.size());
    for (size_t i = 0; i < want.size(); ++i) EXPECT_NEAR(got[i], want[i], tolerance) << "index " << i;
}

bool Symmetric(const std::vector<float>& w) {
    for (size_t h = w.size() / 2, j = 1; j < h; ++j)
        if (w[h - j] != w[h + j]) return false;
    return true;
}

TEST(SmoothingTest, ClassicWindowsMatchScipySymmetricForms) {
    VORN_SKIP_WITHOUT_PYTHON();
    const std::vector<double> all = test::RunPythonScript("dsp/windows.py");
    size_t at = 0;
    for (uint32_t n : {2, 5, 39, 64, 999, 1000}) {
        for (uint16_t type : {TSmoothing::Triangle, TSmoothing::Blackman, TSmoothing::Hamming, TSmoothing::Hanning}) {
            SCOPED_TRACE(testing::Message() << "type " << type << ", N=" << n);
            ASSERT_LE(at + n, all.size());
            ExpectValues(Window(n, type), std::vector<double>(all.begin() + at, all.begin() + at + n), 4e-8);
            at += n;
        }
    }
}

// The types without a scipy twin, by their stated values.
TEST(SmoothingTest, OtherWindowsHaveTheirStatedValues) {
    ExpectValues(Window(4, TSmoothing::TriangleSecondForm), {0, 4.0 / 3, 2.0 / 3, 0}, 1e-7);
    ExpectValues(Window(5, TSmoothing::TriangleSecondForm), {0, 0.5, 1, 0.5, 0}, 1e-7);
    ExpectValues(Window(5, TSmoothing::HalfRectangle), {1, 1, 0, 0, 0}, 0);
    ExpectValues(Window(5, TSmoothing::Parzen), {0, 0.25, 1, 0.25, 0}, 1e-7);
    ExpectValues(Window(3, TSmoothing::Exponential), {1, std::exp(-5.0), std::exp(-10.0)}, 1e-7);
    const double tail = std::exp(-12.5), inner = std::exp(-3.125);
    ExpectValues(Window(4, TSmoothing::Gaussian), {tail, inner, inner, tail}, 1e-9);
    for (uint32_t n : {39u, 40u, 999u}) {  // 1 / I0(5 pi) at the ends, the series stopping at a relative 1e-6
        const std::vector<float> w = Window(n, TSmoothing::Kaiser);
        EXPECT_FLOAT_EQ(w[n / 2], 1.0f);
        EXPECT_NEAR(w[0], 1.485e-6, 0.002e-6);
        EXPECT_TRUE(Symmetric(w)) << "Kaiser " << n;
    }
    for (uint32_t n : {64u, 65u, 1001u}) {
        const std::vector<float> w = Window(n, TSmoothing::FlatTop);
        EXPECT_NEAR(w[n / 2], 4.1726, 1e-4);
        EXPECT_EQ(w[0], w[1]) << "flat top " << n;
        if (n % 2) {
            EXPECT_EQ(w[n - 1], w[n - 2]) << "flat top " << n;
        }
        EXPECT_TRUE(Symmetric(w)) << "flat top " << n;
    }
    for (uint32_t n : {5u, 1001u, 262145u}) {  // five sigma at any length
        const std::vector<float> w = Window(n, TSmoothing::Gaussian);
        EXPECT_FLOAT_EQ(w[n / 2], 1.0f);
        EXPECT_FLOAT_EQ(w[0], float(tail));
        EXPECT_EQ(w[0], w[n - 1]) << "Gaussian " << n;
        EXPECT_TRUE(Symmetric(w)) << "Gaussian " << n;
    }
}

// Amplitude correction divides by the window's mean, noise correction by its RMS value.
TEST(SmoothingTest, GainCorrectionsScaleMeanOrRmsToOne) {
    for (uint16_t type : {TSmoothing::Triangle, TSmoothing::Blackman, TSmoothing::HalfRectangle, TSmoothing::Hamming,
                          TSmoothing::Hanning}) {
        const std::vector<float> a = Window(8192, type, TSmoothing::AmplitudeCorrection);
        const std::vector<float> r = Window(8192, type, TSmoothing::NoiseCorrection);
        double mean = 0, power = 0;
        for (size_t i = 0; i < a.size(); ++i) mean += a[i] / 8192.0, power += double(r[i]) * r[i] / 8192.0;
        EXPECT_NEAR(mean, 1.0, 3e-3) << type;
        EXPECT_NEAR(std::sqrt(power), 1.0, 5e-3) << type;
    }
}

TEST(SmoothingTest, TypeNoneKeepsTheBufferAndAnInvalidTypeZeroesItAfterOneMessage) {
    test::MessageRecorder recorder;
    std::vector<float> buffer = {1, -2, 3, -4, 5};
    TSmoothing(5, TSmoothing::None, TSmoothing::AmplitudeCorrection).Apply(buffer.data());
    EXPECT_EQ(buffer, (std::vector<float>{1, -2, 3, -4, 5}));
    TSmoothing(5, 12, 2).Apply(buffer.data());
    EXPECT_EQ(buffer, std::vector<float>(5, 0.0f));
    EXPECT_EQ(recorder.Texts(), std::vector<std::string>{TSmoothing::kInvalidTypeText});
}

}  // namespace
}  // namespace vorn
