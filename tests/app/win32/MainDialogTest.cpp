// The real main dialog from its template, driven from a second thread as an operator would.
#include "app/win32/VORNDlg.h"
#include "resources/resource.h"
#include "settings/win32/PrivateProfileFile.h"
#include "support/FakeAnalyzerConnection.h"
#include "support/FakeClock.h"
#include "support/ScratchFolder.h"
#include "support/WinTestUtil.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <thread>

namespace vorn {
namespace {

constexpr char kCaption[] = "VORN Test Control";

// Runs the dialog on this thread and `drive` on another once it is up; the dialog is
// closed afterwards in any case.
void RunDriven(CVORNDlg& dialog, const std::function<void(HWND)>& drive) {
    std::thread driver([&] {
        HWND hwnd = nullptr;
        if (!test::WaitUntil([&] { return (hwnd = test::FindOwnDialog(kCaption)) != nullptr; }, 10000)) {
            ADD_FAILURE() << "the main dialog never appeared";
            return;
        }
        drive(hwnd);
        if (IsWindow(hwnd)) PostMessageA(hwnd, WM_CLOSE, 0, 0);
    });
    dialog.DoModal();
    driver.join();
}

// Whether the label's text, in the font it is shown in, is no wider than the label.
bool TextFits(HWND label) {
    const std::string text = test::ItemText(GetParent(label), GetDlgCtrlID(label));
    RECT box;
    GetClientRect(label, &box);
    HDC dc = GetDC(label);
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageA(label, WM_GETFONT, 0, 0)));
    SIZE extent = {};
    GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &extent);
    SelectObject(dc, old);
    ReleaseDC(label, dc);
    return extent.cx <= box.right;
}

class MainDialogTest : public testing::Test {
protected:
    void SetUp() override {
        INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_PROGRESS_CLASS | ICC_STANDARD_CLASSES};
        InitCommonControlsEx(&controls);
        iniPath = scratch.File("VORN.ini");
    }
    test::ScratchFolder scratch{"dialog"};
    std::string iniPath;
    test::FakeAnalyzerConnection link;
    test::FakeClock clock;
};

TEST_F(MainDialogTest, ShowsEveryControlOfTheTemplateWithItsText) {
    ASSERT_TRUE(test::WriteWholeFile(iniPath, "[Settings]\r\nStimulusFilename=C:\\VORNData\\Stimulus\\Probe.wav\r\n"));
    PrivateProfileFile ini(iniPath);
    CVORNDlg dialog(GetModuleHandleA(nullptr), ini, link, clock);
    RunDriven(dialog, [&](HWND dlg) {
        const std::pair<int, const char*> texts[] = {
            {IDC_TITLE, "Corwith Number Test Control"},
            {IDC_SELECT_STIMULUS, "Select Stimulus"},
            {IDC_STIMULUS_NAME, "Probe.wav"},
            {IDC_CAPTURE_SEALED, "Capture Sealed Data"},
            {IDC_SEALED_RESULT, ""},
            {IDC_CAPTURE_OPEN, "Capture Open Data"},
            {IDC_OPEN_RESULT, ""},
            {IDC_PROCESS_RESULTS, "Process Results"},
            {IDC_CORWITH_RESULT, ""},
            {IDC_SETTINGS, "Settings..."},
        };
        for (const auto& [id, text] : texts) {
            EXPECT_EQ(test::ItemText(dlg, id), text) << "control " << id;
            EXPECT_TRUE(IsWindowEnabled(GetDlgItem(dlg, id))) << "control " << id;
        }
        HWND progress = GetDlgItem(dlg, IDC_PROGRESS);
        ASSERT_NE(progress, nullptr);
        char cls[64] = {};
        GetClassNameA(progress, cls, sizeof cls);
        EXPECT_STREQ(cls, "msctls_progress32");
        EXPECT_FALSE(IsWindowVisible(progress));
        EXPECT_EQ(SendMessageA(progress, PBM_GETRANGE, FALSE, 0), 100);
        EXPECT_EQ(SendMessageA(progress, PBM_GETPOS, 0, 0), 0);

        // The application icon in both sizes, also for a minimized window being dragged.
        EXPECT_NE(SendMessageA(dlg, WM_GETICON, ICON_BIG, 0), 0);
        EXPECT_NE(SendMessageA(dlg, WM_GETICON, ICON_SMALL, 0), 0);
        EXPECT_NE(SendMessageA(dlg, WM_QUERYDRAGICON, 0, 0), 0);

        // A Corwith Number of many digits (a phase near 90 degrees) stays on its one line.
        dialog.ShowStepResult(TestStep::Processing, "Corwith Number = 1234567890.00");
        dialog.ShowStepResult(TestStep::SealedCapture, "Total Power (SPL) =  85.30");
        for (int id : {IDC_TITLE, IDC_CORWITH_RESULT, IDC_SEALED_RESULT})
            EXPECT_TRUE(TextFits(GetDlgItem(dlg, id))) << "control " << id;
        const LONG style = GetWindowLongA(dlg, GWL_STYLE);
        EXPECT_TRUE(style & WS_MINIMIZEBOX);
        EXPECT_FALSE(style & WS_MAXIMIZEBOX);
        EXPECT_FALSE(style & WS_THICKFRAME);
    });
}

TEST_F(MainDialogTest, EscapeClosesItAndTheSettingsAreWrittenOnDestruction) {
    const std::string stimulus = "C:\\VORNData\\Stimulus\\Sweep 1.wav";
    ASSERT_TRUE(test::WriteWholeFile(iniPath, "[Settings]\r\nStimulusFilename=" + stimulus + "\r\nTestDuration=10.0\r\n"));
    PrivateProfileFile ini(iniPath);
    bool closedByEscape = false;
    {
        CVORNDlg dialog(GetModuleHandleA(nullptr), ini, link, clock);
        RunDriven(dialog, [&](HWND dlg) {
            // A real key press as the dialog's message loop sees it.
            HWND focus = GetDlgItem(dlg, IDC_SELECT_STIMULUS);
            PostMessageA(focus, WM_KEYDOWN, VK_ESCAPE, 0x00010001);
            PostMessageA(focus, WM_KEYUP, VK_ESCAPE, 0xC0010001);
            closedByEscape = test::WaitUntil([&] { return !IsWindow(dlg); }, 5000);
        });
        EXPECT_TRUE(closedByEscape);
        EXPECT_NE(test::ReadWholeFile(iniPath).find("TestDuration=10.0\r\n"), std::string::npos)
            << "the settings are written only when the dialog object is destroyed";
    }
    const std::string written = test::ReadWholeFile(iniPath);
    EXPECT_NE(written.find("StimulusFilename=" + stimulus + "\r\n"), std::string::npos) << written;
    EXPECT_NE(written.find("TestDuration=10.000000\r\n"), std::string::npos) << written;
}

}  // namespace
}  // namespace vorn
