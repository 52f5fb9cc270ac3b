// RIFF/WAVE files of integer PCM (1 or 2 channels, 1 to 4 bytes per sample) with the
// calibration block that travels behind the RIFF form.
//
// Mode 0 loads the whole data chunk at construction and closes the file; Commit
// writes a complete new file under the target name, through a temporary file beside
// it, so a failed save never damages the file already there.
//
// Mode 1 keeps the file open and sends every read and write to it at the frame
// position (WaveFileDirect.cpp): the file itself, a temporary copy of it (keepBackup)
// that Commit delivers to the target, or a new temporary file that Commit moves to
// its target. Deliveries replace the target in one rename, so until then the target
// stays as it was whatever happens to the process.
//
// Callers test Failed() after construction. Messages go to the message sink with the
// caption "VRON"; calibration problems never fail a file, they only leave the block
// marked absent.
#pragma once

#include "wave/ByteStream.h"
#include "wave/CalibrationBlock.h"
#include "wave/FileStream.h"
#include "wave/RiffChunks.h"
#include "wave/WaveData.h"

#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>

namespace vorn {

class TWaveFile : public TWaveData {
public:
    // The caption and the texts below read oddly (the caption is not the program's name,
    // two name library calls this code does not make) but are kept word for word:
    // operators, their procedures and the logs of earlier versions know them by these.
    static constexpr const char* kCaption = "VRON";
    static constexpr const char* kNoDataChunk =
        "TWaveFile - invalid wave file data found (DATA section)";
    static constexpr const char* kNoSampleMemory = "WAVE_DATA_MEMORY";
    static constexpr const char* kCloseFailed = "TWaveFile - failure on mmioClose()";
    static constexpr const char* kDeleteFailed = "TWaveFile - failure deleting temporary file";
    static constexpr const char* kCalibrationChunkFailed =
        "Error on mmioCreateChunk() for Calibration data";
    static constexpr const char* kCalibrationWriteFailed =
        "Error writing Calibration data to wave file";
    static constexpr const char* kCopyFailed = "TWaveFile - failure copying temporary backup file.";

    // Opens an existing file. mode 0: in memory; 1: direct; any other mode opens
    // nothing. tempDir may be null (the system's temporary folder).
    TWaveFile(const std::string& fileName, int16_t mode, bool keepBackup, const char* tempDir);
    // Makes a new file in mode 1: an empty temporary file ("wav..." in tempDir) that
    // WriteBytes fills and Commit moves to the target name.
    TWaveFile(SampleFormat format, bool keepBackup, const char* tempDir);
    // Loads a wave from a stream, in mode 0 with no target name: SetTargetName before a
    // Commit, or WriteTo another stream. The stream is read only here.
    explicit TWaveFile(ByteStream& in);
    ~TWaveFile() override;

    // In mode 1 these go to the file (see WaveFileDirect.cpp); otherwise to memory.
    float ReadSample(uint32_t frame, uint16_t channel, bool scaled);
    bool WriteSample(int32_t value, uint32_t frame, uint16_t channel);
    bool ReadFrames(void* destination, uint32_t start, uint32_t count, uint16_t channel);
    bool WriteFrames(const void* source, uint32_t start, uint32_t count, uint16_t channel);
    bool ReadBytes(void* destination, uint32_t n);
    bool WriteBytes(const void* source, uint32_t n);

    void Seek(uint32_t frame) override;
    void SetTargetName(const std::string& name);
    void SetCalibration(const CalibrationBlock& block);
    bool Commit();
    // The file as Commit in mode 0 writes it (the frames up to the high-water mark and the
    // calibration chunk), to any stream; false when the RIFF form could not be written.
    bool WriteTo(ByteStream& out);

