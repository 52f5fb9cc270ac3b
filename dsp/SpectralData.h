// Frequency-domain working state of an FFT analysis: the bin grid of a transform size and
// sample rate, a per-bin amplitude scale (full scale, calibration units, amplitude mode,
// density, weighting, microphone compensation, integration), optional fractional-octave
// bands, linear-averaging buffers, and two services: reading a text table of frequency/dB
// rows onto the bins (LoadTable), and turning a per-bin power spectrum into a time
// sequence with the inverse real FFT (ImpulseFromPower).
//
// L = transform size, K = L / 2 bins spaced (maximum frequency / K) apart from 0 Hz.
// Failures set `error` and show a message (error icon, the application's name as
// caption); nothing throws.
#pragma once

#include "wave/ChannelCalibration.h"
#include "wave/SampleFormat.h"

#include <array>
#include <cstdio>
#include <cstdint>
#include <memory>
#include <string>

namespace vorn {

struct AnalysisSetup {
    SampleFormat format;            // of the analysed samples: full scale and frequency range
    uint32_t transformSize = 0;     // L; fewer than 2 gives no bins and is an error
    uint16_t decimation = 1;        // divides the frequency range; 0 is taken as 1
    uint32_t averages = 1;          // linear averages, 1 .. 1000
    uint16_t averagingType = 0;     // 1 linear averaging (buffers allocated); others none
    uint16_t windowType = 10;       // smoothing window type of the analysis; 11 adds an array
    float span = 1.0f;              // fraction of the Nyquist frequency analysed
};

struct DisplaySetup {
    uint16_t units = 0;              // 0 .. 2 convert dB tables to linear; 1 adds a peak array
    uint16_t analysisMode = 0;       // 2 fractional-octave bands, others narrowband bins
    uint16_t bandsPerOctave = 3;     // 0 is taken as 1
    uint8_t density = 0;             // 1 amplitude spectral density (narrowband only)
    uint16_t flag = 0;               // kept as callers fill it in, not used
    uint16_t weightingType = 0;      // 0 none, 1 A, 2 the listed table, 3 C
    uint16_t reserved = 0;           // kept as callers fill it in, not used
    uint8_t compensationEnable = 0;  // nonzero: load the compensation file
    char compensationPath[260] = {};  // table file, NUL-terminated
};

class SpectralData {
public:
    static constexpr float kNoData = -999.9f;
    static constexpr float kTableLimitDb = 240.0f;       // table levels are held to +/- this
    static constexpr uint32_t kMaxTableEntries = 524288;
    static constexpr uint32_t kTablePieceLength = 127;   // characters of a table line that count
    static constexpr uint32_t kMaxAverages = 1000;

    // Word for word as operators know them from the message boxes, capitals and
    // underscores included; kept as they are.
    static constexpr const char* kNoWorkMemoryText =
        "SpectralData - Insufficient memory available for working memory";
    static constexpr const char* kNoAveragingMemoryText =
        "Insufficient memory for linear averaging - try using exponential average";
    static constexpr const char* kOpenTableFailedText = "Failure opening mic compensation file: %s";
    static constexpr const char* kNoTableMemoryText =
        "SpectralData - Insufficient memory available for compensation data table";
    static constexpr const char* kTooFewEntriesText = "INSUFFICIENT_TABLE_ENTRIES";
    static constexpr const char* kNotAscendingText = "TABLE_NOT_ASCENDING";

    struct Band {
        // Hz; the last two stay 0, kept so a band has its six values as stored tables do
        float centre, nominal, lower, upper, unused1, unused2;
    };
    struct BandBins {
        int32_t firstBin;
        float firstFraction;  // part of the first bin inside the band
        int32_t lastBin;
        float lastFraction;   // part of the last bin inside the band
    };
    struct DisplayPair {
        float value;
        int32_t marker;
    };

    SpectralData(const AnalysisSetup& setup, const DisplaySetup& display, bool loadCompensation);
    SpectralData(const SpectralData&) = delete;
    SpectralData& operator=(const SpectralData&) = delete;

    // Reads a table file of "frequency<white space>dB" rows onto the K bins of `out`.
    bool LoadTable(const char* path, float* out) const;
    float* PowerArray() { return power.get(); }
    void ImpulseFromPower();
    float ImpulseValue(uint32_t i) const;
    uint32_t BinOfFrequency(float f) const;
    float FrequencyOfBin(uint32_t i) const;
    int32_t OutputCount() const;

