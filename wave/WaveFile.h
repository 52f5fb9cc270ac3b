// RIFF/WAVE files of integer PCM (1 or 2 channels, 1 to 4 bytes per sample) with the
// calibration block that travels behind the RIFF form.
//
// Mode 0 loads the whole data chunk at construction and closes the file; Commit
// writes a complete new file under the target name, through a temporary file beside
// it, so a failed save never damages the file already there. Mode 1 (editing the
// file in place) fails; any other mode opens nothing.
//
// Callers test Failed() after construction. Messages go to the message sink with the
// caption "VRON"; calibration problems never fail a file, they only leave the block
// marked absent.
#pragma once

#include "wave/ByteStream.h"
#include "wave/CalibrationBlock.h"
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
    static constexpr const char* kCalibrationChunkFailed =
        "Error on mmioCreateChunk() for Calibration data";
    static constexpr const char* kCalibrationWriteFailed =
        "Error writing Calibration data to wave file";

    // Opens an existing file in memory (mode 0). keepBackup and tempDir (null: the
    // system's temporary folder) concern editing a file in place, which memory mode
    // does not do.
    TWaveFile(const std::string& fileName, int16_t mode, bool keepBackup, const char* tempDir);
    ~TWaveFile() override = default;

    void SetTargetName(const std::string& name);
    void SetCalibration(const CalibrationBlock& block);
    bool Commit();

    const CalibrationBlock& GetCalibration() const { return calibration; }
    bool CalibrationPresent() const { return calibrationPresent; }
    bool CalibrationChanged() const { return calibrationChanged; }
    int16_t GetMode() const { return mode; }
    const std::string& GetTargetName() const { return targetName; }

private:
    bool Load();
    bool LoadFrom(ByteStream& in);
    bool ApplyFmtChunk(ByteStream& in, uint64_t at, uint32_t size);
    bool Save();

    void ReadCalibration(ByteStream& in);
    bool ReadCalibrationChunk(ByteStream& in);
    bool ReadLegacyCalibration(ByteStream& in);
    void ImportCal1Text(ByteStream& in);
    void WriteCalibrationChunk(ByteStream& out);

    bool calibrationPresent = false;    // `calibration` holds data
    bool calibrationChanged = false;    // SetCalibration stored a different block
    int16_t mode = 0;                   // 0 in memory
    std::string targetName;             // the file meant: opened, or to deliver to
    uint32_t dataOffset = 44;           // byte offset of the first sample
    CalibrationBlock calibration;
};

// Writes a sample buffer as a complete new wave file (frames up to its high-water mark),
// as safely as Commit does: the old file at path survives any failure.
bool SaveWaveData(const TWaveData& data, const std::string& path);

}  // namespace vorn
