// The real VORN.exe, copied into a scratch folder, started and closed as an operator
// would: where its settings file lives and what it holds after a normal close.
#include "resources/resource.h"
#include "support/ScratchFolder.h"
#include "support/TestPaths.h"
#include "support/WinTestUtil.h"

#include <gtest/gtest.h>

namespace vorn {
namespace {

class ProgramTest : public testing::Test {
protected:
    void SetUp() override {
        folder = scratch.Path();
        exe = folder + "\\VORN.exe";
        ini = folder + "\\VORN.ini";
        ASSERT_TRUE(CopyFileA(test::WindowsPath(test::kVornExe).c_str(), exe.c_str(), FALSE)) << GetLastError();
    }

    // Starts the program, lets `whileRunning` look at its main window, closes it normally
    // and returns its exit code.
    DWORD RunAndClose(const std::function<void(HWND)>& whileRunning = {}) {
        STARTUPINFOA si{};
        si.cb = sizeof si;
        PROCESS_INFORMATION pi = {};
        std::string commandLine = "\"" + exe + "\"";
        if (!CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(), &si, &pi)) {
            ADD_FAILURE() << "CreateProcess failed: " << GetLastError();
            return 999;
        }
        HWND main = nullptr;
        const bool shown = test::WaitUntil(
            [&] { return (main = test::FindDialogOf(pi.dwProcessId, "VORN Test Control")) != nullptr; }, 20000);
        EXPECT_TRUE(shown) << "main window never appeared";
        if (shown) {
            if (whileRunning) whileRunning(main);
            // No message box may have come up beside the main window.
            HWND other = nullptr;
            while ((other = FindWindowExA(nullptr, other, "#32770", nullptr))) {
                DWORD pid = 0;
                GetWindowThreadProcessId(other, &pid);
                if (pid == pi.dwProcessId && other != main && IsWindowVisible(other))
                    ADD_FAILURE() << "unexpected window \"" << test::WindowText(other) << "\"";
            }
            PostMessageA(main, WM_CLOSE, 0, 0);
        }
        DWORD code = 998;
        if (WaitForSingleObject(pi.hProcess, 20000) == WAIT_OBJECT_0) {
            GetExitCodeProcess(pi.hProcess, &code);
        } else {
            ADD_FAILURE() << "the program did not end after WM_CLOSE";
            TerminateProcess(pi.hProcess, 1);
        }
        CloseHandle(pi.hThread);
        CloseHandle(pi.hProcess);
        return code;
    }

    test::ScratchFolder scratch{"program"};
    std::string folder, exe, ini;
};

TEST_F(ProgramTest, FirstRunCreatesTheSettingsFileBesideTheExecutable) {
    ASSERT_EQ(RunAndClose(), 0u);
    const std::string written = test::ReadWholeFile(ini);
    ASSERT_FALSE(written.empty()) << "no VORN.ini in " << folder;
    EXPECT_EQ(written.rfind("[Settings]\r\nTestDuration=10.000000\r\n", 0), 0u) << written;
    EXPECT_NE(written.find("OutputFolder=C:\\VORNData\r\n"), std::string::npos);
    EXPECT_NE(written.find("MinimizeAnalyzer=0\r\n"), std::string::npos);
}

TEST_F(ProgramTest, HandEditedValuesSurviveAStartAndANormalClose) {
    ASSERT_TRUE(test::WriteWholeFile(ini,
        "; edited by hand\r\n[Settings]\r\nTestDuration=12.5\r\nAutoProcess=2\r\nInputDevIndex=-1\r\n"
        "OutputFolder=D:\\Measurements\r\nStimulusFilename=D:\\Measurements\\Stimulus\\Chirp 48k.wav\r\n"
        "[Notes]\r\nOperator=KM\r\n"));
    std::string label;
    ASSERT_EQ(RunAndClose([&](HWND main) { label = test::ItemText(main, IDC_STIMULUS_NAME); }), 0u);
    EXPECT_EQ(label, "Chirp 48k.wav");
    const std::string written = test::ReadWholeFile(ini);
    for (const char* line : {"TestDuration=12.500000\r\n", "AutoProcess=1\r\n", "InputDevIndex=-1\r\n",
                             "OutputFolder=D:\\Measurements\r\n",
                             "StimulusFilename=D:\\Measurements\\Stimulus\\Chirp 48k.wav\r\n", "[Notes]\r\nOperator=KM\r\n"})
        EXPECT_NE(written.find(line), std::string::npos) << line << " in\n" << written;
}

// Without its manifest the program gets the old common controls, without visual styles,
// and is drawn as a stretched bitmap on a high-DPI screen; nothing else would show it
// missing (a resource script left out of the link drops it without a word).
TEST_F(ProgramTest, CarriesItsManifestForTheCommonControlsAndTheScreensDpi) {
    HMODULE image = LoadLibraryExA(exe.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    ASSERT_NE(image, nullptr) << GetLastError();
    HRSRC found = FindResourceA(image, MAKEINTRESOURCEA(1), RT_MANIFEST);
    std::string manifest;
    if (found) manifest.assign(static_cast<const char*>(LockResource(LoadResource(image, found))), SizeofResource(image, found));
    FreeLibrary(image);
    EXPECT_NE(manifest.find("\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\""), std::string::npos) << manifest;
    EXPECT_NE(manifest.find(">true</dpiAware>"), std::string::npos) << manifest;
}

}  // namespace
}  // namespace vorn
