#include "simulator/RecordingFile.h"

#include "simulator/SimulatorPaths.h"
#include "wave/WaveFile.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>

namespace vorn::sim {

bool SaveRecording(const std::string& path, const Recording& recording) {
    const std::size_t channels = recording.channels.size();
    if (channels < 1 || channels > 2) return false;
    const std::size_t frames = recording.channels[0].size();
    for (const auto& c : recording.channels)
        if (c.size() != frames) return false;
    if (frames > UINT32_MAX) return false;

    SampleFormat format;
    format.Set(static_cast<uint32_t>(std::lround(recording.sampleRate)), static_cast<uint16_t>(channels), 3);
    TWaveData data(static_cast<uint32_t>(frames), format);
    if (data.Failed()) return false;
    for (uint16_t c = 0; c < channels; ++c) {
        const std::vector<float>& samples = recording.channels[c];
        for (uint32_t i = 0; i < frames; ++i) {
            const double v = std::clamp(static_cast<double>(samples[i]), -1.0, 1.0) * format.maximum;
            data.WriteSample(static_cast<int32_t>(std::lround(v)), i, c);
        }
    }
    return SaveWaveData(data, LocalPath(path));
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
