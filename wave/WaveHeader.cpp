#include "wave/WaveHeader.h"

#include "wave/LittleEndian.h"
#include "wave/RiffChunks.h"

#include <algorithm>
#include <cstdio>

namespace vorn {

namespace {
constexpr uint16_t kPcm = 1, kAdpcm = 2, kFloat = 3, kALaw = 6, kMuLaw = 7, kImaAdpcm = 0x11, kExtensible = 0xFFFE;
constexpr uint32_t kFmtBasic = 16, kFmtExtensible = 26;  // the latter up to the sub-format's tag

std::string Text(const char* format, unsigned a, unsigned b = 0, unsigned c = 0) {
    char text[160];
    std::snprintf(text, sizeof text, format, a, b, c);
    return text;
}
}  // namespace

std::string WaveHeader::Encoding() const {
    switch (tag) {
    case kPcm: return Text(bits <= 8 ? "%u-bit unsigned integer PCM" : "%u-bit signed integer PCM", bits);
    case kFloat: return Text("%u-bit float", bits);
    case kALaw: return "A-law";
    case kMuLaw: return "mu-law";
    case kAdpcm:
    case kImaAdpcm: return "ADPCM";
    default: return Text("format 0x%04x", tag);
    }
}

std::string WaveHeader::Unsupported() const {
    if (tag == kFloat) return Text("%u-bit float samples are not supported", bits);
    if (tag != kPcm) return Encoding() + " samples are not supported";
    if (channels > 2) return Text("%u channels: only mono and stereo files are supported", channels);
    const unsigned bytes = (bits + 7u) / 8u;
    if (bits == 0 || bytes > 4 || frameSize != channels * bytes)
        return Text("a frame of %u bytes does not match %u channel(s) of %u bits", frameSize, channels, bits);
    if (truncated)
        return Text("the file is truncated: its data chunk has %u of %u bytes", unsigned(dataBytes),
                    unsigned(dataRecorded));
    if (dataBytes < frameSize) return "the file holds no samples";
    return "";
}

bool ReadWaveHeader(ByteStream& in, WaveHeader& h, std::string& why) {
    h = WaveHeader{};
    const uint64_t size = in.Size();
    if (size == 0) {
        why = "the file is empty";
        return false;
    }
    riff::Chunk form, fmt, data;
    if (riff::FindWaveForm(in, form) != riff::Search::Found) {
        why = size < 12 ? "the file is too short to be a wave file" : "not a wave file";
        return false;
    }
    h.formSizeAt = form.dataOffset - 4;
    const uint64_t begin = form.dataOffset + 4, end = riff::FormEnd(in, form);
    uint8_t f[kFmtExtensible] = {};
    if (riff::FindChunk(in, le::FourCC("fmt "), begin, end, fmt) != riff::Search::Found || fmt.size < kFmtBasic ||
        !in.Seek(fmt.dataOffset) || in.Read(f, kFmtBasic) != kFmtBasic) {
        why = "the file is truncated or damaged: no complete format chunk";
        return false;
    }
    h.tag = le::U16(f);
    h.channels = le::U16(f + 2);
    h.sampleRate = le::U32(f + 4);
    h.frameSize = le::U16(f + 12);
    h.bits = le::U16(f + 14);
    if (h.tag == kExtensible) {
        h.extensible = true;
        if (fmt.size < kFmtExtensible || in.Read(f + kFmtBasic, kFmtExtensible - kFmtBasic) != kFmtExtensible - kFmtBasic) {
            why = "the file is truncated or damaged: its extensible format chunk is short";
            return false;
        }
        h.tag = le::U16(f + 24);
    }
    if (h.channels == 0 || h.sampleRate == 0) {
        why = "the format chunk gives no channels or no sample rate";
        return false;
    }
    // The samples are looked for behind the format, where the wave classes look.
    const uint64_t afterFmt = fmt.End() + (fmt.size & 1u);
    switch (riff::FindChunk(in, le::FourCC("data"), afterFmt, end, data)) {
    case riff::Search::Missing:
        why = "the file is truncated or damaged: no data chunk behind the format chunk";
        return false;
    case riff::Search::Oversized:
        // Its header is there, claiming more than the file holds: walk to it to say how much.
        for (uint64_t at = afterFmt; at + 8 <= end;) {
            uint8_t head[8];
            if (!in.Seek(at) || in.Read(head, 8) != 8) break;
            const uint32_t n = le::U32(head + 4);
            if (le::U32(head) == le::FourCC("data")) {
                data = {le::FourCC("data"), n, at + 8};
                break;
            }
            at += 8 + uint64_t(n) + (n & 1u);
        }
        h.truncated = true;
        break;
    case riff::Search::Found: break;
    }
    h.dataOffset = data.dataOffset;
    h.dataRecorded = data.size;
    h.dataBytes = data.dataOffset >= size ? 0 : std::min<uint64_t>(data.size, size - data.dataOffset);
    return true;
}

}  // namespace vorn
