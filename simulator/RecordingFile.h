// The analyzer's wave files: captures and the merged pair written as 24-bit PCM, and
// stimulus files read (channel 0 is the one the generator plays). Samples are floats
// with full scale 1.0.
#pragma once

#include <string>
#include <vector>

namespace vorn::sim {

struct Recording {
    double sampleRate = 48000.0;
    std::vector<std::vector<float>> channels;  // one or two, of equal length
};

bool SaveRecording(const std::string& path, const Recording& recording);
bool LoadRecording(const std::string& path, Recording& recording);

}  // namespace vorn::sim
