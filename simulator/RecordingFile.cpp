#include "simulator/RecordingFile.h"

#include "simulator/SimulatorPaths.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <iterator>

namespace vorn::sim {

namespace {

void Put(std::string& out, std::uint32_t v, int bytes) {
    for (int i = 0; i < bytes; ++i) out.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
}

std::uint32_t Get(const std::string& in, std::size_t at, int bytes) {
    std::uint32_t v = 0;
    for (int i = 0; i < bytes; ++i)
        v |= static_cast<std::uint32_t>(static_cast<unsigned char>(in[at + i])) << (8 * i);
    return v;
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
    std::ifstream file(LocalPath(path), std::ios::binary);
    if (!file) return false;
    const std::string in((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    if (in.size() < 12 || in.compare(0, 4, "RIFF") != 0 || in.compare(8, 4, "WAVE") != 0)
        return false;
    int channels = 0;
    int bits = 0;
    std::uint32_t rate = 0;
    std::size_t at = 12;
    while (at + 8 <= in.size()) {
        const std::string id = in.substr(at, 4);
        const std::size_t size = Get(in, at + 4, 4);
        const std::size_t body = at + 8;
        if (size > in.size() - body) return false;
        if (id == "fmt " && size >= 16) {
            if (Get(in, body, 2) != 1) return false;
            channels = static_cast<int>(Get(in, body + 2, 2));
            rate = Get(in, body + 4, 4);
            bits = static_cast<int>(Get(in, body + 14, 2));
        } else if (id == "data") {
            if (channels < 1 || channels > 2 || (bits != 16 && bits != 24) || rate == 0)
                return false;
            const int bytes = bits / 8;
            const std::size_t frames = size / (static_cast<std::size_t>(channels) * bytes);
            const double scale = bits == 16 ? 32767.0 : 8388607.0;
            recording.sampleRate = rate;
            recording.channels.assign(static_cast<std::size_t>(channels), std::vector<float>(frames));
            for (std::size_t i = 0; i < frames; ++i) {
                for (int c = 0; c < channels; ++c) {
                    std::uint32_t raw = Get(in, body + (i * channels + c) * bytes, bytes);
                    const std::int32_t v = bits == 16
                        ? static_cast<std::int16_t>(raw)
                        : static_cast<std::int32_t>((raw ^ 0x800000u) - 0x800000u);
                    recording.channels[static_cast<std::size_t>(c)][i] = static_cast<float>(v / scale);
                }
            }
            return true;
        }
        at = body + size + (size & 1);
    }
    return false;
}

}  // namespace vorn::sim