    void ApplyCalibration(const ChannelCalibration* record);
    void ComputeScale();
    void SetDisplay(const DisplaySetup& display, bool loadCompensation);
    void LoadCompensation(const char* path, uint8_t enable);
    void SetWeighting(uint16_t type);
    void BuildBands();
    void MapBandsToBins();
    float NominalFrequency(float x) const;
    void AllocateAveraging();
    void AllocateWorkArrays();
    // Carries n table entries (frequency, dB pairs) onto the K bins of `out`.
    void ResampleTable(const float* entries, uint32_t n, float* out, uint8_t linear) const;

    // The built-in weighting tables (frequency, dB pairs): types 1 to 3, else nullptr.
    static const float* WeightingTable(uint16_t type, uint32_t& rows);

    uint8_t GetError() const { return error; }
    uint32_t GetTransformSize() const { return transformSize; }
    uint32_t GetBinCount() const { return binCount; }
    uint32_t GetBandCount() const { return bandCount; }
    float GetFullScale() const { return fullScale; }
    float GetMaximumFrequency() const { return maximumFrequency; }
    float GetBinWidth() const { return binWidth; }
    float GetLowLimit() const { return lowLimit; }
    float GetHighLimit() const { return highLimit; }
    float GetBandwidthFactor() const { return bandwidthFactor; }
    float GetCalibrationFactor() const { return calibrationFactor; }
    const ChannelCalibration& GetCalibration() const { return calibration; }
    const float* GetScale() const { return scale.get(); }
    const float* GetWeighting() const { return weighting.get(); }
    const float* GetCompensation() const { return compensation.get(); }
    const float* GetPeaks() const { return peaks.get(); }
    const float* GetWindowArray() const { return windowArray.get(); }
    const Band* GetBands() const { return bands.get(); }
    const BandBins* GetBandBins() const { return bandBins.get(); }
    const float* GetBandValues() const { return bandValues.get(); }
    const DisplayPair* GetDisplayPairs() const { return displayPairs.get(); }
    uint32_t GetAllocatedAverages() const;

private:
    void ReportNoWorkMemory();
    // Reads the rows into `entries` (kMaxTableEntries pairs); returns how many.
    uint32_t ReadTableEntries(std::FILE* file, float* entries, uint8_t& linear) const;

    uint8_t error = 0;
    std::unique_ptr<float[]> secondComplex;          // K pairs, not read here
    std::unique_ptr<float[]> complexSpectrum;        // K pairs (first, second); its angle is the phase
    std::unique_ptr<float[]> power;                  // K
    std::unique_ptr<float[]> peaks;                  // K no-data values (units 1)
    std::unique_ptr<Band[]> bands;                   // B
    std::unique_ptr<float[]> bandValues;             // B no-data values (band mode)
    std::unique_ptr<BandBins[]> bandBins;            // B
    std::unique_ptr<float[]> weighting;              // K linear factors, or none
    std::unique_ptr<float[]> compensation;           // K linear factors, or none
    std::unique_ptr<float[]> impulse;                // 2K values, or none
    std::unique_ptr<float[]> scale;                  // K per-bin amplitude scale
    std::unique_ptr<float[]> windowArray;            // K (window type 11)
    std::unique_ptr<DisplayPair[]> displayPairs;     // K, or B in band mode
    std::array<std::unique_ptr<float[]>, kMaxAverages> averageSlots;         // K each
    std::array<std::unique_ptr<float[]>, kMaxAverages> complexAverageSlots;  // K pairs each
    uint16_t averagingType = 0;
    float averageCount = 0;      // number of averages asked for
    int32_t averageCounter = 0;

    uint32_t transformSize = 0;  // L
    float fullScale = 0;         // (maximum - minimum) / 2 of the format
    uint32_t binCount = 0;       // K
    uint32_t bandCount = 0;      // B
    float maximumFrequency = 0;  // Hz
    float lowLimit = 0;          // Hz, frequency of bin 2
    float highLimit = 0;         // Hz, 0.99 x maximum
    float binWidth = 0;          // Hz

    int32_t units = 0;
    int32_t analysisMode = 0;
    int32_t bandsPerOctave = 0;
    uint16_t weightingType = 0;
    uint16_t reserved = 0;
    uint16_t windowType = 0;
    float bandwidthFactor = 1.0f;   // sqrt(bin width) for densities, else 1
    uint8_t density = 0;
    bool flag = false;
    float calibrationFactor = 1.0f; // units per count
    ChannelCalibration calibration;
};

}  // namespace vorn
