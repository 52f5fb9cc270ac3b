#include "wave/CalibrationBlock.h"

#include "wave/LittleEndian.h"

#include <cctype>
#include <cstring>

namespace vorn {

void CalibrationBlock::Encode(uint8_t* out) const {
    std::memcpy(out, description, sizeof description);
    left.Encode(out + 260);
    right.Encode(out + 894);
    std::memcpy(out + 1528, unused, sizeof unused);
}

CalibrationBlock CalibrationBlock::Decode(const uint8_t* in) {
    CalibrationBlock b;
    std::memcpy(b.description, in, sizeof b.description);
    b.left = ChannelCalibration::Decode(in + 260);
    b.right = ChannelCalibration::Decode(in + 894);
    std::memcpy(b.unused, in + 1528, sizeof b.unused);
    return b;
}

bool CalibrationBlock::SameBytes(const CalibrationBlock& other) const {
    uint8_t a[kSize], b[kSize];
    Encode(a);
    other.Encode(b);
    return std::memcmp(a, b, kSize) == 0;
}

namespace {
// Texts of the legacy record end at their first NUL; the rest of the field is NUL.
void CopyText(char* field, std::size_t size, const uint8_t* source) {
    std::size_t n = strnlen(reinterpret_cast<const char*>(source), size);
    std::memset(field, 0, size);
    std::memcpy(field, source, n);
}
}  // namespace

CalibrationBlock CalibrationBlock::FromLegacy(const uint8_t* r) {
    CalibrationBlock b;
    ChannelCalibration& l = b.left;
    l.valid = le::I32(r + 0);
    CopyText(b.description, sizeof b.description, r + 4);
    l.field4 = le::F32(r + 264);
    l.field8 = le::I32(r + 268);
    l.unitKind = le::I32(r + 272);
    CopyText(l.linearUnit, sizeof l.linearUnit, r + 276);
    CopyText(l.dbUnit, sizeof l.dbUnit, r + 336);
    l.amplitudeMode = le::I32(r + 396);
    l.calFactor = le::F32(r + 400);
    l.countScale = le::F32(r + 408);
    l.unitCode = le::I32(r + 416);
    l.integration = le::I32(r + 420);
    CopyText(l.channelName, sizeof l.channelName, r + 424);
    // The legacy record shares everything but factor, scale and name between channels.
    b.right = l;
    b.right.calFactor = le::F32(r + 404);
    b.right.countScale = le::F32(r + 412);
    CopyText(b.right.channelName, sizeof b.right.channelName, r + 464);
    return b;
}

namespace {
constexpr char kCal1Marker[] = "333D01 ";
constexpr std::size_t kCal1MinimumText = 36;  // marker to the end of both numbers and one more
constexpr std::size_t kLeftNumberAt = 25;
constexpr std::size_t kRightNumberAt = 30;

// The five characters at p alone, read as a decimal integer the way atoi reads.
long FiveDigitField(const char* p) {
    char field[6] = {};
    std::memcpy(field, p, 5);
    const char* c = field;
    while (*c && std::isspace(static_cast<unsigned char>(*c))) ++c;
    bool negative = false;
    if (*c == '+' || *c == '-') negative = *c++ == '-';
    long v = 0;
    while (*c >= '0' && *c <= '9') v = v * 10 + (*c++ - '0');
    return negative ? -v : v;
}

// G per full-scale value from the front end's sensitivity N. The constants (1.4142135
// rather than the exact root of 2, 2^23, standard gravity) are the ones its files were
// made with, so they stay as they are.
float Cal1Factor(long n) {
    return float(1.4142135L / (8388608.0L / (long double)n / 9.80665L));
}

void SetAccelerationUnits(ChannelCalibration& c, long n) {
    c.valid = 1;
    c.field4 = 1.0f;
    c.field8 = 1;
    c.unitKind = 3;
    SetTextField(c.linearUnit, sizeof c.linearUnit, "Acceleration (G) rms");
    SetTextField(c.dbUnit, sizeof c.dbUnit, "Acceleration (G dB) rms");
    c.unitCode = 0;
    c.integration = 0;
    c.calFactor = Cal1Factor(n);
}
}  // namespace

bool CalibrationBlock::ImportCal1Text(const char* text) {
    const char* marker = std::strstr(text, kCal1Marker);
    if (!marker || std::strlen(marker) < kCal1MinimumText) return false;
    long nl = FiveDigitField(marker + kLeftNumberAt);
    long nr = FiveDigitField(marker + kRightNumberAt);
    if (nl < 1000 || nr < 1000) return false;
    SetAccelerationUnits(left, nl);
    SetAccelerationUnits(right, nr);
    return true;
}

}  // namespace vorn
