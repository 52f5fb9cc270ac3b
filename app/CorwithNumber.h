// The Corwith Number: the analyzer's markers are set to the test's frequency span, the
// marked spectrum (dB) and phase (degrees) are fetched as text rows, and the rows are
// reduced to |k * sum(p_i sin theta_i) / sum(p_i cos theta_i)|, with p_i = 10^(L_i/10)
// the row's power, theta_i = |phase_i| in radians and k the scale factor. Every stored
// intermediate is a 32-bit float, rounded where the result's reproducibility needs it.
#pragma once

#include "analyzer/AnalyzerCommands.h"
#include "analyzer/AnalyzerConnection.h"
#include "app/SpectrumRow.h"
#include "results/SpectrumTable.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace vorn {

inline constexpr const char* kCorwithCaption = "VORN";
inline constexpr const char* kSpectrumReadFailedText = "Failure Reading Spectral Data";
inline constexpr const char* kPhaseReadFailedText = "Failure Reading Phase Data";
inline constexpr const char* kSpectrumParseFailedText = "Failure Parsing Spectral Data";
inline constexpr const char* kRowCountMismatchText = "Inconsistent number of spectral and phase data points";

// Rows read from each reply, and the size of the text buffer both replies go through
// (80 bytes for each row, terminating zero included).
inline constexpr int32_t kMaxSpectrumRows = 16384;
inline constexpr std::size_t kSpectrumTextCapacity = kMarkedSpectrumCapacity;
static_assert(kMarkedPhaseCapacity == kSpectrumTextCapacity);

// The reduction itself over `count` paired rows; 0 when the cosine sum is exactly 0.
float CorwithNumberFromRows(const SpectrumRow* spectrum, const SpectrumRow* phase, int32_t count,
                            float scaleFactor);

// Sets the markers, fetches and parses both replies and reduces them. Any failure is
// told to the operator (caption "VORN", OK, no icon) and gives 0; the markers then
// stay where they were set. *failed (when given) tells such a 0 from a computed one;
// *used (when given) receives the paired rows the number came from, for the archive.
float ComputeCorwithNumber(AnalyzerConnection& link, float spanStartFreq, float spanStopFreq,
                           float scaleFactor, bool* failed = nullptr, std::vector<SpectrumPoint>* used = nullptr);

}  // namespace vorn
