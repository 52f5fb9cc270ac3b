#include "app/TestSequence.h"

#include "analyzer/AnalyzerCommands.h"
#include "support/FakeAnalyzerConnection.h"
#include "support/FakeClock.h"
#include "support/FakeMainView.h"
#include "support/MessageRecorder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace vorn {
namespace {

using Log = std::vector<std::string>;
constexpr TestStep kSealed = TestStep::SealedCapture, kOpen = TestStep::OpenCapture, kProcess = TestStep::Processing;

class TestSequenceTest : public testing::Test {
public:
    void SetUp() override {
        settings = TestSettings{};
        settings.TestDuration = 10.0f;
        std::snprintf(settings.OutputFolder, sizeof settings.OutputFolder, "C:\\VORNData");
        settings.AutoProcessDelay = 10.0f;
        SetStimulus("C:\\VORNData\\Stimulus\\Probe.wav");
        // One log of commands and waits, in the order they happened.
        link.onCommand = [this](const std::string& c) { log.push_back(c); };
        // Every wait blocks the window: the view must be held through it.
        clock.onWait = [this](std::uint32_t ms) {
            log.push_back((view.holds > 0 ? "wait " : "unheld wait ") + std::to_string(ms));
        };
        sequence.SetResultComputation([this] { return result; });
        outcomes.clear();
        sequence.SetOutcomeHandler([this](const TestOutcome& o) { outcomes.push_back(o); });
    }
    void TearDown() override { EXPECT_EQ(view.holds, 0) << "every hold ends"; }
    void SetStimulus(const char* path) { stimulus = path; }
    void TickAt(std::uint32_t msAfterStart) {  // the step timer, some time after "[Record]"
        clock.now = captureStart + msAfterStart;
        sequence.OnStepTimer();
    }
    void StartSealed() {
        sequence.OnCaptureSealed();
        captureStart = clock.now;
    }
    bool AllEnabled() const {
        return view.setupEnabled && view.Enabled(kSealed) && view.Enabled(kOpen) && view.Enabled(kProcess);
    }

