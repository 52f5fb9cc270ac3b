// The real settings dialog from its template, with fixed device lists, looked at from a
// second thread while it runs.
#include "resources/resource.h"
#include "settings/win32/SettingsDlg.h"
#include "support/WinTestUtil.h"

#include <gtest/gtest.h>

#include <cstring>
#include <thread>

namespace vorn {
namespace {

class TwoDevices final : public WaveDeviceList {
public:
    unsigned Count() const override { return 2; }
    bool ProductName(unsigned device, std::string& name) const override {
        name = "Device " + std::to_string(device);
        return true;
    }
};

TEST(SettingsDlgTest, TemplateHasEveryControlInTabOrderWithItsTextPlaceAndStyle) {
    const struct {
        int id;
        const char* cls;
        const char* text;  // as the dialog start shows the record below
        RECT dlu;          // x, y, width, height; height 0: a combo box's closed height is its own
        LONG type;         // the low four style bits
        bool tabStop;
    } controls[] = {
        {IDC_TEST_DURATION, "Edit", "  10.0", {167, 23, 40, 14}, 0, true},
        {IDC_SPAN_START, "Edit", "  30.0", {167, 44, 40, 14}, 0, true},
        {IDC_SPAN_STOP, "Edit", " 150.0", {167, 65, 40, 14}, 0, true},
        {IDC_SCALE_FACTOR, "Edit", "   1.0", {167, 85, 40, 14}, 0, true},
        {IDC_MINIMIZE_ANALYZER, "Button", "Minimize/Hide Spectrum Analyzer Window", {27, 129, 160, 10}, BS_AUTOCHECKBOX, true},
        {IDC_AUTO_PROCESS, "Button", "Enable Automatic processing ", {27, 145, 159, 10}, BS_AUTOCHECKBOX, true},
        {IDC_AUTO_PROCESS_DELAY, "Edit", "  10.0", {165, 160, 40, 14}, 0, true},
        {IDC_OUTPUT_FOLDER, "Button", "Output Folder", {17, 182, 57, 14}, BS_PUSHBUTTON, true},
        {IDC_INPUT_DEVICE, "ComboBox", "Device 1", {73, 205, 132, 0}, CBS_DROPDOWN, true},
        {IDC_OUTPUT_DEVICE, "ComboBox", "Device 0", {73, 224, 132, 0}, CBS_DROPDOWN, true},
        {IDC_ADD_PROBE_TONE, "Button", "Add probe tone to a stimulus file...", {7, 247, 217, 14}, BS_PUSHBUTTON, true},
        {IDOK, "Button", "OK", {233, 7, 50, 14}, BS_DEFPUSHBUTTON, true},
        {IDCANCEL, "Button", "Cancel", {233, 27, 50, 14}, BS_PUSHBUTTON, true},
        {IDC_DEFAULTS, "Button", "Defaults", {233, 48, 50, 14}, BS_PUSHBUTTON, true},
        {-1, "Button", "Settings", {7, 7, 216, 106}, BS_GROUPBOX, false},
        {-1, "Static", "Test Duration (secs)", {24, 25, 115, 8}, SS_LEFT, false},
        {-1, "Static", "Start Frequency (Hz)", {24, 46, 92, 8}, SS_LEFT, false},
        {-1, "Static", "Stop Frequency (Hz)", {24, 67, 92, 8}, SS_LEFT, false},
        {-1, "Static", "Corwith Number Scale Factor", {25, 88, 102, 8}, SS_LEFT, false},
        {-1, "Button", "Test Control", {7, 115, 216, 126}, BS_GROUPBOX, false},
        {-1, "Static", "Delay before capturing open data (secs)", {27, 162, 132, 8}, SS_LEFT, false},
        {IDC_OUTPUT_FOLDER_NAME, "Static", "C:\\VORNData", {83, 185, 133, 8}, SS_LEFT, false},
        {-1, "Static", "Input Device", {19, 207, 49, 8}, SS_LEFT, false},
        {-1, "Static", "Output Device", {19, 225, 49, 8}, SS_LEFT, false},
    };
    TestSettings record;
    record.TestDuration = 10.0f, record.SpanStartFreq = 30.0f, record.SpanStopFreq = 150.0f;
    record.CorwithNumberScaleFactor = 1.0f, record.AutoProcessDelay = 10.0f, record.InputDevIndex = 1;
    std::strcpy(record.OutputFolder, "C:\\VORNData");
    TwoDevices devices;
    CSettingsDlg dialog(nullptr, &record, devices, devices);
    std::thread looker([&] {
        HWND dlg = nullptr;
        ASSERT_TRUE(test::WaitUntil([&] { return (dlg = test::FindOwnDialog("Settings")) != nullptr; }, 10000));
        LOGFONTA font = {};
        GetObjectA(reinterpret_cast<HFONT>(SendMessageA(dlg, WM_GETFONT, 0, 0)), sizeof font, &font);
        EXPECT_STREQ(font.lfFaceName, "MS Shell Dlg");
        EXPECT_EQ(GetWindowLongA(dlg, GWL_STYLE) & (WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | WS_THICKFRAME),
                  WS_CAPTION | WS_SYSMENU | DS_MODALFRAME);
        RECT size = {0, 0, 290, 270}, client = {};
        MapDialogRect(dlg, &size);
        GetClientRect(dlg, &client);
        EXPECT_EQ(client.right, size.right);
        EXPECT_EQ(client.bottom, size.bottom);
        HWND child = GetWindow(dlg, GW_CHILD);
        for (const auto& c : controls) {
            SCOPED_TRACE(testing::Message() << "control " << c.id << " \"" << c.text << "\"");
            ASSERT_NE(child, nullptr);
            char cls[32] = {};
            GetClassNameA(child, cls, sizeof cls);
            EXPECT_STREQ(cls, c.cls);
            EXPECT_EQ(GetDlgCtrlID(child), c.id);
            EXPECT_EQ(test::WindowText(child), c.text);
            const LONG style = GetWindowLongA(child, GWL_STYLE);
            EXPECT_EQ(style & 0xF, c.type);
            EXPECT_EQ((style & WS_TABSTOP) != 0, c.tabStop);
            if (std::strcmp(c.cls, "Edit") == 0) {
                EXPECT_NE(style & ES_AUTOHSCROLL, 0);
                EXPECT_TRUE((style & WS_BORDER) || (GetWindowLongA(child, GWL_EXSTYLE) & WS_EX_CLIENTEDGE));
            }
            EXPECT_EQ(std::strcmp(c.cls, "ComboBox") == 0 ? style & CBS_SORT : 0, 0);
            // The dialog manager scales position and size each on its own.
            RECT expected = c.dlu, actual = {};
            MapDialogRect(dlg, &expected);
            GetWindowRect(child, &actual);
            MapWindowPoints(nullptr, dlg, reinterpret_cast<POINT*>(&actual), 2);
            EXPECT_EQ(actual.left, expected.left);
            EXPECT_EQ(actual.top, expected.top);
            EXPECT_EQ(actual.right - actual.left, expected.right);
            EXPECT_EQ(c.dlu.bottom ? actual.bottom - actual.top : 0, expected.bottom);
            child = GetWindow(child, GW_HWNDNEXT);
        }
        EXPECT_EQ(child, nullptr) << "a control beyond the template's";
        PostMessageA(dlg, WM_COMMAND, IDCANCEL, 0);
    });
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
    looker.join();
}

}  // namespace
}  // namespace vorn
