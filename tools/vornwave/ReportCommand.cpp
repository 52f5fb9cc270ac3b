#include "ReportCommand.h"

#include "Arguments.h"

#include "results/ReportFile.h"
#include "wave/FileSystem.h"

#include <cstdio>

namespace vorn::cli {

namespace {

constexpr const char* kHelp =
    "usage: vornwave report JOURNAL... [-o FILE]\n"
    "\n"
    "Writes the results report of one or more results journals (Results.csv) as one HTML\n"
    "file that needs nothing else to open: a summary overall and per station, the Corwith\n"
    "Number per test with its limits, its histogram, both total powers over time, the\n"
    "spectra of the latest archived tests, every failed test and the latest 1,000 rows.\n"
    "Several journals are merged by time. Rows that cannot be read are listed, and left out.\n"
    "\n"
    "  -o, --output FILE   the report (default: report.html beside the first journal)\n";

int Run(const std::vector<std::string>& words) {
    // "-o" is the short form everyone types; Arguments knows long options only.
    std::vector<std::string> rest;
    for (size_t i = 0; i < words.size(); ++i) rest.push_back(words[i] == "-o" ? "--output" : words[i]);
    const Arguments args(rest, {"--output"}, {});
    if (!args.Ok()) return UsageError("report", args.Error());
    if (args.Files().empty()) return UsageError("report", "no journal given");
    ReportSources sources;
    int code = kAllDone;
    for (const std::string& path : args.Files()) {
        std::string error;
        if (!sources.Add(path, error)) {
            std::fprintf(stderr, "%s\n", error.c_str());
            code = kSomeFailed;
            continue;
        }
        for (const JournalProblem& p : sources.Journals().back().contents.problems)
            std::fprintf(stderr, "%s, line %zu: %s (row left out)\n", path.c_str(), p.line, p.text.c_str());
    }
    if (sources.Journals().empty()) return kSomeFailed;
    const std::string output =
        args.Value("--output") ? *args.Value("--output") : JoinPath(FolderOf(args.Files().front()), "report.html");
    std::string error;
    if (!WriteReportFile(sources, output, error)) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return kSomeFailed;
    }
    size_t rows = 0;
    for (const SourcedJournal& j : sources.Journals()) rows += j.contents.rows.size();
    std::printf("%s: %zu rows from %zu journal%s\n", output.c_str(), rows, sources.Journals().size(),
                sources.Journals().size() == 1 ? "" : "s");
    return code;
}

}  // namespace

Command ReportCommand() { return {"report", "HTML report of results journals", kHelp, Run}; }

}  // namespace vorn::cli
