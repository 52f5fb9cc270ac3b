// One channel's units and calibration as a wave file stores it: a 634-byte record,
// two of which travel in a file's calibration block. valid, unitKind, the unit labels,
// calFactor, countScale and channelName describe the channel; amplitudeMode, unitCode and
// integration tell how a spectrum of it is scaled (dsp/SpectralData). field4, field8 and
// the tail mean nothing here and are carried unchanged, like every other field, so that
// a file written back holds what it was read with.
#pragma once

#include <cstddef>
#include <cstdint>

namespace vorn {

struct ChannelCalibration {
    static constexpr std::size_t kSize = 634;

    int32_t valid = 0;            // @0   nonzero when the record holds a calibration
    float field4 = 0;             // @4   carried (1.0 in records made here)
    int32_t field8 = 0;           // @8   carried (0 by default, 1 from a "CAL1" import)
    int32_t unitKind = 0;         // @12  4 relative to full scale, 3 acceleration
    char linearUnit[60] = {};     // @16  label of linear values, NUL-terminated
    char dbUnit[60] = {};         // @76  label of dB values, NUL-terminated
    int32_t amplitudeMode = 0;    // @136 0 as measured, 1 RMS, 2 peak to peak
    float calFactor = 0;          // @140 units per full-scale value
    float countScale = 0;         // @144 units per stored count
    int32_t unitCode = 0;         // @148 0 as calibrated; 1 .. 10 pick the factor a spectrum
                                  //      is multiplied by (32.174 for 1 and 4, ...)
    int32_t integration = 0;      // @152 0 none, 1 once (by 2 pi f), 2 twice
    char channelName[40] = {};    // @156 NUL-terminated, "Left"/"Right" when read empty
    uint8_t tail[438] = {};       // @196 not interpreted, kept byte for byte

    void Encode(uint8_t* out) const;  // writes kSize bytes
    static ChannelCalibration Decode(const uint8_t* in);

    // The relative-unit defaults ("Percent Full Scale", countScale 1.0). Leaves valid,
    // the name and the uninterpreted bytes alone.
    void SetRelativeDefaults();

    bool SameBytes(const ChannelCalibration& other) const;
};

// Copies text into a fixed field: at most size - 1 characters, the rest NUL.
void SetTextField(char* field, std::size_t size, const char* text);

}  // namespace vorn
