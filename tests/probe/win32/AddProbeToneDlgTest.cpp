// The probe-tone dialog worked from another process through the GUI driver, with the real file
// dialogs. Its file must be vornwave.exe's to the byte (which probe_tone_files.sh checks).
#include "probe/ProbeTone.h"
#include "probe/win32/AddProbeToneDlg.h"
#include "resources/resource.h"
#include "support/MessageRecorder.h"
#include "support/ScratchFolder.h"
#include "support/TestPaths.h"
#include "support/WinTestUtil.h"
#include "wave/WaveFile.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <random>
#include <thread>

namespace vorn {
namespace {

constexpr const char* kCaption = "Add Probe Tone ";

// Runs a program with the given words (each quoted) to its end; returns its exit code.
DWORD RunProgram(const char* exe, std::initializer_list<std::string> words) {
    std::string commandLine;
    auto add = [&](const std::string& w) { commandLine.append(commandLine.empty() ? "\"" : " \"").append(w).append("\""); };
    add(test::WindowsPath(exe));
    for (const std::string& w : words) add(w);
    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    if (!CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) return 999;
    DWORD code = 998;
    if (WaitForSingleObject(pi.hProcess, 120000) == WAIT_OBJECT_0) GetExitCodeProcess(pi.hProcess, &code);
    else TerminateProcess(pi.hProcess, 1);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return code;
}

DWORD Driver(std::initializer_list<std::string> words) { return RunProgram(test::kDriverExe, words); }

HWND FocusOf(HWND dialog) {
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    GetGUIThreadInfo(GetWindowThreadProcessId(dialog, nullptr), &info);
    return info.hwndFocus;
}

class AddProbeToneDlgTest : public testing::Test {
protected:
    void SetUp() override {
        InitCommonControls();
        CreateDirectoryA(stimulusFolder.c_str(), nullptr);
        SetTextField(settings.OutputFolder, sizeof settings.OutputFolder, folder.Path().c_str());
        settings.ProbeFreq = 226.0f;
        settings.ProbeLevelDBr = -12.0f;
    }

    // Stereo 16-bit noise at 48 kHz, half a second more than `seconds`.
    std::string MakeStimulus(const std::string& name, uint32_t seconds) {
        SampleFormat f;
        f.Set(48000, 2, 2);
        TWaveData wave(48000 * seconds + 24000, f);
        std::mt19937 rng(9);
        for (uint32_t i = 0; i < 2 * wave.GetFrameCount(); ++i) wave.WriteSample(int32_t(rng() % 24001) - 12000, i / 2, i % 2);
        EXPECT_TRUE(SaveWaveData(wave, stimulusFolder + "\\" + name));
        return stimulusFolder + "\\" + name;
    }

    // Shows the dialog on this thread while `drive` works it from a helper thread; the
    // dialog is closed with "Done" afterwards.
    void RunDriven(const std::function<void(HWND)>& drive) {
        CAddProbeToneDlg dialog(&settings);
        std::thread driver([&] {
            HWND dlg = nullptr;
            if (!test::WaitUntil([&] { return (dlg = test::FindOwnDialog(kCaption)) != nullptr; }, 10000)) {
                ADD_FAILURE() << "dialog never appeared";
                return;
            }
            drive(dlg);
            PostMessageA(dlg, WM_COMMAND, IDCANCEL, 0);
        });
        EXPECT_EQ(dialog.DoModal(nullptr), IDCANCEL);
        driver.join();
    }

