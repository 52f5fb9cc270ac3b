#include "wave/WaveFile.h"

#include "support/MessageRecorder.h"
#include "wave/LittleEndian.h"
#include "WaveTestFiles.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#ifndef _WIN32
#include <csignal>
#include <sys/resource.h>
#endif

namespace vorn {
namespace {

using test::Bytes;
using test::Chunk;
using test::FmtData;
using test::Riff;

struct Loaded {
    std::unique_ptr<TWaveFile> wave;
    std::vector<std::string> messages;
};

Loaded LoadBytes(const test::TempFolder& dir, const Bytes& bytes, const char* name = "in.wav") {
    test::MessageRecorder recorder;
    test::WriteBytes(dir.File(name), bytes);
    Loaded l;
    l.wave = std::make_unique<TWaveFile>(dir.File(name), 0, false, nullptr);
    l.messages = recorder.Texts();
    for (const auto& m : recorder.messages) EXPECT_EQ(m.caption, "VRON");
    return l;
}

TEST(WaveFileTest, CanonicalFileLoadsAndSavesByteIdentical) {
    test::TempFolder dir;
    const Bytes file = test::CanonicalFile(2, 48000, test::Ramp(4000));
    test::MessageRecorder recorder;
    test::WriteBytes(dir.File("in.wav"), file);
    TWaveFile w(dir.File("in.wav"), 0, false, nullptr);
    ASSERT_FALSE(w.Failed());
    EXPECT_EQ(w.GetFrameCount(), 1000u);
    EXPECT_EQ(w.GetByteSize(), 4000u);
    EXPECT_FALSE(w.Modified());
    EXPECT_EQ(w.GetHighWater(), 1000u);
    EXPECT_GT(recorder.waitCount, 0);
    EXPECT_EQ(recorder.waitDepth, 0);
    w.SetTargetName(dir.File("out.wav"));
    ASSERT_TRUE(w.Commit());
    EXPECT_EQ(test::ReadBytes(dir.File("out.wav")), file);
    EXPECT_TRUE(recorder.messages.empty());
}

TEST(WaveFileTest, FormatComesFromChannelsRateAndFrameSize) {
    test::TempFolder dir;
    // 24-bit stereo with a float format tag: the tag and bit count are not looked at.
    Bytes data = {0x01, 0x00, 0x80, 0xFF, 0xFF, 0x7F};
    auto l = LoadBytes(dir, Riff({Chunk("fmt ", FmtData(2, 96000, 6, 99, 3)), Chunk("data", data)}));
    ASSERT_FALSE(l.wave->Failed());
    SampleFormat f = l.wave->GetFormat();
    EXPECT_EQ(f.channels, 2);
    EXPECT_EQ(f.sampleRate, 96000u);
    EXPECT_EQ(f.bytesPerSample, 3);
    EXPECT_EQ(f.bits, 24);
    EXPECT_EQ(l.wave->ReadSample(0, 0, false), -8388607.0f);
    EXPECT_EQ(l.wave->ReadSample(0, 1, false), 8388607.0f);
    // Scale factors follow the loaded range, not the 16-bit default.
    EXPECT_FLOAT_EQ(l.wave->ReadSample(0, 1, true), 1.0f);
}

TEST(WaveFileTest, OtherChunksAreSkippedAndNotWrittenBack) {
    test::TempFolder dir;
    const Bytes samples = test::Ramp(8);
    auto l = LoadBytes(dir, Riff({Chunk("fmt ", FmtData(1, 8000, 2, 16)),
                                  Chunk("LIST", test::Ramp(13)), Chunk("data", samples)}));
    ASSERT_FALSE(l.wave->Failed());
    EXPECT_EQ(l.wave->GetFrameCount(), 4u);
    l.wave->SetTargetName(dir.File("out.wav"));
    ASSERT_TRUE(l.wave->Commit());
    EXPECT_EQ(test::ReadBytes(dir.File("out.wav")), test::CanonicalFile(1, 8000, samples));
}

TEST(WaveFileTest, SaveWritesHighWaterFramesAndPadsOddData) {
    test::TempFolder dir;
    SampleFormat mono8;
    mono8.Set(8000, 1, 1);
    auto l = LoadBytes(dir, Riff({Chunk("fmt ", FmtData(1, 8000, 1, 8)), Chunk("data", test::Ramp(5))}));
    ASSERT_FALSE(l.wave->Failed());
    l.wave->SetTargetName(dir.File("out.wav"));
    ASSERT_TRUE(l.wave->Commit());
    Bytes out = test::ReadBytes(dir.File("out.wav"));
    ASSERT_EQ(out.size(), 44u + 5 + 1);
    EXPECT_EQ(le::U32(out.data() + 4), 36u + 5 + 1);
    EXPECT_EQ(le::U32(out.data() + 40), 5u);
    EXPECT_EQ(out.back(), 0);
    EXPECT_EQ(le::U16(out.data() + 34), 8);
}

TEST(WaveFileTest, SaveOverTheOpenedFileReplacesIt) {
    test::TempFolder dir;
    auto l = LoadBytes(dir, test::CanonicalFile(1, 8000, test::Ramp(6)));
    ASSERT_TRUE(l.wave->WriteSample(-2, 2, 0));
    EXPECT_TRUE(l.wave->Modified());
    ASSERT_TRUE(l.wave->Commit());
    EXPECT_FALSE(l.wave->Modified());
    Bytes out = test::ReadBytes(dir.File("in.wav"));
    ASSERT_EQ(out.size(), 50u);
    EXPECT_EQ(out[48], 0xFE);
    EXPECT_EQ(out[49], 0xFF);
    EXPECT_EQ(dir.Names().size(), 1u);  // no temporary file left behind
}

TEST(WaveFileTest, FailedSaveLeavesTheOldTargetUntouched) {
    test::TempFolder dir;
    auto l = LoadBytes(dir, test::CanonicalFile(1, 8000, test::Ramp(6)));
    // A target that cannot be replaced: an existing folder.
    std::filesystem::create_directory(dir.File("target.wav"));
    l.wave->SetTargetName(dir.File("target.wav"));
    EXPECT_FALSE(l.wave->Commit());
    EXPECT_TRUE(l.wave->Failed());
    EXPECT_TRUE(std::filesystem::is_directory(dir.File("target.wav")));
    // A target in a folder that does not exist.
    l.wave->SetTargetName(dir.File("missing/target.wav"));
    EXPECT_FALSE(l.wave->Commit());
    EXPECT_EQ(dir.Names().size(), 2u);  // in.wav and the folder: no temporary file
}

#ifndef _WIN32
TEST(WaveFileTest, SaveThatRunsOutOfSpaceHalfWayKeepsTheOldFile) {
    test::TempFolder dir;
    auto l = LoadBytes(dir, test::CanonicalFile(2, 48000, test::Ramp(40000)));
    ASSERT_FALSE(l.wave->Failed());
    const Bytes old = test::CanonicalFile(1, 8000, test::Ramp(10));
    test::WriteBytes(dir.File("target.wav"), old);
    l.wave->SetTargetName(dir.File("target.wav"));

    // A file-size limit makes the write fail part way, as a full disk would.
    rlimit saved{};
    getrlimit(RLIMIT_FSIZE, &saved);
    auto previous = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved;
    small.rlim_cur = 10000;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const bool saved_ok = l.wave->Commit();
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previous);

