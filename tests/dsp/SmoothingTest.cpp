#include "dsp/Smoothing.h"
#include "support/MessageRecorder.h"
#include "PythonOracle.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

namespace vorn {

namespace {

std::vector<float> Window(uint32_t n, uint16_t type, int16_t correction = 0) {
    TSmoothing w(n, type, correction);
    return std::vector<float>(w.GetValues(), w.GetValues() + n);
}

void ExpectValues(const std::vector<float>& got, const std::vector<double>& want, double tol) {
    ASSERT_EQ(got.size(), want.size());
    for (size_t i = 0; i < want.size(); ++i) EXPECT_NEAR(got[i], want[i], tol) << "index " << i;
}

double Mean(const std::vector<float>& v) {
    double s = 0;
    for (float x : v) s += x;
    return s / v.size();
}

double Rms(const std::vector<float>& v) {
    double s = 0;
    for (float x : v) s += double(x) * x;
    return std::sqrt(s / v.size());
}

}  // namespace

TEST(SmoothingTest, ClassicWindowsMatchScipySymmetricForms) {
    VORN_SKIP_WITHOUT_PYTHON();
    struct Case {
        uint16_t type;
        const char* scipy;
    };
    const Case cases[] = {{TSmoothing::Triangle, "bartlett"},
                          {TSmoothing::Blackman, "blackman"},
                          {TSmoothing::Hamming, "hamming"},
                          {TSmoothing::Hanning, "hann"}};
    const uint32_t lengths[] = {2, 5, 39, 64, 999, 1000};
    std::string script;
    for (uint32_t n : lengths)
        for (const Case& c : cases)
            script += test::PrintAll("sw." + std::string(c.scipy) + "(" + std::to_string(n) + ", sym=True)");
    const std::vector<double> all = test::RunPython(script);
    size_t at = 0;
    for (uint32_t n : lengths) {
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(c.scipy) + " N=" + std::to_string(n));
            ASSERT_LE(at + n, all.size());
            ExpectValues(Window(n, c.type), std::vector<double>(all.begin() + at, all.begin() + at + n), 4e-8);
            at += n;
        }
    }
}

TEST(SmoothingTest, SmallWindowsHaveTheirStatedValues) {
    std::vector<float> hann = Window(39, TSmoothing::Hanning);
    EXPECT_NEAR(hann[0], 0.0f, 1e-12);
    EXPECT_NEAR(hann[38], 0.0f, 1e-12);
    EXPECT_FLOAT_EQ(hann[19], 1.0f);
    const float quarter = float(0.5 + 0.5 * std::cos(3.1415927 * (18.0 / 38.0 - 1.0)));
    EXPECT_FLOAT_EQ(hann[9], quarter);
    EXPECT_FLOAT_EQ(hann[29], quarter);

    ExpectValues(Window(5, TSmoothing::Hamming), {0.08, 0.54, 1.0, 0.54, 0.08}, 1e-7);
    ExpectValues(Window(5, TSmoothing::Triangle), {0, 0.5, 1, 0.5, 0}, 1e-7);
    ExpectValues(Window(4, TSmoothing::TriangleSecondForm), {0, 4.0 / 3, 2.0 / 3, 0}, 1e-7);
    ExpectValues(Window(5, TSmoothing::TriangleSecondForm), {0, 0.5, 1, 0.5, 0}, 1e-7);
    ExpectValues(Window(5, TSmoothing::HalfRectangle), {1, 1, 0, 0, 0}, 0);
    ExpectValues(Window(5, TSmoothing::Parzen), {0, 0.25, 1, 0.25, 0}, 1e-7);
    ExpectValues(Window(3, TSmoothing::Exponential), {1, std::exp(-5.0), std::exp(-10.0)}, 1e-7);
    ExpectValues(Window(4, TSmoothing::Gaussian),
                 {std::exp(-12.5), std::exp(-3.125), std::exp(-3.125), std::exp(-12.5)}, 1e-9);
}

TEST(SmoothingTest, KaiserIsOneAtItsCentreAndEndsAtTheSeriesValue) {
    for (uint32_t n : {39u, 40u, 999u}) {
        SCOPED_TRACE(n);
        std::vector<float> w = Window(n, TSmoothing::Kaiser);
        EXPECT_FLOAT_EQ(w[n / 2], 1.0f);
        // 1 / I0(5 pi): the series stops at a relative term of 1e-6, so about 1.485e-6.
        EXPECT_NEAR(w[0], 1.485e-6, 0.002e-6);
        for (uint32_t i = 1; i < n / 2; ++i) EXPECT_EQ(w[n / 2 - i], w[n / 2 + i]);
    }
}

