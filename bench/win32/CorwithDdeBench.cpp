// Times the program's Corwith Number computation against the substitute analyzer over
// real DDE: both items at 16384 rows (about 0.5 MB of text each). Prints the median.
//   bench_corwith_dde.exe <VornAnalyzerSim.exe> [repetitions]
#include "analyzer/AnalyzerCommands.h"
#include "analyzer/win32/AnalyzerLink.h"
#include "app/CorwithNumber.h"

#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

namespace {

using namespace vorn;
using Clock = std::chrono::steady_clock;

constexpr float kLowMarker = 0.5f;       // just below bin 1 of 48000 Hz / 65536
constexpr float kHighMarker = 12000.0f;  // bin 16384

bool Send(AnalyzerLink& link, const std::string& command) {
    if (link.SendCommand(command.c_str())) return true;
    std::fprintf(stderr, "refused: %s\n", command.c_str());
    return false;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s <VornAnalyzerSim.exe> [repetitions]\n", argv[0]);
        return 2;
    }
    const int repetitions = argc > 2 ? std::max(1, std::atoi(argv[2])) : 21;

    char temp[MAX_PATH] = {};
    GetTempPathA(sizeof temp, temp);
    const std::string service = "VornBench" + std::to_string(GetCurrentProcessId());
    const std::string folder = std::string(temp) + service;
    CreateDirectoryA(folder.c_str(), nullptr);
    CreateDirectoryA((folder + "\\Config").c_str(), nullptr);
    CreateDirectoryA((folder + "\\Output").c_str(), nullptr);
    std::ofstream(folder + "\\Config\\CaptureData.cfg")
        << "SampleRate = 48000\nStimulusPeriod = 65536\nFftSize = 65536\nLeakCutoffHz = 100\n";

    std::string commandLine = std::string("\"") + argv[1] + "\" --hidden --speed 100 --service " + service;
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process)) {
        std::fprintf(stderr, "cannot start %s\n", argv[1]);
        return 1;
    }
    CloseHandle(process.hThread);

    AnalyzerLink link(kAnalyzerTimeoutMs, service);
    link.SetDebugOutput([](const char*) {});
    bool linked = false;
    for (int i = 0; i < 200 && !(linked = link.Connect()); ++i) Sleep(50);
    int status = 1;
    if (linked) {
        bool ok = true;
        for (int capture = 0; capture < 2 && ok; ++capture) {  // 10 s each at speed 100
            ok = Send(link, LoadCaptureConfigCommand(folder)) && Send(link, RecordCommand());
            Sleep(100);
            ok = ok && Send(link, StopCommand()) &&
                 Send(link, capture == 0 ? SaveTest1Command(folder) : SaveTest2Command(folder)) &&
                 Send(link, capture == 0 ? SetLeftOverlay1Command() : SetLeftOverlay2Command());
        }
        ok = ok && Send(link, LoadProcessConfigCommand(folder)) && Send(link, FileMergeCommand(folder)) &&
             Send(link, OpenDelayFinderCommand()) && Send(link, GoToCommand()) && Send(link, RunCommand()) &&
             Send(link, StopCommand());
        char delay[kDelayFinderCapacity] = {};
        ok = ok && link.RequestData(kDelayFinderItem, delay, sizeof delay) &&
             Send(link, SetDelayCommand(std::atof(delay))) && Send(link, CloseDelayFinderCommand()) &&
             Send(link, GoToCommand()) && Send(link, RunCommand()) && Send(link, StopCommand());

        std::vector<char> text(kMarkedSpectrumCapacity, '\0');
        ok = ok && Send(link, SetMarker1Command(kLowMarker)) && Send(link, SetMarker2Command(kHighMarker)) &&
             link.RequestData(kMarkedSpectrumItem, text.data(), text.size());
        const long rows = ok ? std::count(text.begin(), text.end(), '\n') : 0;

        std::vector<double> ms;
        float number = 0;
        for (int r = 0; ok && r < repetitions; ++r) {
            const auto start = Clock::now();
            number = ComputeCorwithNumber(link, kLowMarker, kHighMarker, 1.0f);
            ms.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
        }
        if (ok && !ms.empty()) {
            std::sort(ms.begin(), ms.end());
            std::printf("corwith_dde rows=%ld repetitions=%d median_ms=%.1f min_ms=%.1f max_ms=%.1f "
                        "corwith=%.4f\n",
                        rows, repetitions, ms[ms.size() / 2], ms.front(), ms.back(), number);
            status = rows == 16384 ? 0 : 1;
        }
        link.Disconnect();
    } else {
        std::fprintf(stderr, "no conversation with the analyzer\n");
    }
    TerminateProcess(process.hProcess, 0);
    WaitForSingleObject(process.hProcess, 5000);
    CloseHandle(process.hProcess);
    for (const char* name : {"\\Output\\Test1.wav", "\\Output\\Test2.wav", "\\Config\\CaptureData.cfg"})
        DeleteFileA((folder + name).c_str());
    RemoveDirectoryA((folder + "\\Output").c_str());
    RemoveDirectoryA((folder + "\\Config").c_str());
    RemoveDirectoryA(folder.c_str());
    return status;
}