    TestSettings settings;
    std::string stimulus;
    test::FakeAnalyzerConnection link;
    test::FakeMainView view;
    test::FakeClock clock;
    test::MessageRecorder messages;
    TestSequence sequence{settings, stimulus, link, view, clock};
    Log log;
    std::optional<float> result = 0.0f;
    std::uint32_t captureStart = 0;
    std::vector<TestOutcome> outcomes;
};

TEST_F(TestSequenceTest, CaptureScriptSendsEveryCommandInOrderWithItsWaits) {
    settings.MinimizeAnalyzer = true;
    settings.OutputDevIndex = 2;
    StartSealed();
    EXPECT_EQ(log, (Log{"[Minimize Window]", "[File Close]", "[Load Config C:\\VORNData\\Config\\CaptureData.cfg]",
                        "wait 250", "[Set Input Device 1]", "wait 250", "[Set Output Device 3]", "wait 250",
                        "[File Close]", "[Open Total Power Utility]", "[Set Average Size 1000]",
                        "[Set Generator Type User Defined]", "wait 1000",
                        "[Set Generator Wave File Left C:\\VORNData\\Stimulus\\Probe.wav]", "wait 2000", "[Record]"}));
    // A fresh conversation for the script: the link is closed and opened again.
    EXPECT_EQ(Log(link.calls.begin(), link.calls.begin() + 3), (Log{"disconnect", "connect", "disconnect"}));
    EXPECT_EQ(sequence.State(), TestState::SealedCapture);
    EXPECT_TRUE(view.timerArmed);
    EXPECT_EQ(view.Result(kSealed), "Capturing data...");
    EXPECT_EQ(view.Caption(kSealed), "Cancel");
    EXPECT_EQ(view.Caption(kOpen), "Capture Open Data");
    EXPECT_TRUE(view.Enabled(kSealed));
    EXPECT_FALSE(view.Enabled(kOpen));
    EXPECT_FALSE(view.setupEnabled);
    EXPECT_TRUE(view.progressShown);
}

TEST_F(TestSequenceTest, CaptureEndsAtTheFirstTickPastTheDurationAndShowsItsPower) {
    link.replies["Total Power"] = "85.3 dB SPL";
    StartSealed();
    TickAt(5000);
    EXPECT_EQ(view.progress, 50);
    TickAt(10000);  // exactly the duration: not over yet
    EXPECT_TRUE(sequence.TestRunning());
    log.clear();
    TickAt(10001);
    EXPECT_EQ(log, (Log{"[Stop]", "[File Save C:\\VORNData\\Output\\Test1.wav]", "wait 250", "[Set Left Overlay 1]"}));
    EXPECT_EQ(view.Result(kSealed), "Total Power (SPL) =  85.30");
    // Without AutoProcess the state stays for the next press, and every button is back.
    EXPECT_EQ(sequence.State(), TestState::SealedCapture);
    EXPECT_FALSE(sequence.TestRunning());
    EXPECT_TRUE(AllEnabled());
    EXPECT_EQ(view.focus, kOpen) << "the next step";
    EXPECT_EQ(view.Caption(kSealed), "Capture Sealed Data");
    EXPECT_FALSE(view.progressShown);
    EXPECT_FALSE(view.timerArmed);

    sequence.OnCaptureOpen();
    captureStart = clock.now;
    EXPECT_EQ(view.Caption(kOpen), "Cancel");
    log.clear();
    TickAt(10001);
    EXPECT_EQ(log, (Log{"[Stop]", "[File Save C:\\VORNData\\Output\\Test2.wav]", "wait 250", "[Set Left Overlay 2]"}));
    EXPECT_EQ(view.Result(kOpen), "Total Power (SPL) =  85.30");
}

TEST_F(TestSequenceTest, ElapsedTimeStaysExactAfterDaysAndAcrossTheTickWrap) {
    for (std::uint32_t start : {0xFFFFF000u, 0x7FFFFFFFu, 400000000u}) {
        SCOPED_TRACE(start);
        clock.now = start - 3750;  // the script's own waits come first
        StartSealed();
        TickAt(10000);
        EXPECT_TRUE(sequence.TestRunning());
        TickAt(10001);
        EXPECT_FALSE(sequence.TestRunning());
    }
}

TEST_F(TestSequenceTest, WithoutALinkTicksAreIgnoredUntilCancel) {
    StartSealed();
    link.linked = false;  // the script's reconnection failed
    TickAt(20000);
    EXPECT_TRUE(sequence.TestRunning());
    EXPECT_TRUE(view.timerArmed);
    sequence.OnCaptureSealed();  // Cancel
    EXPECT_FALSE(sequence.TestRunning());
    EXPECT_EQ(sequence.State(), TestState::Idle);
}

TEST_F(TestSequenceTest, ProcessingRunsTwoPassesAndComputesTheResult) {
    link.replies["Delay Finder"] = "  0.0123456 ms";
    link.replies["Current Time"] = "5";
    result = 12.345f;
    sequence.OnProcessResults();
    EXPECT_EQ(view.Result(kProcess), "Calculating Results...");
    EXPECT_EQ(log, (Log{"[File Close]", "[Load Config C:\\VORNData\\Config\\ProcessData.cfg]", "[File Close]",
                        "[File Merge C:\\VORNData\\Output\\Test1.wav C:\\VORNData\\Output\\Test2.wav]",
                        "[Delay Finder 0.0]", "[Open DelayFinder]", "[Go To 1.0]", "[Run]"}));
    EXPECT_EQ(view.Caption(kProcess), "Cancel");
    log.clear();
    sequence.OnStepTimer();
    EXPECT_EQ(view.progress, 25);
    link.replies["Current Time"] = "9";  // not past TestDuration - 1
    sequence.OnStepTimer();
    EXPECT_EQ(sequence.State(), TestState::DelaySearch);
    link.replies["Current Time"] = "9.01";
    sequence.OnStepTimer();
    EXPECT_EQ(sequence.State(), TestState::Analysis);
    EXPECT_EQ(log, (Log{"[Stop]", "[Set Delay 0.012346]", "[Close DelayFinder]", "[Set Average Size 1000]",
                        "[Go To 1.0]", "[Run]"}));
    link.replies["Current Time"] = "5";
    sequence.OnStepTimer();
    EXPECT_EQ(view.progress, 75);
    log.clear();
    link.replies["Current Time"] = "9.5";
    sequence.OnStepTimer();
    EXPECT_EQ(log, (Log{"[Stop]", "[File Save C:\\VORNData\\Output\\Merged.wav]"}));
    EXPECT_EQ(view.Result(kProcess), "Corwith Number =  12.35");
    EXPECT_EQ(sequence.State(), TestState::Idle);
    EXPECT_EQ(view.minimizeRestores, 1);
}

// One automatic test with one fault each: the step that meets it shows a label without a
// number, the run stops there, and what was measured before keeps its value.
TEST_F(TestSequenceTest, AFailedReadingOrRefusedCommandFailsItsStepAndStopsTheRun) {
    const std::string power = "Total Power (SPL) =  85.30", capture = kCaptureFailedText,
                      processing = kProcessingFailedText, corwith = "Corwith Number =   1.00";
    const struct {
        const char* fault;
        std::function<void(TestSequenceTest&)> inject;
        std::string sealed, open, result;
        Log messages;
    } cases[] = {
        {"none", [](auto&) {}, power, power, corwith, {}},
        {"Total Power never answered", [](auto& t) { t.link.replies.erase("Total Power"); }, capture, "", "", {}},
        {"Total Power without a number", [](auto& t) { t.link.replies["Total Power"] = "ABC"; }, capture, "", "", {}},
        {"[Record] refused", [](auto& t) { t.link.refused = {"[Record]"}; }, capture, "", "", {}},
        {"open capture not saved", [](auto& t) { t.link.refused = {"[File Save C:\\VORNData\\Output\\Test2"}; },
         power, capture, "", {}},
        {"analyzer gone before the open capture",
         [](auto& t) {
             t.link.onCommand = [&t](const std::string& c) { t.link.connectSucceeds = c != "[Set Left Overlay 1]"; };
         },
         power, capture, "", {kNoLinkQuestion}},
        {"[File Merge] refused", [](auto& t) { t.link.refused = {"[File Merge"}; }, power, power, processing, {}},
        {"Current Time without a number", [](auto& t) { t.link.replies["Current Time"] = "--"; }, power, power,
         processing, {}},
        {"Delay Finder never answered", [](auto& t) { t.link.replies.erase("Delay Finder"); }, power, power,
         processing, {}},
        {"Merged.wav not saved", [](auto& t) { t.link.refused = {"[File Save C:\\VORNData\\Output\\Merged"}; },
         power, power, processing, {}},
        {"result not computed", [](auto& t) { t.result.reset(); }, power, power, processing, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.fault);
        SetUp();
        link = test::FakeAnalyzerConnection{};
        messages.messages.clear();
        settings.AutoProcess = true;
        link.replies = {{"Total Power", "85.3 dB SPL"}, {"Delay Finder", "0.5 ms"}, {"Current Time", "9.5 s"}};
        result = 1.0f;
        c.inject(*this);
        sequence.OnCaptureSealed();
        for (int tick = 0; view.timerArmed && tick < 1000; ++tick) {
            clock.now += 200;
            sequence.OnStepTimer();
        }
        EXPECT_FALSE(sequence.TestRunning());
        EXPECT_FALSE(view.timerArmed);
        EXPECT_TRUE(AllEnabled());
        EXPECT_EQ(view.Result(kSealed), c.sealed);
        EXPECT_EQ(view.Result(kOpen), c.open);
        EXPECT_EQ(view.Result(kProcess), c.result);
        EXPECT_EQ(messages.Texts(), c.messages);
        // One journal entry: the step that failed, by its label, with what was measured before.
        ASSERT_EQ(outcomes.size(), 1u);
        EXPECT_EQ(outcomes[0].status, c.result == corwith ? kOutcomeOk : c.result.empty() ? capture : processing);
        EXPECT_EQ(outcomes[0].sealedSpl == 85.3f, c.sealed == power);
        EXPECT_EQ(outcomes[0].openSpl == 85.3f, c.open == power);
        EXPECT_EQ(outcomes[0].corwith == 1.0f, c.result == corwith);
        const Log sent = link.Commands();
        const auto lastStart = std::find_if(sent.rbegin(), sent.rend(), [](auto& s) { return s == "[Record]" || s == "[Run]"; });
        EXPECT_NE(std::find(sent.rbegin(), lastStart, "[Stop]"), lastStart) << "the analyzer is left running";
    }
}

TEST_F(TestSequenceTest, CancelDuringTheSealedCaptureSavesNothing) {
    StartSealed();
    TickAt(3000);
    log.clear();
    sequence.OnCaptureSealed();  // the button reads "Cancel"
    EXPECT_EQ(log, (Log{"[Stop]"}));
    EXPECT_EQ(view.Result(kSealed), "Capture cancelled");
    EXPECT_EQ(view.focus, kSealed);
    EXPECT_EQ(sequence.State(), TestState::Idle);
    EXPECT_FALSE(view.timerArmed);
    EXPECT_TRUE(AllEnabled());
    ASSERT_EQ(outcomes.size(), 1u);
    EXPECT_EQ(outcomes[0].status, kOutcomeCancelled);

    sequence.OnProcessResults();
    EXPECT_EQ(view.focus, kProcess) << "its Cancel";
    sequence.OnProcessResults();
    EXPECT_EQ(view.Result(kProcess), "Processing cancelled");
    ASSERT_EQ(outcomes.size(), 2u);
    sequence.OnCloseRequest();  // nothing runs: nothing more to keep
    EXPECT_EQ(outcomes.size(), 2u);
}

TEST_F(TestSequenceTest, AutoProcessRunsTheWholeTestFromOnePress) {
    settings.AutoProcess = true;
    link.replies = {{"Total Power", "85.3"}, {"Delay Finder", "0.5"}, {"Current Time", "9.5"}};
    result = 1.0f;
    std::string shownDuringTheWait;
    clock.onWait = [&](std::uint32_t ms) {
        if (ms == 10000) shownDuringTheWait = view.Result(kOpen) + (view.holds > 0 ? "" : " (unheld)");
    };
    view.results[kOpen] = "old";
    StartSealed();
    EXPECT_EQ(view.Result(kOpen), "");
    TickAt(10001);  // sealed ends, the wait, the open capture starts
    EXPECT_EQ(shownDuringTheWait, "Please change the transducer...");
    EXPECT_EQ(sequence.State(), TestState::OpenCapture);
    EXPECT_EQ(view.focus, kOpen) << "its Cancel";
    // The open capture ends; in the same tick processing starts and, the state being
    // read afresh, its delay-search pass is already past its end.
    captureStart = clock.now;
    TickAt(10001);
    EXPECT_EQ(sequence.State(), TestState::Analysis);
    sequence.OnStepTimer();
    EXPECT_EQ(sequence.State(), TestState::Idle);
    EXPECT_FALSE(sequence.TestRunning());
    EXPECT_EQ(view.Result(kOpen), "Total Power (SPL) =  85.30");
    EXPECT_EQ(view.Result(kProcess), "Corwith Number =   1.00");
    EXPECT_EQ(view.focus, kSealed) << "not Process Results, where Enter would process again";
    EXPECT_TRUE(messages.messages.empty());
    ASSERT_EQ(outcomes.size(), 1u);
    EXPECT_EQ(outcomes[0].verdict, Verdict::None);
    // With a limit the same run is judged; the limit itself still passes.
    settings.CorwithLimitLow = 1.0f;
    settings.CorwithLimitHigh = 0.5f;
    sequence.OnProcessResults();
    sequence.OnStepTimer();
    sequence.OnStepTimer();
    ASSERT_EQ(outcomes.size(), 2u);
    EXPECT_EQ(outcomes[1].verdict, Verdict::Fail);
    settings.CorwithLimitHigh = 1.0f;
    sequence.OnProcessResults();
    sequence.OnStepTimer();
    sequence.OnStepTimer();
    EXPECT_EQ(outcomes.back().verdict, Verdict::Pass);
}

TEST_F(TestSequenceTest, StepsNeedAStimulusAndALink) {
    SetStimulus("ab");
    sequence.OnProcessResults();
    EXPECT_EQ(messages.Texts(), (Log{kNoStimulusMessage}));
    EXPECT_TRUE(link.calls.empty());

    SetStimulus("C:\\s.wav");
    link.connectSucceeds = false;
    messages.answers = {MessageAnswer::No, MessageAnswer::Yes};
    sequence.OnCaptureOpen();
    EXPECT_EQ(link.calls, (Log{"disconnect", "connect"}));
    sequence.OnCaptureOpen();
    EXPECT_EQ(link.calls.back(), "launch");
    EXPECT_EQ(messages.messages.back().text, kNoLinkQuestion);
    EXPECT_EQ(messages.messages.back().buttons, MessageButtons::YesNo);
    EXPECT_FALSE(sequence.TestRunning());
}

TEST_F(TestSequenceTest, SettingsThatWouldHangOrBreakCommandsRefuseTheStep) {
    const struct {
        std::function<void(TestSequenceTest&)> spoil;
        std::string message;
    } cases[] = {
        {[](auto& t) { t.settings.TestDuration = 0.0f; }, kBadTestDurationMessage},
        {[](auto& t) { t.settings.TestDuration = -5.0f; }, kBadTestDurationMessage},
        {[](auto& t) { t.settings.TestDuration = INFINITY; }, kBadTestDurationMessage},
        {[](auto& t) { t.settings.AutoProcess = true, t.settings.AutoProcessDelay = -1.0f; }, kBadAutoProcessDelayMessage},
        {[](auto& t) { t.SetStimulus("C:\\x][Record]\\a.wav"); }, UnsafeCommandPathMessage("C:\\x][Record]\\a.wav")},
        {[](auto& t) { std::snprintf(t.settings.OutputFolder, 260, "C:\\[data]"); }, UnsafeCommandPathMessage("C:\\[data]")},
        {[](auto& t) { std::snprintf(t.settings.OutputFolder, 260, "C:\\%s", std::string(234, 'd').c_str()); },
         kOutputFolderTooLongMessage},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.message);
        SetUp();
        messages.messages.clear();
        c.spoil(*this);
        sequence.OnCaptureSealed();
        sequence.OnProcessResults();
        EXPECT_EQ(messages.Texts(), (Log{c.message, c.message}));
        EXPECT_TRUE(link.calls.empty()) << "nothing may be sent";
    }
    // A delay of zero only matters when the test goes on by itself.
    SetUp();
    settings.AutoProcessDelay = 0.0f;
    sequence.OnCaptureSealed();
    EXPECT_TRUE(sequence.TestRunning());
    sequence.OnCaptureSealed();  // Cancel
    // The longest folder whose files stay within 259 characters is taken.
    SetUp();
    std::snprintf(settings.OutputFolder, 260, "C:\\%s", std::string(233, 'd').c_str());
    sequence.OnCaptureSealed();
    EXPECT_TRUE(sequence.TestRunning());
}

