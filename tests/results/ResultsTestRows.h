// Journal rows for the results tests.
#pragma once

#include "results/JournalRow.h"

#include <string>

namespace vorn::test {

inline JournalRow MakeRow(const std::string& time, float corwith, const std::string& stimulus = "C:\\Stimuli\\a.wav") {
    JournalRow r;
    r.time = time;
    r.station = "BENCH-1";
    r.stimulus = stimulus;
    r.status = "ok";
    r.sealedSpl = 94.25f;
    r.openSpl = 88.125f;
    r.corwith = corwith;
    r.limitLow = 1.0f;
    r.limitHigh = 2.0f;
    r.verdict = corwith >= 1.0f && corwith <= 2.0f ? "pass" : "fail";
    r.testDuration = 10;
    r.spanStart = 200;
    r.spanStop = 4000;
    r.scaleFactor = 1;
    return r;
}

}  // namespace vorn::test
