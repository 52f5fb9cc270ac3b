#include "FilterChannels.h"

#include <algorithm>
#include <cstring>
#include <memory>

namespace vorn::cli {

namespace {

// Filters one channel of the wave in one-second blocks. The filter works on channel 0, so
// channel 1 of a two-channel wave is filtered in a one-channel copy and written back.
bool FilterChannel(TWaveData& wave, uint16_t channel, const FirFilterParams& p,
                   const std::function<void(uint32_t)>& advanced) {
    const SampleFormat format = wave.GetFormat();
    const uint32_t frames = wave.GetFrameCount();
    std::unique_ptr<TWaveData> copy;
    TWaveData* target = &wave;
    if (channel == 1) {
        SampleFormat mono;
        mono.Set(format.sampleRate, 1, format.bytesPerSample);
        copy = std::make_unique<TWaveData>(frames, mono);
        if (copy->Failed() || !wave.ReadFrames(copy->GetSamples(), 0, frames, 1)) return false;
        target = copy.get();
    }
    TFirFilter filter(target->GetFormat(), p);
    for (uint32_t start = 0; start < frames;) {
        const uint32_t length = std::min(format.sampleRate, frames - start);
        if (!filter.FilterBlock(target, start, length)) return false;
        start += length;
        advanced(length);
    }
    return copy ? wave.WriteFrames(copy->GetSamples(), 0, frames, 1) : true;
}

}  // namespace

bool FilterChannels(TWaveData& wave, const std::vector<uint16_t>& channels, const FirFilterParams& p,
                    bool compensate, const std::function<void(int)>& percent, std::string& why) {
    // Compensated, the filter runs over the file and (taps + 1) / 2 frames of silence, and the
    // output starts that many frames later: no delay, and the tail the delay pushed out stays.
    const uint32_t frames = wave.GetFrameCount(), frameSize = wave.GetFormat().FrameSize();
    const uint32_t delay = compensate ? uint32_t(TFirFilter(wave.GetFormat(), p).GetCount() + 1) / 2 : 0;
    std::unique_ptr<TWaveData> padded;
    if (compensate) {
        padded = std::make_unique<TWaveData>(frames + delay, wave.GetFormat());
        if (padded->Failed()) {
            why = "not enough memory for the compensated file";
            return false;
        }
        if (frames > 0) std::memcpy(padded->GetSamples(), wave.GetSamples(), size_t(frames) * frameSize);
        padded->ClearFrom(frames);  // silence, which 8-bit samples do not store as zero
    }
    TWaveData& work = padded ? *padded : wave;
    const uint64_t total = uint64_t(work.GetFrameCount()) * channels.size();
    uint64_t done = 0;
    for (uint16_t channel : channels) {
        const bool ok = FilterChannel(work, channel, p, [&](uint32_t n) {
            done += n;
            percent(int(done * 100 / std::max<uint64_t>(total, 1)));
        });
        if (!ok) {
            why = "filtering channel " + std::to_string(channel) + " failed";
            return false;
        }
    }
    if (padded) {
        // Only the filtered channels move back by the delay; a kept channel stays where it was.
        const uint32_t width = wave.GetFormat().bytesPerSample;
        for (uint16_t channel : channels) {
            const uint8_t* from = padded->GetSamples() + size_t(delay) * frameSize + size_t(channel) * width;
            uint8_t* to = wave.GetSamples() + size_t(channel) * width;
            for (uint32_t k = 0; k < frames; ++k) std::memcpy(to + size_t(k) * frameSize, from + size_t(k) * frameSize, width);
        }
    }
    return true;
}

}  // namespace vorn::cli
