#include "wave/WaveFile.h"

#include "common/MessageSink.h"
#include "wave/LittleEndian.h"
#include "wave/FileStream.h"
#include "wave/RiffChunks.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

namespace vorn {

namespace {
constexpr uint32_t kHeaderSize = 44;
constexpr uint32_t kFmtMinimum = 14;  // up to and including the frame size field

void Report(const char* text) { ShowMessage(TWaveFile::kCaption, text, MessageIcon::Stop); }

// The canonical header: RIFF form, 16-byte integer-PCM "fmt ", "data" of dataBytes.
void EncodeWaveHeader(uint8_t* h, const SampleFormat& f, uint32_t dataBytes) {
    const uint32_t frameSize = f.FrameSize();
    le::PutU32(h + 0, le::FourCC("RIFF"));
    le::PutU32(h + 4, kHeaderSize - 8 + dataBytes + (dataBytes & 1u));
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
}  // namespace

TWaveFile::TWaveFile(const std::string& fileName, int16_t m, bool, const char*) : mode(m), targetName(fileName) {
    WaitCursor wait;
    if (mode == 0) {
        if (!Load()) failed = true;
    } else if (mode == 1) {
        failed = true;  // editing a file in place is not built into this class
    }
    highWater = frameCount;
}

void TWaveFile::SetTargetName(const std::string& name) { targetName = name; }

bool TWaveFile::Commit() { return mode == 0 ? Save() : false; }

bool TWaveFile::Load() {
    if (mode != 0) return false;
    FileStream in;
    if (!in.Open(targetName, FileStream::Mode::Read)) return false;
    const bool ok = LoadFrom(in);
    in.Close();
    return ok;
}

bool TWaveFile::LoadFrom(ByteStream& in) {
    ReadCalibration(in);
    riff::Chunk form;
    if (riff::FindWaveForm(in, form) != riff::Search::Found) return false;
    const uint64_t contents = form.dataOffset + 4;
    riff::Chunk fmt;
    if (riff::FindChunk(in, le::FourCC("fmt "), contents, form.End(), fmt) != riff::Search::Found)
        return false;
    if (!ApplyFmtChunk(in, fmt.dataOffset, fmt.size)) return false;

    riff::Chunk data;
    const uint64_t afterFmt = fmt.End() + (fmt.size & 1u);
    switch (riff::FindChunk(in, le::FourCC("data"), afterFmt, form.End(), data)) {
    case riff::Search::Missing: Report(kNoDataChunk); return false;
    case riff::Search::Oversized: return false;  // as good as a short read
    case riff::Search::Found: break;
    }
    if (data.size == 0) return false;

    if (!Resize(FramesForBytes(data.size))) {
        Report(kNoSampleMemory);
        ReleaseSamples();
        return false;
    }
    // One read straight into the buffer: the samples are touched once.
    if (!in.Seek(data.dataOffset) || in.Read(samples, byteSize) != byteSize) {
        ReleaseSamples();
        return false;
    }
    frameCount = FramesForBytes(byteSize);
    modified = false;
    return true;
}

bool TWaveFile::ApplyFmtChunk(ByteStream& in, uint64_t at, uint32_t size) {
    // Only channels, rate and frame size are used; the format tag and bit count are not
    // looked at, so a float tag reads as integers of the given size.
    if (size < kFmtMinimum) return false;
    uint8_t f[kFmtMinimum];
    if (!in.Seek(at) || in.Read(f, kFmtMinimum) != kFmtMinimum) return false;
    const uint16_t channels = le::U16(f + 2);
    const uint32_t rate = le::U32(f + 4);
    const uint16_t frameSize = le::U16(f + 12);
    if (channels == 0 || frameSize == 0) return false;
    format.Set(rate, channels, uint16_t(frameSize / channels));
    // The factors depend on the sample range, which the file may just have changed.
    SetScale(leftFullScale, rightFullScale);
    return true;
}

namespace {

// The RIFF form of a sample buffer: header, the frames up to the high-water mark, pad byte.
bool WriteWaveForm(ByteStream& out, const TWaveData& data) {
    const uint32_t frames = data.GetSamples() ? std::min(data.GetHighWater(), data.GetFrameCount()) : 0;
    const uint64_t n = uint64_t(data.GetFormat().FrameSize()) * frames;
    if (kHeaderSize - 8 + n + (n & 1u) > UINT32_MAX) return false;  // RIFF length would wrap
    uint8_t header[kHeaderSize];
    EncodeWaveHeader(header, data.GetFormat(), uint32_t(n));
    if (out.Write(header, kHeaderSize) != kHeaderSize) return false;
    if (n > 0 && out.Write(data.GetSamples(), n) != n) return false;
    const uint8_t pad = 0;
    if ((n & 1u) && out.Write(&pad, 1) != 1) return false;
    return true;
}

// Writes beside the target and moves the result over it only when complete, so a
// failure at any point leaves the old file as it was.
template <typename Writer>
bool WriteReplacing(const std::string& target, Writer write) {
    FileStream out;
    std::string temporary;
    if (!out.CreateUnique(FolderOf(target), "wav", temporary)) return false;
    if (!write(out)) {
        out.Close();
        RemoveFile(temporary);
        return false;
    }
    if (!out.Close() || !ReplaceFile(temporary, target)) {
        RemoveFile(temporary);
        return false;
    }
    return true;
}

}  // namespace

bool SaveWaveData(const TWaveData& data, const std::string& path) {
    WaitCursor wait;
    return WriteReplacing(path, [&](ByteStream& out) { return WriteWaveForm(out, data); });
}

bool TWaveFile::Save() {
    if (mode != 0) return false;
    WaitCursor wait;
    const bool saved = WriteReplacing(targetName, [this](ByteStream& out) {
        if (!WriteWaveForm(out, *this)) return false;
        if (calibrationPresent) WriteCalibrationChunk(out);
        return true;
    });
    if (!saved) {
        failed = true;
        return false;
    }
    modified = false;
    return true;
}

}  // namespace vorn
