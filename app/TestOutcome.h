// What the test sequence leaves for the results journal: one per test that reached its
// Corwith Number, and one per step that failed or was cancelled.
#pragma once

#include "results/SpectrumTable.h"
#include "results/Verdict.h"

#include <optional>
#include <string>
#include <vector>

namespace vorn {

inline constexpr const char* kOutcomeOk = "ok";
inline constexpr const char* kOutcomeCancelled = "cancelled";

struct TestOutcome {
    std::string status;                // kOutcomeOk, the failed step's label text, or kOutcomeCancelled
    std::optional<float> sealedSpl;    // dB SPL, as shown; none when not measured in this test
    std::optional<float> openSpl;      // dB SPL, as shown
    std::optional<float> corwith;      // the Corwith Number, as shown
    Verdict verdict = Verdict::None;
    std::vector<SpectrumPoint> spectrum;  // the rows the Corwith Number came from
};

}  // namespace vorn
