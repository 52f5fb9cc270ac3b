#include "app/CorwithNumber.h"

#include "analyzer/AnalyzerCommands.h"
#include "app/SpectrumParser.h"
#include "common/MessageSink.h"

#include <cmath>
#include <memory>
#include <new>

namespace vorn {

namespace {

// pi as the nearest 32-bit float, as the result has always been computed with.
constexpr float kPi = 3.14159265358979323846f;

float Fail(const char* text, bool* failed) {
    ShowMessage(kCorwithCaption, text, MessageIcon::None);
    if (failed) *failed = true;
    return 0.0f;
}

}  // namespace

float CorwithNumberFromRows(const SpectrumRow* spectrum, const SpectrumRow* phase, int32_t count,
                            float scaleFactor) {
    float cosineSum = 0.0f;
    float sineSum = 0.0f;
    for (int32_t i = 0; i < count; ++i) {
        const float level = spectrum[i].value;
        const float tenth = static_cast<float>(static_cast<double>(level) / 10.0);
        const float power = static_cast<float>(std::pow(10.0, static_cast<double>(tenth)));
        const float theta = static_cast<float>(
            std::fabs(static_cast<double>(phase[i].value)) * static_cast<double>(kPi) / 180.0);
        const float cosine = static_cast<float>(std::cos(static_cast<double>(theta)));
        const float sine = static_cast<float>(std::sin(static_cast<double>(theta)));
        cosineSum = static_cast<float>(static_cast<double>(cosineSum) +
                                       static_cast<double>(power) * static_cast<double>(cosine));
        sineSum = static_cast<float>(static_cast<double>(sineSum) +
                                     static_cast<double>(power) * static_cast<double>(sine));
    }
    const float ratio =
        cosineSum != 0.0f ? static_cast<float>(static_cast<double>(sineSum) / static_cast<double>(cosineSum))
                          : 0.0f;
    return static_cast<float>(std::fabs(static_cast<double>(scaleFactor) * static_cast<double>(ratio)));
}

float ComputeCorwithNumber(AnalyzerConnection& link, float spanStartFreq, float spanStopFreq,
                           float scaleFactor, bool* failed, std::vector<SpectrumPoint>* used) {
    if (failed) *failed = false;
    if (used) used->clear();
    // Allocated per computation (it runs once per test) and released on every path.
    std::unique_ptr<char[]> text(new (std::nothrow) char[kSpectrumTextCapacity]());
    std::unique_ptr<SpectrumRow[]> spectrum(new (std::nothrow) SpectrumRow[kMaxSpectrumRows]());
    std::unique_ptr<SpectrumRow[]> phase(new (std::nothrow) SpectrumRow[kMaxSpectrumRows]());

    link.SendCommand(SetMarker1Command(spanStartFreq).c_str());
    link.SendCommand(SetMarker2Command(spanStopFreq).c_str());

    if (!text || !spectrum || !phase ||
        !link.RequestData(kMarkedSpectrumItem, text.get(), kSpectrumTextCapacity))
        return Fail(kSpectrumReadFailedText, failed);
    int32_t spectrumCount = 0;
    if (!ParseSpectrumRows(text.get(), kMaxSpectrumRows, spectrum.get(), spectrumCount))
        return Fail(kSpectrumParseFailedText, failed);

    if (!link.RequestData(kMarkedPhaseItem, text.get(), kSpectrumTextCapacity))
        return Fail(kPhaseReadFailedText, failed);
    int32_t phaseCount = 0;
    if (!ParseSpectrumRows(text.get(), kMaxSpectrumRows, phase.get(), phaseCount))
        return Fail(kSpectrumParseFailedText, failed);

    if (spectrumCount != phaseCount) return Fail(kRowCountMismatchText, failed);
    if (used)
        for (int32_t i = 0; i < spectrumCount; ++i)
            used->push_back({spectrum[i].frequency, spectrum[i].value, phase[i].value});
    return CorwithNumberFromRows(spectrum.get(), phase.get(), spectrumCount, scaleFactor);
}

}  // namespace vorn
