#include "app/TestSequence.h"
#include "analyzer/AnalyzerCommands.h"
#include "resources/resource.h"
#include "support/FakeAnalyzerConnection.h"
#include "support/FakeClock.h"
#include "support/FakeMainView.h"
#include "support/MessageRecorder.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstring>

namespace vorn {
namespace {

using Log = std::vector<std::string>;

class TestSequenceTest : public testing::Test {
protected:
    void SetUp() override {
        settings = TestSettings{};
        settings.TestDuration = 10.0f;
        settings.SpanStartFreq = 30.0f;
        settings.SpanStopFreq = 150.0f;
        std::snprintf(settings.OutputFolder, sizeof settings.OutputFolder, "C:\\VORNData");
        settings.CorwithNumberScaleFactor = 1.0f;
        settings.AutoProcessDelay = 10.0f;
        SetStimulus("C:\\VORNData\\Stimulus\\Probe.wav");
        // One log of commands and waits, in the order they happened.
        link.onCommand = [this](const std::string& c) { log.push_back(c); };
        clock.onWait = [this](std::uint32_t ms) { log.push_back("wait " + std::to_string(ms)); };
        sequence.SetResultComputation([this] {
            ++computations;
            return result;
        });
    }
    void SetStimulus(const char* path) { std::snprintf(stimulus, sizeof stimulus, "%s", path); }
    // Advances the clock to `atMs` after the capture started and delivers one tick.
    void TickAt(std::uint32_t start, std::uint32_t atMs) {
        clock.now = start + atMs;
        sequence.OnStepTimer(IDT_STEP_TIMER);
    }
    void Reply(const char* item, const char* text) { link.replies[item] = text; }

