// The application object: finds the settings file beside the executable, runs the main
// dialog modally and lets its destruction save the settings.
#pragma once

#include "analyzer/AnalyzerConnection.h"

#include <windows.h>

#include <string>

namespace vorn {

class CVORNApp {
public:
    // Runs the whole application; returns the process exit code.
    int Run(HINSTANCE instance, AnalyzerConnection& link);

    std::string IniPath;
};

// The full path of the running executable (any length).
std::string ExecutablePath();
// The executable's file name without folder and extension: the caption of the program's boxes.
std::string ApplicationTitleFromPath(const std::string& executablePath);

}  // namespace vorn
