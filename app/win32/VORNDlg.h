// The main dialog "VORN Test Control": the window side of the test. It owns the
// settings record and the stimulus path (loaded at construction, saved at destruction),
// shows what TestSequence tells it, and passes button presses, step-timer ticks and the
// close request on to it. It is the one place that knows the main dialog's controls.
#pragma once

#include "analyzer/AnalyzerConnection.h"
#include "app/Clock.h"
#include "app/MainView.h"
#include "app/ResultsKeeper.h"
#include "app/TestSequence.h"
#include "common/win32/ModalDialog.h"
#include "settings/SettingsFile.h"
#include "settings/TestSettings.h"

#include <windows.h>

#include <map>
#include <string>

namespace vorn {

class CVORNDlg final : public ModalDialog, public MainView {
public:
    CVORNDlg(HINSTANCE instance, SettingsFile& settingsFile, AnalyzerConnection& link, Clock& clock);
    ~CVORNDlg() override;

    // Runs the dialog modally; returns when it has closed.
    INT_PTR DoModal(HWND parent = nullptr);
    const TestSettings& Settings() const { return settings_; }
    const std::string& Stimulus() const { return stimulus_; }

    // MainView
    void ShowStimulusName(const std::string& name) override;
    void ShowStepResult(TestStep step, const std::string& text) override;
    void ShowStepButton(TestStep step, const std::string& caption, bool enabled) override;
    void EnableSetupButtons(bool enabled) override;
    void ShowProgress(bool shown) override;
    void SetProgress(int position) override;
    void ArmStepTimer() override;
    void KillStepTimer() override;
    void MinimizeAndRestore() override;
    void HoldInput(bool held) override;
    void FocusStepButton(TestStep step) override;
    bool AskStimulusFile(const std::string& initialFolder, std::string& path) override;
    void ShowVerdict(Verdict verdict) override;

private:
    INT_PTR HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    BOOL OnDialogStart();
    void OnCommand(int id);
    void OnStepTimer(UINT_PTR timerId);
    void OnCloseRequest();
    void OnSettings();
    bool OnPaintMinimized();
    INT_PTR OnLabelColour(HDC dc, HWND label);
    bool OnSystemCommand(WPARAM command);
    void OnResultsReport();
    void CreateLabelFonts();
    void ReleaseLabelFonts();
    void EnableButton(int id, bool enabled);
    void FitLabel(int id);
    void ApplyFocus();

    HINSTANCE instance_;
    SettingsFile& settingsFile_;
    TestSettings settings_;
    std::string stimulus_;
    TestSequence sequence_;
    ResultsKeeper results_;
    Verdict verdict_ = Verdict::None;  // the colour of the Corwith Number's label
    HICON icon_ = nullptr;
    HICON smallIcon_ = nullptr;
    HFONT titleFont_ = nullptr;   // the title label
    HFONT labelFont_ = nullptr;   // the stimulus name and the two total powers
    HFONT resultFont_ = nullptr;  // the Corwith Number
    // A smaller font for each result label whose text would not fit in its own.
    std::map<int, HFONT> fittedFonts_;
    int holds_ = 0;
    std::map<int, bool> buttonEnabled_;  // as the sequence asked: applies when no hold is on
    int focusId_ = 0;                    // asked for during a hold; 0 for none
};

}  // namespace vorn
