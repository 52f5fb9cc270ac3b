#include "InfoCommand.h"

#include "Arguments.h"
#include "FileBatch.h"
#include "wave/HeaderView.h"

#include "common/Format.h"
#include "wave/FileStream.h"
#include "wave/WaveFile.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace vorn::cli {

namespace {

constexpr const char* kHelp =
    "usage: vornwave info [--json | -D | -r | -c | -b | -s] FILE...\n"
    "\n"
    "Prints for each wave file its format, frame count, duration, the peak level of each\n"
    "channel (stored value and dB relative to full scale) and the fields of its calibration\n"
    "block when it has one. Only the header is read into memory; the samples are read in\n"
    "passing for the peaks. Files that cannot be read are reported; the others are still shown.\n"
    "Files the other commands refuse (float, mu-law, A-law, ADPCM, more than two channels)\n"
    "are shown with their format and length and marked unsupported.\n"
    "\n"
    "Full scale is the program's own, which its stored files rely on: 32-bit samples reach\n"
    "full scale at 2^30 (so a 32-bit peak may read up to +6 dBFS), and 8-bit silence is 127.\n"
    "\n"
    "  --json   one JSON object per file and line\n"
    "  -D -r -c -b -s   only the duration in seconds, the sample rate, the channels, the bits\n"
    "                   per sample or the frames, one value per file and line\n";

constexpr const char* kFieldFlags[] = {"-D", "-r", "-c", "-b", "-s"};

// Field texts are NUL-terminated in their records, but a foreign file may fill them.
std::string Field(const char* text, size_t size) { return std::string(text, strnlen(text, size)); }

std::string Json(const std::string& text) {
    std::string out = "\"";
    for (const unsigned char c : text) {
        if (c == '"' || c == '\\') out += {'\\', char(c)};
        else if (c < 0x20) out += Format("\\u%04x", unsigned(c));
        else out += char(c);
    }
    return out + "\"";
}

struct Facts {
    WaveHeader header;
    std::string unsupported;
    SampleFormat format;         // the program's reading of a supported file
    std::vector<int64_t> peaks;  // distance of the largest sample from silence, per channel
    bool calibrationPresent = false;
    CalibrationBlock calibration;

