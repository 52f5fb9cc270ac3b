// The Corwith Number straight from the model's transfer functions on the bin grid: with a flat periodic
// stimulus the averaged cross-spectrum of bin k goes as conj(Hs) Ho, so p_k ~ |Hs||Ho|, theta_k = |arg(Ho/Hs)|.
#pragma once

#include <cmath>
#include <complex>
#include <numbers>

namespace vorn::sim::test {

struct ModelParameters {
    double sampleRate = 48000;
    int fftSize = 16384;
    double sealedGainDb = 0, openGainDb = 0, leakCutoffHz = 100;  // dB, dB, Hz
};

inline double ModelCorwithNumber(const ModelParameters& m, double low, double high, double k) {
    const double t = std::tan(std::numbers::pi * m.leakCutoffHz / m.sampleRate), a = (1 - t) / (1 + t);
    const double gain = std::pow(10.0, (m.sealedGainDb + m.openGainDb) / 20) * (1 + a) / 2;
    double c = 0, s = 0;
    for (int bin = 1; bin < m.fftSize / 2; ++bin) {
        const double f = bin * m.sampleRate / m.fftSize;
        if (f < low || f > high) continue;
        const std::complex<double> z1 = std::polar(1.0, -2 * std::numbers::pi * f / m.sampleRate);
        const std::complex<double> g = gain * (1.0 - z1) / (1.0 - a * z1);  // Hs times the open leak
        c += std::abs(g) * std::cos(std::abs(std::arg(g)));
        s += std::abs(g) * std::sin(std::abs(std::arg(g)));
    }
    return std::abs(k * s / c);
}

}  // namespace vorn::sim::test
