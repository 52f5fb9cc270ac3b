// Finds how much later the second channel hears what the first one heard: the lag of
// the largest cross-correlation between the channels, within +/- maxLag samples,
// computed through the spectrum over (at most) the first 2^18 samples from start.
#pragma once

#include <cstddef>
#include <optional>
#include <vector>

namespace vorn::sim {

class DelayFinder {
public:
    // Lag in whole samples (positive: the second channel is later); nothing when the
    // channels hold no common signal from start on.
    static std::optional<long> FindLag(const std::vector<float>& first,
                                       const std::vector<float>& second, std::size_t start,
                                       long maxLag);
};

}  // namespace vorn::sim