    bool FramesKnown() const { return header.tag == 1 || header.tag == 3 || header.tag == 6 || header.tag == 7; }
    double Seconds() const { return double(header.Frames()) / header.sampleRate; }
    double PeakDb(int64_t peak) const { return 20.0 * std::log10(double(peak) / format.HalfRange()); }
};

bool StreamPeaks(FileStream& in, Facts& facts) {
    const SampleFormat& f = facts.format;
    const uint32_t frameSize = f.FrameSize();
    std::vector<uint8_t> block(size_t(frameSize) * 16384);
    facts.peaks.assign(f.channels, 0);
    if (!in.Seek(facts.header.dataOffset)) return false;
    for (uint64_t left = facts.header.Frames(); left > 0;) {
        const size_t frames = size_t(std::min<uint64_t>(left, block.size() / frameSize));
        if (in.Read(block.data(), frames * frameSize) != frames * frameSize) return false;
        for (size_t i = 0; i < frames; ++i)
            for (uint16_t c = 0; c < f.channels; ++c) {
                const int64_t v = DecodeSample(&block[i * frameSize + c * f.bytesPerSample], f.bytesPerSample);
                facts.peaks[c] = std::max<int64_t>(facts.peaks[c], std::llabs(v - f.offset));
            }
        left -= frames;
    }
    return true;
}

bool Gather(const std::string& path, Facts& facts, std::string& why) {
    if (!InspectInput(path, facts.header, why, false)) return false;
    facts.unsupported = facts.header.Unsupported();
    if (!facts.unsupported.empty()) return true;
    FileStream in;
    if (!in.Open(path, FileStream::Mode::Read)) {
        why = "cannot open it: " + LastErrorText();
        return false;
    }
    HeaderView view(in, facts.header);
    const TWaveFile wave(view);
    if (wave.Failed()) {
        why = "the file could not be read";
        return false;
    }
    facts.format = wave.GetFormat();
    facts.calibrationPresent = wave.CalibrationPresent();
    facts.calibration = wave.GetCalibration();
    if (!StreamPeaks(in, facts)) {
        why = "reading the samples failed: " + LastErrorText();
        return false;
    }
    return true;
}

std::string FormatText(const WaveHeader& h) {
    return Format("%s, %u channel%s, %u Hz", h.Encoding().c_str(), unsigned(h.channels), h.channels == 1 ? "" : "s",
                  unsigned(h.sampleRate));
}

std::string CalibrationText(const ChannelCalibration& c, const char* which) {
    return Format("  calibration %s: valid %d, name \"%s\", unit kind %d, linear unit \"%s\", dB unit \"%s\", "
                  "calFactor %g, countScale %g\n",
                  which, c.valid, Field(c.channelName, sizeof c.channelName).c_str(), c.unitKind,
                  Field(c.linearUnit, sizeof c.linearUnit).c_str(), Field(c.dbUnit, sizeof c.dbUnit).c_str(),
                  double(c.calFactor), double(c.countScale));
}

std::string Report(const std::string& name, const Facts& f) {
    std::string r = name + "\n  format: " + FormatText(f.header) + "\n";
    if (f.FramesKnown()) {
        const double seconds = f.Seconds();
        r += Format("  frames: %llu\n", static_cast<unsigned long long>(f.header.Frames()));
        r += Format("  duration: %.6f s (%02d:%02d:%05.2f)\n", seconds, int(seconds / 3600), int(seconds / 60) % 60,
                    std::fmod(seconds, 60.0));
    }
    FileStream in;
    if (in.Open(name, FileStream::Mode::Read))
        r += Format("  file size: %llu bytes\n", static_cast<unsigned long long>(in.Size()));
    if (!f.unsupported.empty()) return r + "  unsupported: " + f.unsupported + " (the other commands refuse this file)";
    r += "  peak:";
    for (uint16_t c = 0; c < f.peaks.size(); ++c) {
        r += c ? ", " : " ";
        r += f.peaks[c] == 0 ? Format("channel %u: 0 (silent)", unsigned(c))
                             : Format("channel %u: %lld (%.2f dBFS)", unsigned(c), static_cast<long long>(f.peaks[c]),
                                      f.PeakDb(f.peaks[c]));
    }
    r += "\n";
    if (f.calibrationPresent) {
        r += "  calibration description: \"" + Field(f.calibration.description, sizeof f.calibration.description) + "\"\n";
        r += CalibrationText(f.calibration.left, "left");
        r += CalibrationText(f.calibration.right, "right");
    } else {
        r += "  calibration: none\n";
    }
    r.pop_back();  // the batch adds the last line break
    return r;
}

std::string JsonCalibration(const ChannelCalibration& c) {
    return Format("{\"valid\":%d,\"name\":%s,\"unitKind\":%d,\"linearUnit\":%s,\"dbUnit\":%s,\"calFactor\":%.9g,"
                  "\"countScale\":%.9g}",
                  c.valid, Json(Field(c.channelName, sizeof c.channelName)).c_str(), c.unitKind,
                  Json(Field(c.linearUnit, sizeof c.linearUnit)).c_str(), Json(Field(c.dbUnit, sizeof c.dbUnit)).c_str(),
                  double(c.calFactor), double(c.countScale));
}

std::string JsonReport(const std::string& name, const Facts& f) {
    const WaveHeader& h = f.header;
    std::string r = Format("{\"file\":%s,\"encoding\":%s,\"channels\":%u,\"sampleRate\":%u,\"bits\":%u", Json(name).c_str(),
                           Json(h.Encoding()).c_str(), unsigned(h.channels), unsigned(h.sampleRate), unsigned(h.bits));
    if (f.FramesKnown())
        r += Format(",\"frames\":%llu,\"duration\":%.6f", static_cast<unsigned long long>(h.Frames()), f.Seconds());
    if (!f.unsupported.empty()) return r + ",\"supported\":false,\"unsupported\":" + Json(f.unsupported) + "}";
    r += ",\"supported\":true,\"peaks\":[";
    for (size_t c = 0; c < f.peaks.size(); ++c) {
        if (c) r += ",";
        r += f.peaks[c] ? Format("{\"value\":%lld,\"dBFS\":%.2f}", static_cast<long long>(f.peaks[c]), f.PeakDb(f.peaks[c]))
                        : std::string("{\"value\":0,\"dBFS\":null}");
    }
    r += "],\"calibration\":";
    if (!f.calibrationPresent) return r + "null}";
    return r + "{\"description\":" + Json(Field(f.calibration.description, sizeof f.calibration.description)) +
           ",\"left\":" + JsonCalibration(f.calibration.left) + ",\"right\":" + JsonCalibration(f.calibration.right) + "}}";
}

std::string OneField(const std::string& flag, const Facts& f) {
    const WaveHeader& h = f.header;
    if (flag == "-r") return std::to_string(h.sampleRate);
    if (flag == "-c") return std::to_string(h.channels);
    if (flag == "-b") return std::to_string(h.bits);
    if (!f.FramesKnown()) return "";
    if (flag == "-s") return std::to_string(h.Frames());
    return Format("%.6f", f.Seconds());
}

int Run(const std::vector<std::string>& words) {
    // soxi's one-letter fields; "--" still ends the options.
    std::vector<std::string> rest;
    std::string field;
    for (size_t i = 0; i < words.size(); ++i) {
        const bool isField = std::find(std::begin(kFieldFlags), std::end(kFieldFlags), words[i]) != std::end(kFieldFlags);
        if (words[i] == "--") {
            rest.insert(rest.end(), words.begin() + long(i), words.end());
            break;
        }
        if (!isField) {
            rest.push_back(words[i]);
        } else if (!field.empty()) {
            return UsageError("info", "give one of -D, -r, -c, -b, -s");
        } else {
            field = words[i];
        }
    }
    const Arguments args(rest, {kJobsOption}, {"--json"});
    if (!args.Ok()) return UsageError("info", args.Error());
    if (args.Files().empty()) return UsageError("info", "no files");
    std::string dash;
    if (!RefuseDash(args.Files(), dash)) return UsageError("info", dash);
    const bool json = args.Flag("--json");
    if (json && !field.empty()) return UsageError("info", "--json and " + field + " do not go together");
    return RunBatch("info", args, ReadJobs(args), [&](const FileJob& job, ProgressDisplay&, std::string& summary,
                                                std::string& error) {
        Facts facts;
        if (!Gather(job.input, facts, error)) return false;
        if (!field.empty() && !facts.FramesKnown() && (field == "-s" || field == "-D")) {
            error = "the frames of " + facts.header.Encoding() + " samples are not counted";
            return false;
        }
        summary = !field.empty() ? OneField(field, facts) : json ? JsonReport(job.input, facts) : Report(job.input, facts);
        return true;
    }, false);
}

}  // namespace

Command InfoCommand() { return {"info", "show format, length, peaks and calibration of wave files", kHelp, Run}; }

}  // namespace vorn::cli
