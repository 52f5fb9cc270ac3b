// Loads arbitrary bytes as a wave in memory mode (calibration search included), writes
// what loaded, and loads the written bytes again: whatever loaded must come back with
// the same format, frames and calibration block. Memory streams stand in for the files.
#include "fuzz/SilentSink.h"
#include "wave/MemoryStream.h"
#include "wave/WaveFile.h"

#include <cstdint>
#include <cstring>


extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static vorn::fuzz::SilentSink sink;
    vorn::SetMessageSink(&sink);
    vorn::MemoryStream in(data, size);
    vorn::TWaveFile wave(in);
    if (wave.Failed() || wave.GetFrameCount() == 0) return 0;
    for (uint32_t f = 0; f < wave.GetFrameCount() && f < 64; ++f) {
        wave.ReadSample(f, 0, true);
        wave.ReadSample(f, 1, false);
    }
    vorn::MemoryStream out;
    if (!wave.WriteTo(out)) __builtin_trap();
    out.Seek(0);
    vorn::TWaveFile again(out);
    const vorn::SampleFormat a = wave.GetFormat(), b = again.GetFormat();
    if (again.Failed() || again.GetFrameCount() != wave.GetFrameCount() || a.channels != b.channels ||
        a.sampleRate != b.sampleRate || a.bytesPerSample != b.bytesPerSample || again.GetFormatTag() != 1 ||
        std::memcmp(again.GetSamples(), wave.GetSamples(), wave.GetByteSize()) != 0 ||
        again.CalibrationPresent() != wave.CalibrationPresent() ||
        !again.GetCalibration().SameBytes(wave.GetCalibration()))
        __builtin_trap();
    return 0;
}
