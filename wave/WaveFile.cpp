#include "wave/WaveFile.h"

#include "common/MessageSink.h"
#include "wave/LittleEndian.h"
#include "wave/RiffChunks.h"

#include <algorithm>

namespace vorn {

namespace {
constexpr uint32_t kHeaderSize = riff::kWaveHeaderSize;
constexpr uint32_t kFmtMinimum = 14;  // up to and including the frame size field
constexpr uint32_t kFmtExtensible = 26;  // up to the first two bytes of the sub-format
constexpr uint16_t kTagExtensible = 0xFFFE;

void Report(const char* text) { ShowMessage(TWaveFile::kCaption, text, MessageIcon::Stop); }

}  // namespace

TWaveFile::TWaveFile(const std::string& fileName, int16_t m, bool backup, const char* folder)
    : mode(m), keepBackup(backup), tempDir(folder && *folder ? folder : SystemTempFolder()),
      targetName(fileName) {
    WaitCursor wait;
    if (mode == 0) {
        if (!Load()) failed = true;
    } else if (mode == 1) {
        if (keepBackup) {
            // The copy's result is not looked at: a copy that failed opens as no wave file.
            FileStream copy;
            if (copy.CreateUnique(tempDir, "wav", workingName)) {
                CopyInto(targetName, copy);
                copy.Close();
            }
        } else {
            workingName = targetName;
        }
        if (!OpenDirect()) {
            failed = true;
            CloseFailedOpen();
        }
    }
    highWater = frameCount;
}

TWaveFile::TWaveFile(ByteStream& in) {
    WaitCursor wait;
    if (!LoadFrom(in)) failed = true;
    highWater = frameCount;
}

TWaveFile::~TWaveFile() {
    if (mode != 1 || !fileHandle.IsOpen()) return;
    if (!fileHandle.Close()) {
        Report(kCloseFailed);
        return;
    }
    if ((keepBackup || deleteWorkingOnClose) && !RemoveFile(workingName)) Report(kDeleteFailed);
}

void TWaveFile::Seek(uint32_t frame) {
    // Memory mode moves only the cursor, which SetPosition and Advance already did.
    if (!DirectReady()) return;
    if (!fileHandle.Seek(dataOffset + uint64_t(format.FrameSize()) * frame)) failed = true;
    position = frame;
}

void TWaveFile::SetTargetName(const std::string& name) {
    targetName = name;
    deleteWorkingOnClose = false;
}

bool TWaveFile::Commit() {
    if (mode == 0) return Save();
    return mode == 1 ? CommitDirect() : false;
}

bool TWaveFile::Load() {
    if (mode != 0) return false;
    FileStream in;
    if (!in.Open(targetName, FileStream::Mode::Read)) return false;
    const bool ok = LoadFrom(in);
    in.Close();
    return ok;
}

bool TWaveFile::ReadLayout(ByteStream& in, riff::Chunk& form, riff::Chunk& data) {
    ReadCalibration(in);
    if (riff::FindWaveForm(in, form) != riff::Search::Found) return false;
    const uint64_t contents = form.dataOffset + 4, end = riff::FormEnd(in, form);
    riff::Chunk fmt;
    if (riff::FindChunk(in, le::FourCC("fmt "), contents, end, fmt) != riff::Search::Found)
        return false;
    if (!ApplyFmtChunk(in, fmt.dataOffset, fmt.size)) return false;

    const uint64_t afterFmt = fmt.End() + (fmt.size & 1u);
    switch (riff::FindChunk(in, le::FourCC("data"), afterFmt, end, data)) {
    case riff::Search::Missing: Report(kNoDataChunk); return false;
    case riff::Search::Oversized: return false;  // as good as a short read
    case riff::Search::Found: break;
    }
    return data.size != 0;
}

bool TWaveFile::LoadFrom(ByteStream& in) {
    riff::Chunk form, data;
    if (!ReadLayout(in, form, data)) return false;
    if (!AllocateUnfilled(FramesForBytes(data.size))) {
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
    // Only channels, rate and frame size shape the samples; the format tag is kept for
    // callers and the bit count is not looked at, so a float tag reads as integers of the
    // given size.
    if (size < kFmtMinimum) return false;
    uint8_t f[kFmtExtensible] = {};
    const uint32_t n = std::min(size, kFmtExtensible);
    if (!in.Seek(at) || in.Read(f, n) != n) return false;
    formatTag = le::U16(f);
    if (formatTag == kTagExtensible && n == kFmtExtensible) formatTag = le::U16(f + 24);
    const uint16_t channels = le::U16(f + 2);
    const uint32_t rate = le::U32(f + 4);
    const uint16_t frameSize = le::U16(f + 12);
    // A frame size of 0 gives 0 bytes per sample, which the format repairs to 2;
    // only a channel count of 0 leaves nothing to divide by.
    if (channels == 0) return false;
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
    riff::EncodeWaveHeader(header, data.GetFormat(), uint32_t(n));
    if (out.Write(header, kHeaderSize) != kHeaderSize) return false;
    if (n > 0 && out.Write(data.GetSamples(), n) != n) return false;
    const uint8_t pad = 0;
    if ((n & 1u) && out.Write(&pad, 1) != 1) return false;
    return true;
}

}  // namespace

bool SaveWaveData(const TWaveData& data, const std::string& path) {
    WaitCursor wait;
    return WriteReplacing(path, [&](ByteStream& out) { return WriteWaveForm(out, data); });
}

bool TWaveFile::WriteTo(ByteStream& out) {
    if (!WriteWaveForm(out, *this)) return false;
    if (calibrationPresent) WriteCalibrationChunk(out);
    return true;
}

bool TWaveFile::Save() {
    if (mode != 0) return false;
    WaitCursor wait;
    const bool saved = WriteReplacing(targetName, [this](ByteStream& out) { return WriteTo(out); });
    if (!saved) {
        failed = true;
        return false;
    }
    modified = false;
    deleteWorkingOnClose = false;
    return true;
}

}  // namespace vorn
