#include "FileJob.h"

#include "wave/FileStream.h"

#include <filesystem>
#include <map>
#include <set>
#include <system_error>

namespace vorn::cli {

namespace fs = std::filesystem;

bool RefuseDash(const std::vector<std::string>& files, std::string& error) {
    for (const std::string& f : files)
        if (f == "-") {
            error = "\"-\" (standard input or output) is not offered: these commands need files they can seek in; "
                    "a file named - is ./-";
            return false;
        }
    return true;
}

bool PlanJobs(const Arguments& args, std::vector<FileJob>& jobs, std::string& error) {
    jobs.clear();
    const std::vector<std::string>& files = args.Files();
    if (!RefuseDash(files, error)) return false;
    if (const std::string* dir = args.Value("--out-dir")) {
        if (files.empty()) {
            error = "no input files";
            return false;
        }
        if (!IsFolder(*dir)) {
            error = "output folder " + *dir + " does not exist";
            return false;
        }
        // Joined as text: the library's path type would read the code page's letters as UTF-8.
        for (const std::string& in : files) jobs.push_back({in, JoinPath(*dir, FileNameOf(in))});
        return true;
    }
    if (files.size() != 2) {
        error = "give one input and one output file, or --out-dir DIR and the input files";
        return false;
    }
    jobs.push_back({files[0], files[1]});
    return true;
}

std::vector<FileJob> ReadJobs(const Arguments& args) {
    std::vector<FileJob> jobs;
    for (const std::string& f : args.Files()) jobs.push_back({f, ""});
    return jobs;
}

namespace {
// The same file under another spelling counts as the same file.
std::string Identity(const std::string& path) {
    std::error_code ec;
    fs::path p = fs::weakly_canonical(fs::absolute(path, ec), ec);
    return ec ? path : p.string();
}
}  // namespace

bool InspectInput(const std::string& path, WaveHeader& header, std::string& why, bool supported) {
    why = ReadProblem(path);
    if (!why.empty()) return false;
    FileStream in;
    if (!in.Open(path, FileStream::Mode::Read)) {
        why = "cannot open it: " + LastErrorText();
        return false;
    }
    if (!ReadWaveHeader(in, header, why)) return false;
    if (supported) why = header.Unsupported();
    return why.empty();
}

namespace {
std::string Exists(const FileJob& job) { return job.output + " exists (--force replaces it)"; }
}  // namespace

OutputGuard::OutputGuard(bool force, const std::vector<FileJob>& jobs) : force(force), jobs(jobs) {
    std::vector<std::pair<FileIdentity, std::string>> inputs;
    std::map<std::string, std::string> missingInputs;  // by name: an earlier job's output may make them
    for (const FileJob& job : jobs) {
        FileIdentity id;
        if (IdentifyFile(job.input, id)) inputs.emplace_back(id, job.input);
        else missingInputs.emplace(Identity(job.input), job.input);
    }
    // Only this run's jobs make files during it, so what exists now decides every job.
    std::set<std::string> claimed;
    for (const FileJob& job : jobs) {
        std::string& error = refusals.emplace_back();
        const std::string out = Identity(job.output);
        FileIdentity id, own;
        const bool exists = IdentifyFile(job.output, id);
        planned.push_back(exists);
        for (const auto& [input, name] : inputs) {
            if (!exists || !(input == id) || !error.empty()) continue;
            error = IdentifyFile(job.input, own) && own == id
                        ? "the output would replace its own input"
                        : "the output " + job.output + " is the input " + name + " of this run";
        }
        if (!error.empty()) continue;
        if (const auto missing = missingInputs.find(out); missing != missingInputs.end())
            error = "the output " + job.output + " is the input " + missing->second + " of this run";
        else if (claimed.count(out))
            error = job.output + " is already an output of this run";
        else if (!force && exists)
            error = Exists(job);
        else
            claimed.insert(out);
    }
}

bool OutputGuard::CheckOutput(const FileJob& job, std::string& error) const {
    const size_t index = size_t(&job - jobs.data());
    if (index >= refusals.size()) {
        error = "the output " + job.output + " was not planned";
        return false;
    }
    error = refusals[index];
    // Made since under a name the plan took for another (letter case, where it does not
    // count): one at a time, the later job found it there.
    FileIdentity id;
    if (error.empty() && !force && !planned[index] && IdentifyFile(job.output, id)) error = Exists(job);
    return error.empty();
}

}  // namespace vorn::cli
