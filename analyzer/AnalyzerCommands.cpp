#include "analyzer/AnalyzerCommands.h"

#include "common/Format.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <system_error>

namespace vorn {

namespace {

struct CommandEntry {
    AnalyzerCommandKind kind;
    const char* pattern;
};

// One line per command; composing and parsing both work from these patterns.
constexpr CommandEntry kCommands[] = {
    {AnalyzerCommandKind::MinimizeWindow, "[Minimize Window]"},
    {AnalyzerCommandKind::FileClose, "[File Close]"},
    {AnalyzerCommandKind::LoadCaptureConfig, "[Load Config %s\\Config\\CaptureData.cfg]"},
    {AnalyzerCommandKind::SetInputDevice, "[Set Input Device %d]"},
    {AnalyzerCommandKind::SetOutputDevice, "[Set Output Device %d]"},
    {AnalyzerCommandKind::OpenTotalPowerUtility, "[Open Total Power Utility]"},
    {AnalyzerCommandKind::SetAverageSize, "[Set Average Size 1000]"},
    {AnalyzerCommandKind::SetGeneratorTypeUserDefined, "[Set Generator Type User Defined]"},
    {AnalyzerCommandKind::SetGeneratorWaveFileLeft, "[Set Generator Wave File Left %s]"},
    {AnalyzerCommandKind::Record, "[Record]"},
    {AnalyzerCommandKind::LoadProcessConfig, "[Load Config %s\\Config\\ProcessData.cfg]"},
    {AnalyzerCommandKind::FileMerge, "[File Merge %s\\Output\\Test1.wav %s\\Output\\Test2.wav]"},
    {AnalyzerCommandKind::DelayFinder, "[Delay Finder 0.0]"},
    {AnalyzerCommandKind::OpenDelayFinder, "[Open DelayFinder]"},
    {AnalyzerCommandKind::GoTo, "[Go To 1.0]"},
    {AnalyzerCommandKind::Run, "[Run]"},
    {AnalyzerCommandKind::Stop, "[Stop]"},
    {AnalyzerCommandKind::SetDelay, "[Set Delay %f]"},
    {AnalyzerCommandKind::CloseDelayFinder, "[Close DelayFinder]"},
    {AnalyzerCommandKind::SaveTest1, "[File Save %s\\Output\\Test1.wav]"},
    {AnalyzerCommandKind::SetLeftOverlay1, "[Set Left Overlay 1]"},
    {AnalyzerCommandKind::SaveTest2, "[File Save %s\\Output\\Test2.wav]"},
    {AnalyzerCommandKind::SetLeftOverlay2, "[Set Left Overlay 2]"},
    {AnalyzerCommandKind::SaveMerged, "[File Save %s\\Output\\Merged.wav]"},
    {AnalyzerCommandKind::SetMarker1, "[Set Marker 1 %f]"},
    {AnalyzerCommandKind::SetMarker2, "[Set Marker 2 %f]"},
};
static_assert(std::size(kCommands) == kAnalyzerCommandCount);

// printf's "%f" of a double, without a length limit: "%f" of 1e300 has 308 characters.
std::string FormatFixed6(double value) { return Format("%f", value); }

std::string FormatInteger(long long value) {
    char digits[32];
    auto r = std::to_chars(digits, digits + sizeof digits, value);
    return std::string(digits, r.ptr);
}

// The placeholder of a pattern: 's', 'd', 'f', or 0 for a fixed text.
char PlaceholderOf(std::string_view pattern) {
    std::size_t at = pattern.find('%');
    return at == std::string_view::npos ? 0 : pattern[at + 1];
}

}  // namespace

const char* AnalyzerCommandPattern(AnalyzerCommandKind kind) {
    int i = static_cast<int>(kind);
    return (i >= 0 && i < kAnalyzerCommandCount) ? kCommands[i].pattern : "";
}

std::string ComposeAnalyzerCommand(AnalyzerCommandKind kind, std::string_view path,
                                   long long number, double value) {
    std::string_view pattern = AnalyzerCommandPattern(kind);
    std::string text;
    text.reserve(pattern.size() + 2 * path.size() + 16);
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        if (pattern[i] != '%' || i + 1 == pattern.size()) {
            text += pattern[i];
            continue;
        }
        switch (pattern[++i]) {
            case 's': text += path; break;
            case 'd': text += FormatInteger(number); break;
            case 'f': text += FormatFixed6(value); break;
            default: text += '%'; text += pattern[i]; break;
        }
    }
    return text;
}

