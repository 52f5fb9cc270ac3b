// TWaveFile: the calibration block. Read at every opening from the first top-level
// chunk 0x66 behind the RIFF form, else from a legacy 0x65 record, else from a "CAL1"
// text inside the form; written behind the RIFF form on save. Nothing here fails a
// file: a missing or short record only leaves the block marked absent.
#include "wave/WaveFile.h"

#include "common/DebugOutput.h"
#include "common/MessageSink.h"
#include "wave/LittleEndian.h"
#include "wave/RiffChunks.h"

#include <algorithm>
#include <vector>

namespace vorn {

namespace {
constexpr uint32_t kCalibrationId = 0x66;
constexpr uint32_t kLegacyCalibrationId = 0x65;
constexpr uint32_t kCal1Minimum = 44;

void Report(const char* text) { ShowMessage(TWaveFile::kCaption, text, MessageIcon::Stop); }
}  // namespace

void TWaveFile::SetCalibration(const CalibrationBlock& block) {
    if (!block.SameBytes(calibration)) {
        calibrationChanged = true;
        modified = true;
        // An empty buffer has nothing to rebuild: the block simply goes with it.
        if (frameCount == 0) {
            calibrationChanged = false;
            modified = false;
        }
    }
    calibration = block;
    calibrationPresent = true;
}

void TWaveFile::ReadCalibration(ByteStream& in) {
    calibrationPresent = false;
    if (ReadCalibrationChunk(in) || ReadLegacyCalibration(in))
        calibrationPresent = true;
    else
        ImportCal1Text(in);
    in.Seek(0);
    if (calibration.left.channelName[0] == '\0')
        SetTextField(calibration.left.channelName, sizeof calibration.left.channelName, "Left");
    if (calibration.right.channelName[0] == '\0')
        SetTextField(calibration.right.channelName, sizeof calibration.right.channelName, "Right");
}

// The chunk's size field is not trusted either way: older writers left it 0, so the
// record length is what is read, and only a record read whole is taken.
bool TWaveFile::ReadCalibrationChunk(ByteStream& in) {
    riff::Chunk c;
    if (!riff::FindTopLevel(in, kCalibrationId, c)) return false;
    uint8_t block[CalibrationBlock::kSize];
    if (!in.Seek(c.dataOffset) || in.Read(block, sizeof block) != sizeof block) return false;
    calibration = CalibrationBlock::Decode(block);
    return true;
}

bool TWaveFile::ReadLegacyCalibration(ByteStream& in) {
    riff::Chunk c;
    if (!riff::FindTopLevel(in, kLegacyCalibrationId, c)) return false;
    uint8_t record[CalibrationBlock::kLegacySize] = {};
    if (!in.Seek(c.dataOffset) || in.Read(record, sizeof record) != sizeof record) return false;
    calibration = CalibrationBlock::FromLegacy(record);
    return true;
}

void TWaveFile::ImportCal1Text(ByteStream& in) {
    riff::Chunk form, text;
    if (riff::FindWaveForm(in, form) != riff::Search::Found) return;
    if (riff::FindChunk(in, le::FourCC("CAL1"), form.dataOffset + 4, riff::FormEnd(in, form), text) !=
        riff::Search::Found)
        return;
    if (text.size < kCal1Minimum) return;
    // The size was checked against the form, cut at the file's end: no huge buffer here.
    std::vector<char> bytes(size_t(text.size) + 1, '\0');
    if (!in.Seek(text.dataOffset) || in.Read(bytes.data(), text.size) != text.size) return;
    DebugOutput(std::string(bytes.data()) + "\n");
    if (calibration.ImportCal1Text(bytes.data())) calibrationPresent = true;
}

namespace {
void EncodeChunkHeader(uint8_t* h) {
    le::PutU32(h, kCalibrationId);
    le::PutU32(h + 4, CalibrationBlock::kSize);
}
}  // namespace

void TWaveFile::WriteCalibrationChunk(ByteStream& out) {
    uint8_t header[8];
    EncodeChunkHeader(header);
    if (out.Write(header, sizeof header) != sizeof header) {
        Report(kCalibrationChunkFailed);
        calibrationPresent = false;
        return;
    }
    uint8_t block[CalibrationBlock::kSize];
    calibration.Encode(block);
    if (out.Write(block, sizeof block) != sizeof block) {
        Report(kCalibrationWriteFailed);
        calibrationPresent = false;
    }
}

void TWaveFile::AppendCalibration(const std::string& name) {
    if (name.empty() || !calibrationPresent) return;
    FileStream f;
    if (!f.Open(name, FileStream::Mode::Append)) return;
    uint8_t bytes[8 + CalibrationBlock::kSize];
    EncodeChunkHeader(bytes);
    calibration.Encode(bytes + 8);
    f.Write(bytes, sizeof bytes);
    f.Close();
}

namespace {
// Copies n bytes from where `in` stands, all of them or nothing good.
bool CopyBytes(FileStream& in, FileStream& out, uint64_t n) {
    const uint64_t from = in.Tell();
    return n == 0 || (out.CopyFrom(in, n) && in.Tell() == from + n);
}

// The top-level chunks of `in` go to `out` as they are, but for the calibration chunks,
// which are left out, and a form that reaches past the file's end, whose length is cut to
// the bytes there are. `calibration` goes right behind the WAVE form, where readers find it
// whatever follows; what does not make up a chunk header at the end is copied too.
bool CopyReplacingCalibration(FileStream& in, FileStream& out, const uint8_t* calibration, std::size_t size) {
    const uint64_t end = in.Size();
    uint64_t at = 0;
    bool placed = false;
    while (at + 8 <= end) {
        uint8_t header[12] = {};
        if (!in.Seek(at) || in.Read(header, 8) != 8) return false;
        const uint32_t id = le::U32(header);
        const uint64_t rest = end - at - 8;
        uint64_t length = le::U32(header + 4);
        // A calibration record's size field was left 0 by older writers: its record length counts.
        if (id == kCalibrationId || id == kLegacyCalibrationId) {
            const uint64_t record = id == kCalibrationId ? CalibrationBlock::kSize : CalibrationBlock::kLegacySize;
            at += 8 + std::min(rest, std::max(length + (length & 1u), record));
            continue;
        }
        const bool form = id == le::FourCC("RIFF");
        if (length > rest) {
            if (form) le::PutU32(header + 4, uint32_t(rest));
            length = rest;
        }
        const uint64_t whole = std::min(rest, length + (length & 1u));
        if (out.Write(header, 8) != 8 || !CopyBytes(in, out, whole)) return false;
        at += 8 + whole;
        if (form && !placed && whole >= 4 && in.Seek(at - whole) && in.Read(header + 8, 4) == 4 &&
            le::U32(header + 8) == le::FourCC("WAVE")) {
            if (out.Write(calibration, size) != size) return false;
            placed = true;
        }
    }
    if (!in.Seek(at) || !CopyBytes(in, out, end - at)) return false;
    return placed || out.Write(calibration, size) == size;
}
}  // namespace

bool ReplaceCalibration(const std::string& path, const CalibrationBlock& block) {
    FileStream in;
    if (!in.Open(path, FileStream::Mode::Read)) return false;
    return WriteReplacing(path, [&](FileStream& out) {
        uint8_t chunk[8 + CalibrationBlock::kSize];
        EncodeChunkHeader(chunk);
        block.Encode(chunk + 8);
        const bool copied = CopyReplacingCalibration(in, out, chunk, sizeof chunk);
        in.Close();  // Windows renames nothing over a file that is open
        return copied;
    });
}

}  // namespace vorn
