#include "dsp/SpectralData.h"

#include "common/Format.h"
#include "common/MessageSink.h"
#include "dsp/InterpolationTable.h"
#include "dsp/RealFft.h"
#include "wave/LittleEndian.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <new>

namespace vorn {

namespace {

// 2 pi rounded at the ninth decimal, as the integrated scales of stored results were
// made with it; kept so they stay comparable (not a slip to be corrected).
constexpr double kTwoPi = 6.283185308;

// Built-in weighting tables, frequency (Hz, 10^(1 + j/10) to four significant figures)
// and dB. Rows 0 .. 33 of A and C are the standard curves as tabulated at one decimal at
// the one-third-octave frequencies 10 Hz .. 20 kHz; the last three rows roll off beyond.
constexpr float kAWeighting[] = {
    10, -70.4f,    12.59f, -63.4f, 15.85f, -56.7f, 19.95f, -50.5f, 25.12f, -44.7f, 31.62f, -39.4f,
    39.81f, -34.6f, 50.12f, -30.2f, 63.10f, -26.2f, 79.43f, -22.5f, 100, -19.1f,   125.9f, -16.1f,
    158.5f, -13.4f, 199.5f, -10.9f, 251.2f, -8.6f,  316.2f, -6.6f,  398.1f, -4.8f, 501.2f, -3.2f,
    631.0f, -1.9f,  794.3f, -0.8f,  1000, 0.0f,     1259, 0.6f,     1585, 1.0f,    1995, 1.2f,
    2512, 1.3f,     3162, 1.2f,     3981, 1.0f,     5012, 0.5f,     6310, -0.1f,   7943, -1.1f,
    10000, -2.5f,   12590, -4.3f,   15850, -6.6f,   19950, -9.3f,   25120, -10,    31620, -15,
    39810, -20};
constexpr float kCWeighting[] = {
    10, -14.3f,    12.59f, -11.2f, 15.85f, -8.5f,  19.95f, -6.2f,  25.12f, -4.4f, 31.62f, -3.0f,
    39.81f, -2.0f, 50.12f, -1.3f,  63.10f, -0.8f,  79.43f, -0.5f,  100, -0.3f,    125.9f, -0.2f,
    158.5f, -0.1f, 199.5f, 0.0f,   251.2f, 0.0f,   316.2f, 0.0f,   398.1f, 0.0f,  501.2f, 0.0f,
    631.0f, 0.0f,  794.3f, 0.0f,   1000, 0.0f,     1259, 0.0f,     1585, -0.1f,   1995, -0.2f,
    2512, -0.3f,   3162, -0.5f,    3981, -0.8f,    5012, -1.3f,    6310, -2.0f,   7943, -3.0f,
    10000, -4.4f,  12590, -6.2f,   15850, -8.5f,   19950, -11.2f,  25120, -15,    31620, -18,
    39810, -20};
constexpr float kListedWeighting[] = {
    10, -37,    20, -24,    30, -17,      40, -13,    50, -11.5f, 60, -10,    70, -8.5f,
    80, -7.2f,  90, -6.3f,  100, -5.4f,   200, -2,    300, -0.8f, 400, -0.5f, 500, 0,
    700, 0,     1000, 0,    2000, 0,      3000, 0,    4000, -0.5f, 5000, -0.8f, 6000, -1.2f,
    7000, -2,   8000, -3,   10000, -5,    20000, -10};

// Preferred numbers of the fractional-octave band names, per hundred.
constexpr int16_t kPreferredNumbers[] = {
    100, 103, 106, 109, 112, 115, 118, 121, 125, 130, 133, 137, 140, 145, 150, 155, 160,
    165, 170, 175, 180, 185, 190, 195, 200, 206, 212, 218, 224, 230, 237, 244, 250, 257,
    265, 272, 280, 290, 300, 307, 315, 325, 335, 345, 355, 365, 375, 387, 400, 412, 425,
    437, 450, 462, 475, 487, 500, 515, 530, 545, 560, 580, 600, 615, 630, 650, 670, 690,
    710, 730, 750, 775, 800, 825, 850, 875, 900, 925, 950, 975, 1000};

// Unit factor chosen by the calibration's unit code (offset 148).
double UnitFactor(int32_t code) {
    switch (code) {
        case 1: case 4: return 32.174;
        case 2: case 5: return 386.088;
        case 3: case 6: return 9806.6352;
        case 7: case 8: return 386088.0;
        case 9: case 10: return 386088000.0;
        default: return 1.0;
    }
}

// A float at byte 462 of the record, inside its uninterpreted tail, that defaults to 1.0.
constexpr uint32_t kTailFloat462 = 462 - 196;

template <typename T>
std::unique_ptr<T[]> Allocate(uint64_t n) {
    if (n > SIZE_MAX / sizeof(T)) return nullptr;
    return std::unique_ptr<T[]>(new (std::nothrow) T[size_t(n)]());
}

std::unique_ptr<float[]> AllocateFilled(uint64_t n, float value) {
    std::unique_ptr<float[]> a = Allocate<float>(n);
    if (a) std::fill(a.get(), a.get() + n, value);
    return a;
}

// One line of a table file. Only its first kTablePieceLength characters count; the rest
// of a longer line is skipped, so the tail of a long comment never reads as a row of its
// own and cannot end the table behind the user's back. False at the end of the file.
bool ReadTableLine(std::FILE* file, char (&piece)[SpectralData::kTablePieceLength + 1]) {
    size_t length = 0;
    bool any = false;
    for (int c; (c = std::getc(file)) != EOF;) {
        any = true;
        if (c == '\n') break;
        if (length < SpectralData::kTablePieceLength) piece[length++] = char(c);
    }
    piece[length] = '\0';
    return any;
}

bool IsSplineOffDirective(const char* line) {
    static constexpr char kDirective[] = ";SPLINE OFF";
    for (size_t i = 0; i + 1 < sizeof kDirective; ++i)
        if (std::toupper(static_cast<unsigned char>(line[i])) != kDirective[i]) return false;
    return true;
}

void ShowError(const char* text) { ShowMessage(ApplicationTitle(), text, MessageIcon::Stop); }

}  // namespace

SpectralData::SpectralData(const AnalysisSetup& setup, const DisplaySetup& display, bool loadCompensation) {
    fullScale = static_cast<float>(setup.format.HalfRange());
    transformSize = setup.transformSize;
    // A transform of one point has no bins; every array and bin index would be empty.
    if (transformSize < 2) {
        error = 1;
        return;
    }
    binCount = transformSize / 2;
    const uint16_t decimation = setup.decimation == 0 ? 1 : setup.decimation;
    maximumFrequency = static_cast<float>(double(setup.format.sampleRate) * 0.5 * setup.span / decimation);
    binWidth = maximumFrequency / float(binCount);
    lowLimit = FrequencyOfBin(2);
    highLimit = static_cast<float>(maximumFrequency * 0.99);
    ApplyCalibration(nullptr);
    averagingType = setup.averagingType;
    averageCount = float(setup.averages);
    averageCounter = 0;
    AllocateAveraging();
    windowType = setup.windowType;
    SetDisplay(display, loadCompensation);
    AllocateWorkArrays();
    ComputeScale();
}

void SpectralData::ReportNoWorkMemory() {
    error = 1;
    ShowError(kNoWorkMemoryText);
}

uint32_t SpectralData::BinOfFrequency(float f) const {
    if (!(f >= 0)) return 0;
    if (f > maximumFrequency) return binCount - 1;
    const double bin = std::floor(double(f) / binWidth + 0.5);
    return bin >= double(binCount - 1) ? binCount - 1 : uint32_t(bin);
}

float SpectralData::FrequencyOfBin(uint32_t i) const {
    return i < binCount ? static_cast<float>(double(binWidth) * i) : maximumFrequency;
}

int32_t SpectralData::OutputCount() const {
    if (analysisMode != 2) return int32_t(binCount);
    int32_t firstWide = 0;
    for (uint32_t j = 0; bandBins && j < bandCount; ++j) {
        if (bandBins[j].lastBin - bandBins[j].firstBin > 1) {
            firstWide = int32_t(j);
            break;
        }
    }
    return std::max(int32_t(bandCount) - 1 - firstWide, 0);
}

void SpectralData::ApplyCalibration(const ChannelCalibration* record) {
    if (record != nullptr && record->valid != 0) {
        calibration = *record;
        calibrationFactor = static_cast<float>(calibration.countScale * UnitFactor(calibration.unitCode));
    } else {
        calibration.valid = 0;
        calibration.field4 = 1.0f;
        calibration.field8 = 0;
        calibration.unitKind = 4;
        SetTextField(calibration.linearUnit, sizeof calibration.linearUnit, "Percent Full Scale");
        SetTextField(calibration.dbUnit, sizeof calibration.dbUnit, "Relative Amplitude (dB)");
        calibration.amplitudeMode = 0;
        calibration.calFactor = 1.0f;
        calibration.countScale = 1.0f;
        calibration.unitCode = 0;
        calibration.integration = 0;
        le::PutF32(calibration.tail + kTailFloat462, 1.0f);
        calibrationFactor = 1.0f;
    }
    ComputeScale();
}

void SpectralData::ComputeScale() {
    if (!scale) return;
    double base = double(calibrationFactor) / (double(fullScale) * transformSize) / bandwidthFactor;
    if (calibration.amplitudeMode == 1) base *= 0.7071067811865;  // amplitude mode: RMS
    if (calibration.amplitudeMode == 2) base *= 2.0;              // amplitude mode: peak to peak
    for (uint32_t k = 0; k < binCount; ++k) {
        double s = static_cast<float>(base);
        if (weighting) s *= weighting[k];
        if (compensation) s /= compensation[k];
        const double f = FrequencyOfBin(k);
        if (f > 0.0001) {
            if (calibration.integration == 1) s /= kTwoPi * f;                 // integrated once
            if (calibration.integration == 2) s /= (kTwoPi * f) * (kTwoPi * f);  // twice
        }
        scale[k] = static_cast<float>(s);
    }
}

void SpectralData::SetDisplay(const DisplaySetup& display, bool loadCompensation) {
    units = display.units;
    analysisMode = display.analysisMode;
    bandsPerOctave = display.bandsPerOctave;
    weightingType = display.weightingType;
    reserved = display.reserved;
    if (loadCompensation) {
        char path[sizeof display.compensationPath + 1] = {};
        std::copy(std::begin(display.compensationPath), std::end(display.compensationPath), path);
        LoadCompensation(path, display.compensationEnable);
    }
    SetWeighting(weightingType);
    density = display.density;
    flag = display.flag != 0;
    bandwidthFactor = (density == 1 && analysisMode != 2) ? std::sqrt(binWidth) : 1.0f;
    ComputeScale();
}

const float* SpectralData::WeightingTable(uint16_t type, uint32_t& rows) {
    switch (type) {
        case 1: rows = std::size(kAWeighting) / 2; return kAWeighting;
        case 2: rows = std::size(kListedWeighting) / 2; return kListedWeighting;
        case 3: rows = std::size(kCWeighting) / 2; return kCWeighting;
        default: rows = 0; return nullptr;
    }
}

void SpectralData::SetWeighting(uint16_t type) {
    weighting.reset();
    uint32_t rows = 0;
    const float* table = WeightingTable(type, rows);
    if (table == nullptr) return;
    weighting = Allocate<float>(binCount);
    std::unique_ptr<float[]> dB = Allocate<float>(binCount);
    if (!weighting || !dB) {
        ReportNoWorkMemory();
        return;
    }
    ResampleTable(table, rows, dB.get(), 0);
    for (uint32_t k = 0; k < binCount; ++k) {
        const float factor = units <= 2 ? static_cast<float>(std::pow(10.0, dB[k] / 20.0)) : 0.0f;
        weighting[k] = factor == 0.0f ? 1.0f : factor;
    }
}

void SpectralData::LoadCompensation(const char* path, uint8_t enable) {
    compensation.reset();
    if (enable == 0 || path == nullptr || path[0] == '\0') return;
    compensation = Allocate<float>(binCount);
    std::unique_ptr<float[]> dB = Allocate<float>(binCount);
    if (!compensation || !dB) {
        ReportNoWorkMemory();
        return;
    }
    if (!LoadTable(path, dB.get())) {
        compensation.reset();
        return;
    }
    for (uint32_t k = 0; k < binCount; ++k) {
        const float factor = units <= 2 ? static_cast<float>(std::pow(10.0, dB[k] / 20.0)) : 0.0f;
        compensation[k] = factor == 0.0f ? 1.0f : factor;
    }
    ComputeScale();
}

void SpectralData::AllocateWorkArrays() {
    if (!(secondComplex = Allocate<float>(2 * uint64_t(binCount))) ||
        !(complexSpectrum = Allocate<float>(2 * uint64_t(binCount))) ||
        !(power = Allocate<float>(binCount)) || !(scale = Allocate<float>(binCount)) ||
        (windowType == 11 && !(windowArray = Allocate<float>(binCount))) ||
        (units == 1 && !(peaks = AllocateFilled(binCount, kNoData)))) {
        ReportNoWorkMemory();
        return;
    }
    uint32_t pairs = binCount;
    if (analysisMode == 2) {
        BuildBands();
        if (!bands && maximumFrequency > 0) return;  // its allocation failed and was reported
        MapBandsToBins();
        if (bandCount > 0 && !(bandValues = AllocateFilled(bandCount, kNoData))) {
            ReportNoWorkMemory();
            return;
        }
        pairs = bandCount;
    }
    displayPairs = Allocate<DisplayPair>(pairs);
    if (!displayPairs && pairs > 0) {
        ReportNoWorkMemory();
        return;
    }
    for (uint32_t i = 0; i < pairs; ++i) displayPairs[i] = {kNoData, 0};
}

void SpectralData::BuildBands() {
    bands.reset();
    bandCount = 0;
    const int32_t b = bandsPerOctave == 0 ? 1 : bandsPerOctave;
    if (!(maximumFrequency > 0)) return;
    const double step = 3.0 / (10.0 * b);  // decades per band: an octave is 10^0.3
    uint32_t count = 1;
    while (std::pow(10.0, step * count) < maximumFrequency) ++count;
    bands = Allocate<Band>(count);
    if (!bands) {
        ReportNoWorkMemory();
        return;
    }
    bandCount = count;
    for (uint32_t j = 0; j < bandCount; ++j) {
        Band& band = bands[j];
        const double centre = std::pow(10.0, step * j);
        band.centre = static_cast<float>(centre);
        band.nominal = NominalFrequency(band.centre);
        band.upper = static_cast<float>(centre * std::pow(2.0, 0.5 / b));
        band.lower = j == 0 ? static_cast<float>(centre * std::pow(0.5, 0.5 / b)) : bands[j - 1].upper;
    }
}

float SpectralData::NominalFrequency(float x) const {
    if (x <= 1.0f) return 1.0f;
    if (x >= 1000000.0f) return 1000000.0f;
    const int decade = x < 10 ? 0 : x < 100 ? 1 : x < 1000 ? 2 : x < 10000 ? 3 : x < 100000 ? 4 : 5;
    if (bandsPerOctave > 24) {
        const double m = std::pow(10.0, 3 - decade);  // four significant figures, truncated
        return static_cast<float>(std::trunc(double(x) * m) / m);
    }
    const double m = std::pow(10.0, 2 - decade);
    const double v = std::floor(double(x) * m + 0.5);
    int16_t best = kPreferredNumbers[0];
    for (int16_t p : kPreferredNumbers)
        if (std::fabs(p - v) < std::fabs(best - v)) best = p;
    return static_cast<float>(best / m);
}

void SpectralData::MapBandsToBins() {
    if (!bands) return;
    bandBins = Allocate<BandBins>(bandCount);
    if (!bandBins) {
        ReportNoWorkMemory();
        return;
    }
    for (uint32_t j = 0; j < bandCount; ++j) {
        const Band& band = bands[j];
        BandBins& map = bandBins[j];
        map.firstBin = int32_t(BinOfFrequency(band.lower));
        map.firstFraction = ((FrequencyOfBin(uint32_t(map.firstBin)) + binWidth / 2) - band.lower) / binWidth;
        map.lastBin = int32_t(BinOfFrequency(band.upper));
        map.lastFraction = (band.upper - (FrequencyOfBin(uint32_t(map.lastBin)) - binWidth / 2)) / binWidth;
    }
}

void SpectralData::AllocateAveraging() {
    averageCounter = 0;
    for (auto& slot : averageSlots) slot.reset();
    for (auto& slot : complexAverageSlots) slot.reset();
    if (averagingType != 1 || !(averageCount >= 1) || averageCount > float(kMaxAverages)) return;
    bool failed = false;
    for (uint32_t i = 0; i < uint32_t(averageCount); ++i) {
        averageSlots[i] = Allocate<float>(binCount);
        complexAverageSlots[i] = Allocate<float>(2 * uint64_t(binCount));
        failed = failed || !averageSlots[i] || !complexAverageSlots[i];
    }
    if (failed) {
        error = 1;
        ShowError(kNoAveragingMemoryText);
    }
}

uint32_t SpectralData::GetAllocatedAverages() const {
    uint32_t n = 0;
    for (uint32_t i = 0; i < kMaxAverages; ++i) n += averageSlots[i] && complexAverageSlots[i];
    return n;
}

uint32_t SpectralData::ReadTableEntries(std::FILE* file, float* entries, uint8_t& linear) const {
    char line[kTablePieceLength + 1];
    uint32_t n = 0;
    while (n < kMaxTableEntries && ReadTableLine(file, line)) {
        if (line[0] == ';') {
            if (IsSplineOffDirective(line)) linear = 1;
            continue;
        }
        // "%f\t%f": the tab matches any run of white space, including none. A line
        // without two numbers ends the table; nothing after it is read. So does a level
        // that is not a number, which no bin could hold; an infinite one is held to the
        // limit like any other level out of range. A frequency that is not a finite
        // number is kept, for the order check to refuse the whole table.
        float frequency = 0, level = 0;
        if (std::sscanf(line, "%f\t%f", &frequency, &level) != 2) break;
        if (std::isnan(level) && !std::isnan(frequency)) break;
        entries[2 * n] = frequency;
        entries[2 * n + 1] = std::clamp(level, -kTableLimitDb, kTableLimitDb);
        ++n;
    }
    return n;
}

bool SpectralData::LoadTable(const char* path, float* out) const {
    if (out == nullptr || path == nullptr || path[0] == '\0') return false;
    std::FILE* file = std::fopen(path, "r");
    if (file == nullptr) {
        ShowError(Format(kOpenTableFailedText, path).c_str());
        return false;
    }
    // Only the rows read are ever looked at, so the 4 MB need no clearing.
    std::unique_ptr<float[]> entries(new (std::nothrow) float[2 * size_t(kMaxTableEntries)]);
    if (!entries) {
        ShowError(kNoTableMemoryText);
        std::fclose(file);
        return false;
    }
    uint8_t linear = 0;
    const uint32_t n = ReadTableEntries(file, entries.get(), linear);
    std::fclose(file);
    if (n < 3) {
        ShowError(kTooFewEntriesText);
        return false;
    }
    // An infinite frequency would leave the curve undefined at every bin it spans, so it
    // is refused with the others.
    for (uint32_t i = 0; i < n; ++i) {
        const float f = entries[2 * i];
        if (!(f >= 0) || std::isinf(f) || (i > 0 && !(f >= entries[2 * i - 2]))) {
            ShowError(kNotAscendingText);
            return false;
        }
    }
    ResampleTable(entries.get(), n, out, linear);
    return true;
}

void SpectralData::ResampleTable(const float* entries, uint32_t n, float* out, uint8_t linear) const {
    if (entries == nullptr || n == 0 || out == nullptr || binCount == 0) return;
    const uint32_t first = BinOfFrequency(entries[0]);
    const uint32_t last = BinOfFrequency(entries[2 * (n - 1)]);
    std::fill(out, out + first + 1, entries[1]);
    std::fill(out + last, out + binCount, entries[2 * (n - 1) + 1]);
    const TInterpolationTable table(entries, n, linear);
    for (uint32_t k = first + 1; k < last; ++k)
        out[k] = std::clamp(table.Evaluate(FrequencyOfBin(k)), -kTableLimitDb, kTableLimitDb);
}

void SpectralData::ImpulseFromPower() {
    if (!complexSpectrum || !power || !scale) return;
    impulse = Allocate<float>(2 * uint64_t(binCount));
    if (!impulse) {
        ShowError(kNoWorkMemoryText);  // the error field stays as it is here
        return;
    }
    for (uint32_t k = 0; k < binCount; ++k) {
        const double p = power[k];
        const double magnitude = p > 0 ? std::sqrt(p) : p;
        const float first = complexSpectrum[2 * k], second = complexSpectrum[2 * k + 1];
        const double phase = (first == 0 && second == 0) ? 0.0 : std::atan2(double(first), double(second));
        impulse[2 * k] = static_cast<float>(std::cos(phase) * magnitude);
        impulse[2 * k + 1] = static_cast<float>(std::sin(phase) * magnitude);
    }
    TRealFft(int32_t(std::min<uint64_t>(transformSize, INT32_MAX))).Inverse(impulse.get());
    for (uint32_t k = 0; k < binCount; ++k) {
        if (scale[k] == 0) continue;
        impulse[2 * k] /= scale[k];
        impulse[2 * k + 1] /= scale[k];
    }
}

float SpectralData::ImpulseValue(uint32_t i) const {
    // The sequence holds K pairs; for an odd transform size that is one value short of L.
    return impulse && i < 2 * uint64_t(binCount) ? impulse[i] : 0.0f;
}

}  // namespace vorn