TEST(SmoothingTest, FlatTopPeaksAt4Point1726AndStaysSymmetric) {
    for (uint32_t n : {64u, 65u, 1001u}) {
        SCOPED_TRACE(n);
        std::vector<float> w = Window(n, TSmoothing::FlatTop);
        const uint32_t h = n / 2;
        EXPECT_NEAR(w[h], 4.1726, 1e-4);
        EXPECT_EQ(w[0], w[1]);
        for (uint32_t j = 1; j < h; ++j) EXPECT_EQ(w[h - j], w[h + j]);
        if (n % 2 == 1) {
            EXPECT_EQ(w[n - 1], w[n - 2]);
        }
    }
}

TEST(SmoothingTest, GaussianSpansFiveSigmaEvenForLongWindows) {
    for (uint32_t n : {5u, 1001u, 262145u}) {
        SCOPED_TRACE(n);
        std::vector<float> w = Window(n, TSmoothing::Gaussian);
        EXPECT_FLOAT_EQ(w[n / 2], 1.0f);
        EXPECT_FLOAT_EQ(w[0], float(std::exp(-12.5)));
        EXPECT_EQ(w[0], w[n - 1]);
        EXPECT_EQ(w[n / 4], w[n - 1 - n / 4]);
    }
}

TEST(SmoothingTest, GainCorrectionsScaleMeanOrRmsToOne) {
    EXPECT_FLOAT_EQ(Window(39, TSmoothing::Hanning, TSmoothing::AmplitudeCorrection)[19], 2.0f);
    EXPECT_NEAR(Window(39, TSmoothing::Hanning, TSmoothing::NoiseCorrection)[19], 1.6331, 1e-4);
    // Unknown modes behave as no correction.
    EXPECT_EQ(Window(39, TSmoothing::Hanning, 7), Window(39, TSmoothing::Hanning, 0));
    EXPECT_EQ(Window(39, TSmoothing::Hanning, -1), Window(39, TSmoothing::Hanning, 0));

    // Amplitude correction is the reciprocal of the window's mean, noise correction of its
    // RMS value, for the windows whose table factors were derived that way.
    for (uint16_t type : {TSmoothing::Triangle, TSmoothing::Blackman, TSmoothing::HalfRectangle,
                          TSmoothing::Hamming, TSmoothing::Hanning}) {
        SCOPED_TRACE(type);
        EXPECT_NEAR(Mean(Window(8192, type, TSmoothing::AmplitudeCorrection)), 1.0, 3e-3);
        EXPECT_NEAR(Rms(Window(8192, type, TSmoothing::NoiseCorrection)), 1.0, 5e-3);
    }
    EXPECT_EQ(Window(100, TSmoothing::Exponential, TSmoothing::NoiseCorrection),
              Window(100, TSmoothing::Exponential, 0));
}

TEST(SmoothingTest, ApplyMultipliesAndTypeNoneLeavesBuffersAlone) {
    test::MessageRecorder recorder;
    std::vector<float> buffer(5, 3.0f);
    TSmoothing(5, TSmoothing::Triangle, 0).Apply(buffer.data());
    EXPECT_EQ(buffer, (std::vector<float>{0.0f, 1.5f, 3.0f, 1.5f, 0.0f}));

    for (int16_t mode : {0, 1, 2}) {
        std::vector<float> same = {1, -2, 3, -4, 5};
        TSmoothing none(5, TSmoothing::None, mode);
        none.Apply(same.data());
        EXPECT_EQ(same, (std::vector<float>{1, -2, 3, -4, 5}));
        EXPECT_EQ(none.GetError(), 0);
    }
    EXPECT_TRUE(recorder.messages.empty());
}

TEST(SmoothingTest, InvalidTypeReportsOnceAndApplyZeroesTheBuffer) {
    test::MessageRecorder recorder;
    TSmoothing bad(4, 12, 2);
    EXPECT_EQ(bad.GetError(), 1);
    ASSERT_EQ(recorder.messages.size(), 1u);
    EXPECT_EQ(recorder.messages[0].text, TSmoothing::kInvalidTypeText);
    EXPECT_EQ(recorder.messages[0].caption, ApplicationTitle());
    EXPECT_EQ(recorder.messages[0].icon, MessageIcon::Stop);
    std::vector<float> buffer = {1, 2, 3, 4};
    bad.Apply(buffer.data());
    EXPECT_EQ(buffer, (std::vector<float>(4, 0.0f)));
}

}  // namespace vorn
