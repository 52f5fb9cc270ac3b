// Window (smoothing) functions: one window of a given length and type, computed once at
// construction, optionally scaled by a noise or amplitude gain correction, and multiplied
// into caller buffers. Values are single precision; they are computed in double.
//
// Types: 0 triangle, 1 Blackman, 2 exponential decay, 3 flat top (peak 4.1726, not
// normalised), 4 half rectangle, 5 Hamming, 6 Hanning, 7 Kaiser (alpha 5), 8 Parzen,
// 9 triangle (second form), 10 none (Apply leaves buffers alone), 11 Gaussian (+/-5 sigma).
#pragma once

#include <cstdint>

namespace vorn {

class TSmoothing {
public:
    enum Type : uint16_t {
        Triangle = 0,
        Blackman = 1,
        Exponential = 2,
        FlatTop = 3,
        HalfRectangle = 4,
        Hamming = 5,
        Hanning = 6,
        Kaiser = 7,
        Parzen = 8,
        TriangleSecondForm = 9,
        None = 10,
        Gaussian = 11,
    };
    enum GainCorrection : int16_t { NoCorrection = 0, NoiseCorrection = 1, AmplitudeCorrection = 2 };

    // Word for word as operators know them from the message boxes; kept as they are.
    static constexpr const char* kInvalidTypeText = "TSmoothing: Invalid Window Type";
    static constexpr const char* kNoMemoryText = "TSmoothing error - insufficient memory available";

    TSmoothing(uint32_t length, uint16_t type, int16_t gainCorrection);
    ~TSmoothing();
    TSmoothing(const TSmoothing&) = delete;
    TSmoothing& operator=(const TSmoothing&) = delete;

    // buffer[i] *= values[i] for i < count; a no-op for type None or without values.
    void Apply(float* buffer) const;

    uint8_t GetError() const { return error; }
    uint32_t GetCount() const { return count; }
    uint16_t GetType() const { return type; }
    int16_t GetGainCorrection() const { return gainCorrection; }
    // The window itself (count values), or nullptr after an allocation failure.
    const float* GetValues() const { return values; }

private:
    void Generate();
    void GenerateFlatTop();
    void GenerateKaiser();
    void GenerateTriangleSecondForm();
    void GenerateGaussian();
    void ApplyGainCorrection();

    uint8_t error = 0;        // 0, or 1 after an invalid type or a failed allocation
    uint32_t count = 0;       // window length N
    uint16_t type = 0;        // 0 .. 11
    float* values = nullptr;  // count values, owned
    int16_t gainCorrection = 0;  // 0 none, 1 noise (power), 2 amplitude; others act as 0
};

}  // namespace vorn
