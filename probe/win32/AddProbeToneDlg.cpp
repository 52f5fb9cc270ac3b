#include "probe/win32/AddProbeToneDlg.h"

#include "common/MessageSink.h"
#include "probe/ProbeTone.h"
#include "resources/resource.h"
#include "wave/WaveFile.h"

#include <commctrl.h>

#include <cstdio>
#include <cstring>
#include <memory>

namespace vorn {

CAddProbeToneDlg::CAddProbeToneDlg(TestSettings* record) : settings_(record) {}

INT_PTR CAddProbeToneDlg::DoModal(HWND parent) { return RunModal(GetModuleHandleA(nullptr), IDD_ADD_PROBE_TONE, parent); }

INT_PTR CAddProbeToneDlg::HandleMessage(UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
    case WM_INITDIALOG: return OnDialogStart();
    case WM_COMMAND:
        if (LOWORD(wParam) == IDC_FILTER_AND_ADD_PROBE_TONE) OnFilterAndAddProbeTone();
        else if (LOWORD(wParam) == IDCANCEL) EndDialog(Window(), IDCANCEL);
        return TRUE;
    default: return FALSE;
    }
}

BOOL CAddProbeToneDlg::OnDialogStart() {
    char text[32];
    std::snprintf(text, sizeof text, "%6.1f", double(settings_->ProbeFreq));
    SetDlgItemTextA(Window(), IDC_PROBE_FREQ, text);
    std::snprintf(text, sizeof text, "%6.1f", double(settings_->ProbeLevelDBr));
    SetDlgItemTextA(Window(), IDC_PROBE_LEVEL, text);
    SendDlgItemMessageA(Window(), IDC_PROGRESS, PBM_SETPOS, 0, 0);
    ShowWindow(GetDlgItem(Window(), IDC_PROGRESS), SW_HIDE);
    return TRUE;
}

std::string CAddProbeToneDlg::ItemText(int id) const {
    char text[256] = {};
    GetDlgItemTextA(Window(), id, text, sizeof text);
    return text;
}

void CAddProbeToneDlg::OnFilterAndAddProbeTone() {
    const float frequency = ParseProbeValue(ItemText(IDC_PROBE_FREQ));
    const float level = ParseProbeValue(ItemText(IDC_PROBE_LEVEL));
    if (const char* refused = CheckProbeValues(frequency, level)) {
        ShowMessage(ApplicationTitle(), refused, MessageIcon::Stop);
        return;
    }
    settings_->ProbeFreq = frequency;
    settings_->ProbeLevelDBr = level;

    std::string source;
    if (!AskFile(kOpenTitle, FileDialogKind::Open, source)) return;
    std::unique_ptr<TWaveFile> file = OpenStimulus(source);
    if (!file) return;
    if (!AddProbeTone(file.get(), frequency, level, *this)) return;
    std::string target;
    // The stimulus itself may be chosen: the save dialog asks before it replaces a file,
    // and the whole stimulus is in memory and replaced in one rename, so nothing is lost.
    if (!AskFile(kSaveTitle, FileDialogKind::Save, target)) return;
    SaveNewStimulus(*file, target);
}

bool CAddProbeToneDlg::AskFile(const char* title, FileDialogKind kind, std::string& path) {
    // The record's field may be full to its last byte; never read past it.
    const std::string folder(settings_->OutputFolder, strnlen(settings_->OutputFolder, sizeof settings_->OutputFolder));
    return AskWaveFile(Window(), kind, title, folder + "\\Stimulus", path);
}

void CAddProbeToneDlg::ShowProcessing() {
    ShowWindow(GetDlgItem(Window(), IDC_PROGRESS), SW_SHOW);
    SetProgress(0);
    SetDlgItemTextA(Window(), IDC_FILTER_AND_ADD_PROBE_TONE, kCancelText);
    UpdateWindow(Window());
}

void CAddProbeToneDlg::SetProgress(int percent) {
    SendDlgItemMessageA(Window(), IDC_PROGRESS, PBM_SETPOS, WPARAM(percent), 0);
    // The message loop does not run while a file is processed: paint the bar now.
    UpdateWindow(GetDlgItem(Window(), IDC_PROGRESS));
}

bool CAddProbeToneDlg::CancelRequested() {
    bool cancel = false;
    MSG msg;
    // One key message for the dialog or its controls; any key but Escape is dropped.
    if (PeekMessageA(&msg, Window(), WM_KEYFIRST, WM_KEYLAST, PM_REMOVE) && msg.wParam == VK_ESCAPE) cancel = true;
    // A press anywhere in the dialog stops it too, and stays queued for normal handling.
    if (PeekMessageA(&msg, Window(), WM_LBUTTONDOWN, WM_LBUTTONDOWN, PM_NOREMOVE)) cancel = true;
    return cancel;
}

void CAddProbeToneDlg::ShowIdle() {
    SendDlgItemMessageA(Window(), IDC_PROGRESS, PBM_SETPOS, 0, 0);
    ShowWindow(GetDlgItem(Window(), IDC_PROGRESS), SW_HIDE);
    SetDlgItemTextA(Window(), IDC_FILTER_AND_ADD_PROBE_TONE, kActionText);
}

}  // namespace vorn