    const CalibrationBlock& GetCalibration() const { return calibration; }
    bool CalibrationPresent() const { return calibrationPresent; }
    bool CalibrationChanged() const { return calibrationChanged; }
    int16_t GetMode() const { return mode; }
    // The format tag of the "fmt " chunk (1 integer PCM, 3 float), an extensible chunk's
    // taken from its sub-format; 1 for files made here. Samples are read as integers
    // whatever it says, so callers that write samples back check it.
    uint16_t GetFormatTag() const { return formatTag; }
    const std::string& GetTargetName() const { return targetName; }
    const std::string& GetWorkingName() const { return workingName; }
    bool CreatedNew() const { return createdNew; }

private:
    // Where a chunk of the open file sits, and whether its size must be rewritten
    // when the chunk is finished (direct mode keeps both for the RIFF form and data).
    struct ChunkPosition {
        uint64_t dataOffset = 0;
        uint32_t size = 0;
        bool fixSize = false;
        uint64_t End() const { return dataOffset + size; }
    };

    struct FreeBytes {
        void operator()(uint8_t* p) const { std::free(p); }
    };

    bool Load();
    bool LoadFrom(ByteStream& in);
    bool ReadLayout(ByteStream& in, riff::Chunk& form, riff::Chunk& data);
    bool ApplyFmtChunk(ByteStream& in, uint64_t at, uint32_t size);
    bool Save();

    bool OpenDirect();
    bool CreateDirect();
    bool CommitDirect();
    bool CopyToTarget(const std::string& source, const std::string& destination, uint32_t frames);
    bool RebuildTarget(const std::string& source, const std::string& destination, uint32_t frames);
    bool Deliver();
    bool FinishDataChunk();
    bool FinishRiffForm();
    bool DirectWrite(const void* bytes, uint32_t n);
    bool KeepTail(uint64_t writeEnd);
    void ForgetTail();
    bool WriteUint32At(uint64_t at, uint32_t value);
    bool DirectReady() const { return mode == 1 && fileHandle.IsOpen(); }
    void CloseFailedOpen();

    void ReadCalibration(ByteStream& in);
    bool ReadCalibrationChunk(ByteStream& in);
    bool ReadLegacyCalibration(ByteStream& in);
    void ImportCal1Text(ByteStream& in);
    void WriteCalibrationChunk(ByteStream& out);
    void AppendCalibration(const std::string& name);

    bool deleteWorkingOnClose = false;  // working file is ours to delete at destruction
    bool calibrationPresent = false;    // `calibration` holds data
    bool calibrationChanged = false;    // SetCalibration stored a different block
    int16_t mode = 0;                   // 0 in memory, 1 direct
    uint16_t formatTag = 1;             // of the "fmt " chunk read
    bool createdNew = false;            // the working file was made by this object
    bool keepBackup = false;            // direct mode works on a temporary copy
    std::string tempDir;                // folder for direct mode's temporary files
    std::string targetName;             // the file meant: opened, or to deliver to
    std::string workingName;            // the file the direct-mode handle works on
    uint32_t dataOffset = 44;           // byte offset of the first sample
    CalibrationBlock calibration;
    FileStream fileHandle;              // open only in direct mode
    ChunkPosition riffChunk;
    ChunkPosition dataChunk;

    // Direct mode: what lies behind the data chunk (a calibration chunk, chunks inside
    // the form) when the file was opened. Data written past the old end would overwrite
    // it, so it is kept in memory from the first such write and put back behind the
    // grown data when the chunk is finished.
    uint32_t dataSizeAtOpen = 0;        // bytes, as recorded
    uint64_t formTailAtOpen = 0;        // bytes of the form behind the data and its pad
    std::unique_ptr<uint8_t[], FreeBytes> tail;
    uint64_t tailSize = 0;
    bool tailKept = false;
};

// Rewrites the wave file at path with `block` as its one calibration chunk, right behind
// the RIFF form, and every other chunk it holds byte for byte (LIST, bext, smpl and the
// like, inside the form or behind it), as safely as Commit does. A RIFF form that claims more bytes than the file has is recorded
// with its true length, so that the chunk behind it can be found.
bool ReplaceCalibration(const std::string& path, const CalibrationBlock& block);

// Writes a sample buffer as a complete new wave file (frames up to its high-water mark),
// as safely as Commit does: the old file at path survives any failure.
bool SaveWaveData(const TWaveData& data, const std::string& path);

}  // namespace vorn
