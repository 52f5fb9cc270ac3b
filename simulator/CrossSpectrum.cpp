#include "simulator/CrossSpectrum.h"

#include "simulator/FrameTransform.h"

#include <algorithm>
#include <cmath>
#include <complex>
#include <cstdio>
#include <numbers>

namespace vorn::sim {

bool CrossSpectrum::Compute(const std::vector<float>& first, const std::vector<float>& second,
                            double sampleRate, std::size_t fftSize, std::size_t start,
                            int maxFrames, double delaySeconds, double fullScaleSpl) {
    bins_.clear();
    frames_ = 0;
    const std::size_t available = std::min(first.size(), second.size());
    if (fftSize < 2 || start > available) return false;
    const std::size_t whole = (available - start) / fftSize;
    const std::size_t frames = std::min<std::size_t>(whole, static_cast<std::size_t>(std::max(maxFrames, 0)));
    if (frames == 0) return false;

    std::vector<std::complex<double>> sum(fftSize / 2 + 1);
    std::vector<double> a(fftSize);
    std::vector<double> b(fftSize);
    for (std::size_t f = 0; f < frames; ++f) {
        const std::size_t offset = start + f * fftSize;
        for (std::size_t i = 0; i < fftSize; ++i) {
            a[i] = first[offset + i];
            b[i] = second[offset + i];
        }
        const sim::Bins sa = RealSpectrum(a);
        const sim::Bins sb = RealSpectrum(b);
        for (std::size_t k = 0; k < sum.size(); ++k) sum[k] += std::conj(sa[k]) * sb[k];
    }

    const double n = static_cast<double>(fftSize);
    bins_.resize(sum.size());
    for (std::size_t k = 0; k < sum.size(); ++k) {
        const double frequency = static_cast<double>(k) * sampleRate / n;
        const std::complex<double> g =
            sum[k] / static_cast<double>(frames) *
            std::polar(1.0, 2 * std::numbers::pi * frequency * delaySeconds);
        const double magnitude = 2 * std::abs(g) / (n * n);
        bins_[k].frequency = frequency;
        bins_[k].levelDb = magnitude > 0 ? 10 * std::log10(magnitude) + fullScaleSpl : -300.0;
        bins_[k].phaseDeg = std::arg(g) * 180.0 / std::numbers::pi;
    }
    frames_ = static_cast<int>(frames);
    return true;
}

std::string CrossSpectrum::LevelRows(double marker1, double marker2) const {
    return Rows(marker1, marker2, false);
}

std::string CrossSpectrum::PhaseRows(double marker1, double marker2) const {
    return Rows(marker1, marker2, true);
}

std::string CrossSpectrum::Rows(double marker1, double marker2, bool phase) const {
    const double low = std::min(marker1, marker2);
    const double high = std::max(marker1, marker2);
    std::string text;
    char row[96];
    for (const CrossSpectrumBin& bin : bins_) {
        if (bin.frequency < low || bin.frequency > high) continue;
        const int length = std::snprintf(row, sizeof row, "%f\t%f\r\n", bin.frequency,
                                         phase ? bin.phaseDeg : bin.levelDb);
        if (length > 0) text.append(row, static_cast<std::size_t>(std::min<int>(length, sizeof row - 1)));
    }
    return text;
}

}  // namespace vorn::sim
