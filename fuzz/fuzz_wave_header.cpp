// Reads arbitrary bytes as a wave header, as vornwave does before it works on a file from
// outside. Whatever it finds must lie inside the bytes, and a file it calls supported must
// load in the wave classes with the same channels, rate and frames.
#include "common/MessageSink.h"
#include "wave/MemoryStream.h"
#include "wave/WaveFile.h"
#include "wave/WaveHeader.h"

#include <cstdint>
#include <string>

namespace {

class SilentSink final : public vorn::MessageSink {
public:
    vorn::MessageAnswer Show(const std::string&, const std::string&, vorn::MessageIcon,
                             vorn::MessageButtons) override {
        return vorn::MessageAnswer::Ok;
    }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static SilentSink sink;
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
    return 0;
}
