// What AddProbeTone shows and asks while it runs: the dialog's progress bar and action
// button (its message queue for a cancel), the command line's progress display, or a
// test's recorder.
#pragma once

namespace vorn {

class ProbeToneView {
public:
    virtual ~ProbeToneView() = default;
    // Progress shown at 0, the action button reads "Cancel".
    virtual void ShowProcessing() = 0;
    virtual void SetProgress(int percent) = 0;
    // Asked once after each whole block (never after the remainder): did the operator
    // ask to stop?
    virtual bool CancelRequested() = 0;
    // Progress back at 0 and hidden, the action button reads as before.
    virtual void ShowIdle() = 0;
};

}  // namespace vorn
