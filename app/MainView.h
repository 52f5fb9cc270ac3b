// What the test sequence needs of the main dialog window: texts, enable states, the
// progress bar, the step timer and the window's show state. The Win32 dialog
// implements it; tests use a fake that records every call.
#pragma once

#include <string>

namespace vorn {

class MainView {
public:
    virtual ~MainView() = default;
    virtual void SetItemText(int id, const std::string& text) = 0;
    virtual void EnableItem(int id, bool enabled) = 0;
    virtual void ShowProgress(bool shown) = 0;
    virtual void SetProgress(int position) = 0;  // 0 .. 100
    virtual void ArmStepTimer() = 0;             // one-shot use: every handled tick kills it
    virtual void KillStepTimer() = 0;
    virtual void MinimizeAndRestore() = 0;
    // The open-file dialog for a stimulus wave file, starting in initialFolder.
    // True with the chosen path when the operator confirmed.
    virtual bool AskStimulusFile(const std::string& initialFolder, std::string& path) = 0;
};

}  // namespace vorn
