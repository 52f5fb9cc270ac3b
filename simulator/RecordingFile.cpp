#include "simulator/RecordingFile.h"

#include "simulator/SimulatorPaths.h"
#include "wave/WaveFile.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <fstream>

namespace vorn::sim {

namespace {

void Put(std::string& out, std::uint32_t v, int bytes) {
    for (int i = 0; i < bytes; ++i) out.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
}

}  // namespace

bool SaveRecording(const std::string& path, const Recording& recording) {
    const std::size_t channels = recording.channels.size();
    if (channels < 1 || channels > 2) return false;
    const std::size_t frames = recording.channels[0].size();
    for (const auto& c : recording.channels)
        if (c.size() != frames) return false;
    const std::uint32_t rate = static_cast<std::uint32_t>(std::lround(recording.sampleRate));
    const std::uint64_t dataBytes = static_cast<std::uint64_t>(frames) * channels * 3;
    if (dataBytes > 0xFFFFFF00u - 36) return false;

    std::string out;
    out.reserve(44 + dataBytes);
    out += "RIFF";
    Put(out, static_cast<std::uint32_t>(36 + dataBytes), 4);
    out += "WAVEfmt ";
    Put(out, 16, 4);
    Put(out, 1, 2);
    Put(out, static_cast<std::uint32_t>(channels), 2);
    Put(out, rate, 4);
    Put(out, static_cast<std::uint32_t>(rate * channels * 3), 4);
    Put(out, static_cast<std::uint32_t>(channels * 3), 2);
    Put(out, 24, 2);
    out += "data";
    Put(out, static_cast<std::uint32_t>(dataBytes), 4);
    for (std::size_t i = 0; i < frames; ++i) {
        for (const auto& c : recording.channels) {
            const double v = std::clamp(static_cast<double>(c[i]), -1.0, 1.0) * 8388607.0;
            Put(out, static_cast<std::uint32_t>(static_cast<std::int32_t>(std::lround(v))), 3);
        }
    }
    std::ofstream file(LocalPath(path), std::ios::binary | std::ios::trunc);
    file.write(out.data(), static_cast<std::streamsize>(out.size()));
    return static_cast<bool>(file);
}

bool LoadRecording(const std::string& path, Recording& recording) {
    TWaveFile file(LocalPath(path), 0, false, nullptr);
    const SampleFormat format = file.GetFormat();
    if (file.Failed() || format.channels < 1 || format.channels > 2) return false;
    file.SetScale(1.0f, 1.0f);  // samples as fractions of full scale
    const uint32_t frames = file.GetFrameCount();
    recording.sampleRate = format.sampleRate;
    recording.channels.assign(format.channels, std::vector<float>(frames));
    for (uint16_t c = 0; c < format.channels; ++c)
        for (uint32_t i = 0; i < frames; ++i) recording.channels[c][i] = file.ReadSample(i, c, true);
    return true;
}

}  // namespace vorn::sim
