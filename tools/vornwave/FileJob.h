// The files one run of a subcommand works on. Commands that make new files take either
// "IN OUT" or "--out-dir DIR IN...", where each output is DIR plus the input's file name;
// commands that only read files take "FILE...". PlanJobs turns a command line into the
// list; CheckOutput then refuses, per file, an output that would overwrite something
// without --force, replace its own input or be written twice in one run.
#pragma once

#include "Arguments.h"

#include "wave/FileSystem.h"
#include "wave/WaveHeader.h"

#include <string>
#include <vector>

namespace vorn::cli {

struct FileJob {
    std::string input;
    std::string output;  // empty for commands that only read
};

// False with `error` set when the files do not fit either form.
bool PlanJobs(const Arguments& args, std::vector<FileJob>& jobs, std::string& error);
// False with `error` set when a file is "-", which the commands cannot stream.
bool RefuseDash(const std::vector<std::string>& files, std::string& error);
// One job per file, for commands that only read.
std::vector<FileJob> ReadJobs(const Arguments& args);

// Reads the header of an input; false with `why` when the file cannot be read, is no
// wave file or, with `supported`, holds samples the wave classes would misread.
bool InspectInput(const std::string& path, WaveHeader& header, std::string& why, bool supported = true);

class OutputGuard {
public:
    // Looks at every input and output before anything is written, so that no output,
    // under whatever name, replaces an input of the run, not even a later one, and each
    // job gets the answer it would get with the jobs done one by one in their order.
    OutputGuard(bool force, const std::vector<FileJob>& jobs);
    // False with `error` set when the job's output must not be written. `job` is one of
    // the list the guard was made with; jobs may be checked side by side, in any order.
    bool CheckOutput(const FileJob& job, std::string& error) const;

private:
    bool force;
    const std::vector<FileJob>& jobs;
    std::vector<std::string> refusals;  // per job, "" when its output may be written
    std::vector<bool> planned;          // per job, its output existed when the plan was made
};

}  // namespace vorn::cli
