#include "dsp/FirFilter.h"

#include "dsp/Smoothing.h"
#include "dsp/SampleBlock.h"
#include "wave/WaveData.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <new>
#include <vector>

namespace vorn {

namespace {

// pi to nine decimals, as the taps of every filtered stimulus file so far were designed
// with it; kept so a file made again comes out byte for byte the same.
constexpr double kPi = 3.141592654;

// One arm of the window design: an ideal lowpass of half-width w (radians per sample)
// shifted to centre c, truncated to n taps around the centre tap.
std::vector<float> ShiftedLowpass(int32_t n, float w, float c) {
    std::vector<float> arm(n, 0.0f);
    const int32_t m = (n - 1) / 2;
    arm[m] = static_cast<float>(w / kPi);
    for (int32_t k = 1; k <= m; ++k) {
        const float v = static_cast<float>(std::cos(k * double(c)) * std::sin(k * double(w)) / (k * kPi));
        arm[m + k] = arm[m - k] = v;
    }
    return arm;
}

// How sums become samples: results the encoding cannot hold stick at its ends (keeping only
// the low bytes, as the encoding itself would, turns an overshoot into a full-scale click);
// 1-byte samples are unsigned.
SampleStore StoreFor(uint16_t bytesPerSample, double offset) {
    SampleStore store;
    store.offset = offset;
    switch (bytesPerSample) {
        case 1: store.low = 0, store.high = 255; break;
        case 3: store.low = -8388608, store.high = 8388607; break;
        case 4:
            store.low = std::numeric_limits<int32_t>::min();
            store.high = std::numeric_limits<int32_t>::max();
            break;
        default: store.low = -32768, store.high = 32767; break;
    }
    return store;
}

// Truncates toward zero into int32; values outside its range stick at the nearest end
// (a 4-byte sample read back as a float may round just past INT32_MAX).
int32_t TruncateToInt32(double v) {
    v = std::clamp(std::trunc(v), double(std::numeric_limits<int32_t>::min()),
                   double(std::numeric_limits<int32_t>::max()));
    return static_cast<int32_t>(v);
}

// The samples of a block minus silence, as whole numbers, as ReadSample and TruncateToInt32
// would give them one by one. Up to three bytes they are exact in a float, so nothing rounds.
template <uint16_t Bytes>
void CentredSamples(const uint8_t* p, int32_t offset, uint32_t count, int32_t* to) {
    for (uint32_t i = 0; i < count; ++i) {
        const int32_t stored = DecodeSample(p + size_t(i) * Bytes, Bytes);
        to[i] = Bytes < 4 ? stored - offset : TruncateToInt32(float(int64_t(stored) - offset));
    }
}

template <uint16_t Bytes>
void StoreSums(const double* sums, const SampleStore& store, uint32_t count, uint8_t* p) {
    for (uint32_t i = 0; i < count; ++i) EncodeSample(p + size_t(i) * Bytes, Bytes, store(sums[i]));
}

}  // namespace

TFirFilter::TFirFilter(SampleFormat callerFormat, FirFilterParams callerParams) {
    format.Set(44100, 1, 2);
    format.Set(callerFormat.sampleRate, callerFormat.channels, callerFormat.bytesPerSample);
    params = callerParams;
    params.responsePath[sizeof(params.responsePath) - 1] = '\0';
    SetGain(params.gain);
    count = TapCount(params.taps);
    coefficients = new (std::nothrow) float[count]();
    history = new (std::nothrow) float[count]();
    Design();
    ResetHistory();
}

TFirFilter::~TFirFilter() {
    delete[] coefficients;
    delete[] history;
    ReleaseWorkBuffers();
}

int32_t TFirFilter::TapCount(int32_t requested) {
    int32_t n = std::clamp(requested, kMinTaps, kMaxTaps);
    if (n % 2 == 0) ++n;
    return n;
}

void TFirFilter::SetGain(float dB) {
    // NaN would pass a plain clamp and poison every output; treat it as no gain.
    if (std::isnan(dB)) dB = 0.0f;
    gainDb = std::clamp(dB, -kMaxGainDb, kMaxGainDb);
    linearGain = static_cast<float>(std::pow(10.0, gainDb / 20.0));
}

void TFirFilter::Design() {
    if (coefficients == nullptr || count <= 0) return;
    if (params.type == FirFilterParams::ResponseTable) {
        DesignFromTable();
        return;
    }
    DesignWindowed();
}

void TFirFilter::DesignWindowed() {
    // Half-widths and centres in radians per sample, as single-precision values.
    const double nyquist = format.sampleRate / 2.0;
    auto radians = [nyquist](double hz) { return static_cast<float>(kPi * hz / nyquist); };
    const float pi = static_cast<float>(kPi);
    float w1 = 0, c1 = 0, w2 = 0, c2 = pi;
    switch (params.type) {
        case FirFilterParams::Lowpass:
            w1 = radians(params.lowpassCutoff);
            break;
        case FirFilterParams::Highpass:
            c1 = pi;
            w2 = radians(nyquist - params.highpassCutoff);
            break;
        case FirFilterParams::Bandpass:
            // Two equal arms: twice one shifted lowpass, unit gain in the pass band.
            w1 = w2 = radians(params.bandpassWidth / 2.0);
            c1 = c2 = radians(params.bandpassCentre);
            break;
        case FirFilterParams::Bandstop:
            w1 = radians(params.bandstopCentre - params.bandstopWidth / 2.0);
            w2 = radians(nyquist - (params.bandstopCentre + params.bandstopWidth / 2.0));
            break;
        default:
            w1 = 0.17453292f;
            w2 = 0.5235988f;
            break;
    }
    std::vector<float> arm1 = ShiftedLowpass(count, w1, c1);
    std::vector<float> arm2 = ShiftedLowpass(count, w2, c2);
    TSmoothing hanning(static_cast<uint32_t>(count), TSmoothing::Hanning, TSmoothing::NoCorrection);
    hanning.Apply(arm1.data());
    hanning.Apply(arm2.data());
    for (int32_t i = 0; i < count; ++i) coefficients[i] = arm2[i] + arm1[i];
}

void TFirFilter::ResetHistory() {
    if (history == nullptr) return;
    std::fill(history, history + count, 0.0f);
}

void TFirFilter::ReleaseWorkBuffers() {
    delete input;
    delete output;
    delete[] integers;
    input = nullptr;
    output = nullptr;
    integers = nullptr;
    scaledInput.reset();
    taps.reset();
    sums.reset();
    workLength = 0;
}

bool TFirFilter::MakeWorkBuffers(uint32_t length) {
    if (input != nullptr && workLength == length) return true;
    ReleaseWorkBuffers();
    if (length == 0 || length > std::numeric_limits<uint32_t>::max() - uint32_t(count)) return false;
    const uint32_t total = length + uint32_t(count);
    input = new (std::nothrow) TSampleBlock(total, format, 1, false);
    output = new (std::nothrow) TSampleBlock(length, format, 1, false);
    integers = new (std::nothrow) int32_t[total]();
    scaledInput.reset(new (std::nothrow) double[total]);
    taps.reset(new (std::nothrow) double[count]);
    sums.reset(new (std::nothrow) double[length]);
    if (input == nullptr || input->Failed() || output == nullptr || output->Failed() ||
        integers == nullptr || !scaledInput || !taps || !sums) {
        ReleaseWorkBuffers();
        return false;
    }
    workLength = length;
    return true;
}

// Long blocks of many taps go through the FFT path, which stores the same samples.
bool TFirFilter::ConvolveFast(uint32_t length, const SampleStore& store) {
    if (!fftAllowed || !FftConvolver::Worthwhile(count, length)) return false;
    if (!fft) fft.reset(new (std::nothrow) FftConvolver);
    return fft && fft->Convolve(scaledInput.get(), taps.get(), count, sums.get(), length, store);
}

bool TFirFilter::FilterBlock(TWaveData* wave, uint32_t start, uint32_t length) {
    if (coefficients == nullptr || history == nullptr || count <= 0 || wave == nullptr) return false;
    // An empty block is a no-op: the work buffers stay for the next block. Like any read,
    // it must not start past the end of the wave.
    if (length == 0) return start <= wave->GetFrameCount();
    const float offset = static_cast<float>(wave->GetOffset());
    if (!MakeWorkBuffers(length)) return false;
    if (!wave->ReadFrames(input->SampleAddress(uint32_t(count)), start, length, 0)) return false;

    const uint32_t n = uint32_t(count);
    const uint32_t total = length + n;
    for (uint32_t j = 0; j < n; ++j) integers[j] = TruncateToInt32(history[j]);
    const uint8_t* block = input->SampleAddress(n);
    switch (format.bytesPerSample) {
        case 1: CentredSamples<1>(block, format.offset, length, integers + n); break;
        case 2: CentredSamples<2>(block, format.offset, length, integers + n); break;
        case 3: CentredSamples<3>(block, format.offset, length, integers + n); break;
        default: CentredSamples<4>(block, format.offset, length, integers + n); break;
    }

    // Each product is (input x gain) x coefficient; the first factor is formed once per
    // input here so the kernel does one multiply per tap with the same rounding.
    const double gain = linearGain;
    for (uint32_t j = 0; j < total; ++j) scaledInput[j] = double(integers[j]) * gain;
    for (uint32_t k = 0; k < n; ++k) taps[k] = coefficients[k];
    const SampleStore store = StoreFor(format.bytesPerSample, offset);
    if (!ConvolveFast(length, store)) convolve(scaledInput.get(), taps.get(), count, sums.get(), length);
    uint8_t* stored = output->SampleAddress(0);
    switch (format.bytesPerSample) {
        case 1: StoreSums<1>(sums.get(), store, length, stored); break;
        case 2: StoreSums<2>(sums.get(), store, length, stored); break;
        case 3: StoreSums<3>(sums.get(), store, length, stored); break;
        default: StoreSums<4>(sums.get(), store, length, stored); break;
    }

    for (uint32_t j = 0; j < n; ++j) history[j] = static_cast<float>(integers[length + j]);
    wave->WriteFrames(output->SampleAddress(0), start, length, 0);
    return true;
}

}  // namespace vorn