TEST_F(TestSequenceTest, ClosingAsksOnlyWhileATestRuns) {
    StartSealed();
    messages.answers = {MessageAnswer::No, MessageAnswer::Yes};
    // The capture's time runs out under the question: nothing is sent until it is answered.
    log.clear();
    messages.whileShown = [this] { TickAt(10001); };
    EXPECT_FALSE(sequence.OnCloseRequest());
    EXPECT_TRUE(log.empty());
    EXPECT_TRUE(sequence.TestRunning());
    EXPECT_TRUE(view.timerArmed) << "the tick comes again after a No";
    EXPECT_TRUE(sequence.OnCloseRequest());
    EXPECT_EQ(messages.Texts(), (Log{kExitWhileRunningQuestion, kExitWhileRunningQuestion}));
    EXPECT_EQ(messages.messages[0].icon, MessageIcon::Exclamation);
    EXPECT_EQ(log, (Log{"[Stop]"}));
    EXPECT_FALSE(link.Linked());
    EXPECT_EQ(sequence.State(), TestState::Idle);

    // Idle: no question; a linked analyzer is stopped and the link closed.
    link.Connect();
    link.calls.clear();
    EXPECT_TRUE(sequence.OnCloseRequest());
    EXPECT_EQ(link.calls, (Log{"[Stop]", "disconnect"}));
    EXPECT_EQ(messages.messages.size(), 2u);
}

