// Helpers for the wave tests: a private folder for files, whole-file reads and writes,
// and a small RIFF builder that makes well-formed and deliberately broken files
// without going through the code under test.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <iterator>
#include <string>
#include <vector>

namespace vorn::test {

using Bytes = std::vector<uint8_t>;

// A fresh folder below the system's temporary folder, removed with its files.
class TempFolder {
public:
    TempFolder() {
        const auto* info = testing::UnitTest::GetInstance()->current_test_info();
        std::string name = std::string("vorn-wave-") + (info ? info->name() : "x") + "-" +
                           std::to_string(reinterpret_cast<uintptr_t>(this) & 0xFFFFFF);
        path_ = std::filesystem::temp_directory_path() / name;
        std::filesystem::remove_all(path_);
        std::filesystem::create_directories(path_);
    }
    ~TempFolder() {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    std::string File(const std::string& name) const { return (path_ / name).string(); }
    std::string Path() const { return path_.string(); }
    std::vector<std::string> Names() const {
        std::vector<std::string> names;
        for (const auto& e : std::filesystem::directory_iterator(path_))
            names.push_back(e.path().filename().string());
        return names;
    }

private:
    std::filesystem::path path_;
};

inline void WriteBytes(const std::string& path, const Bytes& bytes) {
    std::ofstream f(path, std::ios::binary | std::ios::trunc);
    f.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

inline Bytes ReadBytes(const std::string& path) {
    std::ifstream f(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
}

inline void Put16(Bytes& b, uint32_t v) {
    b.push_back(uint8_t(v));
    b.push_back(uint8_t(v >> 8));
}
inline void Put32(Bytes& b, uint32_t v) {
    for (int i = 0; i < 4; ++i) b.push_back(uint8_t(v >> (8 * i)));
}
inline void PutId(Bytes& b, const char* id) { b.insert(b.end(), id, id + 4); }
inline void Append(Bytes& b, const Bytes& more) { b.insert(b.end(), more.begin(), more.end()); }

// One chunk; `size` overrides the recorded size (for broken files). Odd data is padded.
inline Bytes Chunk(const char* id, const Bytes& data, int64_t size = -1) {
    Bytes b;
    PutId(b, id);
    Put32(b, uint32_t(size < 0 ? int64_t(data.size()) : size));
    Append(b, data);
    if (data.size() & 1) b.push_back(0);
    return b;
}

inline Bytes Chunk(uint32_t id, const Bytes& data, int64_t size = -1) {
    char text[4] = {char(id), char(id >> 8), char(id >> 16), char(id >> 24)};
    Bytes b;
    b.insert(b.end(), text, text + 4);
    Put32(b, uint32_t(size < 0 ? int64_t(data.size()) : size));
    Append(b, data);
    return b;
}

inline Bytes FmtData(uint16_t channels, uint32_t rate, uint16_t frameSize, uint16_t bits,
                     uint16_t tag = 1) {
    Bytes b;
    Put16(b, tag);
    Put16(b, channels);
    Put32(b, rate);
    Put32(b, rate * frameSize);
    Put16(b, frameSize);
    Put16(b, bits);
    return b;
}

// "RIFF" <size> "WAVE" followed by the given chunks; size defaults to the true length.
inline Bytes Riff(std::initializer_list<Bytes> chunks, int64_t size = -1) {
    Bytes contents;
    PutId(contents, "WAVE");
    for (const Bytes& c : chunks) Append(contents, c);
    Bytes b;
    PutId(b, "RIFF");
    Put32(b, uint32_t(size < 0 ? int64_t(contents.size()) : size));
    Append(b, contents);
    return b;
}

inline Bytes Ramp(size_t n, uint8_t start = 1) {
    Bytes b(n);
    for (size_t i = 0; i < n; ++i) b[i] = uint8_t(start + i * 7);
    return b;
}

// A canonical 16-bit file: 44-byte header, then the given sample bytes.
inline Bytes CanonicalFile(uint16_t channels, uint32_t rate, const Bytes& data) {
    return Riff({Chunk("fmt ", FmtData(channels, rate, uint16_t(2 * channels), 16)),
                 Chunk("data", data)});
}

}  // namespace vorn::test
