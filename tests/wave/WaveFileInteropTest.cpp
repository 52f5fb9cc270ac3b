// Wave files against readers and writers nobody here wrote: sox and Python's wave
// module make files we must load, and read back the files we save. Native only.
#include "wave/WaveFile.h"

#include "support/MessageRecorder.h"
#include "WaveTestFiles.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <sstream>
#include <string>
#include <vector>

namespace vorn {
namespace {

#ifndef _WIN32
constexpr const char* kPython = "/usr/bin/python3";

// make: writes frames of seeded random samples with the wave module (optionally with
// a LIST chunk spliced in before "data") and prints the samples it wrote.
// dump: prints channels, width, rate, frames, then every sample, as wave reads them.
constexpr const char* kScript = R"PY(
import random, struct, sys, wave

def to_bytes(vals, width):
    out = bytearray()
    for v in vals:
        out += (v & ((1 << (8 * width)) - 1)).to_bytes(width, 'little')
    return bytes(out)

def to_ints(data, width):
    n = len(data) - len(data) % width
    return [data[i] if width == 1 else int.from_bytes(data[i:i + width], 'little', signed=True)
            for i in range(0, n, width)]

if sys.argv[1] == 'make':
    path = sys.argv[2]
    ch, width, rate, frames, with_list = map(int, sys.argv[3:8])
    rng = random.Random(frames * 31 + width * 7 + ch)
    lo, hi = (0, 255) if width == 1 else (-(1 << (8 * width - 1)), (1 << (8 * width - 1)) - 1)
    vals = [rng.randint(lo, hi) for _ in range(frames * ch)]
    w = wave.open(path, 'wb')
    w.setnchannels(ch); w.setsampwidth(width); w.setframerate(rate)
    w.writeframes(to_bytes(vals, width))
    w.close()
    if with_list:
        data = open(path, 'rb').read()
        info = b'INFO' + b'ISFT' + struct.pack('<I', 5) + b'vorn\0'
        lst = b'LIST' + struct.pack('<I', len(info)) + info + (b'\0' if len(info) % 2 else b'')
        at = data.index(b'data')
        data = data[:at] + lst + data[at:]
        data = data[:4] + struct.pack('<I', len(data) - 8) + data[8:]
        open(path, 'wb').write(data)
    print(' '.join(map(str, vals)))
else:
    w = wave.open(sys.argv[2], 'rb')
    print(w.getnchannels(), w.getsampwidth(), w.getframerate(), w.getnframes())
    print(' '.join(map(str, to_ints(w.readframes(w.getnframes()), w.getsampwidth()))))
)PY";

std::string RunCommand(const std::string& command) {
    std::string out;
    FILE* p = popen(command.c_str(), "r");
    if (!p) return out;
    char buf[65536];
    size_t n;
    while ((n = fread(buf, 1, sizeof buf, p)) > 0) out.append(buf, n);
    EXPECT_EQ(pclose(p), 0) << command;
    return out;
}

std::vector<int64_t> Ints(const std::string& text) {
    std::istringstream in(text);
    std::vector<int64_t> v;
    for (int64_t x; in >> x;) v.push_back(x);
    return v;
}
#endif

class WaveFileInteropTest : public testing::Test {
protected:
    void SetUp() override {
#ifdef _WIN32
        GTEST_SKIP() << "sox and Python are references on the build machine only";
#else
        script = dir.File("oracle.py");
        FILE* f = std::fopen(script.c_str(), "w");
        ASSERT_NE(f, nullptr);
        std::fputs(kScript, f);
        std::fclose(f);
#endif
    }

#ifndef _WIN32
    std::vector<int64_t> PythonMake(const std::string& path, int ch, int width, int rate,
                                    int frames, bool withList) {
        std::ostringstream cmd;
        cmd << kPython << " " << script << " make " << path << " " << ch << " " << width << " "
            << rate << " " << frames << " " << (withList ? 1 : 0);
        return Ints(RunCommand(cmd.str()));
    }

    // Header (channels, width, rate, frames) and samples as Python's wave reads them.
    std::vector<int64_t> PythonDump(const std::string& path) {
        return Ints(RunCommand(std::string(kPython) + " " + script + " dump " + path));
    }

    // Samples as sox decodes them, brought back to the file's own integer form
    // (8-bit ones unsigned, as the buffer reads them unscaled).
    std::vector<int64_t> SoxSamples(const std::string& path, int bits) {
        std::string raw = RunCommand("sox -V1 " + path + " -t s32 -");
        std::vector<int64_t> v;
        for (size_t i = 0; i + 4 <= raw.size(); i += 4) {
            int32_t s;
            std::memcpy(&s, raw.data() + i, 4);
            int64_t x = s >> (32 - bits);
            v.push_back(bits == 8 ? x + 128 : x);
        }
        return v;
    }

    std::string Soxi(const std::string& flag, const std::string& path) {
        std::string s = RunCommand("soxi " + flag + " " + path);
        while (!s.empty() && (s.back() == '\n' || s.back() == '\r')) s.pop_back();
        return s;
    }
#endif

