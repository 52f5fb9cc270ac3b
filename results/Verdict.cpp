#include "results/Verdict.h"

#include <cmath>

namespace vorn {

Verdict Judge(float value, const Limits& limits) {
    if (!limits.Any()) return Verdict::None;
    if (!std::isfinite(value)) return Verdict::Fail;
    if (limits.low && value < *limits.low) return Verdict::Fail;
    if (limits.high && value > *limits.high) return Verdict::Fail;
    return Verdict::Pass;
}

const char* VerdictText(Verdict verdict) {
    switch (verdict) {
    case Verdict::Pass: return "pass";
    case Verdict::Fail: return "fail";
    case Verdict::None: break;
    }
    return "";
}

}  // namespace vorn
