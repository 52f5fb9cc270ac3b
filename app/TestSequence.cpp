#include "app/TestSequence.h"

#include "resources/resource.h"

#include <cstring>

namespace vorn {

namespace {
constexpr int kStepButtons[] = {IDC_CAPTURE_SEALED, IDC_CAPTURE_OPEN, IDC_PROCESS_RESULTS};
constexpr const char* kStepButtonTexts[] = {"Capture Sealed Data", "Capture Open Data", "Process Results"};
}  // namespace

std::string StimulusDisplayName(const char* path) {
    if (!path) return {};
    const char* slash = std::strrchr(path, '\\');
    return slash ? slash + 1 : path;
}

TestSequence::TestSequence(TestSettings& settings, char* stimulus, AnalyzerConnection& link, MainView& view)
    : settings_(settings), stimulus_(stimulus), link_(link), view_(view) {}

void TestSequence::OnDialogStart() {
    view_.SetProgress(0);
    view_.SetItemText(IDC_SEALED_RESULT, "");
    view_.SetItemText(IDC_OPEN_RESULT, "");
    view_.SetItemText(IDC_CORWITH_RESULT, "");
    UpdateControls();
}

bool TestSequence::OnCloseRequest() {
    cancelRequested_ = true;
    EndStep();
    if (link_.Linked()) link_.Disconnect();
    return true;
}

void TestSequence::EndStep() {
    view_.KillStepTimer();
    testRunning_ = false;
    link_.SendCommand("[Stop]");
    if (cancelRequested_) {
        state_ = TestState::Idle;
        UpdateControls();
        return;
    }
    UpdateControls();
}

void TestSequence::UpdateControls() {
    if (testRunning_) {
        for (int id : kStepButtons) view_.EnableItem(id, false);
        view_.EnableItem(IDC_SELECT_STIMULUS, false);
        view_.EnableItem(IDC_SETTINGS, false);
        int cancel = 0;
        switch (state_) {
        case TestState::SealedCapture: cancel = IDC_CAPTURE_SEALED; break;
        case TestState::OpenCapture: cancel = IDC_CAPTURE_OPEN; break;
        case TestState::DelaySearch:
        case TestState::Analysis: cancel = IDC_PROCESS_RESULTS; break;
        case TestState::Idle: break;
        }
        if (cancel) {
            view_.SetItemText(cancel, "Cancel");
            view_.EnableItem(cancel, true);
        }
        view_.ShowProgress(true);
        return;
    }
    view_.SetItemText(IDC_STIMULUS_NAME, StimulusDisplayName(stimulus_));
    for (int i = 0; i < 3; ++i) view_.SetItemText(kStepButtons[i], kStepButtonTexts[i]);
    view_.EnableItem(IDC_SELECT_STIMULUS, true);
    view_.EnableItem(IDC_SETTINGS, true);
    for (int id : kStepButtons) view_.EnableItem(id, true);
    view_.ShowProgress(false);
}

}  // namespace vorn
