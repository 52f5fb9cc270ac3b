#include "InfoCommand.h"

#include "Arguments.h"
#include "FileBatch.h"

#include "common/Format.h"
#include "wave/WaveFile.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

namespace vorn::cli {

namespace {

constexpr const char* kHelp =
    "usage: vornwave info FILE...\n"
    "\n"
    "Prints for each wave file its format, frame count, duration, the peak level of each\n"
    "channel (stored value and dB relative to full scale) and the fields of its calibration\n"
    "block when it has one. Files that cannot be read are reported; the others are still shown.\n";

// Largest distance of a stored sample from silence, per channel.
int64_t Peak(const TWaveData& wave, uint16_t channel) {
    const SampleFormat f = wave.GetFormat();
    const uint8_t* p = wave.GetSamples() + channel * f.bytesPerSample;
    int64_t peak = 0;
    for (uint32_t i = 0; i < wave.GetFrameCount(); ++i, p += f.FrameSize())
        peak = std::max<int64_t>(peak, std::llabs(int64_t(DecodeSample(p, f.bytesPerSample)) - f.offset));
    return peak;
}

std::string PeakText(const TWaveData& wave, uint16_t channel) {
    const int64_t peak = Peak(wave, channel);
    if (peak == 0) return Format("channel %u: 0 (silent)", unsigned(channel));
    return Format("channel %u: %lld (%.2f dBFS)", unsigned(channel), static_cast<long long>(peak),
                  20.0 * std::log10(double(peak) / wave.GetFormat().HalfRange()));
}

// Field texts are NUL-terminated in their records, but a foreign file may fill them.
std::string Field(const char* text, size_t size) { return std::string(text, strnlen(text, size)); }

std::string CalibrationText(const ChannelCalibration& c, const char* which) {
    return Format("  calibration %s: valid %d, name \"%s\", unit kind %d, linear unit \"%s\", dB unit \"%s\", "
                  "calFactor %g, countScale %g\n",
                  which, c.valid, Field(c.channelName, sizeof c.channelName).c_str(), c.unitKind,
                  Field(c.linearUnit, sizeof c.linearUnit).c_str(), Field(c.dbUnit, sizeof c.dbUnit).c_str(),
                  double(c.calFactor), double(c.countScale));
}

std::string Report(const std::string& name, TWaveFile& wave) {
    const SampleFormat f = wave.GetFormat();
    std::string r = name + "\n";
    r += Format("  format: %u-bit %s integer PCM, %u channel%s, %u Hz\n", unsigned(f.bits),
                f.bytesPerSample == 1 ? "unsigned" : "signed", unsigned(f.channels), f.channels == 1 ? "" : "s",
                unsigned(f.sampleRate));
    const double seconds = wave.FramesToSeconds(wave.GetFrameCount());
    r += Format("  frames: %u\n", unsigned(wave.GetFrameCount()));
    r += Format("  duration: %.6f s (%02d:%02d:%05.2f)\n", seconds, int(seconds / 3600), int(seconds / 60) % 60,
                std::fmod(seconds, 60.0));
    std::error_code ec;
    const auto bytes = std::filesystem::file_size(name, ec);
    if (!ec) r += Format("  file size: %llu bytes\n", static_cast<unsigned long long>(bytes));
    r += "  peak:";
    for (uint16_t c = 0; c < f.channels; ++c) r += (c ? ", " : " ") + PeakText(wave, c);
    r += "\n";
    if (wave.CalibrationPresent()) {
        const CalibrationBlock& b = wave.GetCalibration();
        r += "  calibration description: \"" + Field(b.description, sizeof b.description) + "\"\n";
        r += CalibrationText(b.left, "left");
        r += CalibrationText(b.right, "right");
    } else {
        r += "  calibration: none\n";
    }
    r.pop_back();  // the batch adds the last line break
    return r;
}

int Run(const std::vector<std::string>& words) {
    const Arguments args(words, {}, {});
    if (!args.Ok()) return UsageError("info", args.Error());
    if (args.Files().empty()) return UsageError("info", "no files");
    return RunBatch("info", ReadJobs(args), [](const FileJob& job, ProgressDisplay&, std::string& summary,
                                               std::string& error) {
        TWaveFile wave(job.input, 0, false, nullptr);
        if (wave.Failed()) {
            error = "not a readable wave file";
            return false;
        }
        summary = Report(job.input, wave);
        return true;
    }, false);
}

}  // namespace

Command InfoCommand() { return {"info", "show format, length, peaks and calibration of wave files", kHelp, Run}; }

}  // namespace vorn::cli
