#include "app/TestSequence.h"
#include "resources/resource.h"
#include "support/FakeAnalyzerConnection.h"
#include "support/FakeMainView.h"

#include <gtest/gtest.h>

#include <cstring>

namespace vorn {
namespace {

class TestSequenceTest : public testing::Test {
protected:
    void SetStimulus(const char* path) { std::snprintf(stimulus, sizeof stimulus, "%s", path); }
    TestSettings settings;
    char stimulus[kStimulusFilenameSize] = {};
    test::FakeAnalyzerConnection link;
    test::FakeMainView view;
    TestSequence sequence{settings, stimulus, link, view};
};

TEST(StimulusDisplayNameTest, IsThePartAfterTheLastBackslash) {
    EXPECT_EQ(StimulusDisplayName("C:\\VORNData\\Stimulus\\Probe.wav"), "Probe.wav");
    EXPECT_EQ(StimulusDisplayName("Probe.wav"), "Probe.wav");
    EXPECT_EQ(StimulusDisplayName("C:\\folder\\"), "");
    EXPECT_EQ(StimulusDisplayName(""), "");
}

TEST_F(TestSequenceTest, DialogStartClearsResultsAndEnablesEveryStep) {
    SetStimulus("C:\\VORNData\\Stimulus\\Probe.wav");
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

TEST_F(TestSequenceTest, ClosingWhileIdleStopsTheLinkedAnalyzerAndDisconnects) {
    ASSERT_TRUE(link.Connect());
    link.calls.clear();
    EXPECT_TRUE(sequence.OnCloseRequest());
    EXPECT_EQ(link.calls, (std::vector<std::string>{"[Stop]", "disconnect"}));
    EXPECT_FALSE(link.Linked());
    EXPECT_EQ(sequence.State(), TestState::Idle);
    EXPECT_FALSE(view.timerArmed);
}

TEST_F(TestSequenceTest, ClosingWithoutALinkSendsNothing) {
    EXPECT_TRUE(sequence.OnCloseRequest());
    EXPECT_TRUE(link.Commands().empty());
}

}  // namespace
}  // namespace vorn
