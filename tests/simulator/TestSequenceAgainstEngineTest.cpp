// The whole automatic test of the program's sequence against the substitute analyzer's
// engine in the same process: no DDE and no real waiting, one clock for both sides.
#include "ModelCorwith.h"
#include "SimulatorSession.h"
#include "app/CorwithNumber.h"
#include "app/TestSequence.h"
#include "support/EngineConnection.h"
#include "support/FakeMainView.h"
#include "support/MessageRecorder.h"

#include <gtest/gtest.h>

#include <cstdio>

namespace vorn::sim::test {
namespace {

// The program's millisecond ticks and the analyzer's seconds, from one manual time.
class SharedClock final : public vorn::Clock, public SimulatorClock {
public:
    std::uint32_t TickCount() override { return now; }
    void Wait(std::uint32_t ms) override { now += ms; }
    double Seconds() const override { return now / 1000.0; }
    std::uint32_t now = 123456;
};

TEST(TestSequenceAgainstEngineTest, OnePressRunsTheWholeTestToTheModelsCorwithNumber) {
    SimulatorSession session(
        "[Model]\nSampleRate = 48000\nLeakCutoffHz = 100\nLatencyMs = 2.5\nFullScaleSpl = 120\n"
        "StimulusLevelDbfs = -12\n");
    SharedClock clock;
    AnalyzerEngine engine(clock);
    EngineConnection link(engine);
    vorn::test::FakeMainView view;
    vorn::test::MessageRecorder messages;

    TestSettings settings;
    settings.TestDuration = 10.0f;
    settings.SpanStartFreq = 30.0f;
    settings.SpanStopFreq = 150.0f;
    settings.CorwithNumberScaleFactor = 1.0f;
    settings.AutoProcess = true;
    settings.AutoProcessDelay = 10.0f;
    std::snprintf(settings.OutputFolder, sizeof settings.OutputFolder, "%s", session.folder.c_str());
    std::string stimulus = "no such stimulus.wav";  // the analyzer's own noise

    TestSequence sequence(settings, stimulus, link, view, clock);
    float computed = -1.0f;
    sequence.SetResultComputation([&] {
        computed = ComputeCorwithNumber(link, settings.SpanStartFreq, settings.SpanStopFreq,
                                        settings.CorwithNumberScaleFactor);
        return computed;
    });

    sequence.OnCaptureSealed();
    // The dialog's step timer: a tick every 200 ms while it is armed.
    for (int tick = 0; sequence.TestRunning() && tick < 1000; ++tick) {
        clock.now += 200;
        if (view.timerArmed) sequence.OnStepTimer();
    }
    ASSERT_FALSE(sequence.TestRunning());
    EXPECT_EQ(sequence.State(), TestState::Idle);
    EXPECT_TRUE(messages.messages.empty()) << messages.messages[0].text;

    const double expected = ModelCorwithNumber({}, 30, 150, 1.0);
    EXPECT_NEAR(computed, expected, 0.005 * expected);
    RecordProperty("CorwithNumber", std::to_string(computed));
    RecordProperty("ModelValue", std::to_string(expected));
    char label[64];
    std::snprintf(label, sizeof label, "Corwith Number = %6.2f", static_cast<double>(computed));
    EXPECT_EQ(view.Result(TestStep::Processing), label);
    EXPECT_EQ(view.Result(TestStep::SealedCapture).rfind("Total Power (SPL) = ", 0), 0u);
    EXPECT_EQ(view.Result(TestStep::OpenCapture).rfind("Total Power (SPL) = ", 0), 0u);
    for (const char* file : {"Test1.wav", "Test2.wav", "Merged.wav"})
        EXPECT_TRUE(std::filesystem::exists(session.root / "Output" / file)) << file;
}

}  // namespace
}  // namespace vorn::sim::test
