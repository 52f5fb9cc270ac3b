#include "wave/RiffChunks.h"

#include "wave/LittleEndian.h"

namespace vorn::riff {

namespace {
bool ReadHeader(ByteStream& s, uint64_t at, Chunk& c) {
    uint8_t h[8];
    if (!s.Seek(at) || s.Read(h, 8) != 8) return false;
    c.id = le::U32(h);
    c.size = le::U32(h + 4);
    c.dataOffset = at + 8;
    return true;
}

uint64_t NextChunk(const Chunk& c) { return c.End() + (c.size & 1u); }
}  // namespace

Search FindChunk(ByteStream& s, uint32_t id, uint64_t begin, uint64_t end, Chunk& found) {
    for (uint64_t at = begin; at + 8 <= end;) {
        Chunk c;
        if (!ReadHeader(s, at, c)) return Search::Missing;
        const bool fits = c.End() <= end;
        if (c.id == id) {
            if (!fits) return Search::Oversized;
            found = c;
            return Search::Found;
        }
        if (!fits) return Search::Missing;
        at = NextChunk(c);
    }
    return Search::Missing;
}

Search FindWaveForm(ByteStream& s, Chunk& form) {
    const uint64_t end = s.Size();
    for (uint64_t at = 0; at + 8 <= end;) {
        Chunk c;
        if (!ReadHeader(s, at, c)) return Search::Missing;
        if (c.id == le::FourCC("RIFF") && c.size >= 4) {
            uint8_t type[4];
            if (s.Read(type, 4) == 4 && le::U32(type) == le::FourCC("WAVE")) {
                form = c;
                return Search::Found;
            }
        }
        if (c.End() > end) return Search::Missing;
        at = NextChunk(c);
    }
    return Search::Missing;
}

uint64_t FormEnd(ByteStream& s, const Chunk& form) {
    const uint64_t size = s.Size();
    return form.End() < size ? form.End() : size;
}

bool FindTopLevel(ByteStream& s, uint32_t id, Chunk& found) {
    const uint64_t end = s.Size();
    for (uint64_t at = 0; at + 8 <= end;) {
        Chunk c;
        if (!ReadHeader(s, at, c)) return false;
        if (c.id == id) {
            found = c;
            return true;
        }
        if (c.End() > end) return false;
        at = NextChunk(c);
    }
    return false;
}

void EncodeWaveHeader(uint8_t* h, const SampleFormat& f, uint32_t dataBytes) {
    const uint32_t frameSize = f.FrameSize();
    le::PutU32(h + 0, le::FourCC("RIFF"));
    le::PutU32(h + 4, kWaveHeaderSize - 8 + dataBytes + (dataBytes & 1u));
    le::PutU32(h + 8, le::FourCC("WAVE"));
    le::PutU32(h + 12, le::FourCC("fmt "));
    le::PutU32(h + 16, 16);
    le::PutU16(h + 20, 1);
    le::PutU16(h + 22, f.channels);
    le::PutU32(h + 24, f.sampleRate);
    le::PutU32(h + 28, frameSize * f.sampleRate);
    le::PutU16(h + 32, uint16_t(frameSize));
    le::PutU16(h + 34, f.bits);
    le::PutU32(h + 36, le::FourCC("data"));
    le::PutU32(h + 40, dataBytes);
}

}  // namespace vorn::riff
