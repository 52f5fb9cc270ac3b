// The files one run of a subcommand works on. Commands that make new files take either
// "IN OUT" or "--out-dir DIR IN...", where each output is DIR plus the input's file name;
// commands that only read files take "FILE...". PlanJobs turns a command line into the
// list; CheckOutput then refuses, per file, an output that would overwrite something
// without --force, replace its own input or be written twice in one run.
#pragma once

#include "Arguments.h"

#include "wave/FileSystem.h"
#include "wave/WaveHeader.h"

#include <set>
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
    // Takes the identity of every input before anything is written, so that no output,
    // under whatever name, replaces an input of the run, not even a later one.
    OutputGuard(bool force, const std::vector<FileJob>& jobs);
    // False with `error` set when the job's output must not be written.
    bool CheckOutput(const FileJob& job, std::string& error);

private:
    bool force;
    std::vector<std::pair<FileIdentity, std::string>> inputs;
    std::set<std::string> claimed;  // outputs of this run so far
};

}  // namespace vorn::cli
