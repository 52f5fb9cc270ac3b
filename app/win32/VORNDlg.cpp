#include "app/win32/VORNDlg.h"

#include "probe/win32/AddProbeToneDlg.h"
#include "resources/resource.h"
#include "settings/SettingsStore.h"
#include "settings/win32/SettingsDlg.h"

#include <commctrl.h>
#include <commdlg.h>

namespace vorn {

namespace {

// A bold Arial of the given cell height (pixels), otherwise like the control's font.
HFONT MakeLabelFont(HWND control, int height) {
    LOGFONTA font = {};
    HFONT current = reinterpret_cast<HFONT>(SendMessageA(control, WM_GETFONT, 0, 0));
    if (!current || GetObjectA(current, sizeof font, &font) == 0)
        GetObjectA(GetStockObject(DEFAULT_GUI_FONT), sizeof font, &font);
    font.lfHeight = height;
    font.lfWidth = 0;
    font.lfWeight = FW_BOLD;
    lstrcpynA(font.lfFaceName, "Arial", LF_FACESIZE);
    return CreateFontIndirectA(&font);
}

}  // namespace

CVORNDlg::CVORNDlg(HINSTANCE instance, SettingsFile& settingsFile, AnalyzerConnection& link, Clock& clock)
    : instance_(instance), settingsFile_(settingsFile), sequence_(settings_, stimulus_, link, *this, clock) {
    icon_ = static_cast<HICON>(LoadImageA(instance_, MAKEINTRESOURCEA(IDI_VORN), IMAGE_ICON,
                                          GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON), 0));
    smallIcon_ = static_cast<HICON>(LoadImageA(instance_, MAKEINTRESOURCEA(IDI_VORN), IMAGE_ICON,
                                               GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), 0));
    LoadSettings(settingsFile_, settings_, stimulus_);
}

CVORNDlg::~CVORNDlg() {
    SaveSettings(settingsFile_, settings_, stimulus_);
    ReleaseLabelFonts();
    if (icon_) DestroyIcon(icon_);
    if (smallIcon_) DestroyIcon(smallIcon_);
}

INT_PTR CVORNDlg::DoModal(HWND parent) {
    return DialogBoxParamA(instance_, MAKEINTRESOURCEA(IDD_VORN_DIALOG), parent, DialogProc,
                           reinterpret_cast<LPARAM>(this));
}

INT_PTR CALLBACK CVORNDlg::DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    CVORNDlg* self = nullptr;
    if (message == WM_INITDIALOG) {
        self = reinterpret_cast<CVORNDlg*>(lParam);
        self->hwnd_ = hwnd;
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, lParam);
    } else {
        self = reinterpret_cast<CVORNDlg*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    }
    return self ? self->HandleMessage(message, wParam, lParam) : FALSE;
}

INT_PTR CVORNDlg::HandleMessage(UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
    case WM_INITDIALOG: return OnDialogStart();
    case WM_COMMAND: OnCommand(LOWORD(wParam)); return TRUE;
    case WM_TIMER: sequence_.OnStepTimer(wParam); return TRUE;
    case WM_CLOSE: OnCloseRequest(); return TRUE;
    case WM_PAINT: return OnPaintMinimized();
    case WM_QUERYDRAGICON: return reinterpret_cast<INT_PTR>(icon_);
    case WM_DESTROY: hwnd_ = nullptr; return FALSE;
    default: return FALSE;
    }
}

BOOL CVORNDlg::OnDialogStart() {
    SendMessageA(hwnd_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon_));
    SendMessageA(hwnd_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon_));
    CreateLabelFonts();
    SendDlgItemMessageA(hwnd_, IDC_PROGRESS, PBM_SETRANGE, 0, MAKELPARAM(0, 100));
    sequence_.OnDialogStart();
    return TRUE;
}

