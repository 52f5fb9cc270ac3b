// What a wave file really holds, read from its header alone: the format tag and sample
// layout of the "fmt " chunk and where the data chunk lies. The wave classes read the
// program's own files and, by design, take every file as integer PCM of one or two
// channels; tools that accept files from anywhere ask this first and refuse what the
// classes would misread. Every size is checked against the stream before it is used.
#pragma once

#include "wave/ByteStream.h"

#include <cstdint>
#include <string>

namespace vorn {

struct WaveHeader {
    uint16_t tag = 0;  // an extensible chunk's sub-format tag
    bool extensible = false;
    uint16_t channels = 0;
    uint32_t sampleRate = 0;
    uint16_t frameSize = 0;  // block align: bytes of one frame
    uint16_t bits = 0;       // valid bits of a sample as recorded
    uint64_t formSizeAt = 4;  // offset of the WAVE form's length field
    uint64_t dataOffset = 0;
    uint64_t dataBytes = 0;    // present in the stream (fewer than recorded when truncated)
    uint64_t dataRecorded = 0; // as the data chunk's header says
    bool truncated = false;

    uint64_t Frames() const { return frameSize ? dataBytes / frameSize : 0; }
    // "16-bit signed integer PCM", "32-bit float", "mu-law", "format 0x0055"...
    std::string Encoding() const;
    // Why the wave classes cannot work on these samples exactly, or "" when they can.
    std::string Unsupported() const;
};

// Reads the header; false with `why` ("not a wave file", "the file is empty", "the file
// is truncated ...") when there is no usable header.
bool ReadWaveHeader(ByteStream& in, WaveHeader& header, std::string& why);

}  // namespace vorn
