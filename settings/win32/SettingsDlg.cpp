#include "settings/win32/SettingsDlg.h"

#include "resources/resource.h"
#include "settings/SettingsValidation.h"
#include "settings/win32/SelectFolderDlg.h"
#include "settings/win32/WinmmDeviceList.h"

namespace vorn {

namespace {

constexpr char kOutputFolderTitle[] = "Select folder to store output files";

const WaveDeviceList& WinmmInputs() {
    static const WinmmDeviceList inputs(WinmmDeviceList::Direction::Input);
    return inputs;
}

const WaveDeviceList& WinmmOutputs() {
    static const WinmmDeviceList outputs(WinmmDeviceList::Direction::Output);
    return outputs;
}

}  // namespace

CSettingsDlg::CSettingsDlg(HWND parent, TestSettings* settings)
    : CSettingsDlg(parent, settings, WinmmInputs(), WinmmOutputs()) {}

CSettingsDlg::CSettingsDlg(HWND parent, TestSettings* settings, const WaveDeviceList& inputs,
                           const WaveDeviceList& outputs)
    : parent_(parent), settings_(settings), inputs_(inputs), outputs_(outputs) {}

INT_PTR CSettingsDlg::DoModal() { return RunModal(GetModuleHandleA(nullptr), IDD_SETTINGS, parent_); }

INT_PTR CSettingsDlg::HandleMessage(UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
    case WM_INITDIALOG: return OnDialogStart();
    case WM_COMMAND: OnCommand(LOWORD(wParam)); return TRUE;
    default: return FALSE;
    }
}

void CSettingsDlg::OnCommand(int id) {
    switch (id) {
    case IDOK: OnAccept(); break;
    case IDCANCEL: EndDialog(Window(), IDCANCEL); break;
    case IDC_DEFAULTS: OnDefaults(); break;
    case IDC_OUTPUT_FOLDER: OnOutputFolder(); break;
    case IDC_ADD_PROBE_TONE: OnAddProbeTone(); break;
    default: break;
    }
}

BOOL CSettingsDlg::OnDialogStart() {
    ShowEntries(ShownEntries(*settings_));
    FillInputDevices();
    FillOutputDevices();
    return TRUE;
}

void CSettingsDlg::FillInputDevices() { FillDevices(IDC_INPUT_DEVICE, inputs_, settings_->InputDevIndex); }

void CSettingsDlg::FillOutputDevices() { FillDevices(IDC_OUTPUT_DEVICE, outputs_, settings_->OutputDevIndex); }

void CSettingsDlg::FillDevices(int comboId, const WaveDeviceList& devices, std::int32_t& storedIndex) {
    const DeviceEntries entries = ListDevices(devices, storedIndex);
    SendDlgItemMessageA(Window(), comboId, CB_RESETCONTENT, 0, 0);
    for (const std::string& name : entries.names)
        SendDlgItemMessageA(Window(), comboId, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name.c_str()));
    SendDlgItemMessageA(Window(), comboId, CB_SETCURSEL, static_cast<WPARAM>(entries.selection), 0);
}

void CSettingsDlg::OnAccept() {
    const TestSettings working = AcceptedSettings(*settings_, ReadEntries());
    if (!ValidateSettings(working)) return;  // the operator's entries stay for correction
    *settings_ = working;
    EndDialog(Window(), IDOK);
}

bool CSettingsDlg::ValidateSettings(const TestSettings& value) const { return vorn::ValidateSettings(value); }

void CSettingsDlg::OnDefaults() {
    SettingsEntries entries = ReadEntries();
    ResetToDefaults(entries);
    ShowEntries(entries);
    SelectDevices(entries);
}

void CSettingsDlg::OnOutputFolder() {
    CSelectFolderDlg browser;
    browser.title = kOutputFolderTitle;
    if (browser.BrowseForFolder()) SetDlgItemTextA(Window(), IDC_OUTPUT_FOLDER_NAME, browser.folderPath.c_str());
}

void CSettingsDlg::OnAddProbeTone() {
    if (probeTone_) probeTone_(Window());
}

void CSettingsDlg::ShowEntries(const SettingsEntries& entries) {
    SetDlgItemTextA(Window(), IDC_TEST_DURATION, entries.testDuration.c_str());
    SetDlgItemTextA(Window(), IDC_SPAN_START, entries.spanStartFreq.c_str());
    SetDlgItemTextA(Window(), IDC_SPAN_STOP, entries.spanStopFreq.c_str());
    SetDlgItemTextA(Window(), IDC_OUTPUT_FOLDER_NAME, entries.outputFolder.c_str());
    SetDlgItemTextA(Window(), IDC_SCALE_FACTOR, entries.scaleFactor.c_str());
    CheckDlgButton(Window(), IDC_AUTO_PROCESS, entries.autoProcess ? BST_CHECKED : BST_UNCHECKED);
    SetDlgItemTextA(Window(), IDC_AUTO_PROCESS_DELAY, entries.autoProcessDelay.c_str());
    CheckDlgButton(Window(), IDC_MINIMIZE_ANALYZER, entries.minimizeAnalyzer ? BST_CHECKED : BST_UNCHECKED);
}

void CSettingsDlg::SelectDevices(const SettingsEntries& entries) {
    SendDlgItemMessageA(Window(), IDC_INPUT_DEVICE, CB_SETCURSEL, static_cast<WPARAM>(entries.inputDevice), 0);
    SendDlgItemMessageA(Window(), IDC_OUTPUT_DEVICE, CB_SETCURSEL, static_cast<WPARAM>(entries.outputDevice), 0);
}

SettingsEntries CSettingsDlg::ReadEntries() const {
    SettingsEntries e;
    e.testDuration = Text(IDC_TEST_DURATION);
    e.spanStartFreq = Text(IDC_SPAN_START);
    e.spanStopFreq = Text(IDC_SPAN_STOP);
    e.outputFolder = Text(IDC_OUTPUT_FOLDER_NAME);
    e.scaleFactor = Text(IDC_SCALE_FACTOR);
    e.autoProcess = IsDlgButtonChecked(Window(), IDC_AUTO_PROCESS) == BST_CHECKED;
    e.autoProcessDelay = Text(IDC_AUTO_PROCESS_DELAY);
    // CB_ERR (-1) when nothing is selected, which is what the record stores then.
    e.inputDevice = static_cast<std::int32_t>(SendDlgItemMessageA(Window(), IDC_INPUT_DEVICE, CB_GETCURSEL, 0, 0));
    e.outputDevice = static_cast<std::int32_t>(SendDlgItemMessageA(Window(), IDC_OUTPUT_DEVICE, CB_GETCURSEL, 0, 0));
    e.minimizeAnalyzer = IsDlgButtonChecked(Window(), IDC_MINIMIZE_ANALYZER) == BST_CHECKED;
    return e;
}

std::string CSettingsDlg::Text(int id) const {
    HWND control = GetDlgItem(Window(), id);
    std::string text(static_cast<std::size_t>(GetWindowTextLengthA(control)) + 1, '\0');
    const int n = GetWindowTextA(control, text.data(), static_cast<int>(text.size()));
    text.resize(n > 0 ? static_cast<std::size_t>(n) : 0);
    return text;
}

}  // namespace vorn
