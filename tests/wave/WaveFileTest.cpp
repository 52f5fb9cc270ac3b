#include "wave/WaveFile.h"

#include "support/MessageRecorder.h"
#include "wave/LittleEndian.h"
#include "wave/MemoryStream.h"
#include "WaveTestFiles.h"

#include <gtest/gtest.h>

#include <memory>

#ifndef _WIN32
#include <csignal>
#include <sys/resource.h>
#endif

namespace vorn {
namespace {

using namespace test;

std::unique_ptr<TWaveFile> Open(const ScratchFolder& dir, const Bytes& bytes, int16_t mode = 0) {
    WriteBytes(dir.File("in.wav"), bytes);
    return std::make_unique<TWaveFile>(dir.File("in.wav"), mode, false, nullptr);
}

TEST(WaveFileTest, CanonicalFileLoadsAndSavesByteIdentical) {
    MessageRecorder recorder;
    const Bytes file = CanonicalFile(2, 48000, Ramp(4000));
    MemoryStream in(file), out;
    TWaveFile w(in);
    ASSERT_FALSE(w.Failed());
    EXPECT_EQ(w.GetFrameCount(), 1000u);
    EXPECT_FALSE(w.Modified());
    EXPECT_GT(recorder.waitCount, 0);
    EXPECT_EQ(recorder.waitDepth, 0);
    ASSERT_TRUE(w.WriteTo(out));
    EXPECT_EQ(out.Bytes(), file);
    EXPECT_TRUE(recorder.messages.empty());
}

// The format comes from channels, rate and frame size; the tag is only reported (an
// extensible chunk's from its sub-format) and the bit count is not read.
TEST(WaveFileTest, TwentyFourBitStereoLoadsSignedAndScaledToItsRange) {
    MemoryStream in(Riff({Chunk("fmt ", FmtData(2, 96000, 6, 99, 3)), Chunk("data", {0x01, 0x00, 0x80, 0xFF, 0xFF, 0x7F})}));
    auto w = std::make_unique<TWaveFile>(in);
    ASSERT_FALSE(w->Failed());
    EXPECT_EQ(w->GetFormatTag(), 3);
    EXPECT_EQ(w->GetFormat().sampleRate, 96000u);
    EXPECT_EQ(w->GetFormat().bits, 24);
    EXPECT_EQ(w->ReadSample(0, 0, false), -8388607.0f);
    EXPECT_EQ(w->ReadSample(0, 1, false), 8388607.0f);
    EXPECT_FLOAT_EQ(w->ReadSample(0, 1, true), 1.0f);
    Bytes extensible = FmtData(1, 8000, 2, 16, 0xFFFE);
    Append(extensible, Bytes(24, 0));
    for (const auto& [subFormat, tag] : {std::pair{1, 1}, {3, 3}}) {
        extensible[24] = uint8_t(subFormat);
        MemoryStream file(Riff({Chunk("fmt ", extensible), Chunk("data", Ramp(2))}));
        EXPECT_EQ(TWaveFile(file).GetFormatTag(), tag);
    }
    MemoryStream shortExtensible(Riff({Chunk("fmt ", FmtData(1, 8000, 2, 16, 0xFFFE)), Chunk("data", Ramp(2))}));
    EXPECT_EQ(TWaveFile(shortExtensible).GetFormatTag(), 0xFFFE);
}

TEST(WaveFileTest, OddDataIsPaddedAndSavingOverTheOpenedFileReplacesIt) {
    ScratchFolder dir;
    auto w = Open(dir, Riff({Chunk("fmt ", FmtData(1, 8000, 1, 8)), Chunk("data", Ramp(5))}));
    ASSERT_TRUE(w->WriteSample(2, 2, 0));
    EXPECT_TRUE(w->Modified());
    ASSERT_TRUE(w->Commit());
    EXPECT_FALSE(w->Modified());
    const Bytes out = ReadBytes(dir.File("in.wav"));
    ASSERT_EQ(out.size(), 44u + 5 + 1);
    EXPECT_EQ(le::U32(&out[4]), 36u + 5 + 1);
    EXPECT_EQ(le::U32(&out[40]), 5u);
    EXPECT_EQ(out[44 + 2], 2);
    EXPECT_EQ(out.back(), 0);
    EXPECT_EQ(dir.Count(), 1u);  // no temporary file left behind
}

TEST(WaveFileTest, FailedSaveLeavesTheOldTargetUntouched) {
    ScratchFolder dir;
    auto w = Open(dir, CanonicalFile(2, 48000, Ramp(40000)));
    std::filesystem::create_directory(dir.File("folder.wav"));  // a target that cannot be replaced
    w->SetTargetName(dir.File("folder.wav"));
    EXPECT_FALSE(w->Commit());
    EXPECT_TRUE(w->Failed());
    EXPECT_TRUE(std::filesystem::is_directory(dir.File("folder.wav")));
    w->SetTargetName(dir.File("missing/target.wav"));
    EXPECT_FALSE(w->Commit());
#ifndef _WIN32
    // A file-size limit makes the write fail part way, as a full disk would.
    const Bytes old = CanonicalFile(1, 8000, Ramp(10));
    WriteBytes(dir.File("target.wav"), old);
    w->SetTargetName(dir.File("target.wav"));
    rlimit saved{};
    getrlimit(RLIMIT_FSIZE, &saved);
    auto previous = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved;
    small.rlim_cur = 10000;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const bool savedOk = w->Commit();
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previous);
    EXPECT_FALSE(savedOk);
    EXPECT_EQ(ReadBytes(dir.File("target.wav")), old);
    EXPECT_EQ(dir.Count(), 3u);  // in.wav, the folder and the old target: no temporary file
#endif
}

TEST(WaveFileTest, UnknownModesOpenNothing) {
    ScratchFolder dir;
    auto other = Open(dir, CanonicalFile(1, 8000, Ramp(6)), 7);
    EXPECT_FALSE(other->Failed());
    EXPECT_FALSE(other->Commit());
    EXPECT_EQ(other->GetFrameCount(), 0u);
    EXPECT_EQ(ReadBytes(dir.File("in.wav")).size(), 50u);
}

struct InputCase {
    const char* name;
    Bytes bytes;
    uint32_t frames;   // 0: the load fails
    bool dataMessage;  // "invalid wave file data found" shown
};

TEST(WaveFileTest, BrokenAndUnusualFilesGiveTheirResults) {
    const Bytes fmt = Chunk("fmt ", FmtData(1, 8000, 2, 16)), data = Chunk("data", Ramp(8));
    Bytes garbageBehind = Riff({fmt, data}), fmtOdd = FmtData(1, 8000, 2, 16), fmtShort = fmtOdd;
    Bytes noPad = Riff({Chunk("fmt ", FmtData(1, 8000, 1, 8)), Chunk("data", Ramp(5))}), wholeLength = Riff({fmt, data});
    noPad.pop_back();  // the form and its length still count the pad byte
    le::PutU32(&wholeLength[4], uint32_t(wholeLength.size()));
    Append(garbageBehind, Bytes{'x', 'y', 'z', 1, 2, 3, 0xFF, 0xFF, 0xFF, 0xFF, 9, 9, 9});
    fmtOdd.push_back(0x55);
    fmtShort.resize(12);
    std::vector<InputCase> cases = {
        {"empty file", {}, 0, false},
        {"not RIFF", Bytes{'R', 'I', 'F', 'X', 4, 0, 0, 0, 'W', 'A', 'V', 'E'}, 0, false},
        {"RIFF of another type", Chunk("RIFF", Bytes{'A', 'V', 'I', ' '}), 0, false},
        {"form longer than the file", Riff({fmt, data}, 1000), 4, false},
        {"form of a streaming writer", Riff({fmt, data}, 0xFFFFFFFF), 4, false},
        {"form length of the whole file", wholeLength, 4, false},
        {"odd 8-bit data without its pad byte", noPad, 5, false},
        {"data outside a short form", Riff({fmt, data}, 4 + fmt.size()), 0, true},
        {"no fmt", Riff({data}), 0, false},
        {"data before fmt", Riff({data, fmt}), 0, true},
        {"no data", Riff({fmt}), 0, true},
        {"zero-size data", Riff({fmt, Chunk("data", {})}), 0, false},
        {"data longer than the form", Riff({fmt, Chunk("data", Ramp(8), 9)}), 0, false},
        {"data size near 4 GiB", Riff({fmt, Chunk("data", Ramp(8), 0xFFFFFFF0)}), 0, false},
        {"chunk before data longer than the form", Riff({fmt, Chunk("LIST", Ramp(4), 0x7FFFFFFF), data}), 0, true},
        {"fmt longer than the form", Riff({Chunk("fmt ", FmtData(1, 8000, 2, 16), 0xFFFFFFFF)}), 0, false},
        {"fmt shorter than 14 bytes", Riff({Chunk("fmt ", fmtShort), data}), 0, false},
        {"fmt of 0 channels", Riff({Chunk("fmt ", FmtData(0, 8000, 2, 16)), data}), 0, false},
        {"fmt of frame size 0", Riff({Chunk("fmt ", FmtData(1, 8000, 0, 16)), data}), 4, false},
        {"fmt of 6 channels", Riff({Chunk("fmt ", FmtData(6, 8000, 12, 16)), Chunk("data", Ramp(24))}), 12, false},
        {"odd fmt with pad byte", Riff({Chunk("fmt ", fmtOdd), data}), 4, false},
        {"LIST chunk skipped", Riff({fmt, Chunk("LIST", Ramp(13)), data}), 4, false},
        {"partial last frame", Riff({fmt, Chunk("data", Ramp(9))}), 4, false},
        {"garbage after the RIFF form", garbageBehind, 4, false},
    };
    ScratchFolder dir;
    const Bytes whole = CanonicalFile(2, 48000, Ramp(16));
    for (size_t cut : {0, 2, 4, 8, 12, 16, 20, 22, 24, 28, 32, 34, 36, 40, 44, 50})  // at every header field
        cases.push_back({"truncated", Bytes(whole.begin(), whole.begin() + long(cut)), 0, cut == 36 || cut == 40});
    // Both modes read the same; direct mode opens the file itself and must not change it.
    for (int16_t mode : {0, 1}) {
        for (const InputCase& c : cases) {
            SCOPED_TRACE(testing::Message() << c.name << " " << c.bytes.size() << " mode " << mode);
            MessageRecorder recorder;
            auto w = Open(dir, c.bytes, mode);
            EXPECT_EQ(w->Failed(), c.frames == 0);
            EXPECT_EQ(w->GetFrameCount(), c.frames);
            EXPECT_TRUE(mode == 1 || (w->GetSamples() == nullptr) == (c.frames == 0));
            EXPECT_FALSE(w->CalibrationPresent());
            w.reset();
            EXPECT_EQ(ReadBytes(dir.File("in.wav")), c.bytes);
            EXPECT_EQ(recorder.Texts(), c.dataMessage ? std::vector<std::string>{TWaveFile::kNoDataChunk} : std::vector<std::string>{});
            for (const auto& m : recorder.messages) EXPECT_EQ(m.caption, "VRON");
        }
    }
    MessageRecorder recorder;
    EXPECT_TRUE(TWaveFile(dir.File("none.wav"), 0, false, nullptr).Failed());
    EXPECT_TRUE(TWaveFile(dir.File("none.wav"), 1, true, dir.Path().c_str()).Failed());
    EXPECT_TRUE(recorder.messages.empty());
    EXPECT_EQ(dir.Count(), 1u);  // the copy of a file that did not open is not left behind
}

}  // namespace
}  // namespace vorn
