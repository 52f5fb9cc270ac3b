// Linear-phase FIR filter for wave sample streams. Designed once at construction: a
// lowpass, highpass, bandpass or band-stop by the window method (ideal response truncated
// to an odd tap count, Hanning-windowed), or a response table (type 4). FilterBlock then
// filters channel 0 of a wave in place, block by block, carrying the last `count` inputs
// from one block to the next; the output is the input delayed by (count + 1) / 2 samples.
// Results beyond the sample encoding's range are saturated, not wrapped. Long blocks of many
// taps go through an FFT convolution (FftConvolver) that stores exactly the samples of the
// direct ascending-k loop; which path ran is invisible to callers.
#pragma once

#include "dsp/FftConvolver.h"
#include "dsp/FirKernel.h"
#include "wave/SampleFormat.h"

#include <cstdint>
#include <memory>

namespace vorn {

class TSampleBlock;
class TWaveData;

struct FirFilterParams {
    enum Type : int32_t { Lowpass = 0, Highpass = 1, Bandpass = 2, Bandstop = 3, ResponseTable = 4 };

    int32_t type = Lowpass;      // one of Type; other values design a fixed default response
    int32_t taps = 0;            // requested coefficient count (odd, 39 .. 999 after repair)
    int32_t highpassCutoff = 0;  // Hz
    int32_t lowpassCutoff = 0;   // Hz
    int32_t bandpassCentre = 0;  // Hz
    int32_t bandpassWidth = 0;   // Hz
    int32_t bandstopCentre = 0;  // Hz
    int32_t bandstopWidth = 0;   // Hz
    char responsePath[260] = {};  // table file of frequency/dB rows (type 4), NUL-terminated
    float gain = 0.0f;           // dB
};

class TFirFilter {
public:
    static constexpr int32_t kMinTaps = 39;
    static constexpr int32_t kMaxTaps = 999;
    static constexpr float kMaxGainDb = 90.0f;

    TFirFilter(SampleFormat format, FirFilterParams params);
    ~TFirFilter();
    TFirFilter(const TFirFilter&) = delete;
    TFirFilter& operator=(const TFirFilter&) = delete;

    // Odd, 39 .. 999.
    static int32_t TapCount(int32_t requested);

    void SetGain(float dB);
    void Design();
    void ResetHistory();
    // Filters `length` samples of channel 0 of `wave` from frame `start`, in place.
    bool FilterBlock(TWaveData* wave, uint32_t start, uint32_t length);

    SampleFormat GetFormat() const { return format; }
    const FirFilterParams& GetParams() const { return params; }
    int32_t GetCount() const { return count; }
    float GetGainDb() const { return gainDb; }
    float GetLinearGain() const { return linearGain; }
    const float* GetCoefficients() const { return coefficients; }
    const float* GetHistory() const { return history; }

    // Replaces the direct convolution kernel, and allows or forbids the FFT path for long
    // blocks (benchmarks and tests compare them; all store the same samples).
    void UseKernel(fir::ConvolveFunction kernel) { convolve = kernel; }
    void UseFftPath(bool allowed) { fftAllowed = allowed; }
    // Outputs the FFT path computed, and how many of them it left to the direct loop.
    uint64_t GetFftOutputs() const { return fft ? fft->Outputs() : 0; }
    uint64_t GetRecomputedOutputs() const { return fft ? fft->Recomputed() : 0; }

private:
    void DesignWindowed();
    void DesignFromTable();
    bool MakeWorkBuffers(uint32_t length);
    void ReleaseWorkBuffers();
    bool ConvolveFast(uint32_t length, const SampleStore& store);

    SampleFormat format;
    FirFilterParams params;
    int32_t count = 0;                   // taps in use
    float gainDb = 0.0f;                 // -90 .. +90 dB
    float linearGain = 1.0f;             // 10^(gainDb / 20)
    float* coefficients = nullptr;       // count values, owned
    float* history = nullptr;            // last count inputs (whole numbers), owned
    TSampleBlock* input = nullptr;       // history slot + block, in `format`, owned
    TSampleBlock* output = nullptr;      // block, in `format`, owned
    int32_t* integers = nullptr;         // history then block, owned

    // Kernel-side copies of the work array: inputs times gain, coefficients and sums in
    // double, sized with the work buffers.
    uint32_t workLength = 0;             // block length the work buffers were made for
    std::unique_ptr<double[]> scaledInput;
    std::unique_ptr<double[]> taps;
    std::unique_ptr<double[]> sums;
    fir::ConvolveFunction convolve = fir::BestConvolve();
    bool fftAllowed = true;
    std::unique_ptr<FftConvolver> fft;   // made with the first block long enough for it
};

}  // namespace vorn
