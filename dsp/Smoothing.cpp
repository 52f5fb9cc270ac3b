#include "dsp/Smoothing.h"

#include "common/MessageSink.h"

#include <cmath>
#include <new>

namespace vorn {

namespace {

constexpr uint16_t kTypeCount = 12;

// Modified Bessel function of order 0 by its power series; the stopping rule (relative
// term size 1e-6) sets the Kaiser window's end values, so it is kept as it is.
double BesselI0(double y) {
    const double a = y / 2.0;
    const double a2 = a * a;
    if (a2 == 0.0) return 1.0;
    double sum = 1.0;
    double term = 1.0;
    for (int k = 1;; ++k) {
        term = term * (a2 / k) / k;
        sum = sum + term;
        if (!(term / sum > 1e-6)) break;
    }
    return sum;
}

// Noise (power) and amplitude (coherent gain) correction factors per type. For most types
// they are the reciprocals of the window's RMS and mean values, rounded as listed.
struct CorrectionFactors {
    double noise;
    double amplitude;
};

CorrectionFactors CorrectionFor(uint16_t type) {
    switch (type) {
        case TSmoothing::Triangle: return {std::pow(10.0, 0.24), 2.0};
        case TSmoothing::Blackman: return {std::pow(10.0, 0.2585), 2.3809524};
        case TSmoothing::Exponential: return {1.0, 1.0};
        case TSmoothing::FlatTop: return {std::pow(10.0, -0.2675), 1.0};
        case TSmoothing::HalfRectangle: return {std::pow(10.0, 0.15), std::pow(10.0, 0.3)};
        case TSmoothing::Hamming: return {std::pow(10.0, 0.2005), 1.8518518};
        case TSmoothing::Hanning: return {std::pow(10.0, 0.213), 2.0};
        case TSmoothing::Kaiser: return {std::pow(10.0, 0.248), std::pow(10.0, 0.505)};
        case TSmoothing::Parzen: return {std::pow(10.0, -0.464), std::pow(10.0, -0.166)};
        case TSmoothing::TriangleSecondForm: return {std::pow(10.0, 0.239), 2.0};
        case TSmoothing::Gaussian: return {std::pow(10.0, 0.375), std::pow(10.0, 0.6)};
        default: return {1.0, 1.0};
    }
}

}  // namespace

TSmoothing::TSmoothing(uint32_t length, uint16_t windowType, int16_t correction)
    : count(length), type(windowType), gainCorrection(correction) {
    const bool validType = type < kTypeCount;
    if (!validType) {
        ShowMessage(ApplicationTitle(), kInvalidTypeText, MessageIcon::Stop);
        error = 1;
    }
    values = new (std::nothrow) float[count]();
    if (values == nullptr) {
        ShowMessage(ApplicationTitle(), kNoMemoryText, MessageIcon::Stop);
        error = 1;
        return;
    }
    // An invalid type keeps its zeros, so applying it silences the buffer.
    if (!validType) return;
    Generate();
    ApplyGainCorrection();
}

TSmoothing::~TSmoothing() { delete[] values; }

void TSmoothing::Apply(float* buffer) const {
    if (type == None || values == nullptr || buffer == nullptr) return;
    for (uint32_t i = 0; i < count; ++i) buffer[i] = values[i] * buffer[i];
}

void TSmoothing::Generate() {
    const uint32_t n = count;
    switch (type) {
        case FlatTop: GenerateFlatTop(); return;
        case Kaiser: GenerateKaiser(); return;
        case TriangleSecondForm: GenerateTriangleSecondForm(); return;
        case Gaussian: GenerateGaussian(); return;
        case None: return;
        case HalfRectangle:
            for (uint32_t i = 0; i < n / 2; ++i) values[i] = 1.0f;
            return;
        default: break;
    }
    // The remaining shapes divide by N - 1; a one-point window of any of them is the
    // identity, the value every one of them has at its centre.
    if (n < 2) {
        if (n == 1) values[0] = 1.0f;
        return;
    }
    const double span = static_cast<double>(n - 1);
    const double twoPi = 8.0 * std::atan(1.0);
    for (uint32_t i = 0; i < n; ++i) {
        const double x = 2.0 * i / span - 1.0;
        double v = 0.0;
        switch (type) {
            case Triangle: v = 1.0 - std::fabs(x); break;
            case Blackman:
                v = 0.42 - 0.5 * std::cos(twoPi * i / span) + 0.08 * std::cos(2.0 * twoPi * i / span);
                break;
            case Exponential: v = std::exp(-10.0 * i / span); break;
            // The short forms of pi here and below are the ones stored windows were made
            // with; they are kept so the values stay the same.
            case Hamming: v = 0.54 + 0.46 * std::cos(3.1415927 * x); break;
            case Hanning: v = 0.5 + 0.5 * std::cos(3.1415927 * x); break;
            case Parzen: {
                const double ax = std::fabs(x);
                v = ax < 0.5 ? 1.0 - 6.0 * x * x + 6.0 * ax * ax * ax
                             : 2.0 * (1.0 - ax) * (1.0 - ax) * (1.0 - ax);
                break;
            }
            default: break;
        }
        values[i] = static_cast<float>(v);
    }
}

void TSmoothing::GenerateFlatTop() {
    const double a0 = 0.9994484, a1 = 0.955728, a2 = 0.539289, a3 = 0.091581;
    const uint32_t n = count;
    const uint32_t h = n / 2;
    for (uint32_t j = 0; j < h; ++j) {
        const double w = 6.283185308 * j / n;
        const double v = a0 + 2.0 * (a1 * std::cos(1.0 * w) + a2 * std::cos(2.0 * w) +
                                     a3 * std::cos(3.0 * w));
        values[h + j] = values[h - j] = static_cast<float>(v);
    }
    if (n < 2) return;
    values[0] = values[1];
    // With odd N the loop reaches index N - 2 only; the last value mirrors the first so
    // the window stays symmetric instead of ending in a lone zero.
    if (n % 2 == 1) values[n - 1] = values[n - 2];
}

void TSmoothing::GenerateKaiser() {
    const double alpha = 5.0;
    const uint32_t n = count;
    const uint32_t h = n / 2;
    if (h == 0) {
        if (n == 1) values[0] = 1.0f;
        return;
    }
    const double peak = BesselI0(3.1415926535 * alpha);
    for (uint32_t i = 0; i < n; ++i) {
        const double r = (static_cast<double>(i) - h) / h;
        values[i] = static_cast<float>(BesselI0(3.1415926535 * alpha * std::sqrt(1.0 - r * r)) / peak);
    }
}

void TSmoothing::GenerateTriangleSecondForm() {
    const uint32_t n = count;
    if (n < 2) {
        if (n == 1) values[0] = 1.0f;
        return;
    }
    const double d = static_cast<double>(n - 1);
    const uint32_t q = (n - 1) / 2;
    for (uint32_t j = 0; j < q; ++j) values[j] = static_cast<float>(2.0 * j / d);
    for (uint32_t i = q; i < n; ++i) values[i] = static_cast<float>(2.0 - 2.0 * i / d);
}

void TSmoothing::GenerateGaussian() {
    const uint32_t n = count;
    // Half length in 32 bits: a 16-bit half would wrap above 131071 points and leave most
    // of a long window unwritten.
    const uint32_t h = n / 2;
    if (h == 0) return;
    for (uint32_t j = 0; j < h; ++j) {
        const float s = static_cast<float>(5.0 * (h - j) / h);
        values[j] = static_cast<float>(std::exp(-0.5 * static_cast<double>(s) * s));
        values[n - 1 - j] = values[j];
    }
    if (n % 2 == 1) values[h] = 1.0f;
}

void TSmoothing::ApplyGainCorrection() {
    if (type == None) return;
    const CorrectionFactors f = CorrectionFor(type);
    double factor = 1.0;
    if (gainCorrection == NoiseCorrection) factor = f.noise;
    if (gainCorrection == AmplitudeCorrection) factor = f.amplitude;
    if (factor == 1.0) return;
    for (uint32_t i = 0; i < count; ++i) values[i] = static_cast<float>(values[i] * factor);
}

}  // namespace vorn
