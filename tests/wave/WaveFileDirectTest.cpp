// Direct mode (mode 1): files edited in place, through a temporary copy and made new,
// compared byte for byte with files built independently by the RIFF builder of the tests.
#include "wave/WaveFile.h"

#include "support/MessageRecorder.h"
#include "wave/LittleEndian.h"
#include "WaveTestFiles.h"

#include <gtest/gtest.h>

#include <memory>

#ifndef _WIN32
#include <csignal>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace vorn {
namespace {

using namespace test;

struct Layout {
    uint16_t channels, bytes;
    uint32_t frames;
    bool calibration, list;  // a calibration chunk behind the form, a LIST chunk before "data"
};

SampleFormat Format(const Layout& l) { SampleFormat f; f.Set(48000, l.channels, l.bytes); return f; }

Bytes Fmt(const Layout& l) { return Chunk("fmt ", FmtData(l.channels, 48000, uint16_t(l.channels * l.bytes), uint16_t(8 * l.bytes))); }

CalibrationBlock Block(const char* description) {
    CalibrationBlock b;
    SetTextField(b.description, sizeof b.description, description);
    SetTextField(b.left.channelName, sizeof b.left.channelName, "Mic");
    SetTextField(b.right.channelName, sizeof b.right.channelName, "Right");
    return b;
}

Bytes CalibrationChunk(const CalibrationBlock& b) {
    Bytes bytes(CalibrationBlock::kSize);
    b.Encode(bytes.data());
    return Chunk(0x66, bytes);
}

// The file as written: canonical header, samples, the block behind the form.
Bytes Written(const Layout& l, const Bytes& samples, const CalibrationBlock& b, const Bytes& afterData = {}) {
    Bytes file = Riff({Fmt(l), Chunk("data", samples), afterData});
    Append(file, CalibrationChunk(b));
    return file;
}

// 8- to 24-bit, mono and stereo, odd data sizes, frame counts around the 4096-frame blocks.
const Layout kLayouts[] = {
    {1, 1, 4097, false, false},
    {2, 2, 1, true, false},
    {2, 3, 8193, true, true},
    {1, 3, 4095, false, true},
    {2, 1, 4096, true, false},
};

TEST(WaveFileDirectTest, NewCalibrationRebuildsTheTargetWithEverySampleAndOnlyTheNewBlock) {
    ScratchFolder dir, temp("temp");
    for (const Layout& l : kLayouts) {
        SCOPED_TRACE(testing::Message() << l.channels << "x" << l.bytes << " " << l.frames);
        const Bytes samples = Ramp(l.frames * l.channels * l.bytes);
        Bytes file = Riff({Fmt(l), l.list ? Chunk("LIST", Ramp(13)) : Bytes{}, Chunk("data", samples)});
        if (l.calibration) Append(file, CalibrationChunk(Block("old")));
        WriteBytes(dir.File("in.wav"), file);
        MessageRecorder recorder;
        {
            TWaveFile w(dir.File("in.wav"), 1, true, temp.Path().c_str());
            ASSERT_FALSE(w.Failed());
            w.SetCalibration(Block("new"));
            EXPECT_EQ(ReadBytes(dir.File("in.wav")), file);  // untouched until Commit
            ASSERT_TRUE(w.Commit());
            EXPECT_EQ(ReadBytes(dir.File("in.wav")), Written(l, samples, Block("new")));
            ASSERT_TRUE(w.Commit());  // again: the working copy's old block must not come back
        }
        EXPECT_EQ(ReadBytes(dir.File("in.wav")), Written(l, samples, Block("new")));
        EXPECT_EQ(dir.Count(), 1u);
        EXPECT_EQ(temp.Count(), 0u);
        EXPECT_TRUE(recorder.messages.empty());
    }
}

// New files fill by WriteBytes and move to the target; frames written after that commit
// go in place, where the calibration chunk appended by the first commit must survive.
TEST(WaveFileDirectTest, NewFileIsRenamedToItsTargetAndGrowsInPlaceAfterwards) {
    ScratchFolder dir;
    for (const Layout& l : kLayouts) {
        SCOPED_TRACE(testing::Message() << l.channels << "x" << l.bytes << " " << l.frames);
        const Bytes samples = Ramp(l.frames * l.channels * l.bytes), more = Ramp(5 * l.channels * l.bytes);
        TWaveFile w(Format(l), false, dir.Path().c_str());
        ASSERT_FALSE(w.Failed());
        const std::string temporary = w.GetWorkingName();
        EXPECT_EQ(std::filesystem::path(temporary).filename().string().substr(0, 3), "wav");
        ASSERT_TRUE(w.WriteBytes(samples.data(), uint32_t(samples.size())));
        w.SetTargetName(dir.File("out.wav"));
        w.SetCalibration(Block("made"));
        ASSERT_TRUE(w.Commit());
        EXPECT_FALSE(w.CreatedNew());
        EXPECT_FALSE(std::filesystem::exists(temporary));
        EXPECT_EQ(ReadBytes(dir.File("out.wav")), Written(l, samples, Block("made")));
        ASSERT_TRUE(w.WriteBytes(more.data(), uint32_t(more.size())));
        ASSERT_TRUE(w.Commit());
        Bytes all = samples;
        Append(all, more);
        EXPECT_EQ(ReadBytes(dir.File("out.wav")), Written(l, all, Block("made")));
    }
    EXPECT_EQ(dir.Count(), 1u);
    {
        TWaveFile dropped(Format(kLayouts[0]), false, dir.Path().c_str());
        ASSERT_TRUE(dropped.WriteBytes(Ramp(8).data(), 8));
    }
    EXPECT_EQ(dir.Count(), 1u);  // destroyed without a target: the temporary file is gone
}

// Frames appended in place: the chunks behind "data" move behind the grown data and the
// RIFF length counts them, the pad byte included.
TEST(WaveFileDirectTest, FramesAppendedInPlaceKeepWhatFollowedTheData) {
    ScratchFolder dir;
    const Bytes list = Chunk("LIST", Ramp(6));
    for (const Layout& l : {Layout{2, 2, 100, true, false}, Layout{1, 1, 9, true, false}}) {
        const Bytes samples = Ramp(l.frames * l.channels * l.bytes), more = Ramp(3 * l.channels * l.bytes);
        WriteBytes(dir.File("in.wav"), Written(l, samples, Block("kept"), list));
        TWaveFile w(dir.File("in.wav"), 1, false, nullptr);
        ASSERT_FALSE(w.Failed());
        w.SetPosition(w.GetFrameCount());
        ASSERT_TRUE(w.WriteBytes(more.data(), uint32_t(more.size())));
        ASSERT_TRUE(w.Commit());
        Bytes all = samples;
        Append(all, more);
        EXPECT_EQ(ReadBytes(dir.File("in.wav")), Written(l, all, Block("kept"), list));
        EXPECT_EQ(w.GetFrameCount(), l.frames + 3);
    }
}

// The same edits in memory and in the file give the same samples; direct reads and
// writes leave the frame cursor where it was; ReadBytes stops at the last frame and
// reads zeros, not the calibration chunk, behind the data.
TEST(WaveFileDirectTest, DirectEditsMatchTheSameEditsInMemory) {
    ScratchFolder dir;
    for (const Layout& l : {Layout{2, 3, 50, false, false}, Layout{1, 1, 51, false, false}, Layout{2, 2, 40, false, false}}) {
        SCOPED_TRACE(testing::Message() << l.channels << "x" << l.bytes);
        for (const char* name : {"mem.wav", "direct.wav"})
            WriteBytes(dir.File(name), Written(l, Ramp(l.frames * l.channels * l.bytes), Block("x")));
        TWaveFile mem(dir.File("mem.wav"), 0, false, nullptr), direct(dir.File("direct.wav"), 1, false, nullptr);
        ASSERT_FALSE(direct.Failed());
        direct.SetPosition(7);
        const Bytes block = Ramp(10 * l.bytes * 2);
        for (TWaveFile* w : {&mem, &direct}) {
            for (uint32_t f : {0u, 13u, l.frames - 1})
                for (uint16_t c : {0, 1}) ASSERT_TRUE(w->WriteSample(int32_t(f * 3 + c) - 100 + (l.bytes == 1) * 200, f, c));
            EXPECT_EQ(w->WriteSample(256, 1, 0), l.bytes > 1);
            ASSERT_TRUE(w->WriteFrames(block.data(), 20, 10, 1));
            ASSERT_TRUE(w->WriteFrames(block.data(), 35, 5, 2));
            EXPECT_FALSE(w->WriteFrames(block.data(), l.frames - 2, 5, 2));
        }
        EXPECT_FALSE(direct.WriteFrames(block.data(), 3, 0, 2));  // no bytes: refused like every direct write
        for (uint16_t c : {0, 1, 2}) {
            Bytes a(l.frames * 8), b(l.frames * 8);
            ASSERT_TRUE(mem.ReadFrames(a.data(), 3, l.frames - 3, c));
            ASSERT_TRUE(direct.ReadFrames(b.data(), 3, l.frames - 3, c));
            EXPECT_EQ(a, b) << "channel " << c;
            for (uint32_t f = 0; f < l.frames; ++f) ASSERT_EQ(mem.ReadSample(f, c, true), direct.ReadSample(f, c, true)) << f;
        }
        EXPECT_EQ(direct.GetPosition(), 7u);
        EXPECT_EQ(direct.ReadSample(l.frames, 0, false), float(direct.GetOffset()));  // past the data: silence
        Bytes a(64, 0xEE), b(64, 0xEE);
        EXPECT_TRUE(mem.SetPosition(l.frames - 2) && mem.ReadBytes(a.data(), 64) && direct.SetPosition(l.frames - 2) &&
                    direct.ReadBytes(b.data(), 64));
        EXPECT_EQ(a, b);
        EXPECT_FALSE(direct.ReadBytes(b.data(), 1));
        ASSERT_TRUE(mem.Commit() && direct.Commit());
        EXPECT_EQ(ReadBytes(dir.File("mem.wav")), ReadBytes(dir.File("direct.wav")));
    }
}

// An odd data chunk that ends the file without its pad byte gets it at an in-place commit,
// and the form then counts it.
TEST(WaveFileDirectTest, InPlaceCommitAddsAMissingPadByte) {
    ScratchFolder dir;
    const Layout l{1, 1, 5, false, false};
    Bytes padded = Riff({Fmt(l), Chunk("data", Ramp(5))}), file = padded;
    file.pop_back();
    le::PutU32(&file[4], uint32_t(file.size() - 8));
    WriteBytes(dir.File("in.wav"), file);
    TWaveFile w(dir.File("in.wav"), 1, false, nullptr);
    ASSERT_TRUE(w.WriteSample(200, 2, 0));
    ASSERT_TRUE(w.Commit());
    padded[44 + 2] = 200;
    EXPECT_EQ(ReadBytes(dir.File("in.wav")), padded);
}

// Delivery failures are reported, and the target stays as it was.
TEST(WaveFileDirectTest, ReadOnlyTargetOrMissingFolderFailsTheCommitWithItsMessage) {
    ScratchFolder dir;
    const Layout l{2, 2, 10, true, false};
    const Bytes file = Written(l, Ramp(40), Block("old"));
    WriteBytes(dir.File("in.wav"), file);
    namespace fs = std::filesystem;
    fs::permissions(dir.File("in.wav"), fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write, fs::perm_options::remove);
    for (bool changeCalibration : {false, true}) {
        MessageRecorder recorder;
        TWaveFile w(dir.File("in.wav"), 1, true, dir.Path().c_str());
        if (changeCalibration) w.SetCalibration(Block("new"));
        EXPECT_FALSE(w.Commit());
        EXPECT_EQ(recorder.Texts(), std::vector<std::string>{TWaveFile::kCopyFailed});
        EXPECT_TRUE(recorder.messages.at(0).caption == "VRON" && recorder.messages.at(0).icon == MessageIcon::Stop);
        EXPECT_EQ(ReadBytes(dir.File("in.wav")), file);
    }
    fs::permissions(dir.File("in.wav"), fs::perms::owner_write, fs::perm_options::add);
    EXPECT_EQ(dir.Count(), 1u);
    MessageRecorder recorder;
    TWaveFile made(Format(l), false, dir.Path().c_str());
    ASSERT_TRUE(made.WriteBytes(Ramp(8).data(), 8));
    made.SetTargetName(dir.File("missing/out.wav"));
    EXPECT_FALSE(made.Commit());
    EXPECT_EQ(recorder.Texts(), std::vector<std::string>{TWaveFile::kCopyFailed});
    EXPECT_TRUE(fs::exists(made.GetWorkingName()));  // the new file stays where it is
}

#ifndef _WIN32
int stepsLeft = 0;
void StopAtStep() {
    if (--stepsLeft == 0) raise(SIGKILL);
}

// A process killed before a calibration change is delivered leaves the target as it
// was; once the rename happened the target is the whole new file.
TEST(WaveFileDirectTest, KillAtAnyFileStepLeavesTheOldOrTheWholeNewTarget) {
    ScratchFolder dir, temp("temp");
    const Layout l{2, 2, 10000, true, false};
    const Bytes samples = Ramp(40000), old = Written(l, samples, Block("old")), rebuilt = Written(l, samples, Block("new"));
    bool replaced = false;
    int step = 1;
    for (;; ++step) {
        WriteBytes(dir.File("in.wav"), old);
        const pid_t child = fork();
        if (child == 0) {
            stepsLeft = step;
            SetFileStepObserver(StopAtStep);
            auto w = std::make_unique<TWaveFile>(dir.File("in.wav"), 1, true, temp.Path().c_str());
            w->SetCalibration(Block("new"));
            const bool committed = w->Commit();
            w.reset();  // destruction removes the working copy: one more step
            _exit(committed ? 0 : 1);
        }
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        const Bytes now = ReadBytes(dir.File("in.wav"));
        if (replaced || now != old) {
            ASSERT_EQ(now, rebuilt) << "killed at step " << step;
        }
        replaced = now == rebuilt;
        if (WIFEXITED(status)) break;
        ASSERT_TRUE(WIFSIGNALED(status));
    }
    EXPECT_TRUE(replaced);
    EXPECT_GT(step, 10);
}
#endif

}  // namespace
}  // namespace vorn
