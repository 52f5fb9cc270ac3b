// A Corwith Number judged against the station's limits. Either limit may be absent; with
// neither there is no verdict. The limits themselves count as inside.
#pragma once

#include <optional>

namespace vorn {

struct Limits {
    std::optional<float> low, high;
    bool Any() const { return low || high; }
};

enum class Verdict { None, Pass, Fail };

// A value that is not a finite number fails whenever a limit is set.
Verdict Judge(float value, const Limits& limits);
// "pass", "fail" or "" as the journal writes it.
const char* VerdictText(Verdict verdict);

}  // namespace vorn
