// The 2048-byte calibration block a wave file carries behind its RIFF form: a
// description and one ChannelCalibration per channel. Also converts the two older
// forms a file may hold instead: the 1024-byte legacy record and the "CAL1" text of
// an accelerometer front end, from which both channels get a G-per-full-scale factor.
#pragma once

#include "wave/ChannelCalibration.h"

#include <cstddef>
#include <cstdint>

namespace vorn {

struct CalibrationBlock {
    static constexpr std::size_t kSize = 2048;
    static constexpr std::size_t kLegacySize = 1024;

    char description[260] = {};   // @0    NUL-terminated
    ChannelCalibration left;      // @260
    ChannelCalibration right;     // @894
    // Reserved: nothing reads it, but stored files and the programs that share them carry
    // these bytes, so they stay in the layout and pass through unchanged.
    uint8_t unused[520] = {};     // @1528 zero in blocks made here, carried otherwise

    void Encode(uint8_t* out) const;  // writes kSize bytes
    static CalibrationBlock Decode(const uint8_t* in);
    static CalibrationBlock FromLegacy(const uint8_t* record);  // kLegacySize bytes

    // Imports the sensitivities of a "CAL1" text (NUL-terminated). Returns false and
    // changes nothing when the text holds no usable calibration.
    bool ImportCal1Text(const char* text);

    bool SameBytes(const CalibrationBlock& other) const;
};

}  // namespace vorn
