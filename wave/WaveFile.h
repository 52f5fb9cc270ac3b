// RIFF/WAVE files of integer PCM (1 or 2 channels, 1 to 4 bytes per sample) with the
// calibration block that travels behind the RIFF form.
//
// Mode 0 loads the whole data chunk at construction and closes the file; Commit
// writes a complete new file under the target name, through a temporary file beside
// it, so a failed save never damages the file already there. Mode 1 (the file stays
// open and every access goes to it) is not available yet: opening in mode 1 fails.
//
// Callers test Failed() after construction. Messages go to the message sink with the
// caption "VRON"; calibration problems never fail a file, they only leave the block
// marked absent.
#pragma once

#include "wave/ByteStream.h"
#include "wave/CalibrationBlock.h"
#include "wave/FileStream.h"
#include "wave/WaveData.h"

#include <cstdint>
#include <string>

namespace vorn {

class TWaveFile : public TWaveData {
public:
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

    // Opens an existing file. mode 0: in memory; 1: direct (not yet available, fails);
    // any other mode opens nothing. tempDir may be null (the system's temporary folder).
    TWaveFile(const std::string& fileName, int16_t mode, bool keepBackup, const char* tempDir);
    ~TWaveFile() override;

    void Seek(uint32_t frame) override;
    void SetTargetName(const std::string& name);
    void SetCalibration(const CalibrationBlock& block);
    bool Commit();

    const CalibrationBlock& GetCalibration() const { return calibration; }
    bool CalibrationPresent() const { return calibrationPresent; }
    bool CalibrationChanged() const { return calibrationChanged; }
    int16_t GetMode() const { return mode; }
    const std::string& GetTargetName() const { return targetName; }

private:
    // Where a chunk of the open file sits, and whether its size must be rewritten
    // when the chunk is finished (direct mode keeps both for the RIFF form and data).
    struct ChunkPosition {
        uint64_t dataOffset = 0;
        uint32_t size = 0;
        bool fixSize = false;
    };

    bool Load();
    bool LoadFrom(ByteStream& in);
    bool ApplyFmtChunk(ByteStream& in, uint64_t at, uint32_t size);
    bool Save();

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
};

// Writes a sample buffer as a complete new wave file (frames up to its high-water mark),
// as safely as Commit does: the old file at path survives any failure.
bool SaveWaveData(const TWaveData& data, const std::string& path);

}  // namespace vorn