bool IsCommandSafePath(std::string_view path) {
    return !path.empty() && path.find_first_of(std::string_view("[]\0", 3)) == std::string_view::npos;
}

std::string UnsafeCommandPathMessage(std::string_view path) {
    std::string_view format = kUnsafeCommandPathMessage;
    std::size_t at = format.find("%s");
    std::string text(format.substr(0, at));
    text += path;
    text += format.substr(at + 2);
    return text;
}

namespace {

// Reads the text of one placeholder loosely; the caller then insists that composing
// the result gives back exactly the text, which refuses everything a composer would
// never write ("+1", "01", "-0", "1e3", "1.5", "0.0000001", "inf").
std::optional<ParsedCommand> ReadArgument(AnalyzerCommandKind kind, char placeholder,
                                          std::string_view token) {
    ParsedCommand parsed;
    parsed.kind = kind;
    const char* first = token.data();
    const char* last = token.data() + token.size();
    if (placeholder == 's') {
        if (!IsCommandSafePath(token)) return std::nullopt;
        parsed.path = std::string(token);
    } else if (placeholder == 'd') {
        auto r = std::from_chars(first, last, parsed.number);
        if (r.ec != std::errc() || r.ptr != last) return std::nullopt;
    } else if (placeholder == 'f') {
        auto r = std::from_chars(first, last, parsed.value, std::chars_format::fixed);
        if (r.ec != std::errc() || r.ptr != last || !std::isfinite(parsed.value)) return std::nullopt;
    }
    return parsed;
}

std::optional<ParsedCommand> MatchPattern(AnalyzerCommandKind kind, std::string_view text) {
    std::string_view pattern = AnalyzerCommandPattern(kind);
    char placeholder = PlaceholderOf(pattern);
    std::optional<ParsedCommand> parsed;
    if (placeholder == 0) {
        if (text != pattern) return std::nullopt;
        parsed = ParsedCommand{};
        parsed->kind = kind;
        return parsed;
    }
    std::size_t first = pattern.find('%');
    std::size_t fixedLength = pattern.size();
    std::size_t occurrences = 0;
    for (std::size_t at = pattern.find('%'); at != std::string_view::npos; at = pattern.find('%', at + 2)) {
        fixedLength -= 2;
        ++occurrences;
    }
    if (text.size() < fixedLength || text.compare(0, first, pattern, 0, first) != 0) return std::nullopt;
    // Every placeholder of one pattern stands for the same text, so its length
    // follows from the length of the whole command even when it holds blanks.
    std::size_t variable = text.size() - fixedLength;
    if (variable % occurrences != 0) return std::nullopt;
    parsed = ReadArgument(kind, placeholder, text.substr(first, variable / occurrences));
    if (!parsed) return std::nullopt;
    if (ComposeAnalyzerCommand(kind, parsed->path, parsed->number, parsed->value) != text)
        return std::nullopt;
    return parsed;
}

}  // namespace

std::optional<ParsedCommand> ParseAnalyzerCommand(std::string_view text) {
    if (text.size() < 2 || text.front() != '[' || text.back() != ']') return std::nullopt;
    for (const CommandEntry& entry : kCommands) {
        if (auto parsed = MatchPattern(entry.kind, text)) return parsed;
    }
    return std::nullopt;
}

