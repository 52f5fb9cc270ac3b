// Reads arbitrary bytes as a wave header, as vornwave does before it works on a file from
// outside. Whatever it finds must lie inside the bytes, and a file it calls supported must
// load in the wave classes with the same channels, rate and frames; seen through the
// header view `info` uses, it must give the same format and calibration block (unless a
// calibration record starts before the samples end: its fixed-length read then takes in
// samples, which the view leaves out).
#include "fuzz/SilentSink.h"
#include "wave/HeaderView.h"
#include "wave/MemoryStream.h"
#include "wave/RiffChunks.h"
#include "wave/WaveFile.h"
#include "wave/WaveHeader.h"

#include <cstdint>
#include <string>


extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static vorn::fuzz::SilentSink sink;
    vorn::SetMessageSink(&sink);
    vorn::MemoryStream in(data, size);
    vorn::WaveHeader header;
    std::string why;
    if (!vorn::ReadWaveHeader(in, header, why)) {
        if (why.empty()) __builtin_trap();
        return 0;
    }
    if (header.dataBytes > size || (header.dataBytes && header.dataOffset + header.dataBytes > size) ||
        header.Encoding().empty())
        __builtin_trap();
    if (!header.Unsupported().empty()) return 0;
    in.Seek(0);
    vorn::TWaveFile wave(in);
    const vorn::SampleFormat f = wave.GetFormat();
    if (wave.Failed() || f.channels != header.channels || f.sampleRate != header.sampleRate ||
        wave.GetFrameCount() != header.Frames())
        __builtin_trap();
    bool overlaps = false;
    for (uint32_t id : {0x66u, 0x65u}) {
        vorn::riff::Chunk record;
        overlaps |= vorn::riff::FindTopLevel(in, id, record) && record.dataOffset < header.dataOffset + header.dataBytes;
    }
    vorn::HeaderView view(in, header);
    const vorn::TWaveFile cut(view);
    const vorn::SampleFormat c = cut.GetFormat();
    if (cut.Failed() || c.channels != f.channels || c.sampleRate != f.sampleRate || c.bytesPerSample != f.bytesPerSample ||
        (!overlaps && (cut.CalibrationPresent() != wave.CalibrationPresent() ||
                       !cut.GetCalibration().SameBytes(wave.GetCalibration()))))
        __builtin_trap();
    return 0;
}
