// Runs one subcommand's work over its files: every file is tried, whatever happened to
// the ones before; what the wave and signal-processing classes would have shown the
// operator in a message box becomes that file's error line. The result is the exit code.
#pragma once

#include "FileJob.h"
#include "ProgressDisplay.h"

#include <functional>
#include <string>
#include <vector>

namespace vorn::cli {

// The work on one file. It returns true on success and may set `summary` (the line a
// log gets for the file) or `error` (the reason it failed, when no message says it).
using FileWork = std::function<bool(const FileJob& job, ProgressDisplay& progress, std::string& summary,
                                    std::string& error)>;

// `bar`: may show a progress bar (on a terminal); commands that print a report per file
// pass false and get the report as the file's line.
int RunBatch(const char* command, const std::vector<FileJob>& jobs, const FileWork& work, bool bar = true);

}  // namespace vorn::cli