    static void ExpectSamples(TWaveFile& w, const std::vector<int64_t>& expected) {
        const uint16_t ch = w.GetFormat().channels;
        ASSERT_EQ(uint64_t(w.GetFrameCount()) * ch, expected.size());
        for (uint32_t f = 0; f < w.GetFrameCount(); ++f)
            for (uint16_t c = 0; c < ch; ++c)
                ASSERT_EQ(int64_t(w.ReadSample(f, c, false)), expected[f * ch + c])
                    << "frame " << f << " channel " << c;
    }

    test::TempFolder dir;
    test::MessageRecorder recorder;
    std::string script;
};

struct Shape {
    int channels, width, rate, frames;
    bool withList;
};

TEST_F(WaveFileInteropTest, FilesOfPythonsWaveModuleLoadAndReadBack) {
#ifndef _WIN32
    const Shape shapes[] = {
        {1, 1, 8000, 1001, true},    // odd data size, no pad byte
        {2, 1, 11025, 64, false},
        {1, 2, 22050, 100, true},
        {2, 2, 44100, 500, false},
        {1, 3, 96000, 777, false},   // odd data size
        {2, 3, 48000, 333, true},
    };
    for (const Shape& s : shapes) {
        SCOPED_TRACE(testing::Message() << s.channels << "ch " << s.width * 8 << "bit");
        const std::string in = dir.File("py.wav"), out = dir.File("py-out.wav");
        std::vector<int64_t> written = PythonMake(in, s.channels, s.width, s.rate, s.frames, s.withList);
        TWaveFile w(in, 0, false, nullptr);
        ASSERT_FALSE(w.Failed());
        EXPECT_EQ(w.GetFormat().channels, s.channels);
        EXPECT_EQ(w.GetFormat().bytesPerSample, s.width);
        EXPECT_EQ(w.GetFormat().sampleRate, uint32_t(s.rate));
        ExpectSamples(w, written);

        w.SetTargetName(out);
        ASSERT_TRUE(w.Commit());
        std::vector<int64_t> back = PythonDump(out);
        ASSERT_GE(back.size(), 4u);
        EXPECT_EQ(back[0], s.channels);
        EXPECT_EQ(back[1], s.width);
        EXPECT_EQ(back[2], s.rate);
        EXPECT_EQ(back[3], s.frames);
        EXPECT_EQ(std::vector<int64_t>(back.begin() + 4, back.end()), written);
    }
    EXPECT_TRUE(recorder.messages.empty());
#endif
}

TEST_F(WaveFileInteropTest, FilesOfSoxLoadAndSoxReadsOurFilesBack) {
#ifndef _WIN32
    const Shape shapes[] = {
        {1, 1, 8000, 0, false},
        {2, 2, 48000, 0, false},
        {1, 2, 44100, 0, false},
        {2, 3, 96000, 0, false},  // sox writes 24-bit as an extensible format with "fact"
    };
    for (const Shape& s : shapes) {
        SCOPED_TRACE(testing::Message() << s.channels << "ch " << s.width * 8 << "bit");
        const std::string in = dir.File("sox.wav"), out = dir.File("sox-out.wav");
        std::ostringstream cmd;
        cmd << "sox -V1 -R -n -r " << s.rate << " -c " << s.channels << " -b " << s.width * 8 << " "
            << in << " synth 0.0503 whitenoise vol 0.9";
        RunCommand(cmd.str());
        std::vector<int64_t> expected = SoxSamples(in, s.width * 8);
        ASSERT_FALSE(expected.empty());

        TWaveFile w(in, 0, false, nullptr);
        ASSERT_FALSE(w.Failed());
        EXPECT_EQ(w.GetFormat().channels, s.channels);
        EXPECT_EQ(w.GetFormat().bytesPerSample, s.width);
        EXPECT_EQ(w.GetFormat().sampleRate, uint32_t(s.rate));
        ExpectSamples(w, expected);

        w.SetTargetName(out);
        ASSERT_TRUE(w.Commit());
        EXPECT_EQ(Soxi("-c", out), std::to_string(s.channels));
        EXPECT_EQ(Soxi("-r", out), std::to_string(s.rate));
        EXPECT_EQ(Soxi("-b", out), std::to_string(s.width * 8));
        EXPECT_EQ(Soxi("-s", out), std::to_string(expected.size() / s.channels));
        EXPECT_EQ(SoxSamples(out, s.width * 8), expected);
        std::vector<int64_t> back = PythonDump(out);
        ASSERT_GE(back.size(), 4u);
        EXPECT_EQ(std::vector<int64_t>(back.begin() + 4, back.end()), expected);
    }
#endif
}

TEST_F(WaveFileInteropTest, CanonicalFileOfPythonSavesByteIdentical) {
#ifndef _WIN32
    for (int width : {2, 3}) {
        const std::string in = dir.File("canon.wav"), out = dir.File("canon-out.wav");
        PythonMake(in, 2, width, 48000, 1000, false);
        const test::Bytes original = test::ReadBytes(in);
        ASSERT_EQ(original.size(), 44u + 1000u * 2 * width);
        TWaveFile w(in, 0, false, nullptr);
        ASSERT_FALSE(w.Failed());
        EXPECT_EQ(w.GetFrameCount(), 1000u);
        EXPECT_FALSE(w.Modified());
        w.SetTargetName(out);
        ASSERT_TRUE(w.Commit());
        EXPECT_EQ(test::ReadBytes(out), original) << width;
    }
#endif
}

}  // namespace
}  // namespace vorn
