// A ByteStream over bytes held in memory: waves loaded from and saved to a buffer, for
// callers that have no file (the fuzz targets, tests that are not about files). It
// behaves as a file does: a seek may pass the end, and a write there fills the gap with
// zeros.
#pragma once

#include "wave/ByteStream.h"

#include <cstdint>
#include <vector>

namespace vorn {

class MemoryStream final : public ByteStream {
public:
    MemoryStream() = default;
    MemoryStream(const uint8_t* data, std::size_t size) : bytes(data, data + size) {}
    explicit MemoryStream(std::vector<uint8_t> data) : bytes(std::move(data)) {}

    std::size_t Read(void* destination, std::size_t n) override;
    // Writes nothing when the memory cannot grow, as a full disk would.
    std::size_t Write(const void* source, std::size_t n) override;
    bool Seek(uint64_t offset) override;
    uint64_t Tell() override { return position; }
    uint64_t Size() override { return bytes.size(); }

    const std::vector<uint8_t>& Bytes() const { return bytes; }

private:
    std::vector<uint8_t> bytes;
    uint64_t position = 0;
};

}  // namespace vorn
