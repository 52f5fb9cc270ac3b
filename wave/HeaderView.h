// A wave file seen with its data chunk cut down to one frame: the header, the first
// frame and everything behind the samples (chunks, the calibration block) as they are.
// Loading this view gives the wave classes' reading of the format and calibration of a
// file of any length for the memory of one frame; `info` then streams the samples itself.
#pragma once

#include "wave/ByteStream.h"
#include "wave/WaveHeader.h"

#include <cstdint>

namespace vorn {

class HeaderView final : public ByteStream {
public:
    // `header` must describe `file` and not be truncated.
    HeaderView(ByteStream& file, const WaveHeader& header);

    std::size_t Read(void* destination, std::size_t n) override;
    std::size_t Write(const void*, std::size_t) override { return 0; }
    bool Seek(uint64_t offset) override;
    uint64_t Tell() override { return position; }
    uint64_t Size() override { return size; }

private:
    ByteStream& file;
    uint64_t formSizeAt, dataOffset, kept, removed, size, position = 0;
    uint8_t formLength[4], dataLength[4];  // the two size fields the cut changes
};

}  // namespace vorn