void CVORNDlg::CreateLabelFonts() {
    titleFont_ = MakeLabelFont(GetDlgItem(hwnd_, IDC_TITLE), 28);
    labelFont_ = MakeLabelFont(GetDlgItem(hwnd_, IDC_STIMULUS_NAME), 16);
    resultFont_ = MakeLabelFont(GetDlgItem(hwnd_, IDC_CORWITH_RESULT), 20);
    SendDlgItemMessageA(hwnd_, IDC_TITLE, WM_SETFONT, reinterpret_cast<WPARAM>(titleFont_), TRUE);
    for (int id : {IDC_STIMULUS_NAME, IDC_SEALED_RESULT, IDC_OPEN_RESULT})
        SendDlgItemMessageA(hwnd_, id, WM_SETFONT, reinterpret_cast<WPARAM>(labelFont_), TRUE);
    SendDlgItemMessageA(hwnd_, IDC_CORWITH_RESULT, WM_SETFONT, reinterpret_cast<WPARAM>(resultFont_), TRUE);
}

void CVORNDlg::ReleaseLabelFonts() {
    for (HFONT* f : {&titleFont_, &labelFont_, &resultFont_}) {
        if (*f) DeleteObject(*f);
        *f = nullptr;
    }
}

void CVORNDlg::OnCommand(int id) {
    switch (id) {
    case IDCANCEL: OnCloseRequest(); break;  // Escape
    case IDC_SELECT_STIMULUS: sequence_.OnSelectStimulus(); break;
    case IDC_CAPTURE_SEALED: sequence_.OnCaptureSealed(); break;
    case IDC_CAPTURE_OPEN: sequence_.OnCaptureOpen(); break;
    case IDC_PROCESS_RESULTS: sequence_.OnProcessResults(); break;
    case IDC_SETTINGS: OnSettings(); break;
    default: break;
    }
}

// The accepted values apply from the next step on and reach VORN.ini when the program ends.
// The probe-tone tool opened from the settings dialog stores its probe values in this
// record at once, not in the settings dialog's working copy, so they survive Cancel.
void CVORNDlg::OnSettings() {
    CSettingsDlg dialog(hwnd_, &settings_);
    dialog.SetProbeToneAction([this](HWND settingsDialog) { CAddProbeToneDlg(&settings_).DoModal(settingsDialog); });
    dialog.DoModal();
}

void CVORNDlg::OnCloseRequest() {
    if (sequence_.OnCloseRequest()) EndDialog(hwnd_, IDCANCEL);
}

bool CVORNDlg::OnPaintMinimized() {
    if (!IsIconic(hwnd_)) return false;
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd_, &ps);
    SendMessageA(hwnd_, WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    RECT client;
    GetClientRect(hwnd_, &client);
    const int x = (client.right - client.left - GetSystemMetrics(SM_CXICON) + 1) / 2;
    const int y = (client.bottom - client.top - GetSystemMetrics(SM_CYICON) + 1) / 2;
    DrawIcon(dc, x, y, icon_);
    EndPaint(hwnd_, &ps);
    return true;
}

void CVORNDlg::SetItemText(int id, const std::string& text) { SetDlgItemTextA(hwnd_, id, text.c_str()); }

void CVORNDlg::EnableItem(int id, bool enabled) { EnableWindow(GetDlgItem(hwnd_, id), enabled); }

void CVORNDlg::ShowProgress(bool shown) { ShowWindow(GetDlgItem(hwnd_, IDC_PROGRESS), shown ? SW_SHOW : SW_HIDE); }

void CVORNDlg::SetProgress(int position) { SendDlgItemMessageA(hwnd_, IDC_PROGRESS, PBM_SETPOS, position, 0); }

void CVORNDlg::ArmStepTimer() { SetTimer(hwnd_, IDT_STEP_TIMER, 200, nullptr); }

void CVORNDlg::KillStepTimer() { KillTimer(hwnd_, IDT_STEP_TIMER); }

bool CVORNDlg::AskStimulusFile(const std::string& initialFolder, std::string& path) {
    char file[260] = {};
    OPENFILENAMEA ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = hwnd_;
    ofn.lpstrFilter = "Wave Files (*.wav)\0*.wav\0";
    ofn.lpstrFile = file;
    ofn.nMaxFile = sizeof file;
    ofn.lpstrInitialDir = initialFolder.c_str();
    ofn.lpstrTitle = "Select Stimulus File";
    ofn.lpstrDefExt = "wav";
    ofn.Flags = OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
    if (!GetOpenFileNameA(&ofn)) return false;
    path = file;
    return true;
}

void CVORNDlg::MinimizeAndRestore() {
    ShowWindow(hwnd_, SW_MINIMIZE);
    ShowWindow(hwnd_, SW_RESTORE);
}

}  // namespace vorn
