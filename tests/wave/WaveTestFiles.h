// Helpers for the wave tests: whole-file reads and writes, and a small
// RIFF builder for well-formed and deliberately broken files that bypasses the code under test.
#pragma once

#include "support/ScratchFolder.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

namespace vorn::test {

using Bytes = std::vector<uint8_t>;

inline void WriteBytes(const std::string& path, const Bytes& b) {
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(b.data()), long(b.size()));
}

inline Bytes ReadBytes(const std::string& path) {
    std::ifstream f(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
}

inline void Put(Bytes& b, uint32_t v, int bytes = 4) {
    for (int i = 0; i < bytes; ++i) b.push_back(uint8_t(v >> (8 * i)));
}
inline void Append(Bytes& b, const Bytes& more) { b.insert(b.end(), more.begin(), more.end()); }

// One chunk (id of four characters, or given as a number); `size` overrides the recorded
// size for broken files. Odd data gets its pad byte.
inline Bytes Chunk(uint32_t id, const Bytes& data, int64_t size = -1) {
    Bytes b;
    Put(b, id);
    Put(b, uint32_t(size < 0 ? int64_t(data.size()) : size));
    Append(b, data);
    if (data.size() & 1) b.push_back(0);
    return b;
}
inline Bytes Chunk(const char* id, const Bytes& data, int64_t size = -1) {
    return Chunk(uint32_t(id[0] | id[1] << 8 | id[2] << 16 | uint32_t(id[3]) << 24), data, size);
}

inline Bytes FmtData(uint16_t channels, uint32_t rate, uint16_t frameSize, uint16_t bits, uint16_t tag = 1) {
    Bytes b;
    Put(b, tag, 2), Put(b, channels, 2), Put(b, rate), Put(b, rate * frameSize), Put(b, frameSize, 2), Put(b, bits, 2);
    return b;
}

// "RIFF" <size> "WAVE" and the chunks; the size defaults to the true length.
inline Bytes Riff(const std::vector<Bytes>& chunks, int64_t size = -1) {
    Bytes contents = {'W', 'A', 'V', 'E'};
    for (const Bytes& c : chunks) Append(contents, c);
    return Chunk("RIFF", contents, size);
}

inline Bytes Ramp(size_t n) {
    Bytes b;
    for (size_t i = 0; i < n; ++i) b.push_back(uint8_t(1 + i * 7));
    return b;
}

// A canonical 16-bit file: the 44-byte header, then the sample bytes.
inline Bytes CanonicalFile(uint16_t channels, uint32_t rate, const Bytes& data) {
    return Riff({Chunk("fmt ", FmtData(channels, rate, uint16_t(2 * channels), 16)), Chunk("data", data)});
}

}  // namespace vorn::test
