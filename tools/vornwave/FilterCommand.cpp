#include "FilterCommand.h"

#include "Arguments.h"
#include "CollectingSink.h"
#include "FileBatch.h"
#include "FilterChannels.h"
#include "Leftovers.h"

#include "dsp/FirFilter.h"
#include "dsp/SpectralData.h"
#include "wave/WaveFile.h"

#include <algorithm>
#include <cmath>
#include <complex>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <numbers>

namespace vorn::cli {

namespace {

constexpr const char* kHelp =
    "usage: vornwave filter DESIGN [options] IN.wav OUT.wav\n"
    "       vornwave filter DESIGN [options] --out-dir DIR IN.wav...\n"
    "       vornwave filter DESIGN [--taps N] [--rate HZ] --response FREQ,...|table\n"
    "\n"
    "Filters each input with the program's linear-phase FIR filter (window design, Hanning)\n"
    "and writes it as a new file with its calibration block. Without --compensate the output\n"
    "is the input delayed by (taps + 1) / 2 samples, as in the probe-tone tool, and the last\n"
    "(taps + 1) / 2 samples of the filtered signal drop off the end; results beyond the\n"
    "sample range stick at full scale.\n"
    "\n"
    "DESIGN, exactly one of (frequencies in whole hertz):\n"
    "  --lowpass F            pass below F\n"
    "  --highpass F           pass above F\n"
    "  --bandpass LO HI       pass between LO and HI\n"
    "  --bandstop CENTRE W    cut a band W wide around CENTRE (the probe tool's notch: W 150)\n"
    "  --table FILE           amplitude response from a table file: one \"frequency dB\" row per\n"
    "                         line, ';' comments, ';SPLINE OFF' for straight lines between rows\n"
    "options:\n"
    "  --taps N               coefficients, 39 .. 999; an even N is made odd (default 999)\n"
    "  --gain DB              gain, -90 .. 90 dB (default 0); the calibration block is copied\n"
    "                         as it is, so after a gain it no longer matches the samples\n"
    "  --channel 0|1|both     channels to filter (default both; the others are kept)\n"
    "  --out-dir D            write the outputs into folder D, under their input names\n"
    "  --force                replace outputs that exist (never the inputs)\n"
    "  -j N                   files filtered at once (default: one per core)\n"
    "  --compensate           remove the delay and keep the tail: the output lines up with\n"
    "                         the input and has its length\n"
    "  --response LIST|table  print the design's magnitude response instead of filtering: at\n"
    "                         the comma-separated frequencies, or at third-octave steps from\n"
    "                         20 Hz; a table design also shows the table's level there\n"
    "  --rate HZ              sample rate of the --response design (default 48000)\n";

constexpr const char* kName = "filter";
constexpr const char* kDesigns[] = {"--lowpass", "--highpass", "--bandpass", "--bandstop", "--table"};

// The whole text is a finite number.
bool Number(const std::string& text, double& value) {
    char* end = nullptr;
    value = std::strtod(text.c_str(), &end);
    return !text.empty() && *end == '\0' && std::isfinite(value);
}

// A whole number of hertz: 1000.9 is refused, not cut to 1000.
bool WholeHertz(const std::string& text, int32_t& hz) {
    double v = 0;
    if (!Number(text, v) || v < 0 || v > 1e9 || v != std::floor(v)) return false;
    hz = int32_t(v);
    return true;
}

// "--bandpass LO HI" and "--bandstop CENTRE W" take two words; the option parser takes
// one value, so the pair travels as one word "LO HI".
std::vector<std::string> JoinPairs(const std::vector<std::string>& words) {
    std::vector<std::string> out;
    for (size_t i = 0; i < words.size(); ++i) {
        out.push_back(words[i]);
        if (words[i] == "--") {
            out.insert(out.end(), words.begin() + long(i) + 1, words.end());
            break;
        }
        if ((words[i] == "--bandpass" || words[i] == "--bandstop") && i + 2 < words.size()) {
            out.push_back(words[i + 1] + " " + words[i + 2]);
            i += 2;
        } else if ((words[i].rfind("--bandpass=", 0) == 0 || words[i].rfind("--bandstop=", 0) == 0) && i + 1 < words.size()) {
            out.back() += " " + words[++i];
        }
    }
    return out;
}

bool Pair(const std::string& text, int32_t& a, int32_t& b) {
    const size_t space = text.find(' ');
    return space != std::string::npos && WholeHertz(text.substr(0, space), a) && WholeHertz(text.substr(space + 1), b);
}

// Fills the filter's parameter record from the command line; an error text when it cannot.
std::string ReadDesign(const Arguments& args, FirFilterParams& p) {
    int given = 0;
    for (const char* d : kDesigns) given += args.Value(d) != nullptr;
    if (given != 1) return "give exactly one of --lowpass, --highpass, --bandpass, --bandstop, --table";
    p.taps = TFirFilter::kMaxTaps;
    if (const std::string* v = args.Value("--taps")) {
        double taps = 0;
        if (!Number(*v, taps) || taps != std::floor(taps) || taps < TFirFilter::kMinTaps || taps > TFirFilter::kMaxTaps)
            return "--taps takes a whole number from " + std::to_string(TFirFilter::kMinTaps) + " to " +
                   std::to_string(TFirFilter::kMaxTaps);
        p.taps = int32_t(taps);
    }
    if (const std::string* v = args.Value("--gain")) {
        double gain = 0;
        if (!Number(*v, gain) || gain < -90 || gain > 90) return "--gain takes -90 to 90 dB";
        p.gain = float(gain);
    }
    if (const std::string* v = args.Value("--lowpass")) {
        p.type = FirFilterParams::Lowpass;
        if (!WholeHertz(*v, p.lowpassCutoff)) return "--lowpass takes a frequency in whole hertz";
    } else if (const std::string* v = args.Value("--highpass")) {
        p.type = FirFilterParams::Highpass;
        if (!WholeHertz(*v, p.highpassCutoff)) return "--highpass takes a frequency in whole hertz";
    } else if (const std::string* v = args.Value("--bandpass")) {
        p.type = FirFilterParams::Bandpass;
        int32_t low = 0, high = 0;
        if (!Pair(*v, low, high) || high <= low) return "--bandpass takes two frequencies in whole hertz, LO below HI";
        p.bandpassCentre = (low + high) / 2;
        p.bandpassWidth = high - low;
    } else if (const std::string* v = args.Value("--bandstop")) {
        p.type = FirFilterParams::Bandstop;
        if (!Pair(*v, p.bandstopCentre, p.bandstopWidth) || p.bandstopWidth == 0)
            return "--bandstop takes a centre frequency and a width";
    } else if (const std::string* v = args.Value("--table")) {
        p.type = FirFilterParams::ResponseTable;
        if (v->empty() || v->size() >= sizeof p.responsePath)
            return "the table's path must have 1 to " + std::to_string(sizeof p.responsePath - 1) + " characters";
        std::snprintf(p.responsePath, sizeof p.responsePath, "%s", v->c_str());
    }
    return "";
}

// A table the loader refuses would leave the filter without taps, silencing every file;
// it is a usage error before anything is written.
std::string CheckTable(const FirFilterParams& p) {
    if (p.type != FirFilterParams::ResponseTable) return "";
    CollectingSink sink;
    SampleFormat format;
    format.Set(48000, 1, 2);
    TFirFilter probe(format, p);
    const float* c = probe.GetCoefficients();
    return std::any_of(c, c + probe.GetCount(), [](float v) { return v != 0.0f; }) ? "" : sink.Texts();
}

std::vector<double> ResponseFrequencies(const std::string& list, double rate, std::string& error) {
    std::vector<double> out;
    if (list == "table") {
        for (int n = 13; std::pow(10.0, n / 10.0) < rate / 2; ++n) out.push_back(std::round(std::pow(10.0, n / 10.0)));
        return out;
    }
    for (size_t at = 0; at <= list.size();) {
        const size_t comma = std::min(list.find(',', at), list.size());
        double f = 0;
        if (!Number(list.substr(at, comma - at), f) || f < 0 || f > rate / 2) {
            error = "--response takes \"table\" or frequencies from 0 to half the rate, separated by commas";
            return {};
        }
        out.push_back(f);
        at = comma + 1;
    }
    return out;
}

double ResponseDb(const TFirFilter& filter, double hz, double rate) {
    std::complex<double> sum = 0;
    for (int32_t k = 0; k < filter.GetCount(); ++k)
        sum += double(filter.GetCoefficients()[k]) * std::polar(1.0, -2 * std::numbers::pi * hz * k / rate);
    return 20 * std::log10(std::max(std::abs(sum), 1e-15)) + filter.GetGainDb();
}

int PrintResponse(const FirFilterParams& p, const std::string& list, const std::string* rateText) {
    double rate = 48000;
    if (rateText && (!Number(*rateText, rate) || rate != std::floor(rate) || rate < 1000 || rate > 768000)) return UsageError(kName, "--rate takes 1000 to 768000 Hz");
    std::string error;
    const std::vector<double> frequencies = ResponseFrequencies(list, rate, error);
    if (!error.empty()) return UsageError(kName, error);
    SampleFormat format;
    format.Set(uint32_t(rate), 1, 2);
    const TFirFilter filter(format, p);
    // The table's own level at each frequency: the loader's bins, 11.7 Hz apart at 48 kHz.
    std::vector<float> levels;
    std::unique_ptr<SpectralData> grid;
    if (p.type == FirFilterParams::ResponseTable) {
        AnalysisSetup setup;
        setup.format = format;
        setup.transformSize = 4096;
        grid = std::make_unique<SpectralData>(setup, DisplaySetup(), false);
        levels.resize(grid->GetBinCount());
        grid->LoadTable(p.responsePath, levels.data());
    }
    std::printf("# %d taps at %.0f Hz, gain %.2f dB\n# Hz\tresponse dB%s\n", int(filter.GetCount()), rate,
                double(filter.GetGainDb()), grid ? "\ttable dB" : "");
    for (double f : frequencies) {
        std::printf("%.1f\t%.2f", f, ResponseDb(filter, f, rate));
        if (grid) std::printf("\t%.2f", double(levels[grid->BinOfFrequency(float(f))]));
        std::printf("\n");
    }
    return kAllDone;
}

// The highest frequency a design names; a filter reaching half the sample rate aliases.
int32_t HighestFrequency(const FirFilterParams& p) {
    switch (p.type) {
    case FirFilterParams::Lowpass: return p.lowpassCutoff;
    case FirFilterParams::Highpass: return p.highpassCutoff;
    case FirFilterParams::Bandpass: return p.bandpassCentre + (p.bandpassWidth + 1) / 2;
    case FirFilterParams::Bandstop: return p.bandstopCentre + (p.bandstopWidth + 1) / 2;
    default: return 0;
    }
}

bool FilterFile(const FileJob& job, const FirFilterParams& p, const std::string& channels, bool compensate,
                ProgressDisplay& progress, std::string& why) {
    WaveHeader header;
    if (!InspectInput(job.input, header, why)) return false;
    if (header.channels == 1 && channels == "1") {
        why = "the file has one channel only";
        return false;
    }
    if (const int32_t top = HighestFrequency(p); top >= header.sampleRate / 2.0) {
        why = "the design reaches " + std::to_string(top) + " Hz, at or above half the sample rate (" +
              std::to_string(header.sampleRate / 2) + " Hz)";
        return false;
    }
    NoteOutputFolder(FolderOf(job.output));
    TWaveFile wave(job.input, 0, false, nullptr);
    if (wave.Failed()) {
        why = "the file could not be read";
        return false;
    }
    std::vector<uint16_t> selected = {0, 1};
    if (channels != "both") selected = {uint16_t(channels == "1")};
    if (header.channels == 1) selected = {0};
    if (!FilterChannels(wave, selected, p, compensate, [&](int percent) { progress.Percent(percent); }, why))
        return false;
    wave.SetTargetName(job.output);
    if (!wave.Commit()) {
        why = "could not write " + job.output;
        return false;
    }
    return true;
}

int Run(const std::vector<std::string>& words) {
    const Arguments args(JoinPairs(words),
                         {"--lowpass", "--highpass", "--bandpass", "--bandstop", "--table", "--taps", "--gain",
                          "--channel", "--out-dir", "--response", "--rate", kJobsOption},
                         {"--force", "--compensate"});
    if (!args.Ok()) return UsageError(kName, args.Error());
    FirFilterParams params;
    std::string error = ReadDesign(args, params);
    if (!error.empty()) return UsageError(kName, error);
    error = CheckTable(params);
    if (!error.empty()) return UsageError(kName, "the table cannot be used: " + error);
    if (const std::string* list = args.Value("--response")) {
        if (!args.Files().empty()) return UsageError(kName, "--response prints a design and filters no files");
        return PrintResponse(params, *list, args.Value("--rate"));
    }
    const std::string channels = args.Value("--channel") ? *args.Value("--channel") : "both";
    const bool compensate = args.Flag("--compensate");
    if (channels != "0" && channels != "1" && channels != "both") return UsageError(kName, "--channel takes 0, 1 or both");
    std::vector<FileJob> jobs;
    if (!PlanJobs(args, jobs, error)) return UsageError(kName, error);
    OutputGuard guard(args.Flag("--force"), jobs);
    return RunBatch(kName, args, jobs, [&](const FileJob& job, ProgressDisplay& progress, std::string&, std::string& why) {
        return guard.CheckOutput(job, why) && FilterFile(job, params, channels, compensate, progress, why);
    });
}

}  // namespace

Command FilterCommand() { return {kName, "filter wave files (lowpass, highpass, band, notch or response table)", kHelp, Run}; }

}  // namespace vorn::cli
