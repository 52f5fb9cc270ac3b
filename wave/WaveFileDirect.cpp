// TWaveFile, mode 1: the file stays open and every read and write goes to it at the
// frame position. Commit finishes the chunk sizes, appends the calibration chunk and
// delivers the working file to the target, rebuilding it when the calibration block
// changed so that the target carries only the new one.
//
// Chunk sizes: a write that ends past the data chunk grows its recorded size at once
// (a write inside the data never shrinks it); Commit sets the final size and, when
// the data grew or got the pad byte it lacked, the RIFF length. Whatever lay behind the data when the file was
// opened (its pad byte aside) is kept in memory before the first write reaches it
// and put back behind the grown data at Commit, so a calibration chunk or a chunk
// after "data" inside the form survives appended frames.
#include "wave/WaveFile.h"

#include "common/MessageSink.h"
#include "wave/LittleEndian.h"

#include <algorithm>
#include <cstring>

namespace vorn {

namespace {
constexpr uint32_t kBlockFrames = 4096;            // frames per step of a rebuild
constexpr uint64_t kTailLimit = uint64_t(64) << 20;  // bytes behind the data kept in memory

void Report(const char* text) { ShowMessage(TWaveFile::kCaption, text, MessageIcon::Stop); }

bool RangeInside(uint32_t start, uint32_t count, uint32_t frameCount) {
    return count <= frameCount && start <= frameCount && uint64_t(start) + count <= frameCount;
}

using Bytes = std::unique_ptr<uint8_t, decltype(&std::free)>;
Bytes ZeroedBytes(uint64_t n) {
    return Bytes(static_cast<uint8_t*>(n <= SIZE_MAX ? std::calloc(n ? size_t(n) : 1, 1) : nullptr), &std::free);
}
}  // namespace

TWaveFile::TWaveFile(SampleFormat f, bool backup, const char* folder)
    : TWaveData(0, f), deleteWorkingOnClose(true), mode(1), createdNew(true), keepBackup(backup),
      tempDir(folder && *folder ? folder : SystemTempFolder()) {
    WaitCursor wait;
    FileStream made;  // the unique name comes with an empty file, which CreateDirect replaces
    if (made.CreateUnique(tempDir, "wav", workingName)) made.Close();
    if (!CreateDirect()) {
        failed = true;
        CloseFailedOpen();
    }
}

void TWaveFile::CloseFailedOpen() {
    fileHandle.Close();
    // A temporary copy or new file that never opened is of no use to anyone.
    if ((keepBackup || createdNew) && !workingName.empty() && !SameFileName(workingName, targetName))
        RemoveFile(workingName);
}

bool TWaveFile::OpenDirect() {
    if (mode != 1) return false;
    if (!fileHandle.Open(workingName, FileStream::Mode::ReadWrite)) {
        failed = true;
        return false;
    }
    riff::Chunk form, data;
    if (!ReadLayout(fileHandle, form, data) || data.dataOffset > UINT32_MAX) {
        fileHandle.Close();
        failed = true;
        return false;
    }
    riffChunk = {form.dataOffset, form.size, false};
    dataChunk = {data.dataOffset, data.size, false};
    dataOffset = uint32_t(data.dataOffset);
    byteSize = data.size;
    frameCount = FramesForBytes(byteSize);
    const uint64_t dataEnd = std::min(data.End() + (data.size & 1u), fileHandle.Size());
    const uint64_t formEnd = riff::FormEnd(fileHandle, form);
    formTailAtOpen = formEnd > dataEnd ? formEnd - dataEnd : 0;
    ForgetTail();
    modified = false;
    return fileHandle.Seek(dataOffset);
}

bool TWaveFile::CreateDirect() {
    if (mode != 1) return false;
    uint8_t header[riff::kWaveHeaderSize];
    riff::EncodeWaveHeader(header, format, 0);
    if (workingName.empty() || !fileHandle.Open(workingName, FileStream::Mode::Create)) {
        failed = true;
        return false;
    }
    if (fileHandle.Write(header, sizeof header) != sizeof header) {
        fileHandle.Close();
        failed = true;
        return false;
    }
    riffChunk = {8, riff::kWaveHeaderSize - 8, true};
    dataChunk = {riff::kWaveHeaderSize, 0, true};
    dataOffset = riff::kWaveHeaderSize;
    byteSize = frameCount = position = 0;
    formTailAtOpen = 0;
    ForgetTail();
    return true;
}

void TWaveFile::ForgetTail() {
    dataSizeAtOpen = dataChunk.size;
    tail.reset();
    tailSize = 0;
    tailKept = false;
}

bool TWaveFile::WriteUint32At(uint64_t at, uint32_t value) {
    uint8_t bytes[4];
    le::PutU32(bytes, value);
    return fileHandle.Seek(at) && fileHandle.Write(bytes, 4) == 4;
}

bool TWaveFile::KeepTail(uint64_t writeEnd) {
    const uint64_t oldEnd = dataChunk.dataOffset + dataSizeAtOpen;
    if (tailKept || writeEnd <= oldEnd) return true;
    const uint64_t resume = fileHandle.Tell(), size = fileHandle.Size();
    const uint64_t from = std::min(oldEnd + (dataSizeAtOpen & 1u), size);
    if (size - from > kTailLimit) return false;
    tailSize = size - from;
    if (tailSize > 0) {
        tail.reset(static_cast<uint8_t*>(std::malloc(size_t(tailSize))));
        if (!tail || !fileHandle.Seek(from) || fileHandle.Read(tail.get(), size_t(tailSize)) != tailSize)
            return false;
    }
    tailKept = true;
    return fileHandle.Seek(resume);
}

bool TWaveFile::DirectWrite(const void* bytes, uint32_t n) {
    if (!bytes || n == 0) return false;
    dataChunk.fixSize = true;
    const uint64_t at = fileHandle.Tell(), end = at + n;
    if (uint64_t(BytesForFrames(position)) + n > byteSize || end > dataChunk.dataOffset + dataSizeAtOpen)
        riffChunk.fixSize = true;
    // The sizes must still fit their 32-bit fields once the chunk is finished.
    const bool fits = at >= dataChunk.dataOffset && end + 1 + formTailAtOpen - riffChunk.dataOffset <= UINT32_MAX;
    if (!fits || !KeepTail(end) || fileHandle.Write(bytes, n) != n) {
        failed = true;
        return false;
    }
    const uint64_t grownSize = end - dataChunk.dataOffset;
    if (grownSize > dataChunk.size) {
        dataChunk.size = uint32_t(grownSize);
        if (!WriteUint32At(dataChunk.dataOffset - 4, dataChunk.size) || !fileHandle.Seek(end)) {
            failed = true;
            return false;
        }
    }
    return true;
}

bool TWaveFile::FinishDataChunk() {
    if (!dataChunk.fixSize) return true;
    // Never below the size at opening: a partial last frame stays where it was.
    const uint64_t wanted = std::max<uint64_t>(uint64_t(format.FrameSize()) * highWater, dataSizeAtOpen);
    if (wanted > UINT32_MAX) return false;
    const uint32_t size = uint32_t(wanted);
    if (size != dataChunk.size && !WriteUint32At(dataChunk.dataOffset - 4, size)) return false;
    dataChunk.size = size;
    const uint8_t pad = 0;
    if (!tailKept) {
        // Nothing behind the data was touched; an odd chunk at the file's end still gets
        // the pad byte it may lack, and the form then counts it.
        if (!(size & 1u) || fileHandle.Size() != dataChunk.End()) return true;
        riffChunk.fixSize = true;
        return fileHandle.Seek(dataChunk.End()) && fileHandle.Write(&pad, 1) == 1;
    }
    if ((size & 1u) && !(fileHandle.Seek(dataChunk.End()) && fileHandle.Write(&pad, 1) == 1)) return false;
    const uint64_t tailAt = dataChunk.End() + (size & 1u);
    return tailSize == 0 || (fileHandle.Seek(tailAt) && fileHandle.Write(tail.get(), size_t(tailSize)) == tailSize);
}

bool TWaveFile::FinishRiffForm() {
    if (!riffChunk.fixSize) return true;
    // The form keeps whatever it held behind the data: it moves with the grown data.
    const uint64_t end = dataChunk.End() + (dataChunk.size & 1u) + formTailAtOpen;
    const uint64_t length = end - riffChunk.dataOffset;
    if (length > UINT32_MAX || !WriteUint32At(riffChunk.dataOffset - 4, uint32_t(length))) return false;
    riffChunk.size = uint32_t(length);
    return true;
}

bool TWaveFile::CommitDirect() {
    if (!fileHandle.IsOpen()) return true;
    WaitCursor wait;
    Seek(highWater);
    // Unlike the data size, the RIFF length is also fixed when the file is committed in
    // place: a file that grew must not understate its own size.
    if (!FinishDataChunk() || !FinishRiffForm()) {
        fileHandle.Close();
        failed = true;
        return false;
    }
    if (SameFileName(workingName, targetName)) {
        riffChunk.fixSize = dataChunk.fixSize = false;
        ForgetTail();
        Seek(highWater);
        modified = false;
        return true;
    }
    if (!fileHandle.Close()) {
        Report(kCloseFailed);
        return false;
    }
    AppendCalibration(workingName);
    const bool delivered = Deliver();
    if (!delivered && createdNew && !keepBackup) return false;  // the new file stays, closed
    // The working file may carry an older calibration chunk ahead of the appended one;
    // the block this object holds is the one that counts.
    const CalibrationBlock held = calibration;
    const bool heldPresent = calibrationPresent;
    OpenDirect();
    calibration = held;
    calibrationPresent = heldPresent;
    SetPosition(highWater);
    if (!delivered) return false;
    modified = false;
    createdNew = false;
    return true;
}

bool TWaveFile::Deliver() {
    if (keepBackup) return CopyToTarget(workingName, targetName, highWater);
    if (!createdNew) {
        if (!CopyToTarget(workingName, targetName, highWater)) return false;
        workingName = targetName;
        return true;
    }
    if (!ReplaceFile(workingName, targetName)) {
        if (!CopyReplacing(workingName, targetName)) {
            Report(kCopyFailed);
            return false;
        }
        RemoveFile(workingName);
    }
    workingName = targetName;
    return true;
}

bool TWaveFile::CopyToTarget(const std::string& source, const std::string& destination, uint32_t frames) {
    if (calibrationChanged) return RebuildTarget(source, destination, frames);
    if (CopyReplacing(source, destination)) return true;
    Report(kCopyFailed);
    return false;
}

// A new file with the samples of source and only this object's calibration block. It
// is made beside the destination, so that its delivery is one rename.
bool TWaveFile::RebuildTarget(const std::string& source, const std::string& destination, uint32_t frames) {
    WaitCursor wait;
    TWaveFile src(source, 1, false, nullptr);
    if (src.Failed()) {
        Report(kCopyFailed);
        return false;
    }
    TWaveFile dst(src.GetFormat(), false, FolderOf(destination).c_str());
    TWaveData block(std::min(frames, kBlockFrames), src.GetFormat());
    bool copied = !dst.Failed() && (frames == 0 || !block.Failed());
    // Whole frames straight from the data: every frame is copied, the last one included.
    for (uint32_t start = 0; copied && start < frames; start += kBlockFrames) {
        const uint32_t count = std::min(kBlockFrames, frames - start);
        const uint32_t bytes = src.BytesForFrames(count);
        copied = src.ReadFrames(block.GetSamples(), start, count, 2) && dst.SetPosition(start) == start &&
                 dst.WriteBytes(block.GetSamples(), bytes);
    }
    if (!copied) {
        Report(kCopyFailed);
        return false;  // dst still deletes its temporary file
    }
    src.Commit();
    dst.SetTargetName(destination);
    if (calibrationPresent) dst.SetCalibration(calibration);
    if (dst.Commit()) return true;
    if (!SameFileName(dst.GetWorkingName(), destination)) RemoveFile(dst.GetWorkingName());
    return false;  // dst reported it
}

float TWaveFile::ReadSample(uint32_t frame, uint16_t channel, bool scaled) {
    if (mode != 1) return TWaveData::ReadSample(frame, channel, scaled);
    const float silence = float(format.offset);
    const uint32_t frameSize = format.FrameSize();
    // Frames past the data would decode whatever follows it (a calibration chunk).
    if (!DirectReady() || frame >= frameCount || frameSize == 0 || frameSize > 8) return silence;
    const uint32_t saved = position;
    Seek(frame);
    uint8_t bytes[8] = {};
    const size_t got = fileHandle.Read(bytes, frameSize);
    Seek(saved);
    if (got == 0) return silence;
    channel = EffectiveChannel(channel);
    const int32_t s = DecodeSample(bytes + channel * format.bytesPerSample, format.bytesPerSample);
    if (!scaled) return float(s);
    return float(int64_t(s) - format.offset) * (channel == 1 ? rightFactor : leftFactor);
}

bool TWaveFile::WriteSample(int32_t value, uint32_t frame, uint16_t channel) {
    if (mode != 1) return TWaveData::WriteSample(value, frame, channel);
    const uint32_t frameSize = format.FrameSize();
    if (!DirectReady() || frame >= frameCount || frameSize == 0 || frameSize > 8) return false;
    if (format.bytesPerSample == 1 && (value > 255 || value < -255)) return false;
    const uint32_t saved = position;
    Seek(frame);
    uint8_t bytes[8] = {};
    bool ok = fileHandle.Read(bytes, frameSize) == frameSize;
    if (ok) {
        EncodeSample(bytes + EffectiveChannel(channel) * format.bytesPerSample, format.bytesPerSample, value);
        Seek(frame);
        ok = DirectWrite(bytes, frameSize);
    }
    if (ok) {
        modified = true;
        highWater = std::max(highWater, frame);
    }
    Seek(saved);
    return ok;
}

bool TWaveFile::ReadFrames(void* destination, uint32_t start, uint32_t count, uint16_t channel) {
    if (mode != 1) return TWaveData::ReadFrames(destination, start, count, channel);
    if (!DirectReady() || !destination || !RangeInside(start, count, frameCount)) return false;
    const uint64_t bytes = uint64_t(format.FrameSize()) * count;
    const uint32_t saved = position;
    Seek(start);
    bool ok;
    if (format.channels < 2 || channel > 1) {
        ok = fileHandle.Read(destination, size_t(bytes)) == bytes;
    } else {
        Bytes work = ZeroedBytes(bytes);
        ok = work && fileHandle.Read(work.get(), size_t(bytes)) == bytes;
        const uint32_t bps = format.bytesPerSample, frameSize = format.FrameSize();
        auto* out = static_cast<uint8_t*>(destination);
        for (uint32_t i = 0; ok && i < count; ++i)
            std::memcpy(out + uint64_t(i) * bps, work.get() + uint64_t(i) * frameSize + channel * bps, bps);
    }
    Seek(saved);
    return ok;
}

bool TWaveFile::WriteFrames(const void* source, uint32_t start, uint32_t count, uint16_t channel) {
    if (mode != 1) return TWaveData::WriteFrames(source, start, count, channel);
    // No frames are refused like every direct write of no bytes.
    if (!DirectReady() || !source || count == 0 || !RangeInside(start, count, frameCount)) return false;
    const uint64_t bytes = uint64_t(format.FrameSize()) * count;
    const uint32_t saved = position;
    bool ok;
    if (format.channels < 2 || channel > 1) {
        Seek(start);
        ok = DirectWrite(source, uint32_t(bytes));
    } else {
        // Only one channel changes: the frames are read, patched and written back whole.
        Bytes work = ZeroedBytes(bytes);
        Seek(start);
        ok = work && fileHandle.Read(work.get(), size_t(bytes)) == bytes;
        const uint32_t bps = format.bytesPerSample, frameSize = format.FrameSize();
        const auto* in = static_cast<const uint8_t*>(source);
        for (uint32_t i = 0; ok && i < count; ++i)
            std::memcpy(work.get() + uint64_t(i) * frameSize + channel * bps, in + uint64_t(i) * bps, bps);
        if (ok) {
            Seek(start);
            ok = DirectWrite(work.get(), uint32_t(bytes));
        }
    }
    if (ok) modified = true;
    Seek(saved);
    return ok;
}

bool TWaveFile::ReadBytes(void* destination, uint32_t n) {
    if (mode != 1) return TWaveData::ReadBytes(destination, n);
    if (!DirectReady() || !destination) return false;
    // Refused from the last frame on, as in memory (a file of no frames passes).
    if (position >= frameCount - 1) return false;
    // Only sample bytes: what follows the data chunk is not read as frames.
    const uint64_t at = fileHandle.Tell(), end = uint64_t(dataOffset) + byteSize;
    const size_t want = size_t(std::min<uint64_t>(n, at < end ? end - at : 0));
    const size_t got = want > 0 ? fileHandle.Read(destination, want) : 0;
    position += FramesForBytes(uint32_t(got));
    if (got < n) {
        std::memset(static_cast<uint8_t*>(destination) + got, 0, n - got);
        position = frameCount - 1;
    }
    return got > 0;
}

bool TWaveFile::WriteBytes(const void* source, uint32_t n) {
    if (mode != 1) return TWaveData::WriteBytes(source, n);
    if (!DirectReady() || !source || n == 0 || !DirectWrite(source, n)) return false;
    position += FramesForBytes(n);
    if (position > frameCount) {
        frameCount = position;
        byteSize = BytesForFrames(position);
    }
    modified = true;
    highWater = std::max(highWater, position);
    return true;
}

}  // namespace vorn
