// The whole vocabulary the program speaks to the analyzer: every command text and
// every data item. The program composes commands here and the substitute analyzer
// parses them here, so the two sides cannot drift apart.
//
// A command is one bracketed line of words separated by single spaces. Integers are
// printed as "%d", reals as "%f" (six decimals, as printf prints a double) and paths
// verbatim, unquoted. Because a path goes in verbatim, a "[" or "]" inside it would
// end the command early and turn the rest into further commands; IsCommandSafePath
// tells callers to refuse such a path before anything is sent.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace vorn {

// Data items the program requests, named as the analyzer serves them, with the capacity
// (terminating zero included) of the buffer each reply is read into.
inline constexpr const char* kTotalPowerItem = "Total Power";
inline constexpr const char* kDelayFinderItem = "Delay Finder";
inline constexpr const char* kCurrentTimeItem = "Current Time";
inline constexpr const char* kMarkedSpectrumItem = "Marked Spectrum";
inline constexpr const char* kMarkedPhaseItem = "Marked Phase";

inline constexpr std::size_t kTotalPowerCapacity = 256;
inline constexpr std::size_t kDelayFinderCapacity = 80;
inline constexpr std::size_t kCurrentTimeCapacity = 80;
inline constexpr std::size_t kMarkedSpectrumCapacity = 1310720;
inline constexpr std::size_t kMarkedPhaseCapacity = 1310720;

// The texts are the analyzer's own, uneven spelling included ("Delay Finder 0.0" beside
// "Open DelayFinder"): the analyzer takes them letter for letter, so they stay as they are.
enum class AnalyzerCommandKind {
    MinimizeWindow,           // [Minimize Window]
    FileClose,                // [File Close]
    LoadCaptureConfig,        // [Load Config <folder>\Config\CaptureData.cfg]
    SetInputDevice,           // [Set Input Device <device number>]
    SetOutputDevice,          // [Set Output Device <device number>]
    OpenTotalPowerUtility,    // [Open Total Power Utility]
    SetAverageSize,           // [Set Average Size 1000]
    SetGeneratorTypeUserDefined,  // [Set Generator Type User Defined]
    SetGeneratorWaveFileLeft, // [Set Generator Wave File Left <stimulus path>]
    Record,                   // [Record]
    LoadProcessConfig,        // [Load Config <folder>\Config\ProcessData.cfg]
    FileMerge,                // [File Merge <folder>\Output\Test1.wav <folder>\Output\Test2.wav]
    DelayFinder,              // [Delay Finder 0.0]
    OpenDelayFinder,          // [Open DelayFinder]
    GoTo,                     // [Go To 1.0]
    Run,                      // [Run]
    Stop,                     // [Stop]
    SetDelay,                 // [Set Delay <delay>]
    CloseDelayFinder,         // [Close DelayFinder]
    SaveTest1,                // [File Save <folder>\Output\Test1.wav]
    SetLeftOverlay1,          // [Set Left Overlay 1]
    SaveTest2,                // [File Save <folder>\Output\Test2.wav]
    SetLeftOverlay2,          // [Set Left Overlay 2]
    SaveMerged,               // [File Save <folder>\Output\Merged.wav]
    SetMarker1,               // [Set Marker 1 <frequency>]
    SetMarker2,               // [Set Marker 2 <frequency>]
};
inline constexpr int kAnalyzerCommandCount = static_cast<int>(AnalyzerCommandKind::SetMarker2) + 1;

// What the kind's text looks like, with %s, %d or %f where its argument goes
// (every %s of one command stands for the same text).
const char* AnalyzerCommandPattern(AnalyzerCommandKind kind);

// A command read back from its text. Only the field that the kind's pattern
// carries is set: `number` for %d, `value` for %f, `path` for %s (the output
// folder or the stimulus path exactly as composed).
struct ParsedCommand {
    AnalyzerCommandKind kind = AnalyzerCommandKind::MinimizeWindow;
    long long number = 0;
    double value = 0.0;
    std::string path;
};

// Reads a command text strictly: only texts the composers below produce are taken;
// anything else (unknown words, a missing, malformed or out-of-range argument,
// extra text or blanks, missing brackets, an unsafe or empty path, a real that is
// not finite) gives nothing.
std::optional<ParsedCommand> ParseAnalyzerCommand(std::string_view text);

// True when the path can go into a command verbatim: not empty, and without "[",
// "]" or a zero byte, any of which would cut the command short.
bool IsCommandSafePath(std::string_view path);
// What the operator is told when a path fails IsCommandSafePath; "%s" is the path.
inline constexpr const char* kUnsafeCommandPathMessage =
    "The path \"%s\" cannot be passed to the analyzer: it is empty or contains a "
    "square bracket ([ or ]). Please choose a file or folder whose path has no brackets.";
std::string UnsafeCommandPathMessage(std::string_view path);

// Composers. Paths are inserted verbatim; callers check them with
// IsCommandSafePath first.
std::string MinimizeWindowCommand();
std::string FileCloseCommand();
std::string LoadCaptureConfigCommand(std::string_view outputFolder);
// The analyzer counts devices from 1, the settings from 0: these send index + 1.
std::string SetInputDeviceCommand(int inputDevIndex);
std::string SetOutputDeviceCommand(int outputDevIndex);
std::string OpenTotalPowerUtilityCommand();
std::string SetAverageSizeCommand();
std::string SetGeneratorTypeUserDefinedCommand();
std::string SetGeneratorWaveFileLeftCommand(std::string_view stimulusPath);
std::string RecordCommand();
std::string LoadProcessConfigCommand(std::string_view outputFolder);
std::string FileMergeCommand(std::string_view outputFolder);
std::string DelayFinderCommand();
std::string OpenDelayFinderCommand();
std::string GoToCommand();
std::string RunCommand();
std::string StopCommand();
std::string SetDelayCommand(double delay);
std::string CloseDelayFinderCommand();
std::string SaveTest1Command(std::string_view outputFolder);
std::string SetLeftOverlay1Command();
std::string SaveTest2Command(std::string_view outputFolder);
std::string SetLeftOverlay2Command();
std::string SaveMergedCommand(std::string_view outputFolder);
std::string SetMarker1Command(double frequency);
std::string SetMarker2Command(double frequency);

// The generic composer behind the ones above: fills the kind's pattern with the
// argument it carries (the others are ignored).
std::string ComposeAnalyzerCommand(AnalyzerCommandKind kind, std::string_view path = {},
                                   long long number = 0, double value = 0.0);

}  // namespace vorn
