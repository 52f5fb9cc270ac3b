#include "app/win32/VORNDlg.h"

#include "common/MessageSink.h"
#include "common/win32/ResponsiveWait.h"
#include "common/win32/WaveFileDialog.h"
#include "probe/win32/AddProbeToneDlg.h"
#include "results/ReportFile.h"
#include "wave/FileSystem.h"
#include "resources/resource.h"
#include "settings/SettingsStore.h"
#include "settings/win32/SettingsDlg.h"

#include <commctrl.h>
#include <shellapi.h>

namespace vorn {

namespace {

constexpr int kButtonIds[] = {IDC_SELECT_STIMULUS, IDC_CAPTURE_SEALED, IDC_CAPTURE_OPEN, IDC_PROCESS_RESULTS,
                              IDC_SETTINGS};

// A handler that took this long blocked the window; input queued meanwhile is dropped.
constexpr DWORD kBlockedMs = 100;

constexpr const char* kResultsReportItem = "Results report...";
constexpr const char* kResultsReportName = "Results.html";

// A bold Arial of the given cell height (pixels at 96 DPI, scaled to the screen's),
// otherwise like the control's font.
HFONT MakeLabelFont(HWND control, int height) {
    LOGFONTA font = {};
    HFONT current = reinterpret_cast<HFONT>(SendMessageA(control, WM_GETFONT, 0, 0));
    if (!current || GetObjectA(current, sizeof font, &font) == 0)
        GetObjectA(GetStockObject(DEFAULT_GUI_FONT), sizeof font, &font);
    HDC screen = GetDC(nullptr);
    font.lfHeight = MulDiv(height, GetDeviceCaps(screen, LOGPIXELSY), 96);
    ReleaseDC(nullptr, screen);
    font.lfWidth = 0;
    font.lfWeight = FW_BOLD;
    lstrcpynA(font.lfFaceName, "Arial", LF_FACESIZE);
    return CreateFontIndirectA(&font);
}

int StepButtonId(TestStep step) {
    switch (step) {
    case TestStep::SealedCapture: return IDC_CAPTURE_SEALED;
    case TestStep::OpenCapture: return IDC_CAPTURE_OPEN;
    case TestStep::Processing: break;
    }
    return IDC_PROCESS_RESULTS;
}

int StepResultId(TestStep step) {
    switch (step) {
    case TestStep::SealedCapture: return IDC_SEALED_RESULT;
    case TestStep::OpenCapture: return IDC_OPEN_RESULT;
    case TestStep::Processing: break;
    }
    return IDC_CORWITH_RESULT;
}

}  // namespace

CVORNDlg::CVORNDlg(HINSTANCE instance, SettingsFile& settingsFile, AnalyzerConnection& link, Clock& clock)
    : instance_(instance),
      settingsFile_(settingsFile),
      sequence_(settings_, stimulus_, link, *this, clock),
      results_(settings_, stimulus_) {
    sequence_.SetOutcomeHandler([this](const TestOutcome& outcome) { results_.Record(outcome); });
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

INT_PTR CVORNDlg::DoModal(HWND parent) { return RunModal(instance_, IDD_VORN_DIALOG, parent); }

INT_PTR CVORNDlg::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_COMMAND || message == WM_TIMER || message == WM_CLOSE) {
        // What the operator clicked or typed while the sequence blocked was aimed at
        // buttons that mean something else by now.
        const DWORD start = GetTickCount();
        if (message == WM_COMMAND) OnCommand(LOWORD(wParam));
        if (message == WM_TIMER) OnStepTimer(wParam);
        if (message == WM_CLOSE) OnCloseRequest();
        if (Window() && GetTickCount() - start >= kBlockedMs) DiscardInputSince(start);
        return TRUE;
    }
    switch (message) {
    case WM_CTLCOLORSTATIC: return OnLabelColour(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
    case WM_SYSCOMMAND: return OnSystemCommand(wParam);
    case WM_INITDIALOG: return OnDialogStart();
    case WM_PAINT: return OnPaintMinimized();
    case WM_QUERYDRAGICON: return reinterpret_cast<INT_PTR>(icon_);
    default: return FALSE;
    }
}

BOOL CVORNDlg::OnDialogStart() {
    SendMessageA(Window(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon_));
    SendMessageA(Window(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon_));
    CreateLabelFonts();
    // A long file name ends in "..." rather than being cut without a sign.
    HWND name = GetDlgItem(Window(), IDC_STIMULUS_NAME);
    SetWindowLongPtrA(name, GWL_STYLE, GetWindowLongPtrA(name, GWL_STYLE) | SS_ENDELLIPSIS);
    SendDlgItemMessageA(Window(), IDC_PROGRESS, PBM_SETRANGE, 0, MAKELPARAM(0, 100));
    if (HMENU menu = GetSystemMenu(Window(), FALSE)) {
        AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
        AppendMenuA(menu, MF_STRING, IDM_RESULTS_REPORT, kResultsReportItem);
    }
    sequence_.OnDialogStart();
    return TRUE;
}

void CVORNDlg::CreateLabelFonts() {
    titleFont_ = MakeLabelFont(GetDlgItem(Window(), IDC_TITLE), 28);
    labelFont_ = MakeLabelFont(GetDlgItem(Window(), IDC_STIMULUS_NAME), 16);
    resultFont_ = MakeLabelFont(GetDlgItem(Window(), IDC_CORWITH_RESULT), 20);
    SendDlgItemMessageA(Window(), IDC_TITLE, WM_SETFONT, reinterpret_cast<WPARAM>(titleFont_), TRUE);
    for (int id : {IDC_STIMULUS_NAME, IDC_SEALED_RESULT, IDC_OPEN_RESULT})
        SendDlgItemMessageA(Window(), id, WM_SETFONT, reinterpret_cast<WPARAM>(labelFont_), TRUE);
    SendDlgItemMessageA(Window(), IDC_CORWITH_RESULT, WM_SETFONT, reinterpret_cast<WPARAM>(resultFont_), TRUE);
    FitLabel(IDC_TITLE);  // the dialog's own font and Arial do not grow alike with the DPI
}

void CVORNDlg::ReleaseLabelFonts() {
    for (HFONT* f : {&titleFont_, &labelFont_, &resultFont_}) {
        if (*f) DeleteObject(*f);
        *f = nullptr;
    }
    for (auto& [id, font] : fittedFonts_) DeleteObject(font);
    fittedFonts_.clear();
}

// A text too wide for its label (a Corwith Number of many digits) is shown in a font
// just small enough for it, so that no digit is cut off or wrapped out of sight.
void CVORNDlg::FitLabel(int id) {
    HWND label = GetDlgItem(Window(), id);
    HFONT own = id == IDC_CORWITH_RESULT ? resultFont_ : id == IDC_TITLE ? titleFont_ : labelFont_;
    auto fitted = fittedFonts_.find(id);
    if (fitted != fittedFonts_.end()) {
        SendMessageA(label, WM_SETFONT, reinterpret_cast<WPARAM>(own), FALSE);
        DeleteObject(fitted->second);
        fittedFonts_.erase(fitted);
    }
    char text[256] = {};
    const int length = GetWindowTextA(label, text, sizeof text);
    RECT box;
    GetClientRect(label, &box);
    HDC dc = GetDC(label);
    HGDIOBJ old = SelectObject(dc, own);
    SIZE extent = {};
    GetTextExtentPoint32A(dc, text, length, &extent);
    SelectObject(dc, old);
    ReleaseDC(label, dc);
    if (extent.cx > box.right && extent.cx > 0) {
        LOGFONTA font = {};
        GetObjectA(own, sizeof font, &font);
        font.lfHeight = MulDiv(font.lfHeight, box.right * 95 / 100, extent.cx);  // a little room to spare
        HFONT smaller = CreateFontIndirectA(&font);
        if (smaller) {
            fittedFonts_[id] = smaller;
            own = smaller;
        }
    }
    SendMessageA(label, WM_SETFONT, reinterpret_cast<WPARAM>(own), TRUE);
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
    CSettingsDlg dialog(Window(), &settings_);
    dialog.SetProbeToneAction([this](HWND settingsDialog) { CAddProbeToneDlg(&settings_).DoModal(settingsDialog); });
    dialog.DoModal();
}

void CVORNDlg::OnStepTimer(UINT_PTR timerId) {
    if (timerId == IDT_STEP_TIMER) sequence_.OnStepTimer();
}

void CVORNDlg::OnCloseRequest() {
    if (sequence_.OnCloseRequest()) EndDialog(Window(), IDCANCEL);
}

bool CVORNDlg::OnPaintMinimized() {
    if (!IsIconic(Window())) return false;
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(Window(), &ps);
    SendMessageA(Window(), WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    RECT client;
    GetClientRect(Window(), &client);
    const int x = (client.right - client.left - GetSystemMetrics(SM_CXICON) + 1) / 2;
    const int y = (client.bottom - client.top - GetSystemMetrics(SM_CYICON) + 1) / 2;
    DrawIcon(dc, x, y, icon_);
    EndPaint(Window(), &ps);
    return true;
}

void CVORNDlg::ShowStimulusName(const std::string& name) {
    SetDlgItemTextA(Window(), IDC_STIMULUS_NAME, name.c_str());
}

void CVORNDlg::ShowStepResult(TestStep step, const std::string& text) {
    if (step == TestStep::Processing) verdict_ = Verdict::None;
    SetDlgItemTextA(Window(), StepResultId(step), text.c_str());
    FitLabel(StepResultId(step));
}

void CVORNDlg::ShowVerdict(Verdict verdict) {
    verdict_ = verdict;
    InvalidateRect(GetDlgItem(Window(), IDC_CORWITH_RESULT), nullptr, TRUE);
    if (verdict == Verdict::Fail) MessageBeep(MB_ICONHAND);
}

// The Corwith Number's label in green for a pass and red for a fail; every other label,
// and this one without a verdict, as the system draws it.
INT_PTR CVORNDlg::OnLabelColour(HDC dc, HWND label) {
    if (verdict_ == Verdict::None || label != GetDlgItem(Window(), IDC_CORWITH_RESULT)) return FALSE;
    SetTextColor(dc, verdict_ == Verdict::Pass ? RGB(0, 140, 40) : RGB(215, 0, 0));
    SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
    return reinterpret_cast<INT_PTR>(GetSysColorBrush(COLOR_BTNFACE));
}

bool CVORNDlg::OnSystemCommand(WPARAM command) {
    if ((command & 0xFFF0) != IDM_RESULTS_REPORT) return false;
    OnResultsReport();
    return true;
}

// The report of this station's journal, beside it, opened in the default browser.
void CVORNDlg::OnResultsReport() {
    const std::string journal = results_.JournalPath();
    const std::string report = JoinPath(FolderOf(journal), kResultsReportName);
    ReportSources sources;
    std::string error;
    if (!sources.Add(journal, error) || !WriteReportFile(sources, report, error)) {
        ShowMessage(ApplicationTitle(), error, MessageIcon::Stop);
        return;
    }
    ShellExecuteA(Window(), "open", report.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

void CVORNDlg::ShowStepButton(TestStep step, const std::string& caption, bool enabled) {
    SetDlgItemTextA(Window(), StepButtonId(step), caption.c_str());
    EnableButton(StepButtonId(step), enabled);
}

void CVORNDlg::EnableSetupButtons(bool enabled) {
    for (int id : {IDC_SELECT_STIMULUS, IDC_SETTINGS}) EnableButton(id, enabled);
}

void CVORNDlg::EnableButton(int id, bool enabled) {
    buttonEnabled_[id] = enabled;
    EnableWindow(GetDlgItem(Window(), id), enabled && holds_ == 0);
}

// A disabled button loses the keyboard, and a button that turned into another one
// while the window was held may not keep it: the focus is set once the hold is over.
void CVORNDlg::HoldInput(bool held) {
    if (held) {
        if (holds_++ == 0)
            for (int id : kButtonIds) EnableWindow(GetDlgItem(Window(), id), FALSE);
        return;
    }
    if (holds_ == 0 || --holds_ > 0) return;
    for (int id : kButtonIds) {
        auto wanted = buttonEnabled_.find(id);
        EnableWindow(GetDlgItem(Window(), id), wanted == buttonEnabled_.end() || wanted->second);
    }
    ApplyFocus();
}

void CVORNDlg::FocusStepButton(TestStep step) {
    focusId_ = StepButtonId(step);
    if (holds_ == 0) ApplyFocus();
}

// Only while the dialog is the active window: a step that ends while the operator works
// in another program must not pull the dialog to the front.
void CVORNDlg::ApplyFocus() {
    HWND button = GetDlgItem(Window(), focusId_);
    focusId_ = 0;
    if (!button || !IsWindowEnabled(button) || GetActiveWindow() != Window()) return;
    SendMessageA(Window(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(button), TRUE);
}

void CVORNDlg::ShowProgress(bool shown) {
    ShowWindow(GetDlgItem(Window(), IDC_PROGRESS), shown ? SW_SHOW : SW_HIDE);
}

void CVORNDlg::SetProgress(int position) { SendDlgItemMessageA(Window(), IDC_PROGRESS, PBM_SETPOS, position, 0); }

void CVORNDlg::ArmStepTimer() { SetTimer(Window(), IDT_STEP_TIMER, 200, nullptr); }

void CVORNDlg::KillStepTimer() { KillTimer(Window(), IDT_STEP_TIMER); }

bool CVORNDlg::AskStimulusFile(const std::string& initialFolder, std::string& path) {
    return AskWaveFile(Window(), FileDialogKind::Open, "Select Stimulus File", initialFolder, path);
}

void CVORNDlg::MinimizeAndRestore() {
    ShowWindow(Window(), SW_MINIMIZE);
    ShowWindow(Window(), SW_RESTORE);
}

}  // namespace vorn
