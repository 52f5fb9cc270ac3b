// The main dialog "VORN Test Control": the window side of the test. It owns the
// settings record and the stimulus path (loaded at construction, saved at destruction),
// shows what TestSequence tells it, and passes button presses, timer ticks and the
// close request on to it.
#pragma once

#include "analyzer/AnalyzerConnection.h"
#include "app/Clock.h"
#include "app/MainView.h"
#include "app/TestSequence.h"
#include "settings/SettingsFile.h"
#include "settings/TestSettings.h"

#include <windows.h>

namespace vorn {

class CVORNDlg final : public MainView {
public:
    CVORNDlg(HINSTANCE instance, SettingsFile& settingsFile, AnalyzerConnection& link, Clock& clock);
    ~CVORNDlg() override;
    CVORNDlg(const CVORNDlg&) = delete;
    CVORNDlg& operator=(const CVORNDlg&) = delete;

    // Runs the dialog modally; returns when it has closed.
    INT_PTR DoModal(HWND parent = nullptr);
    HWND Window() const { return hwnd_; }
    const TestSettings& Settings() const { return settings_; }
    const char* StimulusFilename() const { return stimulus_; }
    TestSequence& Sequence() { return sequence_; }

    // MainView
    void SetItemText(int id, const std::string& text) override;
    void EnableItem(int id, bool enabled) override;
    void ShowProgress(bool shown) override;
    void SetProgress(int position) override;
    void ArmStepTimer() override;
    void KillStepTimer() override;
    void MinimizeAndRestore() override;
    bool AskStimulusFile(const std::string& initialFolder, std::string& path) override;

private:
    static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    INT_PTR HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    BOOL OnDialogStart();
    void OnCommand(int id);
    void OnCloseRequest();
    void OnSettings();
    bool OnPaintMinimized();
    void CreateLabelFonts();
    void ReleaseLabelFonts();

    HINSTANCE instance_;
    SettingsFile& settingsFile_;
    TestSettings settings_;
    char stimulus_[kStimulusFilenameSize] = {};
    TestSequence sequence_;
    HWND hwnd_ = nullptr;
    HICON icon_ = nullptr;
    HICON smallIcon_ = nullptr;
    HFONT titleFont_ = nullptr;   // label 1049
    HFONT labelFont_ = nullptr;   // labels 1040, 1045, 1046
    HFONT resultFont_ = nullptr;  // label 1042
};

}  // namespace vorn
