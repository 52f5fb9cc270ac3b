// What the test sequence needs of the main dialog window: the stimulus name, each step's
// button and result, the progress bar, the step timer and the window's show state. The
// Win32 dialog implements it (the only place that knows its controls); tests use a fake
// that records every call.
#pragma once

#include "results/Verdict.h"

#include <string>

namespace vorn {

// The test's three steps as the window shows them: each has a button and, beside it, a
// label for its outcome (the processing step's is the Corwith Number).
enum class TestStep { SealedCapture, OpenCapture, Processing };

class MainView {
public:
    virtual ~MainView() = default;
    // The chosen stimulus file's name beside "Select Stimulus".
    virtual void ShowStimulusName(const std::string& name) = 0;
    // The label beside the step's button: what it measured, that it runs, or that it failed.
    virtual void ShowStepResult(TestStep step, const std::string& text) = 0;
    virtual void ShowStepButton(TestStep step, const std::string& caption, bool enabled) = 0;
    // "Select Stimulus" and "Settings...", which may only be used between steps.
    virtual void EnableSetupButtons(bool enabled) = 0;
    virtual void ShowProgress(bool shown) = 0;
    virtual void SetProgress(int position) = 0;  // 0 .. 100
    virtual void ArmStepTimer() = 0;             // one-shot use: every handled tick kills it
    virtual void KillStepTimer() = 0;
    virtual void MinimizeAndRestore() = 0;
    // While held, the window can act on nothing (the sequence blocks in a script, a wait
    // or a reading): every button looks disabled, and the enable states and the focus
    // asked for meanwhile apply when the outermost hold ends. Holds nest.
    virtual void HoldInput(bool held) = 0;
    // The keyboard goes to the step's button (its Cancel while the step runs).
    virtual void FocusStepButton(TestStep step) = 0;
    // The open-file dialog for a stimulus wave file, starting in initialFolder.
    // True with the chosen path when the operator confirmed.
    virtual bool AskStimulusFile(const std::string& initialFolder, std::string& path) = 0;
    // The Corwith Number's verdict, at a glance and by ear: it lasts until the processing
    // label changes. Nothing to show without limits.
    virtual void ShowVerdict(Verdict) {}
};

}  // namespace vorn
