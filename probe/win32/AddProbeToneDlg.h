// The probe-tone dialog "Add Probe Tone " (template 138): the operator enters a probe
// frequency and level, picks a stimulus, watches it being processed (Escape or a click
// in the dialog stops it between one-second blocks) and names the new file. It works on
// the main dialog's settings record, so the probe values it accepts are stored at once.
// The blank that ends its caption is kept: operators and the scripts that work the
// dialog find it by that caption.
#pragma once

#include "common/win32/ModalDialog.h"
#include "common/win32/WaveFileDialog.h"
#include "probe/ProbeToneView.h"
#include "settings/TestSettings.h"

#include <windows.h>

#include <string>

namespace vorn {

class CAddProbeToneDlg final : public ModalDialog, public ProbeToneView {
public:
    static constexpr const char* kActionText = "Filter and add probe tone to a stimulus file...";
    static constexpr const char* kCancelText = "Cancel";
    static constexpr const char* kOpenTitle = "Select Stimulus File";
    static constexpr const char* kSaveTitle = "Save New Stimulus File";

    explicit CAddProbeToneDlg(TestSettings* settings);

    INT_PTR DoModal(HWND parent);

    // ProbeToneView: the progress bar, the action button and the message queue.
    void ShowProcessing() override;
    void SetProgress(int percent) override;
    bool CancelRequested() override;
    void ShowIdle() override;

private:
    INT_PTR HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    BOOL OnDialogStart();
    void OnFilterAndAddProbeTone();
    bool AskFile(const char* title, FileDialogKind kind, std::string& path);
    std::string ItemText(int id) const;

    TestSettings* settings_;  // the main dialog's record, not a copy
};

}  // namespace vorn
