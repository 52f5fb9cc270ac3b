#include "wave/ChannelCalibration.h"

#include "wave/LittleEndian.h"

#include <cstring>

namespace vorn {

void ChannelCalibration::Encode(uint8_t* out) const {
    le::PutI32(out + 0, valid);
    le::PutF32(out + 4, field4);
    le::PutI32(out + 8, field8);
    le::PutI32(out + 12, unitKind);
    std::memcpy(out + 16, linearUnit, sizeof linearUnit);
    std::memcpy(out + 76, dbUnit, sizeof dbUnit);
    le::PutI32(out + 136, amplitudeMode);
    le::PutF32(out + 140, calFactor);
    le::PutF32(out + 144, countScale);
    le::PutI32(out + 148, unitCode);
    le::PutI32(out + 152, integration);
    std::memcpy(out + 156, channelName, sizeof channelName);
    std::memcpy(out + 196, tail, sizeof tail);
}

ChannelCalibration ChannelCalibration::Decode(const uint8_t* in) {
    ChannelCalibration c;
    c.valid = le::I32(in + 0);
    c.field4 = le::F32(in + 4);
    c.field8 = le::I32(in + 8);
    c.unitKind = le::I32(in + 12);
    std::memcpy(c.linearUnit, in + 16, sizeof c.linearUnit);
    std::memcpy(c.dbUnit, in + 76, sizeof c.dbUnit);
    c.amplitudeMode = le::I32(in + 136);
    c.calFactor = le::F32(in + 140);
    c.countScale = le::F32(in + 144);
    c.unitCode = le::I32(in + 148);
    c.integration = le::I32(in + 152);
    std::memcpy(c.channelName, in + 156, sizeof c.channelName);
    std::memcpy(c.tail, in + 196, sizeof c.tail);
    return c;
}

void ChannelCalibration::SetRelativeDefaults() {
    field4 = 1.0f;
    field8 = 0;
    unitKind = 4;
    SetTextField(linearUnit, sizeof linearUnit, "Percent Full Scale");
    SetTextField(dbUnit, sizeof dbUnit, "Relative Amplitude (dBr)");
    amplitudeMode = 0;
    calFactor = 1.0f;
    countScale = 1.0f;
    unitCode = 0;
    integration = 0;
}

bool ChannelCalibration::SameBytes(const ChannelCalibration& other) const {
    uint8_t a[kSize], b[kSize];
    Encode(a);
    other.Encode(b);
    return std::memcmp(a, b, kSize) == 0;
}

void SetTextField(char* field, std::size_t size, const char* text) {
    std::memset(field, 0, size);
    if (size == 0 || !text) return;
    std::size_t n = strnlen(text, size - 1);
    std::memcpy(field, text, n);
}

}  // namespace vorn
