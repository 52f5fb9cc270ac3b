// The analyzer's second processing pass: the cross-spectrum of the two merged
// channels, G[k] = mean over frames of conj(X1[k]) X2[k], with the delay found by the
// delay finder taken out of its phase (G[k] e^(+j 2 pi f_k d)).
//
// Frames are FftSize samples long, rectangular, back to back from the start position,
// at most maxFrames of them. Level of bin k in dB SPL: 10 log10(2 |G[k]| / N^2) +
// FullScaleSpl, so a sine of mean square P in both channels reads 10 log10 P +
// FullScaleSpl. Phase in degrees, in (-180, 180]; positive when the second channel
// leads. Bins without any power read -300 dB.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace vorn::sim {

struct CrossSpectrumBin {
    double frequency;  // Hz
    double levelDb;    // dB SPL
    double phaseDeg;   // degrees
};

class CrossSpectrum {
public:
    // False (and no bins) when not even one whole frame lies after start.
    bool Compute(const std::vector<float>& first, const std::vector<float>& second,
                 double sampleRate, std::size_t fftSize, std::size_t start, int maxFrames,
                 double delaySeconds, double fullScaleSpl);

    const std::vector<CrossSpectrumBin>& Bins() const { return bins_; }
    int FramesAveraged() const { return frames_; }

    // Rows "%f\t%f\r\n" (frequency, level or phase) of the bins from low to high
    // frequency (either marker order), both ends included.
    std::string LevelRows(double marker1, double marker2) const;
    std::string PhaseRows(double marker1, double marker2) const;

private:
    std::string Rows(double marker1, double marker2, bool phase) const;

    std::vector<CrossSpectrumBin> bins_;
    int frames_ = 0;
};

}  // namespace vorn::sim
