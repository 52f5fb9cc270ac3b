// The real settings dialog from its template, with device lists given by the test,
// driven from a second thread as an operator would.
#include "resources/resource.h"
#include "settings/win32/SettingsDlg.h"
#include "support/WinTestUtil.h"

#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <thread>
#include <vector>

namespace vorn {
namespace {

class FixedDevices final : public WaveDeviceList {
public:
    FixedDevices(unsigned count, std::set<unsigned> failing) : count_(count), failing_(std::move(failing)) {}
    unsigned Count() const override { return count_; }
    bool ProductName(unsigned device, std::string& name) const override {
        if (failing_.count(device)) return false;
        name = "Device " + std::to_string(device);
        return true;
    }

private:
    unsigned count_;
    std::set<unsigned> failing_;
};

TestSettings Record() {
    TestSettings s;
    s.TestDuration = 10.0f;
    s.SpanStartFreq = 30.0f;
    s.SpanStopFreq = 150.0f;
    std::strcpy(s.OutputFolder, "C:\\VORNData");
    s.CorwithNumberScaleFactor = 1.0f;
    s.AutoProcess = true;
    s.AutoProcessDelay = 10.0f;
    s.InputDevIndex = 1;
    s.OutputDevIndex = 7;
    return s;
}

// Runs the dialog on this thread and `drive` on another once it is up; the dialog is
// cancelled afterwards if `drive` left it open.
INT_PTR RunDriven(CSettingsDlg& dialog, const std::function<void(HWND)>& drive) {
    std::thread driver([&] {
        HWND hwnd = nullptr;
        if (!test::WaitUntil([&] { return (hwnd = test::FindOwnDialog("Settings")) != nullptr; }, 10000)) {
            ADD_FAILURE() << "the settings dialog never appeared";
            return;
        }
        drive(hwnd);
        if (IsWindow(hwnd)) PostMessageA(hwnd, WM_COMMAND, IDCANCEL, 0);
    });
    const INT_PTR result = dialog.DoModal();
    driver.join();
    return result;
}

std::vector<std::string> ComboEntries(HWND dialog, int id) {
    std::vector<std::string> entries;
    const auto n = SendDlgItemMessageA(dialog, id, CB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < n; ++i) {
        char text[64] = {};
        SendDlgItemMessageA(dialog, id, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text));
        entries.emplace_back(text);
    }
    return entries;
}

TEST(SettingsDlgTest, TemplateHasEveryControlInTabOrderWithItsTextPlaceAndStyle) {
    struct Control {
        int id;
        const char* cls;
        const char* text;
        RECT dlu;       // x, y, width, height in dialog units; 0: a combo box's closed height is its own
        LONG type;      // the low four style bits: button, combo box or static kind
        LONG required;  // further style bits it must have
    };
    const Control controls[] = {
        {IDC_TEST_DURATION, "Edit", "  10.0", {167, 23, 40, 14}, 0, ES_AUTOHSCROLL | WS_TABSTOP},
        {IDC_SPAN_START, "Edit", "  30.0", {167, 44, 40, 14}, 0, ES_AUTOHSCROLL | WS_TABSTOP},
        {IDC_SPAN_STOP, "Edit", " 150.0", {167, 65, 40, 14}, 0, ES_AUTOHSCROLL | WS_TABSTOP},
        {IDC_SCALE_FACTOR, "Edit", "   1.0", {167, 85, 40, 14}, 0, ES_AUTOHSCROLL | WS_TABSTOP},
        {IDC_MINIMIZE_ANALYZER, "Button", "Minimize/Hide Spectrum Analyzer Window", {27, 129, 160, 10},
         BS_AUTOCHECKBOX, WS_TABSTOP},
        {IDC_AUTO_PROCESS, "Button", "Enable Automatic processing ", {27, 145, 159, 10}, BS_AUTOCHECKBOX, WS_TABSTOP},
        {IDC_AUTO_PROCESS_DELAY, "Edit", "  10.0", {165, 160, 40, 14}, 0, ES_AUTOHSCROLL | WS_TABSTOP},
        {IDC_OUTPUT_FOLDER, "Button", "Output Folder", {17, 182, 57, 14}, BS_PUSHBUTTON, WS_TABSTOP},
        {IDC_INPUT_DEVICE, "ComboBox", "Device 2", {73, 205, 132, 0}, CBS_DROPDOWN, WS_TABSTOP},
        {IDC_OUTPUT_DEVICE, "ComboBox", "Device 0", {73, 224, 132, 0}, CBS_DROPDOWN, WS_TABSTOP},
        {IDC_ADD_PROBE_TONE, "Button", "Add probe tone to a stimulus file...", {7, 247, 217, 14}, BS_PUSHBUTTON,
         WS_TABSTOP},
        {IDOK, "Button", "OK", {233, 7, 50, 14}, BS_DEFPUSHBUTTON, WS_TABSTOP},
        {IDCANCEL, "Button", "Cancel", {233, 27, 50, 14}, BS_PUSHBUTTON, WS_TABSTOP},
        {IDC_DEFAULTS, "Button", "Defaults", {233, 48, 50, 14}, BS_PUSHBUTTON, WS_TABSTOP},
        {-1, "Button", "Settings", {7, 7, 216, 106}, BS_GROUPBOX, 0},
        {-1, "Static", "Test Duration (secs)", {24, 25, 115, 8}, SS_LEFT, 0},
        {-1, "Static", "Start Frequency (Hz)", {24, 46, 92, 8}, SS_LEFT, 0},
        {-1, "Static", "Stop Frequency (Hz)", {24, 67, 92, 8}, SS_LEFT, 0},
        {-1, "Static", "Corwith Number Scale Factor", {25, 88, 102, 8}, SS_LEFT, 0},
        {-1, "Button", "Test Control", {7, 115, 216, 126}, BS_GROUPBOX, 0},
        {-1, "Static", "Delay before capturing open data (secs)", {27, 162, 132, 8}, SS_LEFT, 0},
        {IDC_OUTPUT_FOLDER_NAME, "Static", "C:\\VORNData", {83, 185, 133, 8}, SS_LEFT, 0},
        {-1, "Static", "Input Device", {19, 207, 49, 8}, SS_LEFT, 0},
        {-1, "Static", "Output Device", {19, 225, 49, 8}, SS_LEFT, 0},
    };
    TestSettings record = Record();
    FixedDevices inputs(3, {1}), outputs(2, {});
    CSettingsDlg dialog(nullptr, &record, inputs, outputs);
    RunDriven(dialog, [&](HWND dlg) {
        EXPECT_EQ(test::WindowText(dlg), "Settings");
        const LONG style = GetWindowLongA(dlg, GWL_STYLE);
        EXPECT_EQ(style & (WS_CAPTION | WS_SYSMENU | DS_MODALFRAME), WS_CAPTION | WS_SYSMENU | DS_MODALFRAME);
        EXPECT_EQ(style & (WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX), 0);
        LOGFONTA font = {};
        GetObjectA(reinterpret_cast<HFONT>(SendMessageA(dlg, WM_GETFONT, 0, 0)), sizeof font, &font);
        EXPECT_STREQ(font.lfFaceName, "MS Shell Dlg");
        RECT size = {0, 0, 290, 270}, client = {};
        MapDialogRect(dlg, &size);
        GetClientRect(dlg, &client);
        EXPECT_EQ(client.right, size.right);
        EXPECT_EQ(client.bottom, size.bottom);

        HWND child = GetWindow(dlg, GW_CHILD);
        for (const Control& c : controls) {
            ASSERT_NE(child, nullptr) << "missing control \"" << c.text << "\"";
            SCOPED_TRACE(testing::Message() << "control " << c.id << " \"" << c.text << "\"");
            char cls[32] = {};
            GetClassNameA(child, cls, sizeof cls);
            EXPECT_STREQ(cls, c.cls);
            EXPECT_EQ(GetDlgCtrlID(child), c.id);
            EXPECT_EQ(test::WindowText(child), c.text);
            const LONG s = GetWindowLongA(child, GWL_STYLE);
            EXPECT_EQ(s & 0xF, c.type);
            EXPECT_EQ(s & c.required, c.required);
            EXPECT_EQ((s & WS_TABSTOP) != 0, (c.required & WS_TABSTOP) != 0);
            if (std::strcmp(c.cls, "Edit") == 0) {
                EXPECT_TRUE((s & WS_BORDER) || (GetWindowLongA(child, GWL_EXSTYLE) & WS_EX_CLIENTEDGE));
            }
            if (std::strcmp(c.cls, "ComboBox") == 0) {
                EXPECT_EQ(s & CBS_SORT, 0);
            }
            // The dialog manager scales position and size each on its own.
            RECT expected = c.dlu, actual = {};
            MapDialogRect(dlg, &expected);
            GetWindowRect(child, &actual);
            MapWindowPoints(nullptr, dlg, reinterpret_cast<POINT*>(&actual), 2);
            EXPECT_EQ(actual.left, expected.left);
            EXPECT_EQ(actual.top, expected.top);
            EXPECT_EQ(actual.right - actual.left, expected.right);
            if (c.dlu.bottom != 0) {
                EXPECT_EQ(actual.bottom - actual.top, expected.bottom);
            }
            child = GetWindow(child, GW_HWNDNEXT);
        }
        EXPECT_EQ(child, nullptr) << "a control beyond the template's";
    });
}

TEST(SettingsDlgTest, DeviceListsFollowTheRulesAndOkStoresTheSelectedPositions) {
    TestSettings record = Record();
    FixedDevices inputs(3, {1}), outputs(1, {});
    CSettingsDlg dialog(nullptr, &record, inputs, outputs);
    const INT_PTR result = RunDriven(dialog, [&](HWND dlg) {
        EXPECT_EQ(ComboEntries(dlg, IDC_INPUT_DEVICE), (std::vector<std::string>{"Device 0", "Device 2"}));
        EXPECT_EQ(SendDlgItemMessageA(dlg, IDC_INPUT_DEVICE, CB_GETCURSEL, 0, 0), 1);
        EXPECT_EQ(ComboEntries(dlg, IDC_OUTPUT_DEVICE), (std::vector<std::string>{"Device 0"}));
        SendDlgItemMessageA(dlg, IDC_INPUT_DEVICE, CB_SETCURSEL, 0, 0);
        SetDlgItemTextA(dlg, IDC_TEST_DURATION, "12.5");
        SendMessageA(dlg, WM_COMMAND, IDOK, 0);
    });
    EXPECT_EQ(result, IDOK);
    EXPECT_EQ(record.InputDevIndex, 0);
    EXPECT_EQ(record.OutputDevIndex, 0);
    EXPECT_EQ(record.TestDuration, 12.5f);
}

TEST(SettingsDlgTest, CancelKeepsTheRecordButOneDeviceIsStoredAtOnce) {
    TestSettings record = Record();
    FixedDevices inputs(0, {}), outputs(1, {});
    CSettingsDlg dialog(nullptr, &record, inputs, outputs);
    const INT_PTR result = RunDriven(dialog, [&](HWND dlg) {
        EXPECT_EQ(record.OutputDevIndex, 0) << "stored when the dialog opened";
        SetDlgItemTextA(dlg, IDC_TEST_DURATION, "12.5");
        SendMessageA(dlg, WM_COMMAND, IDCANCEL, 0);
    });
    EXPECT_EQ(result, IDCANCEL);
    EXPECT_EQ(record.TestDuration, 10.0f);
    EXPECT_EQ(record.InputDevIndex, 1);
    EXPECT_EQ(record.OutputDevIndex, 0);
}

}  // namespace
}  // namespace vorn
