// The seam between the RIFF logic and storage: a file, or memory in a test. Reads and
// writes report how many bytes they moved; offsets are 64-bit so that sums of 32-bit
// chunk sizes cannot wrap.
#pragma once

#include <cstddef>
#include <cstdint>

namespace vorn {

class ByteStream {
public:
    virtual ~ByteStream() = default;
    virtual std::size_t Read(void* destination, std::size_t n) = 0;
    virtual std::size_t Write(const void* source, std::size_t n) = 0;
    virtual bool Seek(uint64_t offset) = 0;
    virtual uint64_t Tell() = 0;
    virtual uint64_t Size() = 0;  // bytes in the stream
};

}  // namespace vorn
