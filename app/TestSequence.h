// The three-step test: a capture with the object sealed, one with it open, and the
// processing of both (a delay-search pass and an analysis pass) into the Corwith
// Number. Each step runs a command script (analyzer/CommandScripts.h), then waits on
// the dialog's 200 ms one-shot step timer (a capture for TestDuration seconds, a
// processing pass until the analyzer's "Current Time" passes TestDuration - 1), and
// ends in EndStep. With AutoProcess the end of one step starts the next from inside
// EndStep, so one press runs the whole test:
//   Idle -> SealedCapture -> OpenCapture -> DelaySearch -> Analysis -> Idle
// Cancel (a step button while it reads "Cancel") and a close go straight to Idle.
//
// A step fails when the analyzer does not take one of its commands, a reading never
// comes or holds no number, or the result cannot be computed: the step's label then
// says so instead of showing a number, the step ends at once (a processing pass that
// cannot read "Current Time" would otherwise never end) and an automatic run stops
// there. When the conversation cannot be reopened at the start of a script, the step
// does not start and the operator is asked, as at a button press without a link.
//
// Portable: it reaches the window through MainView, the analyzer through
// AnalyzerConnection, time through Clock and the operator through the message sink.
#pragma once

#include "analyzer/AnalyzerConnection.h"
#include "analyzer/CommandScripts.h"
#include "app/Clock.h"
#include "app/MainView.h"
#include "app/TestOutcome.h"
#include "settings/TestSettings.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace vorn {

enum class TestState { Idle = 0, SealedCapture = 1, OpenCapture = 2, DelaySearch = 3, Analysis = 4 };

// Texts the operator sees; each is used by the code and by the tests.
// The capital "Stimulus", the capitals of "Calculating Results..." and the double blank
// in the link question are kept on purpose: operators and their written procedures
// know these texts as they stand, so they are not to be tidied.
inline constexpr const char* kNoStimulusMessage = "A Stimulus file has not been selected yet.";
inline constexpr const char* kNoLinkQuestion =
    "Failure establishing a communication link to the Tonalith-SC signal processor.  "
    "Do you want to open the analyzer program now?";
inline constexpr const char* kExitWhileRunningQuestion = "The test is still running - are you sure you want to exit?";
inline constexpr const char* kBadTestDurationMessage =
    "The test duration (TestDuration in VORN.ini) must be greater than zero. "
    "Please correct it in the Settings dialog.";
inline constexpr const char* kBadAutoProcessDelayMessage =
    "The delay before capturing open data (AutoProcessDelay in VORN.ini) must be greater than zero. "
    "Please correct it in the Settings dialog.";
inline constexpr const char* kStimulusPathTooLongMessage =
    "The path of the chosen stimulus file is longer than 255 characters. "
    "Please move the file to a folder with a shorter path.";
inline constexpr const char* kOutputFolderTooLongMessage =
    "The output folder (OutputFolder in VORN.ini) is too long for the analyzer's files below it "
    "(259 characters at most). Please choose a shorter folder in the Settings dialog.";
inline constexpr const char* kCapturingText = "Capturing data...";
inline constexpr const char* kCalculatingText = "Calculating Results...";
inline constexpr const char* kChangeTransducerText = "Please change the transducer...";
// A failed step's label: no number, so that nothing reads as a measurement. Short
// enough for the label; people and scripts look for the words before the dash.
inline constexpr const char* kCaptureFailedText = "Capture failed - no answer";
inline constexpr const char* kProcessingFailedText = "Processing failed - no answer";
inline constexpr const char* kCaptureCancelledText = "Capture cancelled";
inline constexpr const char* kProcessingCancelledText = "Processing cancelled";

// The file name part of a path: what follows its last backslash (the whole path when it
// has none).
std::string StimulusDisplayName(const std::string& path);

class TestSequence {
public:
    // Computes the Corwith Number at the end of the analysis pass (nothing after a
    // failure); ComputeCorwithNumber over the sequence's link unless a test puts
    // another in place.
    using ResultComputation = std::function<std::optional<float>()>;

    // settings and stimulus: the main dialog's record and stimulus path, which the
    // sequence reads at each step and the stimulus selection changes.
    TestSequence(TestSettings& settings, std::string& stimulus, AnalyzerConnection& link, MainView& view,
                 Clock& clock);
    ~TestSequence();
    TestSequence(const TestSequence&) = delete;  // the default result computation refers to this object
    TestSequence& operator=(const TestSequence&) = delete;

    // Receives every test that reached its Corwith Number and every step that failed or
    // was cancelled (the results journal).
    using OutcomeHandler = std::function<void(const TestOutcome&)>;

    void SetResultComputation(ResultComputation compute) { computeResult_ = std::move(compute); }
    void SetOutcomeHandler(OutcomeHandler handler) { outcome_ = std::move(handler); }

    // Dialog start: progress 0, result labels empty, controls in line with the state.
    void OnDialogStart();
    // Window close or Escape. Returns true when the dialog may end.
    bool OnCloseRequest();

    void OnCaptureSealed();
    void OnCaptureOpen();
    void OnProcessResults();
    void OnSelectStimulus();
    // A tick of the step timer (the dialog passes on its own timer's only).
    void OnStepTimer();
    void EndStep();
    void UpdateControls();

    TestState State() const { return state_; }
    bool TestRunning() const { return testRunning_; }
    bool CancelRequested() const { return cancelRequested_; }

private:
    // The common start of the three step buttons; false when the step must not start.
    bool PrepareStep();
    bool SettingsAllowAStep();
    bool EnsureLinked();
    void AskToLaunchAnalyzer();
    void BeginCapture();
    void BeginProcessing();
    void BeginAnalysisPass();
    void TickCapture();
    void TickProcessing();
    bool FinishCapture(bool openCapture);
    void FinishAnalysis(bool stopped);
    bool Reconnect();
    void AbortStep();
    void RefuseStepWithoutLink();
    void ShowStepFailed();
    std::optional<TestStep> RunningStep() const;
    void ShowCancelled();
    bool RunScript(const CommandScript& script);
    std::optional<float> RequestNumber(const char* item, std::size_t capacity);
    std::uint32_t DelayMilliseconds(float seconds) const;
    void Report(const std::string& status, std::optional<float> corwith = std::nullopt,
                Verdict verdict = Verdict::None);

    TestSettings& settings_;
    std::string& stimulus_;  // at most kMaxStimulusPathChars characters
    AnalyzerConnection& link_;
    MainView& view_;
    Clock& clock_;
    ResultComputation computeResult_;
    OutcomeHandler outcome_;
    // This test's values as shown, and the rows the default computation used.
    std::optional<float> sealedPower_, openPower_;
    std::vector<SpectrumPoint> spectrum_;

    TestState state_ = TestState::Idle;
    bool testRunning_ = false;
    bool cancelRequested_ = false;
    bool askingToClose_ = false;  // the exit question is on screen
    // The button the keyboard goes to when the sequence is idle: the step that comes
    // next, or the one that failed or was cancelled, to be tried again.
    TestStep nextStep_ = TestStep::SealedCapture;
    // Kept as the exact tick count: elapsed time is taken by unsigned modular
    // subtraction, so it stays exact after days of uptime and across the 49.7-day wrap.
    std::uint32_t captureStartTick_ = 0;
};

}  // namespace vorn
