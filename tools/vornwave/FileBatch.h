// Runs one subcommand's work over its files: every file is tried, whatever happened to
// the ones before; what the wave and signal-processing classes would have shown the
// operator in a message box becomes that file's error line. The result is the exit code.
// Several files are worked on at once, one per core unless "-j N" says otherwise; the
// lines come in the order of the files, and the outputs are the bytes one at a time gives.
#pragma once

#include "Arguments.h"
#include "FileJob.h"
#include "ProgressDisplay.h"

#include <functional>
#include <string>
#include <vector>

namespace vorn::cli {

// The work on one file. It returns true on success and may set `summary` (the line a
// log gets for the file) or `error` (the reason it failed, when no message says it).
// Called from several threads at once, each on a file of its own.
using FileWork = std::function<bool(const FileJob& job, ProgressDisplay& progress, std::string& summary,
                                    std::string& error)>;

// The option that sets how many files are worked on at once; every batch command declares it.
constexpr const char* kJobsOption = "-j";

// `args` may hold kJobsOption; a value that is no whole number of 1 or more is a usage
// error before any file is touched. `bar`: may show a progress bar (on a terminal);
// commands that print a report per file pass false and get the report as the file's line.
int RunBatch(const char* command, const Arguments& args, const std::vector<FileJob>& jobs, const FileWork& work,
             bool bar = true);

}  // namespace vorn::cli
