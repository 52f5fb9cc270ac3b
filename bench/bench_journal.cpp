// The results journal: the cost of one row appended (one write, on the disk before it
// returns), and the report of a 100,000-row journal from its text (read, merge, build).
#include "BenchCases.h"
#include "results/HtmlReport.h"
#include "results/Journal.h"
#include "results/JournalReader.h"
#include "results/TimeStamp.h"
#include "wave/FileSystem.h"

#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>

namespace {

vorn::JournalRow Row(int i, std::mt19937& rng) {
    std::normal_distribution<float> corwith(1.3f, 0.06f), level(94.0f, 0.5f);
    vorn::JournalRow r;
    const int64_t t = 1796635800 + int64_t(i) * 37;
    r.time = vorn::IsoTimeText({2026, 12, 7 + int(t / 86400 % 20), int(t / 3600 % 24), int(t / 60 % 60), int(t % 60), 60});
    r.station = i % 3 ? "BENCH-A" : "BENCH-B";
    r.stimulus = "C:\\Stimuli\\sweep, 1.wav";
    r.status = "ok";
    r.sealedSpl = level(rng);
    r.openSpl = level(rng) - 6;
    r.corwith = corwith(rng);
    r.limitLow = 1.1f;
    r.limitHigh = 1.5f;
    r.verdict = *r.corwith >= 1.1f && *r.corwith <= 1.5f ? "pass" : "fail";
    r.testDuration = 10;
    r.spanStart = 200;
    r.spanStop = 4000;
    r.scaleFactor = 1;
    return r;
}

}  // namespace

int main(int argc, char** argv) {
    std::mt19937 rng(1);
    std::string text = vorn::JournalHeader();
    for (int i = 0; i < 100000; ++i) text += vorn::JournalLine(Row(i, rng));
    const std::string path =
        vorn::JoinPath(vorn::SystemTempFolder(), "vorn-bench-journal-" + std::to_string(vorn::ProcessNumber()) + ".csv");
    vorn::Journal journal(path);
    const vorn::JournalRow row = Row(0, rng);
    const int result = vorn::bench::RunCases(argc, argv, {
        {"journal_append_row", [&] { journal.Append(row); }},
        {"report_100000_rows", [&] {
             vorn::ReportSources sources;
             sources.Add({"bench.csv", vorn::ReadJournal(text)});
             if (vorn::HtmlReport::Build(sources).size() > 20u << 20) std::abort();
         }},
    });
    std::remove(path.c_str());
    return result;
}
