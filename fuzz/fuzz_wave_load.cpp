// Loads arbitrary bytes as a wave file in memory mode (calibration search included),
// saves what loaded, and loads the saved file again: whatever loaded must come back
// with the same format, frames and calibration block.
#include "common/MessageSink.h"
#include "wave/WaveFile.h"

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <unistd.h>

namespace {

class SilentSink final : public vorn::MessageSink {
public:
    vorn::MessageAnswer Show(const std::string&, const std::string&, vorn::MessageIcon,
                             vorn::MessageButtons) override {
        return vorn::MessageAnswer::Ok;
    }
};

std::string ScratchName(const char* what) {
    static const std::string folder = [] {
        std::error_code ec;
        std::filesystem::path shm("/dev/shm");
        return std::filesystem::is_directory(shm, ec) ? shm.string()
                                                      : std::filesystem::temp_directory_path().string();
    }();
    return folder + "/vorn-fuzz-wave-" + std::to_string(getpid()) + "-" + what + ".wav";
}

bool WriteAll(const std::string& path, const uint8_t* data, size_t size) {
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    bool ok = std::fwrite(data, 1, size, f) == size;
    return std::fclose(f) == 0 && ok;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static SilentSink sink;
    vorn::SetMessageSink(&sink);
    const std::string in = ScratchName("in"), out = ScratchName("out");
    if (!WriteAll(in, data, size)) return 0;

    vorn::TWaveFile wave(in, 0, false, nullptr);
    if (!wave.Failed() && wave.GetFrameCount() > 0) {
        for (uint32_t f = 0; f < wave.GetFrameCount() && f < 64; ++f) {
            wave.ReadSample(f, 0, true);
            wave.ReadSample(f, 1, false);
        }
        wave.SetTargetName(out);
        if (!wave.Commit()) __builtin_trap();
        vorn::TWaveFile again(out, 0, false, nullptr);
        const vorn::SampleFormat a = wave.GetFormat(), b = again.GetFormat();
        if (again.Failed() || again.GetFrameCount() != wave.GetFrameCount() ||
            a.channels != b.channels || a.sampleRate != b.sampleRate ||
            a.bytesPerSample != b.bytesPerSample ||
            std::memcmp(again.GetSamples(), wave.GetSamples(), wave.GetByteSize()) != 0 ||
            again.CalibrationPresent() != wave.CalibrationPresent() ||
            !again.GetCalibration().SameBytes(wave.GetCalibration()))
            __builtin_trap();
        std::remove(out.c_str());
    }
    std::remove(in.c_str());
    return 0;
}
