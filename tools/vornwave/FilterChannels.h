// The filtering step that vornwave filter and vornwave probe share: a FIR design run over
// some channels of a wave in memory, in one-second blocks. Without compensation the filtered
// channels lag the input by (taps + 1) / 2 frames and the last that many frames of their
// filtered signal drop off the end. With it the filter also runs over that many frames of
// silence behind the end, and the filtered channels move back by the delay: they line up
// with the input, keep their tail and the file keeps its length. Channels not selected stay
// as they are, in place.
#pragma once

#include "dsp/FirFilter.h"
#include "wave/WaveData.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace vorn::cli {

// `percent` hears the share of the work done, 0 .. 100. False with `why` set when memory
// for the work ran out or a block could not be filtered.
bool FilterChannels(TWaveData& wave, const std::vector<uint16_t>& channels, const FirFilterParams& p,
                    bool compensate, const std::function<void(int)>& percent, std::string& why);

}  // namespace vorn::cli
