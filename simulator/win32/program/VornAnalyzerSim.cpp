// VornAnalyzerSim.exe: the substitute analyzer. Serves the analyzer's DDE service
// until its log window is closed (or, hidden, until it is ended). Options: see the
// README section "Substitute analyzer".
#include "analyzer/AnalyzerService.h"
#include "simulator/AnalyzerEngine.h"
#include "simulator/ServerOptions.h"
#include "simulator/SimulatorClock.h"
#include "simulator/win32/CommandLog.h"
#include "simulator/win32/DdeServer.h"

#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {


std::string Quoted(const std::string& arg) {
    if (!arg.empty() && arg.find_first_of(" \t\"") == std::string::npos) return arg;
    std::string q = "\"";
    for (char c : arg) {
        if (c == '"') q += '\\';
        q += c;
    }
    return q + '"';
}

// Writes the command line that starts this program (with the other options given)
// as the registry value the program reads to launch the analyzer.
int Register(const std::vector<std::string>& args) {
    char exe[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, exe, sizeof exe);
    std::string commandLine = Quoted(exe);
    for (const std::string& a : args)
        if (a != "/register" && a != "--register") commandLine += " " + Quoted(a);
    if (commandLine.size() >= 256) {
        std::fprintf(stderr, "VornAnalyzerSim: command line longer than 255 characters\n");
        return 1;
    }
    HKEY key = nullptr;
    if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, vorn::kAnalyzerRegistryKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                        &key, nullptr) != ERROR_SUCCESS) {
        std::fprintf(stderr, "VornAnalyzerSim: cannot open the registry key\n");
        return 1;
    }
    const LONG result = RegSetValueExA(key, vorn::kAnalyzerRegistryValue, 0, REG_SZ,
                                       reinterpret_cast<const BYTE*>(commandLine.c_str()),
                                       static_cast<DWORD>(commandLine.size() + 1));
    RegCloseKey(key);
    if (result != ERROR_SUCCESS) return 1;
    std::printf("EXE = %s\n", commandLine.c_str());
    return 0;
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    const std::vector<std::string> all = vorn::sim::SplitCommandLine(GetCommandLineA());
    const std::vector<std::string> args(all.empty() ? all.begin() : all.begin() + 1, all.end());
    std::string error;
    const auto options = vorn::sim::ParseServerOptions(args, error);
    if (!options) {
        std::fprintf(stderr, "VornAnalyzerSim: %s\n", error.c_str());
        return 2;
    }
    if (options->registerOnly) return Register(args);

    vorn::sim::SteadyClock clock;
    vorn::sim::AnalyzerEngine engine(clock, options->speed);
    vorn::sim::CommandLog log(options->logFile, !options->hidden,
                              "VORN substitute analyzer - " + options->service);
    vorn::sim::DdeServer server(engine, *options, log);
    if (!server.Created()) return 1;
    log.Show();
    log.Add("serving " + options->service + "|" + options->topic);

    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return 0;
}
