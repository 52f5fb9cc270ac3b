#include "results/ResultsSummary.h"

#include <algorithm>
#include <cmath>

namespace vorn {

bool IsCancelled(const JournalRow& row) { return row.status == "cancelled"; }

bool IsFailure(const JournalRow& row) {
    return row.verdict == "fail" || (row.status != "ok" && !row.status.empty() && !IsCancelled(row));
}

ResultsSummary ResultsSummary::Of(const std::vector<const JournalRow*>& rows) {
    ResultsSummary s;
    s.tests = rows.size();
    double sum = 0;
    const JournalRow* limited = nullptr;
    for (const JournalRow* r : rows) {
        s.passes += r->verdict == "pass";
        s.failures += IsFailure(*r);
        s.cancelled += IsCancelled(*r);
        if (r->limitLow && r->limitHigh) limited = r;
        if (!r->corwith) continue;
        const double v = *r->corwith;
        s.min = s.values ? std::min(s.min, v) : v;
        s.max = s.values ? std::max(s.max, v) : v;
        sum += v;
        ++s.values;
    }
    if (s.values == 0) return s;
    s.mean = sum / double(s.values);
    double squares = 0;
    for (const JournalRow* r : rows)
        if (r->corwith) squares += (*r->corwith - s.mean) * (*r->corwith - s.mean);
    s.sd = s.values > 1 ? std::sqrt(squares / double(s.values - 1)) : 0.0;
    if (limited && s.sd > 0)
        s.cpk = std::min(*limited->limitHigh - s.mean, s.mean - *limited->limitLow) / (3 * s.sd);
    return s;
}

}  // namespace vorn
