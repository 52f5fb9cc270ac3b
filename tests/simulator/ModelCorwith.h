// The Corwith Number the simulated measurement must produce, computed straight from
// the model's transfer functions on the analysis bin grid, without simulating:
// with a flat periodic stimulus the averaged cross-spectrum of bin k is proportional
// to conj(Hs(f_k)) Ho(f_k), so p_k ~ |Hs||Ho| and theta_k = |arg(Ho / Hs)|.
#pragma once

#include <cmath>
#include <complex>
#include <numbers>

namespace vorn::sim::test {

struct ModelParameters {
    double sampleRate = 48000;
    int fftSize = 16384;
    double sealedGainDb = 0;
    double openGainDb = 0;
    double leakCutoffHz = 100;
};

inline std::complex<double> OpenResponse(const ModelParameters& m, double f) {
    const double t = std::tan(std::numbers::pi * m.leakCutoffHz / m.sampleRate);
    const double a = (1 - t) / (1 + t);
    const std::complex<double> z1 = std::polar(1.0, -2 * std::numbers::pi * f / m.sampleRate);
    return std::pow(10.0, m.openGainDb / 20) * (1 + a) / 2 * (1.0 - z1) / (1.0 - a * z1);
}

inline double ModelCorwithNumber(const ModelParameters& m, double low, double high, double k) {
    const double hs = std::pow(10.0, m.sealedGainDb / 20);
    double c = 0;
    double s = 0;
    for (int bin = 1; bin < m.fftSize / 2; ++bin) {
        const double f = bin * m.sampleRate / m.fftSize;
        if (f < low || f > high) continue;
        const std::complex<double> g = hs * OpenResponse(m, f);
        const double p = std::abs(g);
        const double theta = std::abs(std::arg(g));
        c += p * std::cos(theta);
        s += p * std::sin(theta);
    }
    return std::abs(k * s / c);
}

}  // namespace vorn::sim::test
