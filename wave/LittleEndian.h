// Little-endian field access on byte arrays. File records are decoded field by field
// with these, never by laying a struct over file bytes, so neither the compiler's
// padding nor the host's byte order can change a stored layout.
#pragma once

#include <cstdint>
#include <cstring>

namespace vorn::le {

inline uint16_t U16(const uint8_t* p) { return uint16_t(p[0] | (p[1] << 8)); }
inline uint32_t U32(const uint8_t* p) {
    return uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) |
           (uint32_t(p[3]) << 24);
}
inline int32_t I32(const uint8_t* p) { return int32_t(U32(p)); }
inline float F32(const uint8_t* p) {
    uint32_t u = U32(p);
    float f;
    std::memcpy(&f, &u, 4);
    return f;
}

inline void PutU16(uint8_t* p, uint16_t v) {
    p[0] = uint8_t(v);
    p[1] = uint8_t(v >> 8);
}
inline void PutU32(uint8_t* p, uint32_t v) {
    for (int i = 0; i < 4; ++i) p[i] = uint8_t(v >> (8 * i));
}
inline void PutI32(uint8_t* p, int32_t v) { PutU32(p, uint32_t(v)); }
inline void PutF32(uint8_t* p, float f) {
    uint32_t u;
    std::memcpy(&u, &f, 4);
    PutU32(p, u);
}

// Four-character chunk identifiers ("RIFF", "fmt ") as the uint32 they are on disk.
constexpr uint32_t FourCC(const char (&s)[5]) {
    return uint32_t(uint8_t(s[0])) | (uint32_t(uint8_t(s[1])) << 8) |
           (uint32_t(uint8_t(s[2])) << 16) | (uint32_t(uint8_t(s[3])) << 24);
}

}  // namespace vorn::le