    EXPECT_FALSE(saved_ok);
    EXPECT_EQ(test::ReadBytes(dir.File("target.wav")), old);
    EXPECT_EQ(dir.Names().size(), 2u);
}
#endif

TEST(WaveFileTest, DirectModeIsNotAvailableAndUnknownModesOpenNothing) {
    test::TempFolder dir;
    test::WriteBytes(dir.File("in.wav"), test::CanonicalFile(1, 8000, test::Ramp(6)));
    TWaveFile direct(dir.File("in.wav"), 1, false, nullptr);
    EXPECT_TRUE(direct.Failed());
    EXPECT_FALSE(direct.Commit());
    TWaveFile other(dir.File("in.wav"), 7, false, nullptr);
    EXPECT_FALSE(other.Failed());
    EXPECT_EQ(other.GetFrameCount(), 0u);
    EXPECT_FALSE(other.Commit());
    EXPECT_EQ(test::ReadBytes(dir.File("in.wav")).size(), 50u);
}

// ---- broken and unusual input ---------------------------------------------------

struct InputCase {
    const char* name;
    Bytes bytes;
    bool loads;
    uint32_t frames;         // when it loads
    bool dataMessage;        // "invalid wave file data found" shown
};

std::vector<InputCase> InputCases() {
    const Bytes fmt16 = Chunk("fmt ", FmtData(1, 8000, 2, 16));
    const Bytes data8 = Chunk("data", test::Ramp(8));
    Bytes garbageBehind = Riff({fmt16, data8});
    test::Append(garbageBehind, Bytes{'x', 'y', 'z', 1, 2, 3, 0xFF, 0xFF, 0xFF, 0xFF, 9, 9, 9});
    Bytes fmtOdd = FmtData(1, 8000, 2, 16);
    fmtOdd.push_back(0x55);
    Bytes fmtShort = FmtData(1, 8000, 2, 16);
    fmtShort.resize(12);
    return {
        {"empty file", {}, false, 0, false},
        {"not RIFF", Bytes{'R', 'I', 'F', 'X', 4, 0, 0, 0, 'W', 'A', 'V', 'E'}, false, 0, false},
        {"RIFF of another type", test::Chunk("RIFF", Bytes{'A', 'V', 'I', ' '}), false, 0, false},
        {"form longer than the file", Riff({fmt16, data8}, 1000), false, 0, false},
        {"no fmt", Riff({data8}), false, 0, false},
        {"data before fmt", Riff({data8, fmt16}), false, 0, true},
        {"no data", Riff({fmt16}), false, 0, true},
        {"zero-size data", Riff({fmt16, Chunk("data", {})}), false, 0, false},
        {"data longer than the form", Riff({fmt16, Chunk("data", test::Ramp(8), 9)}), false, 0, false},
        {"data size near 4 GiB", Riff({fmt16, Chunk("data", test::Ramp(8), 0xFFFFFFF0)}), false, 0, false},
        {"chunk before data longer than the form",
         Riff({fmt16, Chunk("LIST", test::Ramp(4), 0x7FFFFFFF), data8}), false, 0, true},
        {"fmt longer than the form", Riff({Chunk("fmt ", FmtData(1, 8000, 2, 16), 0xFFFFFFFF)}), false, 0, false},
        {"fmt shorter than 14 bytes", Riff({Chunk("fmt ", fmtShort), data8}), false, 0, false},
        {"fmt of 0 channels", Riff({Chunk("fmt ", FmtData(0, 8000, 2, 16)), data8}), false, 0, false},
        {"fmt of frame size 0", Riff({Chunk("fmt ", FmtData(1, 8000, 0, 16)), data8}), false, 0, false},
        {"fmt of 6 channels", Riff({Chunk("fmt ", FmtData(6, 8000, 12, 16)), Chunk("data", test::Ramp(24))}), true, 12, false},
        {"odd fmt with pad byte", Riff({Chunk("fmt ", fmtOdd), data8}), true, 4, false},
        {"partial last frame", Riff({fmt16, Chunk("data", test::Ramp(9))}), true, 4, false},
        {"garbage after the RIFF form", garbageBehind, true, 4, false},
    };
}

TEST(WaveFileTest, BrokenAndUnusualFilesGiveTheirResults) {
    test::TempFolder dir;
    for (const InputCase& c : InputCases()) {
        SCOPED_TRACE(c.name);
        auto l = LoadBytes(dir, c.bytes);
        EXPECT_EQ(!l.wave->Failed(), c.loads);
        if (c.loads) {
            EXPECT_EQ(l.wave->GetFrameCount(), c.frames);
        } else {
            EXPECT_EQ(l.wave->GetFrameCount(), 0u);
            EXPECT_EQ(l.wave->GetSamples(), nullptr);
        }
        EXPECT_FALSE(l.wave->CalibrationPresent());
        if (c.dataMessage)
            EXPECT_EQ(l.messages, std::vector<std::string>{TWaveFile::kNoDataChunk});
        else
            EXPECT_TRUE(l.messages.empty());
    }
}

TEST(WaveFileTest, FileTruncatedAtEveryHeaderFieldFails) {
    test::TempFolder dir;
    const Bytes whole = test::CanonicalFile(2, 48000, test::Ramp(16));
    for (size_t cut : {0, 2, 4, 8, 12, 16, 20, 22, 24, 28, 32, 34, 36, 40, 44, 50}) {
        SCOPED_TRACE(cut);
        auto l = LoadBytes(dir, Bytes(whole.begin(), whole.begin() + cut));
        EXPECT_TRUE(l.wave->Failed());
        EXPECT_EQ(l.wave->GetFrameCount(), 0u);
    }
}

TEST(WaveFileTest, MissingFileFailsWithoutMessage) {
    test::TempFolder dir;
    test::MessageRecorder recorder;
    TWaveFile w(dir.File("none.wav"), 0, false, nullptr);
    EXPECT_TRUE(w.Failed());
    EXPECT_TRUE(recorder.messages.empty());
}

}  // namespace
}  // namespace vorn
