// Where the analyzer is found: its DDE service and topic, and the registry entry that
// holds the command line starting it. The program's link connects to these and the
// substitute analyzer serves and registers under them.
#pragma once

namespace vorn {

inline constexpr const char* kAnalyzerService = "Tonaserv";
inline constexpr const char* kAnalyzerTopic = "Data";
// Below HKEY_LOCAL_MACHINE; read only by the program.
inline constexpr const char* kAnalyzerRegistryKey = "Software\\Quillon Acoustics LLC\\Tonalith";
inline constexpr const char* kAnalyzerRegistryValue = "EXE";

}  // namespace vorn
