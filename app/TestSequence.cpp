#include "app/TestSequence.h"

#include "analyzer/AnalyzerCommands.h"
#include "analyzer/CommandScripts.h"
#include "analyzer/LeadingNumber.h"
#include "app/CorwithNumber.h"
#include "common/Format.h"
#include "common/MessageSink.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <vector>

namespace vorn {

namespace {

constexpr TestStep kSteps[] = {TestStep::SealedCapture, TestStep::OpenCapture, TestStep::Processing};
constexpr const char* kCancelText = "Cancel";

const char* StepButtonText(TestStep step) {
    switch (step) {
    case TestStep::SealedCapture: return "Capture Sealed Data";
    case TestStep::OpenCapture: return "Capture Open Data";
    case TestStep::Processing: break;
    }
    return "Process Results";
}

TestStep CaptureStep(bool openCapture) { return openCapture ? TestStep::OpenCapture : TestStep::SealedCapture; }

// The analyzer opens and writes files below OutputFolder; a Windows program cannot use
// a path longer than 259 characters, and the longest of them is the configuration file.
constexpr std::size_t kLongestPath = 259;
constexpr std::string_view kLongestFileBelowFolder = "\\Config\\CaptureData.cfg";

bool IsPositive(float value) { return std::isfinite(value) && value > 0.0f; }

// The bar's position from a value the sequence computed; a garbage analyzer reply can
// make it huge or not a number, and such a value must not reach an int conversion.
int ProgressPosition(float value) {
    if (!(value > 0.0f)) return 0;
    return value >= 100.0f ? 100 : static_cast<int>(value);
}

// Holds the view's input for as long as the sequence blocks in this scope.
class InputHold {
public:
    explicit InputHold(MainView& view) : view_(view) { view_.HoldInput(true); }
    ~InputHold() { view_.HoldInput(false); }
    InputHold(const InputHold&) = delete;
    InputHold& operator=(const InputHold&) = delete;

private:
    MainView& view_;
};

TestStep NextStep(TestStep step) {
    switch (step) {
    case TestStep::SealedCapture: return TestStep::OpenCapture;
    case TestStep::OpenCapture: return TestStep::Processing;
    case TestStep::Processing: break;
    }
    return TestStep::SealedCapture;
}

}  // namespace

std::string StimulusDisplayName(const std::string& path) { return path.substr(path.find_last_of('\\') + 1); }

TestSequence::TestSequence(TestSettings& settings, std::string& stimulus, AnalyzerConnection& link, MainView& view,
                           Clock& clock)
    : settings_(settings), stimulus_(stimulus), link_(link), view_(view), clock_(clock) {
    computeResult_ = [this]() -> std::optional<float> {
        bool failed = false;
        const float result = ComputeCorwithNumber(link_, settings_.SpanStartFreq, settings_.SpanStopFreq,
                                                  settings_.CorwithNumberScaleFactor, &failed, &spectrum_);
        if (failed) return std::nullopt;
        return result;
    };
    // A reading or command the analyzer is slow to answer blocks the window like a script.
    link_.SetWaitHandler([this](bool waiting) { view_.HoldInput(waiting); });
}

TestSequence::~TestSequence() { link_.SetWaitHandler(nullptr); }

void TestSequence::OnDialogStart() {
    view_.SetProgress(0);
    for (TestStep step : kSteps) view_.ShowStepResult(step, "");
    UpdateControls();
}

bool TestSequence::OnCloseRequest() {
    if (testRunning_) {
        askingToClose_ = true;
        const MessageAnswer answer = Messages().Show(ApplicationTitle(), kExitWhileRunningQuestion,
                                                     MessageIcon::Exclamation, MessageButtons::YesNo);
        askingToClose_ = false;
        if (answer != MessageAnswer::Yes) return false;
    }
    cancelRequested_ = true;
    EndStep();
    if (link_.Linked()) link_.Disconnect();
    return true;
}

// ---- the step buttons -------------------------------------------------------------

bool TestSequence::PrepareStep() {
    cancelRequested_ = false;
    if (testRunning_) {  // the button reads "Cancel"
        cancelRequested_ = true;
        EndStep();
        return false;
    }
    if (stimulus_.size() < 3) {
        ShowMessage(ApplicationTitle(), kNoStimulusMessage, MessageIcon::Stop);
        return false;
    }
    return SettingsAllowAStep();
}

// Values only an edited INI file can hold would make a step wait for weeks or send a
// path that breaks the command it is put in: refuse the step before anything is sent.
bool TestSequence::SettingsAllowAStep() {
    if (!IsPositive(settings_.TestDuration)) {
        ShowMessage(ApplicationTitle(), kBadTestDurationMessage, MessageIcon::Stop);
        return false;
    }
    if (settings_.AutoProcess && !IsPositive(settings_.AutoProcessDelay)) {
        ShowMessage(ApplicationTitle(), kBadAutoProcessDelayMessage, MessageIcon::Stop);
        return false;
    }
    if (strnlen(settings_.OutputFolder, sizeof settings_.OutputFolder) + kLongestFileBelowFolder.size() > kLongestPath) {
        ShowMessage(ApplicationTitle(), kOutputFolderTooLongMessage, MessageIcon::Stop);
        return false;
    }
    for (const char* path : {static_cast<const char*>(settings_.OutputFolder), stimulus_.c_str()}) {
        if (!IsCommandSafePath(path)) {
            ShowMessage(ApplicationTitle(), UnsafeCommandPathMessage(path), MessageIcon::Stop);
            return false;
        }
    }
    return true;
}

bool TestSequence::EnsureLinked() {
    if (link_.Linked() || link_.Connect()) return true;
    AskToLaunchAnalyzer();
    return false;
}

void TestSequence::AskToLaunchAnalyzer() {
    if (Messages().Show(ApplicationTitle(), kNoLinkQuestion, MessageIcon::Stop, MessageButtons::YesNo) ==
        MessageAnswer::Yes)
        link_.LaunchAnalyzer();
}

void TestSequence::OnCaptureSealed() {
    if (!PrepareStep()) return;
    view_.ShowStepResult(TestStep::Processing, "");
    if (settings_.AutoProcess) view_.ShowStepResult(TestStep::OpenCapture, "");
    UpdateControls();
    if (!EnsureLinked()) return;
    InputHold hold(view_);
    view_.ShowStepResult(TestStep::SealedCapture, kCapturingText);
    view_.SetProgress(1);
    state_ = TestState::SealedCapture;
    BeginCapture();
    view_.ShowProgress(true);
    UpdateControls();
}

void TestSequence::OnCaptureOpen() {
    if (!PrepareStep()) return;
    if (!EnsureLinked()) return;
    InputHold hold(view_);
    view_.ShowStepResult(TestStep::Processing, "");
    view_.ShowStepResult(TestStep::OpenCapture, kCapturingText);
    UpdateControls();
    view_.SetProgress(1);
    state_ = TestState::OpenCapture;
    BeginCapture();
    view_.ShowProgress(true);
    UpdateControls();
}

void TestSequence::OnProcessResults() {
    if (!PrepareStep()) return;
    if (!EnsureLinked()) return;
    InputHold hold(view_);
    view_.SetProgress(0);
    view_.ShowStepResult(TestStep::Processing, kCalculatingText);
    UpdateControls();
    BeginProcessing();
    UpdateControls();
}

void TestSequence::OnSelectStimulus() {
    std::string chosen;
    if (view_.AskStimulusFile(std::string(settings_.OutputFolder) + "\\Stimulus", chosen)) {
        // A longer path would be cut where it is stored and name another file.
        if (chosen.size() > kMaxStimulusPathChars) {
            ShowMessage(ApplicationTitle(), kStimulusPathTooLongMessage, MessageIcon::Stop);
        } else {
            stimulus_ = std::move(chosen);
            for (TestStep step : kSteps) view_.ShowStepResult(step, "");
        }
    }
    UpdateControls();
}

// ---- the command scripts ------------------------------------------------------------

// The whole script is sent even after a refusal (as the analyzer expects its commands
// in order); the result says whether every command was taken.
bool TestSequence::RunScript(const CommandScript& script) {
    bool allTaken = true;
    for (const ScriptStep& step : script) {
        allTaken = link_.SendCommand(step.command.c_str()) && allTaken;
        if (step.waitAfterMs) clock_.Wait(step.waitAfterMs);
    }
    return allTaken;
}

// Nothing when the request failed or its reply does not start with a number: a reading
// that never came must not pass for a measured 0.
std::optional<float> TestSequence::RequestNumber(const char* item, std::size_t capacity) {
    std::vector<char> reply(capacity, '\0');
    if (!link_.RequestData(item, reply.data(), reply.size())) return std::nullopt;
    const char* text = reply.data();
    double value = 0.0;
    if (ReadLeadingNumber(text, text + strnlen(text, capacity), value) == text) return std::nullopt;
    return static_cast<float>(value);
}

// Every script that starts a step runs on a fresh conversation.
bool TestSequence::Reconnect() {
    link_.Disconnect();
    return link_.Connect();
}

void TestSequence::ShowStepFailed() {
    const char* text = kProcessingFailedText;
    if (state_ == TestState::SealedCapture || state_ == TestState::OpenCapture) {
        text = kCaptureFailedText;
        nextStep_ = CaptureStep(state_ == TestState::OpenCapture);
        view_.ShowStepResult(nextStep_, text);
        // Its label no longer shows the power, so the journal does not keep it either.
        (state_ == TestState::OpenCapture ? openPower_ : sealedPower_).reset();
    } else {
        nextStep_ = TestStep::Processing;
        view_.ShowStepResult(TestStep::Processing, text);
        state_ = TestState::Idle;
    }
    view_.ShowProgress(false);
    Report(text);
}

void TestSequence::Report(const std::string& status, std::optional<float> corwith, Verdict verdict) {
    if (!outcome_) return;
    TestOutcome outcome{status, sealedPower_, openPower_, corwith, verdict, {}};
    if (corwith) outcome.spectrum = std::move(spectrum_);
    spectrum_.clear();
    outcome_(outcome);
}

// The analyzer failed the running step: stop whatever it started and end the step.
void TestSequence::AbortStep() {
    view_.KillStepTimer();
    testRunning_ = false;
    link_.SendCommand(StopCommand().c_str());
    ShowStepFailed();
    UpdateControls();
}

// The analyzer stopped serving between two steps (closed, crashed): the step cannot run.
void TestSequence::RefuseStepWithoutLink() {
    view_.KillStepTimer();
    testRunning_ = false;
    ShowStepFailed();
    UpdateControls();
    AskToLaunchAnalyzer();
}

void TestSequence::BeginCapture() {
    // A sealed capture begins a new test: neither earlier power belongs to it.
    if (state_ == TestState::SealedCapture) sealedPower_.reset(), openPower_.reset();
    else openPower_.reset();
    if (!Reconnect()) return RefuseStepWithoutLink();
    const bool taken = RunScript(CaptureScript({settings_.OutputFolder, settings_.InputDevIndex,
                                                settings_.OutputDevIndex, stimulus_, settings_.MinimizeAnalyzer != 0}));
    captureStartTick_ = clock_.TickCount();
    if (!taken) return AbortStep();
    testRunning_ = true;
    UpdateControls();
    view_.ArmStepTimer();
}

void TestSequence::BeginProcessing() {
    state_ = TestState::DelaySearch;
    if (!Reconnect()) return RefuseStepWithoutLink();
    if (!RunScript(ProcessingScript(settings_.OutputFolder, settings_.MinimizeAnalyzer != 0))) return AbortStep();
    testRunning_ = true;
    UpdateControls();
    view_.ArmStepTimer();
}

void TestSequence::BeginAnalysisPass() {
    InputHold hold(view_);
    if (!Reconnect()) return RefuseStepWithoutLink();
    const bool stopped = RunScript(DelaySearchEndScript());
    state_ = TestState::Analysis;
    // Without the delay found, the analysis pass would run on a made-up one.
    const std::optional<float> delay = RequestNumber(kDelayFinderItem, kDelayFinderCapacity);
    if (!stopped || !delay || !RunScript(AnalysisPassScript(*delay))) return AbortStep();
    testRunning_ = true;
    UpdateControls();
    view_.ArmStepTimer();
}

// ---- the step timer --------------------------------------------------------------------

void TestSequence::OnStepTimer() {
    // The timer still ticks under the exit question. A step that went on there would
    // block the question behind its scripts (for a whole time-out each if the analyzer
    // hangs) and start what the operator may be about to abandon: the tick is left
    // alive and the step goes on with the first one after a No.
    if (askingToClose_) return;
    if (!testRunning_ || !link_.Linked()) return;
    view_.KillStepTimer();
    if (state_ == TestState::SealedCapture || state_ == TestState::OpenCapture) TickCapture();
    // Read afresh: the capture's end may have started the next step.
    if (state_ == TestState::DelaySearch || state_ == TestState::Analysis) TickProcessing();
}

void TestSequence::TickCapture() {
    const std::uint32_t elapsedTicks = clock_.TickCount() - captureStartTick_;  // modular: exact across the wrap
    const float elapsed = static_cast<float>(elapsedTicks);
    const double duration = static_cast<double>(settings_.TestDuration) * 1000.0;
    const float fraction = static_cast<float>(static_cast<double>(elapsed) / duration);
    view_.SetProgress(ProgressPosition(fraction * 100.0f));
    if (static_cast<double>(elapsed) > duration)
        EndStep();
    else
        view_.ArmStepTimer();
}

void TestSequence::TickProcessing() {
    const std::optional<float> time = RequestNumber(kCurrentTimeItem, kCurrentTimeCapacity);
    if (!time) return AbortStep();  // the pass's end could never be seen
    const float t = *time;
    const float r = static_cast<float>(static_cast<double>(t) / static_cast<double>(settings_.TestDuration));
    view_.SetProgress(ProgressPosition(state_ == TestState::DelaySearch ? r * 50.0f : r * 50.0f + 50.0f));
    if (static_cast<double>(t) > static_cast<double>(settings_.TestDuration) - 1.0) {
        if (state_ == TestState::DelaySearch)
            BeginAnalysisPass();
        else
            EndStep();
    } else {
        view_.ArmStepTimer();
    }
}

// ---- the end of a step ---------------------------------------------------------------

std::uint32_t TestSequence::DelayMilliseconds(float seconds) const {
    const double ms = static_cast<double>(seconds) * 1000.0;
    if (!(ms > 0.0)) return 0;
    return ms >= 4294967294.0 ? 4294967294u : static_cast<std::uint32_t>(ms);  // never INFINITE
}

// False when the capture was not stopped, saved or kept on the display, or its total
// power could not be read: the next steps would then work on a capture that is not there.
bool TestSequence::FinishCapture(bool openCapture) {
    const bool saved = RunScript(CaptureSaveScript(settings_.OutputFolder, openCapture));
    const std::optional<float> totalPower = RequestNumber(kTotalPowerItem, kTotalPowerCapacity);
    (openCapture ? openPower_ : sealedPower_) = totalPower;
    if (totalPower)
        view_.ShowStepResult(CaptureStep(openCapture), Format("Total Power (SPL) = %6.2f", static_cast<double>(*totalPower)));
    const bool kept = RunScript(CaptureOverlayScript(openCapture));
    view_.ShowProgress(false);
    return saved && totalPower && kept;
}

void TestSequence::FinishAnalysis(bool stopped) {
    const bool saved = RunScript(AnalysisSaveScript(settings_.OutputFolder));
    const std::optional<float> corwith = stopped && saved && computeResult_ ? computeResult_() : std::nullopt;
    if (corwith) {
        view_.ShowStepResult(TestStep::Processing, Format("Corwith Number = %6.2f", static_cast<double>(*corwith)));
        const Verdict verdict = Judge(*corwith, {settings_.CorwithLimitLow, settings_.CorwithLimitHigh});
        view_.ShowVerdict(verdict);
        state_ = TestState::Idle;
        nextStep_ = TestStep::SealedCapture;
        Report(kOutcomeOk, corwith, verdict);
    } else {
        ShowStepFailed();
    }
    view_.MinimizeAndRestore();
}

void TestSequence::EndStep() {
    InputHold hold(view_);
    view_.KillStepTimer();
    const bool wasRunning = testRunning_;
    testRunning_ = false;
    const bool stopped = link_.SendCommand(StopCommand().c_str());
    if (cancelRequested_) {
        ShowCancelled();
        state_ = TestState::Idle;
        if (wasRunning) Report(kOutcomeCancelled);
        UpdateControls();
        return;
    }
    switch (state_) {
    case TestState::SealedCapture:
    case TestState::OpenCapture: {
        const bool open = state_ == TestState::OpenCapture;
        if (!FinishCapture(open) || !stopped) {
            ShowStepFailed();
            break;
        }
        nextStep_ = NextStep(CaptureStep(open));
        if (!settings_.AutoProcess) break;
        UpdateControls();
        // The next step starts from inside this one's end, exactly as if its button had
        // been pressed: it finds testRunning_ false, so it starts instead of cancelling,
        // and it re-arms the step timer itself. Nothing below may touch the state after
        // it, hence the returns.
        if (open) {
            OnProcessResults();
            return;
        }
        view_.ShowStepResult(TestStep::OpenCapture, kChangeTransducerText);
        // The operator changes the transducer during this wait. It blocks the dialog on
        // purpose: no button or timer tick may start anything before the open capture
        // below has begun.
        clock_.Wait(DelayMilliseconds(settings_.AutoProcessDelay));
        OnCaptureOpen();
        return;
    }
    case TestState::Analysis: FinishAnalysis(stopped); break;
    case TestState::Idle:
    case TestState::DelaySearch: break;
    }
    UpdateControls();
}

// A step stopped by its Cancel (or by a close) says so: its label would otherwise keep
// telling that it runs.
void TestSequence::ShowCancelled() {
    const std::optional<TestStep> step = RunningStep();
    if (!step) return;
    view_.ShowStepResult(*step, *step == TestStep::Processing ? kProcessingCancelledText : kCaptureCancelledText);
    nextStep_ = *step;
}

std::optional<TestStep> TestSequence::RunningStep() const {
    switch (state_) {
    case TestState::SealedCapture: return TestStep::SealedCapture;
    case TestState::OpenCapture: return TestStep::OpenCapture;
    case TestState::DelaySearch:
    case TestState::Analysis: return TestStep::Processing;
    case TestState::Idle: break;
    }
    return std::nullopt;
}

// While a step runs its button reads "Cancel", is the only one usable and has the
// keyboard, so that Space and Enter cancel; between steps the next step's button has it.
void TestSequence::UpdateControls() {
    if (testRunning_) {
        const std::optional<TestStep> running = RunningStep();
        for (TestStep step : kSteps)
            view_.ShowStepButton(step, step == running ? kCancelText : StepButtonText(step), step == running);
        view_.EnableSetupButtons(false);
        view_.ShowProgress(true);
        if (running) view_.FocusStepButton(*running);
        return;
    }
    view_.ShowStimulusName(StimulusDisplayName(stimulus_));
    for (TestStep step : kSteps) view_.ShowStepButton(step, StepButtonText(step), true);
    view_.EnableSetupButtons(true);
    view_.ShowProgress(false);
    view_.FocusStepButton(nextStep_);
}

}  // namespace vorn
