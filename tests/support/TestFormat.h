// The sample format tests build their buffers and filters with, repaired as SampleFormat::Set
// repairs it.
#pragma once

#include "wave/SampleFormat.h"

namespace vorn::test {

inline SampleFormat MakeFormat(uint32_t rate, uint16_t channels = 1, uint16_t bytes = 2) {
    SampleFormat f;
    f.Set(rate, channels, bytes);
    return f;
}

}  // namespace vorn::test