std::string MinimizeWindowCommand() { return ComposeAnalyzerCommand(AnalyzerCommandKind::MinimizeWindow); }
std::string FileCloseCommand() { return ComposeAnalyzerCommand(AnalyzerCommandKind::FileClose); }
std::string LoadCaptureConfigCommand(std::string_view outputFolder) {
    return ComposeAnalyzerCommand(AnalyzerCommandKind::LoadCaptureConfig, outputFolder);
}
std::string SetInputDeviceCommand(int inputDevIndex) {
    return ComposeAnalyzerCommand(AnalyzerCommandKind::SetInputDevice, {}, static_cast<long long>(inputDevIndex) + 1);
}
std::string SetOutputDeviceCommand(int outputDevIndex) {
    return ComposeAnalyzerCommand(AnalyzerCommandKind::SetOutputDevice, {}, static_cast<long long>(outputDevIndex) + 1);
}
std::string OpenTotalPowerUtilityCommand() { return ComposeAnalyzerCommand(AnalyzerCommandKind::OpenTotalPowerUtility); }
std::string SetAverageSizeCommand() { return ComposeAnalyzerCommand(AnalyzerCommandKind::SetAverageSize); }
std::string SetGeneratorTypeUserDefinedCommand() {
    return ComposeAnalyzerCommand(AnalyzerCommandKind::SetGeneratorTypeUserDefined);
}
std::string SetGeneratorWaveFileLeftCommand(std::string_view stimulusPath) {
    return ComposeAnalyzerCommand(AnalyzerCommandKind::SetGeneratorWaveFileLeft, stimulusPath);
}
std::string RecordCommand() { return ComposeAnalyzerCommand(AnalyzerCommandKind::Record); }
std::string LoadProcessConfigCommand(std::string_view outputFolder) {
    return ComposeAnalyzerCommand(AnalyzerCommandKind::LoadProcessConfig, outputFolder);
}
std::string FileMergeCommand(std::string_view outputFolder) {
    return ComposeAnalyzerCommand(AnalyzerCommandKind::FileMerge, outputFolder);
}
std::string DelayFinderCommand() { return ComposeAnalyzerCommand(AnalyzerCommandKind::DelayFinder); }
std::string OpenDelayFinderCommand() { return ComposeAnalyzerCommand(AnalyzerCommandKind::OpenDelayFinder); }
std::string GoToCommand() { return ComposeAnalyzerCommand(AnalyzerCommandKind::GoTo); }
std::string RunCommand() { return ComposeAnalyzerCommand(AnalyzerCommandKind::Run); }
std::string StopCommand() { return ComposeAnalyzerCommand(AnalyzerCommandKind::Stop); }
std::string SetDelayCommand(double delay) {
    return ComposeAnalyzerCommand(AnalyzerCommandKind::SetDelay, {}, 0, delay);
}
std::string CloseDelayFinderCommand() { return ComposeAnalyzerCommand(AnalyzerCommandKind::CloseDelayFinder); }
std::string SaveTest1Command(std::string_view outputFolder) {
    return ComposeAnalyzerCommand(AnalyzerCommandKind::SaveTest1, outputFolder);
}
std::string SetLeftOverlay1Command() { return ComposeAnalyzerCommand(AnalyzerCommandKind::SetLeftOverlay1); }
std::string SaveTest2Command(std::string_view outputFolder) {
    return ComposeAnalyzerCommand(AnalyzerCommandKind::SaveTest2, outputFolder);
}
std::string SetLeftOverlay2Command() { return ComposeAnalyzerCommand(AnalyzerCommandKind::SetLeftOverlay2); }
std::string SaveMergedCommand(std::string_view outputFolder) {
    return ComposeAnalyzerCommand(AnalyzerCommandKind::SaveMerged, outputFolder);
}
std::string SetMarker1Command(double frequency) {
    return ComposeAnalyzerCommand(AnalyzerCommandKind::SetMarker1, {}, 0, frequency);
}
std::string SetMarker2Command(double frequency) {
    return ComposeAnalyzerCommand(AnalyzerCommandKind::SetMarker2, {}, 0, frequency);
}

}  // namespace vorn
