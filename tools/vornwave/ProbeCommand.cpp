#include "ProbeCommand.h"

#include "Arguments.h"
#include "FileBatch.h"
#include "FilterChannels.h"
#include "Leftovers.h"

#include "probe/ProbeTone.h"
#include "wave/WaveFile.h"

#include <cmath>
#include <cstdlib>

namespace vorn::cli {

namespace {

constexpr const char* kHelp =
    "usage: vornwave probe --freq F --level L [--compensate] [--force] IN.wav OUT.wav\n"
    "       vornwave probe --freq F --level L [--compensate] [--force] --out-dir DIR IN.wav...\n"
    "\n"
    "Makes a new stimulus from each input, as the settings dialog's probe-tone tool does:\n"
    "channel 0 gets a 150 Hz wide notch (999-tap band-stop) around F and a sine of F Hz at\n"
    "L dB relative to full scale; channel 1 stays as it is. F is 100 to 10000 Hz, L is -60\n"
    "to -3 dBr. With --out-dir each output has its input's file name in DIR.\n"
    "Without --compensate, as in the dialog, channel 0 is delayed by the notch's 500 samples\n"
    "((taps + 1) / 2) and the last 500 samples of its filtered signal drop off the end; the\n"
    "sine starts at sample 0 either way.\n"
    "\n"
    "  --freq F      probe frequency in Hz\n"
    "  --level L     probe level in dBr\n"
    "  --compensate  remove the delay and keep the tail: channel 0 lines up with the input\n"
    "  --out-dir D   write the outputs into folder D\n"
    "  --force       replace outputs that exist (never the inputs)\n";

// A value the whole text of which is a number; anything else is NaN, which every range refuses.
float Number(const std::string& text) {
    char* end = nullptr;
    const float value = static_cast<float>(std::strtod(text.c_str(), &end));
    return text.empty() || *end != '\0' ? std::nanf("") : value;
}

// The command line's side of the tool: its progress goes to the batch's display, and
// nobody can cancel between blocks (an interrupt ends the whole process, which leaves
// at most a temporary file that was never renamed).
class BatchView final : public ProbeToneView {
public:
    explicit BatchView(ProgressDisplay& progress) : progress(progress) {}
    void ShowProcessing() override { progress.Percent(0); }
    void SetProgress(int percent) override { progress.Percent(percent); }
    bool CancelRequested() override { return false; }
    void ShowIdle() override { progress.Percent(100); }

private:
    ProgressDisplay& progress;
};

int Run(const std::vector<std::string>& words) {
    const Arguments args(words, {"--freq", "--level", "--out-dir", kJobsOption}, {"--force", "--compensate"});
    if (!args.Ok()) return UsageError("probe", args.Error());
    if (!args.Value("--freq") || !args.Value("--level")) return UsageError("probe", "--freq and --level are needed");
    const float frequency = Number(*args.Value("--freq")), level = Number(*args.Value("--level"));
    const bool compensate = args.Flag("--compensate");
    if (const char* refused = CheckProbeValues(frequency, level)) return UsageError("probe", refused);
    std::vector<FileJob> jobs;
    std::string error;
    if (!PlanJobs(args, jobs, error)) return UsageError("probe", error);

    OutputGuard guard(args.Flag("--force"), jobs);
    return RunBatch("probe", args, jobs, [&](const FileJob& job, ProgressDisplay& progress, std::string&,
                                       std::string& why) {
        WaveHeader header;
        if (!guard.CheckOutput(job, why)) return false;
        if (!InspectInput(job.input, header, why)) {
            why += std::string("; ") + ProbeTone::kCannotRead;  // the cause, then the dialog's words
            return false;
        }
        if (frequency >= header.sampleRate / 2.0f) {
            why = "the probe frequency must stay below half the sample rate (" + std::to_string(header.sampleRate / 2) + " Hz)";
            return false;
        }
        NoteOutputFolder(FolderOf(job.output));
        std::unique_ptr<TWaveFile> file = OpenStimulus(job.input);
        if (!file) return false;
        if (compensate) {
            // The notch as vornwave filter --compensate cuts it, then the tone from frame 0,
            // where the uncompensated tool adds it too.
            if (!FilterChannels(*file, {0}, ProbeNotch(frequency), true, [&](int percent) { progress.Percent(percent); },
                                why))
                return false;
            AddProbeSine(file.get(), frequency, level);
            return SaveNewStimulus(*file, job.output);
        }
        BatchView view(progress);
        if (!AddProbeTone(file.get(), frequency, level, view)) {
            why = "its sample rate is not positive";  // the one way to fail here: nobody cancels
            return false;
        }
        return SaveNewStimulus(*file, job.output);
    });
}

}  // namespace

Command ProbeCommand() { return {"probe", "add a probe tone to stimulus files (notch and sine)", kHelp, Run}; }

}  // namespace vorn::cli