    TestSettings settings;
    char stimulus[kStimulusFilenameSize] = {};
    test::FakeAnalyzerConnection link;
    test::FakeMainView view;
    test::FakeClock clock;
    test::MessageRecorder messages;
    TestSequence sequence{settings, stimulus, link, view, clock};
    Log log;
    float result = 0.0f;
    int computations = 0;
};

TEST(StimulusDisplayNameTest, IsThePartAfterTheLastBackslash) {
    EXPECT_EQ(StimulusDisplayName("C:\\VORNData\\Stimulus\\Probe.wav"), "Probe.wav");
    EXPECT_EQ(StimulusDisplayName("Probe.wav"), "Probe.wav");
    EXPECT_EQ(StimulusDisplayName("C:\\folder\\"), "");
    EXPECT_EQ(StimulusDisplayName(""), "");
}

TEST_F(TestSequenceTest, DialogStartClearsResultsAndEnablesEveryStep) {
    view.texts[IDC_SEALED_RESULT] = "Total Power 1";
    sequence.OnDialogStart();
    EXPECT_EQ(view.progress, 0);
    EXPECT_EQ(view.Text(IDC_SEALED_RESULT), "");
    EXPECT_EQ(view.Text(IDC_OPEN_RESULT), "");
    EXPECT_EQ(view.Text(IDC_CORWITH_RESULT), "");
    EXPECT_EQ(view.Text(IDC_STIMULUS_NAME), "Probe.wav");
    EXPECT_EQ(view.Text(IDC_CAPTURE_SEALED), "Capture Sealed Data");
    EXPECT_EQ(view.Text(IDC_CAPTURE_OPEN), "Capture Open Data");
    EXPECT_EQ(view.Text(IDC_PROCESS_RESULTS), "Process Results");
    for (int id : {IDC_SELECT_STIMULUS, IDC_CAPTURE_SEALED, IDC_CAPTURE_OPEN, IDC_PROCESS_RESULTS, IDC_SETTINGS})
        EXPECT_TRUE(view.Enabled(id)) << id;
    EXPECT_FALSE(view.progressShown);
}

TEST_F(TestSequenceTest, CaptureScriptSendsEveryCommandInOrderWithItsWaits) {
    settings.MinimizeAnalyzer = true;
    settings.InputDevIndex = 0;
    settings.OutputDevIndex = 2;
    sequence.OnCaptureSealed();
    const Log expected = {"[Minimize Window]",
                          "[File Close]",
                          "[Load Config C:\\VORNData\\Config\\CaptureData.cfg]",
                          "wait 250",
                          "[Set Input Device 1]",
                          "wait 250",
                          "[Set Output Device 3]",
                          "wait 250",
                          "[File Close]",
                          "[Open Total Power Utility]",
                          "[Set Average Size 1000]",
                          "[Set Generator Type User Defined]",
                          "wait 1000",
                          "[Set Generator Wave File Left C:\\VORNData\\Stimulus\\Probe.wav]",
                          "wait 2000",
                          "[Record]"};
    EXPECT_EQ(log, expected);
    // The script runs on a fresh conversation.
    EXPECT_EQ(Log(link.calls.begin(), link.calls.begin() + 4), (Log{"disconnect", "connect", "disconnect", "disconnect"}));
    EXPECT_EQ(sequence.State(), TestState::SealedCapture);
    EXPECT_TRUE(sequence.TestRunning());
    EXPECT_TRUE(view.timerArmed);
    EXPECT_EQ(view.Text(IDC_SEALED_RESULT), "Capturing data...");
    EXPECT_EQ(view.Text(IDC_CAPTURE_SEALED), "Cancel");
    EXPECT_TRUE(view.Enabled(IDC_CAPTURE_SEALED));
    for (int id : {IDC_SELECT_STIMULUS, IDC_CAPTURE_OPEN, IDC_PROCESS_RESULTS, IDC_SETTINGS}) EXPECT_FALSE(view.Enabled(id));
    EXPECT_TRUE(view.progressShown);
}

TEST_F(TestSequenceTest, CaptureEndsAtTheFirstTickPastTheDuration) {
    Reply("Total Power", "85.3 dB SPL");
    sequence.OnCaptureSealed();
    const std::uint32_t start = clock.now;
    TickAt(start, 5000);
    EXPECT_EQ(view.progress, 50);
    TickAt(start, 10000);  // exactly the duration: not yet over
    EXPECT_TRUE(sequence.TestRunning());
    EXPECT_EQ(view.progress, 100);
    log.clear();
    TickAt(start, 10001);
    EXPECT_FALSE(sequence.TestRunning());
    EXPECT_EQ(log, (Log{"[Stop]", "[File Save C:\\VORNData\\Output\\Test1.wav]", "wait 250", "[Set Left Overlay 1]"}));
    EXPECT_EQ(view.Text(IDC_SEALED_RESULT), "Total Power (SPL) =  85.30");
    // Without AutoProcess the step's state stays for the next press; every button is back.
    EXPECT_EQ(sequence.State(), TestState::SealedCapture);
    for (int id : {IDC_SELECT_STIMULUS, IDC_CAPTURE_SEALED, IDC_CAPTURE_OPEN, IDC_PROCESS_RESULTS, IDC_SETTINGS})
        EXPECT_TRUE(view.Enabled(id)) << id;
    EXPECT_EQ(view.Text(IDC_CAPTURE_SEALED), "Capture Sealed Data");
    EXPECT_FALSE(view.progressShown);
    EXPECT_FALSE(view.timerArmed);

    sequence.OnCaptureOpen();
    EXPECT_EQ(sequence.State(), TestState::OpenCapture);
    EXPECT_EQ(view.Text(IDC_CAPTURE_OPEN), "Cancel");
    TickAt(clock.now, 10001);
    EXPECT_EQ(view.Text(IDC_OPEN_RESULT), "Total Power (SPL) =  85.30");
    EXPECT_EQ(link.Commands()[link.Commands().size() - 2], "[File Save C:\\VORNData\\Output\\Test2.wav]");
    EXPECT_EQ(link.Commands().back(), "[Set Left Overlay 2]");
}

TEST_F(TestSequenceTest, ElapsedTimeStaysExactAfterDaysAndAcrossTheTickWrap) {
    for (std::uint32_t start : {0xFFFFF000u, 0x7FFFFFFFu, 400000000u}) {
        SCOPED_TRACE(start);
        clock.now = start - 3750;  // the script's own waits come first
        sequence.OnCaptureSealed();
        ASSERT_EQ(clock.now, start);
        TickAt(start, 10000);
        EXPECT_TRUE(sequence.TestRunning());
        TickAt(start, 10001);
        EXPECT_FALSE(sequence.TestRunning());
    }
}

TEST_F(TestSequenceTest, TicksOfOtherTimersOrWithoutALinkAreIgnored) {
    sequence.OnCaptureSealed();
    const std::uint32_t start = clock.now;
    clock.now = start + 20000;
    sequence.OnStepTimer(IDT_STEP_TIMER + 1);
    EXPECT_TRUE(sequence.TestRunning());
    link.linked = false;  // the reconnection of the script failed
    sequence.OnStepTimer(IDT_STEP_TIMER);
    EXPECT_TRUE(sequence.TestRunning());
    EXPECT_TRUE(view.timerArmed);
    EXPECT_EQ(view.Text(IDC_CAPTURE_SEALED), "Cancel");
    // Only Cancel ends it.
    sequence.OnCaptureSealed();
    EXPECT_FALSE(sequence.TestRunning());
    EXPECT_EQ(sequence.State(), TestState::Idle);
}

TEST_F(TestSequenceTest, ProcessingRunsTwoPassesAndComputesTheResult) {
    Reply("Delay Finder", "  0.0123456 s");
    Reply("Current Time", "5");
    result = 12.345f;
    sequence.OnProcessResults();
    EXPECT_EQ(view.Text(IDC_CORWITH_RESULT), "Calculating Results...");
    EXPECT_EQ(log, (Log{"[File Close]", "[Load Config C:\\VORNData\\Config\\ProcessData.cfg]", "[File Close]",
                        "[File Merge C:\\VORNData\\Output\\Test1.wav C:\\VORNData\\Output\\Test2.wav]",
                        "[Delay Finder 0.0]", "[Open DelayFinder]", "[Go To 1.0]", "[Run]"}));
    EXPECT_EQ(sequence.State(), TestState::DelaySearch);
    EXPECT_EQ(view.Text(IDC_PROCESS_RESULTS), "Cancel");

    log.clear();
    sequence.OnStepTimer(IDT_STEP_TIMER);
    EXPECT_EQ(view.progress, 25);
    Reply("Current Time", "9");  // not past TestDuration - 1
    sequence.OnStepTimer(IDT_STEP_TIMER);
    EXPECT_EQ(sequence.State(), TestState::DelaySearch);
    Reply("Current Time", "9.01");
    sequence.OnStepTimer(IDT_STEP_TIMER);
    EXPECT_EQ(sequence.State(), TestState::Analysis);
    EXPECT_EQ(log, (Log{"[Stop]", "[Set Delay 0.012346]", "[Close DelayFinder]", "[Set Average Size 1000]",
                        "[Go To 1.0]", "[Run]"}));

    Reply("Current Time", "5");
    sequence.OnStepTimer(IDT_STEP_TIMER);
    EXPECT_EQ(view.progress, 75);
    EXPECT_EQ(computations, 0);
    log.clear();
    Reply("Current Time", "9.5");
    sequence.OnStepTimer(IDT_STEP_TIMER);
    EXPECT_EQ(log, (Log{"[Stop]", "[File Save C:\\VORNData\\Output\\Merged.wav]"}));
    EXPECT_EQ(computations, 1);
    EXPECT_EQ(view.Text(IDC_CORWITH_RESULT), "Corwith Number =  12.35");
    EXPECT_EQ(sequence.State(), TestState::Idle);
    EXPECT_FALSE(sequence.TestRunning());
    EXPECT_EQ(view.minimizeRestores, 1);
}

TEST_F(TestSequenceTest, FailedRequestsReadAsZero) {
    sequence.OnCaptureSealed();
    TickAt(clock.now, 10001);  // no "Total Power" reply
    EXPECT_EQ(view.Text(IDC_SEALED_RESULT), "Total Power (SPL) =   0.00");
    sequence.OnProcessResults();
    Reply("Current Time", "100");
    sequence.OnStepTimer(IDT_STEP_TIMER);  // no "Delay Finder" reply
    EXPECT_EQ(link.Commands()[link.Commands().size() - 5], "[Set Delay 0.000000]");
}

TEST_F(TestSequenceTest, CancelDuringTheSealedCaptureSavesNothing) {
    sequence.OnCaptureSealed();
    TickAt(clock.now, 3000);
    log.clear();
    sequence.OnCaptureSealed();  // the button reads "Cancel"
    EXPECT_EQ(log, (Log{"[Stop]"}));
    EXPECT_EQ(view.Text(IDC_SEALED_RESULT), "Capturing data...");
    EXPECT_EQ(sequence.State(), TestState::Idle);
    EXPECT_FALSE(sequence.TestRunning());
    EXPECT_FALSE(view.timerArmed);
    for (int id : {IDC_SELECT_STIMULUS, IDC_CAPTURE_SEALED, IDC_CAPTURE_OPEN, IDC_PROCESS_RESULTS, IDC_SETTINGS})
        EXPECT_TRUE(view.Enabled(id)) << id;
    EXPECT_EQ(view.Text(IDC_CAPTURE_SEALED), "Capture Sealed Data");
}

TEST_F(TestSequenceTest, AutoProcessRunsTheWholeTestFromOnePress) {
    settings.AutoProcess = true;
    Reply("Total Power", "85.3");
    Reply("Delay Finder", "0.5");
    Reply("Current Time", "9.5");
    result = 1.0f;
    std::string shownDuringTheWait;
    clock.onWait = [&](std::uint32_t ms) {
        log.push_back("wait " + std::to_string(ms));
        if (ms == 10000) shownDuringTheWait = view.Text(IDC_OPEN_RESULT);
    };
    view.texts[IDC_OPEN_RESULT] = "old";
    sequence.OnCaptureSealed();
    EXPECT_EQ(view.Text(IDC_OPEN_RESULT), "");
    TickAt(clock.now, 10001);  // sealed ends, the wait, the open capture starts
    EXPECT_EQ(shownDuringTheWait, "Please change the transducer...");
    EXPECT_EQ(sequence.State(), TestState::OpenCapture);
    EXPECT_TRUE(sequence.TestRunning());
    // The open capture ends; in the same tick processing starts and, the state being read
    // afresh, its delay-search pass is already past its end.
    TickAt(clock.now, 10001);
    EXPECT_EQ(sequence.State(), TestState::Analysis);
    sequence.OnStepTimer(IDT_STEP_TIMER);
    EXPECT_EQ(sequence.State(), TestState::Idle);
    EXPECT_FALSE(sequence.TestRunning());
    EXPECT_EQ(view.Text(IDC_SEALED_RESULT), "Total Power (SPL) =  85.30");
    EXPECT_EQ(view.Text(IDC_OPEN_RESULT), "Total Power (SPL) =  85.30");
    EXPECT_EQ(view.Text(IDC_CORWITH_RESULT), "Corwith Number =   1.00");
    EXPECT_TRUE(messages.messages.empty());
}

TEST_F(TestSequenceTest, StepsNeedAStimulusAndALink) {
    SetStimulus("ab");
    sequence.OnCaptureSealed();
    sequence.OnProcessResults();
    EXPECT_EQ(messages.Texts(), (Log{kNoStimulusMessage, kNoStimulusMessage}));
    EXPECT_EQ(messages.messages[0].icon, MessageIcon::Stop);
    EXPECT_TRUE(link.calls.empty());

    SetStimulus("C:\\s.wav");
    link.connectSucceeds = false;
    link.launchSucceeds = true;
    messages.answers = {MessageAnswer::No, MessageAnswer::Yes};
    sequence.OnCaptureOpen();
    EXPECT_EQ(link.calls, (Log{"disconnect", "connect"}));
    sequence.OnCaptureOpen();
    EXPECT_EQ(link.calls.back(), "launch");
    EXPECT_EQ(messages.messages.back().text, kNoLinkQuestion);
    EXPECT_EQ(messages.messages.back().buttons, MessageButtons::YesNo);
    EXPECT_EQ(sequence.State(), TestState::Idle);
    EXPECT_FALSE(sequence.TestRunning());
}

TEST_F(TestSequenceTest, SettingsThatWouldHangOrBreakCommandsRefuseTheStep) {
    struct Case {
        const char* name;
        std::function<void()> spoil;
        std::string message;
    } cases[] = {
        {"zero duration", [&] { settings.TestDuration = 0.0f; }, kBadTestDurationMessage},
        {"negative duration", [&] { settings.TestDuration = -5.0f; }, kBadTestDurationMessage},
        {"infinite duration", [&] { settings.TestDuration = INFINITY; }, kBadTestDurationMessage},
        {"negative delay with AutoProcess",
         [&] {
             settings.AutoProcess = true;
             settings.AutoProcessDelay = -1.0f;
         },
         kBadAutoProcessDelayMessage},
        {"bracket in the stimulus path", [&] { SetStimulus("C:\\x][Record]\\a.wav"); },
         UnsafeCommandPathMessage("C:\\x][Record]\\a.wav")},
        {"bracket in the output folder", [&] { std::snprintf(settings.OutputFolder, 260, "C:\\[data]"); },
         UnsafeCommandPathMessage("C:\\[data]")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SetUp();
        messages.messages.clear();
        link.calls.clear();
        c.spoil();
        sequence.OnCaptureSealed();
        sequence.OnProcessResults();
        ASSERT_EQ(messages.messages.size(), 2u);
        EXPECT_EQ(messages.messages[0].text, c.message);
        EXPECT_TRUE(link.calls.empty()) << "nothing may be sent";
        EXPECT_FALSE(sequence.TestRunning());
    }
    // A delay of zero only matters when the test goes on by itself.
    SetUp();
    messages.messages.clear();
    settings.AutoProcessDelay = 0.0f;
    sequence.OnCaptureSealed();
    EXPECT_TRUE(sequence.TestRunning());
}

TEST_F(TestSequenceTest, ClosingWhileRunningAsksFirst) {
    sequence.OnCaptureSealed();
    messages.answers = {MessageAnswer::No};
    EXPECT_FALSE(sequence.OnCloseRequest());
    EXPECT_EQ(messages.Texts(), (Log{kExitWhileRunningQuestion}));
    EXPECT_EQ(messages.messages[0].icon, MessageIcon::Exclamation);
    EXPECT_TRUE(sequence.TestRunning());
    log.clear();
    messages.answers = {MessageAnswer::Yes};
    EXPECT_TRUE(sequence.OnCloseRequest());
    EXPECT_EQ(log, (Log{"[Stop]"}));
    EXPECT_FALSE(link.Linked());
    EXPECT_EQ(sequence.State(), TestState::Idle);
}

TEST_F(TestSequenceTest, ClosingWhileIdleStopsTheLinkedAnalyzerAndDisconnects) {
    ASSERT_TRUE(link.Connect());
    link.calls.clear();
    EXPECT_TRUE(sequence.OnCloseRequest());
    EXPECT_EQ(link.calls, (Log{"[Stop]", "disconnect"}));
    EXPECT_TRUE(messages.messages.empty());
    link.calls.clear();
    EXPECT_TRUE(sequence.OnCloseRequest());  // unlinked: nothing to send
    EXPECT_TRUE(link.Commands().empty());
}

TEST_F(TestSequenceTest, SelectingAStimulusClearsTheResults) {
    view.texts = {{IDC_SEALED_RESULT, "a"}, {IDC_OPEN_RESULT, "b"}, {IDC_CORWITH_RESULT, "c"}};
    sequence.OnSelectStimulus();  // cancelled
    EXPECT_EQ(view.askedFolder, "C:\\VORNData\\Stimulus");
    EXPECT_EQ(view.Text(IDC_SEALED_RESULT), "a");
    EXPECT_STREQ(stimulus, "C:\\VORNData\\Stimulus\\Probe.wav");

    view.chooseConfirms = true;
    view.chosenPath = "D:\\Stimuli\\Chirp.wav";
    sequence.OnSelectStimulus();
    EXPECT_STREQ(stimulus, "D:\\Stimuli\\Chirp.wav");
    EXPECT_EQ(view.Text(IDC_STIMULUS_NAME), "Chirp.wav");
    for (int id : {IDC_SEALED_RESULT, IDC_OPEN_RESULT, IDC_CORWITH_RESULT}) EXPECT_EQ(view.Text(id), "");

    view.chosenPath = "D:\\" + std::string(300, 'x') + ".wav";
    sequence.OnSelectStimulus();
    EXPECT_STREQ(stimulus, "D:\\Stimuli\\Chirp.wav");
    EXPECT_EQ(messages.Texts(), (Log{kStimulusPathTooLongMessage}));
}

}  // namespace
}  // namespace vorn
