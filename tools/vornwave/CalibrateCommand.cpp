#include "CalibrateCommand.h"

#include "Arguments.h"
#include "FileBatch.h"
#include "Leftovers.h"

#include "wave/FileSystem.h"
#include "wave/WaveFile.h"

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <optional>

namespace vorn::cli {

namespace {

constexpr const char* kHelp =
    "usage: vornwave calibrate --channel 0|1|both [options] FILE...\n"
    "\n"
    "Sets fields of the calibration block of each wave file and writes the file back in\n"
    "place. Only the calibration chunk is replaced: the samples and every other chunk\n"
    "(LIST, bext, smpl and the like) are kept byte for byte.\n"
    "The file is replaced in one step: if anything fails it stays as it was.\n"
    "Only integer PCM files are changed. Setting any field marks the channel valid.\n"
    "Mono files have no channel 1 (--clear may still empty its record). Text fields hold\n"
    "bytes: a letter outside ASCII takes two or more. A link is followed: its target is\n"
    "updated and keeps its mode and owner.\n"
    "\n"
    "  --channel C        0 (left), 1 (right) or both\n"
    "  --sensitivity X    calFactor: units per full-scale value\n"
    "  --count-scale X    countScale: units per stored count\n"
    "  --unit TEXT        label of linear values (at most 59 bytes)\n"
    "  --db-unit TEXT     label of dB values (at most 59 bytes)\n"
    "  --unit-kind N      unit kind (4 relative to full scale, 3 acceleration)\n"
    "  --name TEXT        channel name (at most 39 bytes)\n"
    "  --description TEXT the block's description (at most 259 bytes, both channels)\n"
    "  -j N               files worked on at once (default: one per core)\n"
    "  --date YYYY-MM-DD  calibration date; the block has no date field, so it is written\n"
    "                     into the description as \"calibrated DATE\" (after TEXT, if given;\n"
    "                     alone, after the file's description, in place of an earlier date)\n"
    "  --clear            first empty the channel's record, as a file without calibration\n"
    "                     has it (valid 0, all fields zero, name Left or Right)\n";

// What the command line asks to change; unset fields stay as the file has them.
struct Edit {
    bool left = false, right = false, clear = false;
    std::optional<float> sensitivity, countScale;
    std::optional<int32_t> unitKind;
    std::optional<std::string> unit, dbUnit, name, description, date;
};

constexpr const char* kDatePrefix = "calibrated ";

bool ParseFloat(const std::string& text, float& value) {
    char* end = nullptr;
    const double v = std::strtod(text.c_str(), &end);
    value = float(v);
    return !text.empty() && *end == '\0' && std::isfinite(value);
}

bool ParseInt(const std::string& text, int32_t& value) {
    char* end = nullptr;
    const long v = std::strtol(text.c_str(), &end, 10);
    value = int32_t(v);
    return !text.empty() && *end == '\0' && v >= INT32_MIN && v <= INT32_MAX;
}

bool ValidDate(const std::string& d) {
    if (d.size() != 10 || d[4] != '-' || d[7] != '-') return false;
    for (size_t i : {0, 1, 2, 3, 5, 6, 8, 9})
        if (d[i] < '0' || d[i] > '9') return false;
    const int year = std::atoi(d.substr(0, 4).c_str()), month = std::atoi(d.substr(5, 2).c_str()),
              day = std::atoi(d.substr(8, 2).c_str());
    if (month < 1 || month > 12) return false;
    const bool leap = year % 4 == 0 && (year % 100 != 0 || year % 400 == 0);
    constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return day >= 1 && day <= kDays[month - 1] + (month == 2 && leap);
}

// The text of an option that must fit a field of `size` characters with its NUL.
std::string Text(const Arguments& args, const char* option, size_t size, std::optional<std::string>& into) {
    const std::string* v = args.Value(option);
    if (!v) return "";
    // The field holds bytes: a letter outside ASCII takes two or more of them.
    if (v->size() >= size)
        return std::string(option) + " takes at most " + std::to_string(size - 1) + " bytes (" + std::to_string(v->size()) +
               " given; letters outside ASCII take two or more)";
    into = *v;
    return "";
}

// Fills `edit` from the options; returns the usage error, or "" when they are good.
std::string ReadEdit(const Arguments& args, Edit& edit) {
    const std::string* channel = args.Value("--channel");
    if (!channel) return "--channel 0, 1 or both is needed";
    edit.left = *channel == "0" || *channel == "both";
    edit.right = *channel == "1" || *channel == "both";
    if (!edit.left && !edit.right) return "--channel must be 0, 1 or both";
    edit.clear = args.Flag("--clear");
    float f = 0;
    int32_t i = 0;
    if (const std::string* v = args.Value("--sensitivity")) {
        if (!ParseFloat(*v, f)) return "--sensitivity needs a number";
        edit.sensitivity = f;
    }
    if (const std::string* v = args.Value("--count-scale")) {
        if (!ParseFloat(*v, f)) return "--count-scale needs a number";
        edit.countScale = f;
    }
    if (const std::string* v = args.Value("--unit-kind")) {
        if (!ParseInt(*v, i)) return "--unit-kind needs a whole number";
        edit.unitKind = i;
    }
    for (std::string e : {Text(args, "--unit", sizeof ChannelCalibration::linearUnit, edit.unit),
                          Text(args, "--db-unit", sizeof ChannelCalibration::dbUnit, edit.dbUnit),
                          Text(args, "--name", sizeof ChannelCalibration::channelName, edit.name),
                          Text(args, "--description", sizeof CalibrationBlock::description, edit.description)})
        if (!e.empty()) return e;
    if (const std::string* date = args.Value("--date")) {
        if (!ValidDate(*date)) return "--date must be a real date, YYYY-MM-DD";
        edit.date = *date;
        if (edit.description) {
            const std::string text = *edit.description + ", " + kDatePrefix + *date;
            if (text.size() >= sizeof CalibrationBlock::description) return "--description and --date do not fit the description";
            edit.description = text;
        }
    }
    if (!edit.clear && !edit.sensitivity && !edit.countScale && !edit.unitKind && !edit.unit && !edit.dbUnit &&
        !edit.name && !edit.description && !edit.date)
        return "nothing to change: give a field to set or --clear";
    return "";
}

void Apply(const Edit& e, ChannelCalibration& c, const char* defaultName) {
    if (e.clear) {
        c = ChannelCalibration{};
        SetTextField(c.channelName, sizeof c.channelName, defaultName);
    }
    const bool sets = e.sensitivity || e.countScale || e.unitKind || e.unit || e.dbUnit || e.name;
    if (sets) c.valid = 1;
    if (e.sensitivity) c.calFactor = *e.sensitivity;
    if (e.countScale) c.countScale = *e.countScale;
    if (e.unitKind) c.unitKind = *e.unitKind;
    if (e.unit) SetTextField(c.linearUnit, sizeof c.linearUnit, e.unit->c_str());
    if (e.dbUnit) SetTextField(c.dbUnit, sizeof c.dbUnit, e.dbUnit->c_str());
    if (e.name) SetTextField(c.channelName, sizeof c.channelName, e.name->c_str());
}

// Why a new file cannot be made in `folder`, or `fallback` when one can.
std::string WriteProblem(const std::string& folder, const std::string& fallback) {
    FileStream probe;
    std::string name;
    if (!probe.CreateUnique(folder, "wav", name)) return "cannot create a file in " + folder + ": " + LastErrorText();
    probe.Close();
    RemoveFile(name);
    return fallback;
}

bool Calibrate(const std::string& path, const Edit& edit, std::string& summary, std::string& error) {
    // Through a link, the file it leads to is rewritten beside itself and the link stays.
    const std::string target = LinkTarget(path);
    WaveHeader header;
    FileKeeping keeping;
    if (!InspectInput(target, header, error)) {
    } else if (IsReadOnly(target)) {
        error = "the file is read-only";
    } else if (!ReadKeeping(target, keeping)) {
        error = "cannot look at the file: " + LastErrorText();
    } else if (keeping.links > 1) {
        error = "the file has " + std::to_string(keeping.links) + " hard links, which rewriting it would split";
    } else if (edit.right && !edit.left && header.channels == 1 &&
               (edit.sensitivity || edit.countScale || edit.unitKind || edit.unit || edit.dbUnit || edit.name)) {
        error = "the file has one channel only";
    } else if (keeping.ownedByOthers) {
        error = "the file belongs to another user, and rewriting it would make it yours";
    }
    if (!error.empty()) {
        error += "; nothing was changed";
        return false;
    }
    const std::string folder = FolderOf(target);
    NoteOutputFolder(folder);
    CalibrationBlock block;
    {
        // Direct mode reads the layout and the block but not the samples, and writes nothing
        // unless told to; it lets go of the file before the file is replaced.
        const TWaveFile wave(target, 1, false, folder.c_str());
        if (wave.Failed()) {
            error = "the file could not be read; nothing was changed";
            return false;
        }
        block = wave.GetCalibration();
    }
    const CalibrationBlock before = block;
    if (edit.left) Apply(edit, block.left, "Left");
    if (edit.right) Apply(edit, block.right, "Right");
    if (edit.description) SetTextField(block.description, sizeof block.description, edit.description->c_str());
    if (edit.date && !edit.description) {
        // The date alone keeps the description and replaces the date an earlier run added.
        std::string text(block.description, strnlen(block.description, sizeof block.description));
        const size_t old = text.rfind(kDatePrefix);
        if (old != std::string::npos && text.size() - old == std::strlen(kDatePrefix) + 10)
            text.erase(old >= 2 && text.compare(old - 2, 2, ", ") == 0 ? old - 2 : old);
        text += (text.empty() ? "" : ", ") + std::string(kDatePrefix) + *edit.date;
        if (text.size() >= sizeof block.description) {
            error = "the description has no room for the date; nothing was changed";
            return false;
        }
        SetTextField(block.description, sizeof block.description, text.c_str());
    }
    if (block.SameBytes(before)) {
        summary = path + ": calibration unchanged";
        return true;
    }
    if (!ReplaceCalibration(target, block)) {
        error = WriteProblem(folder, "writing the new file failed: " + LastErrorText()) + "; the file is as it was";
        return false;
    }
    if (!ApplyKeeping(target, keeping)) {
        error = "the calibration was written, but the file's mode and owner could not be restored: " + LastErrorText();
        return false;
    }
    summary = path + ": calibration written";
    return true;
}

int Run(const std::vector<std::string>& words) {
    const Arguments args(words,
                         {"--channel", "--sensitivity", "--count-scale", "--unit", "--db-unit", "--unit-kind", "--name",
                          "--description", "--date", kJobsOption},
                         {"--clear"});
    if (!args.Ok()) return UsageError("calibrate", args.Error());
    Edit edit;
    const std::string problem = ReadEdit(args, edit);
    if (!problem.empty()) return UsageError("calibrate", problem);
    if (args.Files().empty()) return UsageError("calibrate", "no files");
    std::string dash;
    if (!RefuseDash(args.Files(), dash)) return UsageError("calibrate", dash);
    MakeNewFilesPrivate();
    return RunBatch("calibrate", args, ReadJobs(args), [&](const FileJob& job, ProgressDisplay&, std::string& summary,
                                                     std::string& error) {
        return Calibrate(job.input, edit, summary, error);
    });
}

}  // namespace

Command CalibrateCommand() {
    return {"calibrate", "set the calibration block of wave files in place", kHelp, Run};
}

}  // namespace vorn::cli
