// Discrete Fourier transforms of real frames for the simulated analysis: the spectrum
// of a frame (bins 0 .. N/2, unnormalised: X[k] = sum x[m] e^(-j 2 pi k m / N)) and
// the real frame of such a half spectrum. N is a power of two.
#pragma once

#include <complex>
#include <vector>

namespace vorn::sim {

using Bins = std::vector<std::complex<double>>;

Bins RealSpectrum(const std::vector<double>& frame);
std::vector<double> RealFrame(const Bins& halfSpectrum, std::size_t n);

}  // namespace vorn::sim