    test::ScratchFolder folder{"probe-dialog"};
    const std::string stimulusFolder = folder.Path() + "\\Stimulus";
    TestSettings settings;
};

// Worked with real key presses: the keyboard starts on the frequency, a refused value is
// selected there to be typed over, and a saved name with a decimal point still gets ".wav".
TEST_F(AddProbeToneDlgTest, RefusedValueKeepsTheRecordThenBothFileDialogsMakeTheFile) {
    const std::string source = MakeStimulus("in.wav", 2);
    const std::string made = folder.File("probe 1000.5"), expected = folder.File("expected.wav");
    test::MessageRecorder messages;
    RunDriven([&](HWND dlg) {
        EXPECT_EQ(test::ItemText(dlg, IDC_PROBE_FREQ), " 226.0");
        EXPECT_EQ(test::ItemText(dlg, IDC_PROBE_LEVEL), " -12.0");
        EXPECT_FALSE(IsWindowVisible(GetDlgItem(dlg, IDC_PROGRESS)));
        EXPECT_EQ(test::ItemText(dlg, IDC_FILTER_AND_ADD_PROBE_TONE), CAddProbeToneDlg::kActionText);
        EXPECT_EQ(FocusOf(dlg), GetDlgItem(dlg, IDC_PROBE_FREQ)) << "the first focus";
        EXPECT_EQ(Driver({"keys", kCaption, "99.9", "Enter", "Tab", "Tab", "Space"}), 0u);
        test::WaitUntil([&] { return !messages.messages.empty(); }, 10000);
        EXPECT_EQ(IsWindowVisible(dlg), TRUE) << "Enter in the frequency field does not close the tool";
        EXPECT_EQ(settings.ProbeFreq, 226.0f);
        // The message is recorded before the dialog moves the focus.
        EXPECT_TRUE(test::WaitUntil([&] { return FocusOf(dlg) == GetDlgItem(dlg, IDC_PROBE_FREQ); }, 5000))
            << "the refused field has the keyboard";
        EXPECT_EQ(SendDlgItemMessageA(dlg, IDC_PROBE_FREQ, EM_GETSEL, 0, 0), MAKELRESULT(0, 4)) << "all of 99.9 selected";
        EXPECT_EQ(Driver({"keys", kCaption, "1000.5", "Tab", "-6", "Tab", "Space"}), 0u);
        EXPECT_EQ(Driver({"file", CAddProbeToneDlg::kOpenTitle, source}), 0u);
        EXPECT_EQ(Driver({"file", CAddProbeToneDlg::kSaveTitle, made, "60000"}), 0u);
        EXPECT_TRUE(test::WaitUntil([&] { return GetFileAttributesA((made + ".wav").c_str()) != INVALID_FILE_ATTRIBUTES; }, 60000));
    });
    EXPECT_EQ(messages.Texts(), std::vector<std::string>{ProbeTone::kFrequencyRange});
    EXPECT_EQ(settings.ProbeFreq, 1000.5f);
    EXPECT_EQ(settings.ProbeLevelDBr, -6.0f);
    ASSERT_EQ(RunProgram(test::kVornwaveExe, {"probe", "--freq", "1000.5", "--level", "-6", source, expected}), 0u);
    const std::string bytes = test::ReadWholeFile(made + ".wav");
    EXPECT_TRUE(bytes.size() > 44 && bytes == test::ReadWholeFile(expected)) << "the dialog's file differs from vornwave's";
}

TEST_F(AddProbeToneDlgTest, EscapeOrAClickDuringALongFileCancelsAndWritesNothing) {
    const std::string source = MakeStimulus("long.wav", 400);
    test::MessageRecorder messages;
    RunDriven([&](HWND) {
        for (bool escape : {true, false}) {
            EXPECT_EQ(Driver({"click", kCaption, "IDC_FILTER_AND_ADD_PROBE_TONE"}), 0u);
            EXPECT_EQ(Driver({"file", CAddProbeToneDlg::kOpenTitle, source}), 0u);
            // The file dialog has gone, so the key or press waits in the queue for the check
            // after a block, however soon the processing starts. The busy dialog is read from
            // another process: this thread would wait for the dialog's thread.
            EXPECT_EQ(escape ? Driver({"key", kCaption, "27"}) : Driver({"lclick", kCaption}), 0u) << escape;
            EXPECT_EQ(Driver({"waittext", kCaption, "IDC_FILTER_AND_ADD_PROBE_TONE", "Filter", "120000"}), 0u);
        }
        test::WaitUntil([&] { return messages.messages.size() == 2; }, 10000);
    });
    EXPECT_EQ(messages.Texts(), (std::vector<std::string>{ProbeTone::kCancelled, ProbeTone::kCancelled}));
    EXPECT_EQ(folder.Count(), 1u) << "only the Stimulus folder";
    EXPECT_EQ(settings.ProbeFreq, 226.0f);
}

}  // namespace
}  // namespace vorn