TEST_F(TestSequenceTest, SelectingAStimulusClearsTheResults) {
    view.results = {{kSealed, "a"}, {kOpen, "b"}, {kProcess, "c"}};
    sequence.OnSelectStimulus();  // cancelled
    EXPECT_EQ(view.askedFolder, "C:\\VORNData\\Stimulus");
    EXPECT_EQ(view.Result(kSealed), "a");

    view.chooseConfirms = true;
    view.chosenPath = "D:\\Stimuli\\Chirp.wav";
    sequence.OnSelectStimulus();
    EXPECT_EQ(stimulus, "D:\\Stimuli\\Chirp.wav");
    EXPECT_EQ(view.stimulusName, "Chirp.wav");
    for (TestStep step : {kSealed, kOpen, kProcess}) EXPECT_EQ(view.Result(step), "");

    view.chosenPath = "Chirp.wav";  // no folder: the name is the whole path
    sequence.OnSelectStimulus();
    EXPECT_EQ(view.stimulusName, "Chirp.wav");

    // A longer path would be cut where it is stored and name another file.
    view.chosenPath = "D:\\" + std::string(300, 'x') + ".wav";
    sequence.OnSelectStimulus();
    EXPECT_EQ(stimulus, "Chirp.wav");
    EXPECT_EQ(messages.Texts(), (Log{kStimulusPathTooLongMessage}));
}

}  // namespace
}  // namespace vorn
