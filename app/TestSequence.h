// The state of the three-step test and what the main dialog's controls show of it.
// Portable: it reaches the window only through MainView, the analyzer through
// AnalyzerConnection, and the operator through the message sink.
#pragma once

#include "analyzer/AnalyzerConnection.h"
#include "app/MainView.h"
#include "settings/TestSettings.h"

#include <string>

namespace vorn {

enum class TestState { Idle = 0, SealedCapture = 1, OpenCapture = 2, DelaySearch = 3, Analysis = 4 };

// The file name part of a path: what follows its last backslash (the whole path when it
// has none).
std::string StimulusDisplayName(const char* path);

class TestSequence {
public:
    TestSequence(TestSettings& settings, char* stimulus, AnalyzerConnection& link, MainView& view);

    // Dialog start: progress 0, result labels empty, controls in line with the state.
    void OnDialogStart();
    // Window close or Escape. Returns true when the dialog may end.
    bool OnCloseRequest();
    void UpdateControls();
    // Ends the running step. With CancelRequested nothing is saved or read.
    void EndStep();

    TestState State() const { return state_; }
    bool TestRunning() const { return testRunning_; }

private:
    TestSettings& settings_;
    char* stimulus_;  // kStimulusFilenameSize characters, owned by the dialog
    AnalyzerConnection& link_;
    MainView& view_;
    TestState state_ = TestState::Idle;
    bool testRunning_ = false;
    bool cancelRequested_ = false;
};

}  // namespace vorn
