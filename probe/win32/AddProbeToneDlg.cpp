#include "probe/win32/AddProbeToneDlg.h"

#include "common/MessageSink.h"
#include "probe/ProbeTone.h"
#include "resources/resource.h"
#include "wave/WaveFile.h"

#include <commctrl.h>
#include <commdlg.h>

#include <cstdio>
#include <memory>

namespace vorn {

namespace {
// Both file dialogs show wave files only; the double NUL ends the filter list.
constexpr char kFilter[] = "Wave Files (*.wav)\0*.wav\0";
// Paths the file dialogs may return (MAX_PATH); longer choices are refused by the tool.
constexpr DWORD kFileBuffer = 260;
}  // namespace

CAddProbeToneDlg::CAddProbeToneDlg(TestSettings* record) : settings(record) {}

INT_PTR CAddProbeToneDlg::DoModal(HWND parent) {
    return DialogBoxParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_ADD_PROBE_TONE), parent, DialogProc,
                           reinterpret_cast<LPARAM>(this));
}

INT_PTR CALLBACK CAddProbeToneDlg::DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    CAddProbeToneDlg* self = nullptr;
    if (message == WM_INITDIALOG) {
        self = reinterpret_cast<CAddProbeToneDlg*>(lParam);
        self->hwnd = hwnd;
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, lParam);
    } else {
        self = reinterpret_cast<CAddProbeToneDlg*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    }
    return self ? self->HandleMessage(message, wParam) : FALSE;
}

INT_PTR CAddProbeToneDlg::HandleMessage(UINT message, WPARAM wParam) {
    switch (message) {
    case WM_INITDIALOG: return OnDialogStart();
    case WM_COMMAND:
        if (LOWORD(wParam) == IDC_FILTER_AND_ADD_PROBE_TONE) OnFilterAndAddProbeTone();
        else if (LOWORD(wParam) == IDCANCEL) EndDialog(hwnd, IDCANCEL);
        return TRUE;
    default: return FALSE;
    }
}

BOOL CAddProbeToneDlg::OnDialogStart() {
    char text[32];
    std::snprintf(text, sizeof text, "%6.1f", double(settings->ProbeFreq));
    SetDlgItemTextA(hwnd, IDC_PROBE_FREQ, text);
    std::snprintf(text, sizeof text, "%6.1f", double(settings->ProbeLevelDBr));
    SetDlgItemTextA(hwnd, IDC_PROBE_LEVEL, text);
    SendDlgItemMessageA(hwnd, IDC_PROGRESS, PBM_SETPOS, 0, 0);
    ShowWindow(GetDlgItem(hwnd, IDC_PROGRESS), SW_HIDE);
    return TRUE;
}

std::string CAddProbeToneDlg::ItemText(int id) const {
    char text[256] = {};
    GetDlgItemTextA(hwnd, id, text, sizeof text);
    return text;
}

void CAddProbeToneDlg::OnFilterAndAddProbeTone() {
    const float frequency = ParseProbeValue(ItemText(IDC_PROBE_FREQ));
    const float level = ParseProbeValue(ItemText(IDC_PROBE_LEVEL));
    if (const char* refused = CheckProbeValues(frequency, level)) {
        ShowMessage(ApplicationTitle(), refused, MessageIcon::Stop);
        return;
    }
    settings->ProbeFreq = frequency;
    settings->ProbeLevelDBr = level;

    std::string source;
    if (!AskFile(kOpenTitle, false, source)) return;
    std::unique_ptr<TWaveFile> file = OpenStimulus(source);
    if (!file) return;
    if (!AddProbeTone(file.get(), frequency, level, *this)) return;
    std::string target;
    if (!AskFile(kSaveTitle, true, target)) return;
    SaveNewStimulus(*file, target);
}

bool CAddProbeToneDlg::AskFile(const char* title, bool save, std::string& path) {
    char file[kFileBuffer] = {};
    const std::string folder = std::string(settings->OutputFolder) + "\\Stimulus";
    OPENFILENAMEA ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = hwnd;
    ofn.lpstrFilter = kFilter;
    ofn.lpstrFile = file;
    ofn.nMaxFile = kFileBuffer;
    ofn.lpstrInitialDir = folder.c_str();
    ofn.lpstrTitle = title;
    // The extension without "*." (the dialog appends it to a name typed without one).
    ofn.lpstrDefExt = "wav";
    ofn.Flags = OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR | OFN_EXPLORER |
                (save ? OFN_OVERWRITEPROMPT : OFN_FILEMUSTEXIST);
    const BOOL chosen = save ? GetSaveFileNameA(&ofn) : GetOpenFileNameA(&ofn);
    if (!chosen) return false;
    path = file;
    return true;
}

void CAddProbeToneDlg::ShowProcessing() {
    ShowWindow(GetDlgItem(hwnd, IDC_PROGRESS), SW_SHOW);
    SetProgress(0);
    SetDlgItemTextA(hwnd, IDC_FILTER_AND_ADD_PROBE_TONE, kCancelText);
    UpdateWindow(hwnd);
}

void CAddProbeToneDlg::SetProgress(int percent) {
    SendDlgItemMessageA(hwnd, IDC_PROGRESS, PBM_SETPOS, WPARAM(percent), 0);
    // The message loop does not run while a file is processed: paint the bar now.
    UpdateWindow(GetDlgItem(hwnd, IDC_PROGRESS));
}

bool CAddProbeToneDlg::CancelRequested() {
    bool cancel = false;
    MSG msg;
    // One key message for the dialog or its controls; any key but Escape is dropped.
    if (PeekMessageA(&msg, hwnd, WM_KEYFIRST, WM_KEYLAST, PM_REMOVE) && msg.wParam == VK_ESCAPE) cancel = true;
    // A press anywhere in the dialog stops it too, and stays queued for normal handling.
    if (PeekMessageA(&msg, hwnd, WM_LBUTTONDOWN, WM_LBUTTONDOWN, PM_NOREMOVE)) cancel = true;
    return cancel;
}

void CAddProbeToneDlg::ShowIdle() {
    SendDlgItemMessageA(hwnd, IDC_PROGRESS, PBM_SETPOS, 0, 0);
    ShowWindow(GetDlgItem(hwnd, IDC_PROGRESS), SW_HIDE);
    SetDlgItemTextA(hwnd, IDC_FILTER_AND_ADD_PROBE_TONE, kActionText);
}

}  // namespace vorn
