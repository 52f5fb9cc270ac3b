// The figures of a set of journal rows: counts, and mean, sample standard deviation,
// minimum and maximum of the Corwith Number; with both limits set, the process capability
// Cpk = min(high - mean, mean - low) / (3 sd), from the latest row that carries both.
#pragma once

#include "results/JournalRow.h"

#include <optional>
#include <vector>

namespace vorn {

struct ResultsSummary {
    size_t tests = 0;      // rows
    size_t passes = 0;     // verdict pass
    size_t failures = 0;   // verdict fail, or a step that failed
    size_t cancelled = 0;  // a step the operator cancelled
    size_t values = 0;     // rows with a Corwith Number
    double mean = 0, sd = 0, min = 0, max = 0;
    std::optional<double> cpk;

    static ResultsSummary Of(const std::vector<const JournalRow*>& rows);
};

bool IsCancelled(const JournalRow& row);
bool IsFailure(const JournalRow& row);

}  // namespace vorn
