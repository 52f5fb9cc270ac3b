#include "probe/ProbeTone.h"
#include "support/MessageRecorder.h"
#include "support/ScratchFolder.h"
#include "wave/WaveFile.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

namespace vorn {
namespace {

using Texts = std::vector<std::string>;

// Records what the tool shows and cancels at the cancelAt-th check (1-based; 0 never).
struct FakeView final : ProbeToneView {
    explicit FakeView(int cancelAt = 0) : cancelAt(cancelAt) {}
    void ShowProcessing() override { ++shown; }
    void SetProgress(int percent) override { progress.push_back(percent); }
    bool CancelRequested() override { return ++checks == cancelAt; }
    void ShowIdle() override { ++hidden; }
    int cancelAt, shown = 0, hidden = 0, checks = 0;
    std::vector<int> progress;
};

// The rate is kept as given, so a rate of 0 reaches the tool.
SampleFormat Format(uint32_t rate, uint16_t channels, uint16_t bytes) {
    SampleFormat f;
    f.Set(rate, channels, bytes);
    f.sampleRate = rate;
    return f;
}

// Noise on both channels, away from full scale.
std::unique_ptr<TWaveData> Stimulus(uint32_t frames, SampleFormat f) {
    auto wave = std::make_unique<TWaveData>(frames, f);
    std::mt19937 rng(5);
    for (uint32_t i = 0; i < frames * f.channels; ++i)
        wave->WriteSample(std::uniform_int_distribution<int32_t>(-9000, 9000)(rng), i / f.channels, i % f.channels);
    return wave;
}

std::vector<int32_t> Channel(const TWaveData& wave, uint16_t channel, uint32_t from = 0) {
    const SampleFormat f = wave.GetFormat();
    std::vector<int32_t> out;
    for (uint32_t i = from; i < wave.GetFrameCount(); ++i)
        out.push_back(DecodeSample(wave.GetSamples() + i * f.FrameSize() + channel * f.bytesPerSample, f.bytesPerSample));
    return out;
}

TEST(ProbeToneTest, ValuesAreAcceptedOnlyWithinTheirRangesFrequencyFirst) {
    struct Case { float frequency, level; const char* message; };
    const Case cases[] = {
        {100.0f, -3.0f, nullptr},         {10000.0f, -60.0f, nullptr},        {226.7f, -12.0f, nullptr},
        {99.9f, -12.0f, ProbeTone::kFrequencyRange}, {10000.1f, -12.0f, ProbeTone::kFrequencyRange},
        {1000.0f, -2.9f, ProbeTone::kLevelRange},    {1000.0f, -60.1f, ProbeTone::kLevelRange},
        {0.0f, 0.0f, ProbeTone::kFrequencyRange},    {std::nanf(""), -12.0f, ProbeTone::kFrequencyRange},
        {1000.0f, std::nanf(""), ProbeTone::kLevelRange},
    };
    for (const Case& c : cases) EXPECT_STREQ(CheckProbeValues(c.frequency, c.level), c.message) << c.frequency << ", " << c.level;
    const std::pair<const char*, float> texts[] = {{" 226.0", 226.0f}, {"-12.5 dBr", -12.5f}, {"abc", 0.0f}, {"", 0.0f}};
    for (auto [text, value] : texts) EXPECT_EQ(ParseProbeValue(text), value) << text;
}

// Rate 1000 Hz: a block is 1000 frames. Progress is (100 i) / B before each block, the
// cancel check follows each whole block only, and a cancel leaves the rest untouched.
// A missing file or a rate that is not positive as a signed value does nothing at all.
TEST(ProbeToneTest, BlocksRemainderAndCancelChecks) {
    struct Case { uint32_t rate, frames; int cancelAt; std::vector<int> progress; int checks; bool done; uint32_t processed; };
    const Case cases[] = {
        {1000, 999, 0, {0}, 1, true, 999},            // shorter than a second: one block
        {1000, 1, 0, {0}, 1, true, 1},
        {1000, 3000, 0, {0, 33, 66}, 3, true, 3000},  // three blocks, no remainder
        {1000, 2500, 0, {0, 50}, 2, true, 2500},      // the remainder without a check
        {1000, 2500, 2, {0, 50}, 2, false, 2000},     // cancelled after the last block: no remainder
        {1000, 2500, 1, {0}, 1, false, 1000},
        {1000, 3000, 2, {0, 33}, 2, false, 2000},
        {1000, 999, 1, {0}, 1, false, 999},
        {0, 100, 0, {}, 0, false, 0},
        {0x80000000u, 100, 0, {}, 0, false, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.rate << " Hz, " << c.frames << " frames, cancel at check " << c.cancelAt);
        test::MessageRecorder messages;
        auto wave = Stimulus(c.frames, Format(c.rate, 2, 2));
        const std::vector<int32_t> before = Channel(*wave, 0), right = Channel(*wave, 1);
        FakeView view(c.cancelAt);
        EXPECT_EQ(AddProbeTone(wave.get(), 226.7f, -12.0f, view), c.done);
        EXPECT_EQ(view.progress, c.progress);
        EXPECT_EQ(view.checks, c.checks);
        EXPECT_EQ(view.shown, c.rate == 1000);
        EXPECT_EQ(view.hidden, c.rate == 1000);
        EXPECT_EQ(messages.Texts(), c.done || c.rate != 1000 ? Texts{} : Texts{ProbeTone::kCancelled});
        EXPECT_EQ(Channel(*wave, 0, c.processed), std::vector<int32_t>(before.begin() + c.processed, before.end()));
        EXPECT_TRUE(c.processed == 0 || Channel(*wave, 0)[c.processed - 1] != before[c.processed - 1]);
        EXPECT_EQ(Channel(*wave, 1), right);
    }
    FakeView view;
    EXPECT_FALSE(AddProbeTone(nullptr, 1000.0f, -12.0f, view));
}

// Frame 0 of a 250 Hz tone at 1000 Hz is at its positive peak, frame 2 at its negative one.
// At -12 dBr a 16-bit tone peaks at 8222.47; adding 0.5 and truncating makes -8222.47 -8221.
TEST(ProbeToneTest, NewSamplesSaturateAndEightBitToneIsSymmetricAroundSilence) {
    struct Case { uint16_t bytes; float stored; uint32_t k; float level; int32_t expected; };
    const Case cases[] = {
        {2, 0.0f, 0, -12, 8222},            {2, 0.0f, 2, -12, -8221},              {2, 0.0f, 0, -3, 23174},
        {2, 32000.0f, 0, -3, 32767},        {2, -32000.0f, 2, -3, -32768},
        {3, 8380000.0f, 0, -3, 8388607},    {3, -8380000.0f, 2, -3, Pack24(-8388608)},
        {1, 250.0f, 0, -3, 255},            {1, 5.0f, 2, -3, 0},
        {1, 127.0f, 0, -3, 127 + 90},       {1, 127.0f, 2, -3, 127 - 90},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ProbeSample(Format(1000, 1, c.bytes), c.stored, c.k, 250.0f, ProbeGain(c.level)), c.expected)
            << c.bytes << " bytes, stored " << c.stored << ", frame " << c.k << ", " << c.level << " dBr";
}

TEST(ProbeToneTest, FilesTooLongToCarryAreRefusedAndTheSourceMayBeReplaced) {
    test::ScratchFolder folder("probe");
    const std::string source = folder.File("in.wav");
    ASSERT_TRUE(SaveWaveData(*Stimulus(500, Format(8000, 2, 2)), source));
    const std::string longName = folder.File(std::string(300 - folder.Path().size(), 'x') + ".wav");
    test::MessageRecorder messages;
    EXPECT_EQ(OpenStimulus(longName), nullptr);
    EXPECT_EQ(OpenStimulus(folder.File("missing.wav")), nullptr);
    std::unique_ptr<TWaveFile> file = OpenStimulus(source);
    ASSERT_NE(file, nullptr);
    EXPECT_FALSE(SaveNewStimulus(*file, longName));
    EXPECT_FALSE(SaveNewStimulus(*file, folder.File("no-such-folder/out.wav")));
    EXPECT_EQ(messages.Texts(), (Texts{ProbeTone::kPathTooLong, ProbeTone::kCannotRead, ProbeTone::kPathTooLong,
                                       ProbeTone::kCannotWrite}));
    EXPECT_EQ(folder.Count(), 1u);
    file->WriteSample(1234, 0, 0);
    EXPECT_TRUE(SaveNewStimulus(*file, folder.Path() + "/./in.wav"));
    EXPECT_EQ(folder.Count(), 1u);
    EXPECT_EQ(TWaveFile(source, 0, false, nullptr).ReadSample(0, 0, false), 1234.0f) << "the source replaced whole";
}

}  // namespace
}  // namespace vorn
