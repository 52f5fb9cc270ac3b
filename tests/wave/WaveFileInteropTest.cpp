// Wave files against readers and writers nobody here wrote: Python's wave module and sox
// make files we must load, and read back the files we save. Native only.
#include "wave/WaveFile.h"

#include "support/PythonRunner.h"
#include "support/MessageRecorder.h"
#include "WaveTestFiles.h"

#include <gtest/gtest.h>

#include <tuple>

namespace vorn {
namespace {

// Commands: make (wave writes random samples, optionally with a LIST chunk), sox (sox writes
// noise), dump (what wave reads), soxread (what soxi and sox read). Samples print in the
// file's own integer form, 8-bit ones unsigned.
constexpr const char* kProgram = R"(
import random, struct, subprocess, sys, wave
command, path, *n = sys.argv[1:]
n = [int(x) for x in n]
def run(*args): return subprocess.run(args, capture_output=True, check=True).stdout
def ints(d, w): return [d[i] if w == 1 else int.from_bytes(d[i:i + w], 'little', signed=True) for i in range(0, len(d) - len(d) % w, w)]
def sox_samples(bits): return [(v >> (32 - bits)) + (128 if bits == 8 else 0) for (v,) in struct.iter_unpack('<i', run('sox', '-V1', path, '-t', 's32', '-'))]
if command == 'make':
    ch, width, rate, frames, with_list = n
    data = random.Random(frames).randbytes(frames * ch * width)
    w = wave.open(path, 'wb'); w.setnchannels(ch); w.setsampwidth(width); w.setframerate(rate); w.writeframes(data); w.close()
    if with_list:  # spliced in before "data": odd in size, with its pad byte
        b = open(path, 'rb').read(); at = b.index(b'data')
        b = b[:at] + b'LIST' + struct.pack('<I', 17) + b'INFOISFT' + struct.pack('<I', 5) + b'vorn\0\0' + b[at:]
        open(path, 'wb').write(b[:4] + struct.pack('<I', len(b) - 8) + b[8:])
    print(*ints(data, width))
elif command == 'sox':
    run('sox', '-V1', '-R', '-n', '-r', str(n[2]), '-c', str(n[0]), '-b', str(n[1]), path, 'synth', '0.0503', 'whitenoise', 'vol', '0.9')
    print(*sox_samples(n[1]))
elif command == 'soxread':
    print(*[int(run('soxi', flag, path)) for flag in ('-c', '-r', '-b', '-s')], *sox_samples(n[0]))
else:
    w = wave.open(path, 'rb')
    print(w.getnchannels(), w.getsampwidth(), w.getframerate(), w.getnframes(), *ints(w.readframes(w.getnframes()), w.getsampwidth()))
)";

std::vector<double> Reference(const std::string& args) { return test::RunPython(kProgram, args); }

// `header` followed by `samples`, as the reference programs print them.
std::vector<double> Printed(std::vector<double> header, const std::vector<double>& samples) {
    header.insert(header.end(), samples.begin(), samples.end());
    return header;
}

void LoadCheckAndSave(const std::string& in, const std::string& out, int channels, int width, int rate,
                      const std::vector<double>& samples) {
    TWaveFile w(in, 0, false, nullptr);
    ASSERT_FALSE(w.Failed());
    EXPECT_EQ(w.GetFormat().channels, channels);
    EXPECT_EQ(w.GetFormat().bytesPerSample, width);
    EXPECT_EQ(w.GetFormat().sampleRate, uint32_t(rate));
    ASSERT_EQ(uint64_t(w.GetFrameCount()) * channels, samples.size());
    for (uint32_t f = 0; f < w.GetFrameCount(); ++f)
        for (uint16_t c = 0; c < channels; ++c)
            ASSERT_EQ(w.ReadSample(f, c, false), samples[f * channels + c]) << "frame " << f << " channel " << c;
    w.SetTargetName(out);
    ASSERT_TRUE(w.Commit());
}

// A canonical file (no LIST chunk, even data size) must also save byte-identical.
TEST(WaveFileInteropTest, FilesOfPythonsWaveModuleLoadAndReadBack) {
    VORN_SKIP_WITHOUT_PYTHON();
    test::ScratchFolder dir;
    test::MessageRecorder recorder;
    const std::string in = dir.File("py.wav"), out = dir.File("py-out.wav");
    for (auto [channels, width, rate, frames, withList] : {std::tuple{1, 1, 8000, 1001, 1}, {2, 1, 11025, 64, 0},
                                                            {1, 2, 22050, 100, 1}, {2, 2, 44100, 500, 0},
                                                            {1, 3, 96000, 777, 0}, {2, 3, 48000, 1000, 0}}) {
        const std::string shape = testing::PrintToString(std::tuple{channels, width, rate, frames, withList});
        SCOPED_TRACE(shape);
        const std::vector<double> written = Reference("make " + in + " " + std::to_string(channels) + " " + std::to_string(width) +
                                                " " + std::to_string(rate) + " " + std::to_string(frames) + " " + std::to_string(withList));
        ASSERT_NO_FATAL_FAILURE(LoadCheckAndSave(in, out, channels, width, rate, written));
        EXPECT_EQ(Reference("dump " + out), Printed({double(channels), double(width), double(rate), double(frames)}, written));
        EXPECT_TRUE(withList || frames * channels * width % 2 || test::ReadBytes(out) == test::ReadBytes(in));
    }
    EXPECT_TRUE(recorder.messages.empty());
}

// sox writes its 24-bit files in the extensible format, with a "fact" chunk.
TEST(WaveFileInteropTest, FilesOfSoxLoadAndSoxReadsOurFilesBack) {
    VORN_SKIP_WITHOUT_PYTHON();
    test::ScratchFolder dir;
    const std::string in = dir.File("sox.wav"), out = dir.File("sox-out.wav");
    for (auto [channels, width, rate] : {std::tuple{1, 1, 8000}, {2, 2, 48000}, {1, 2, 44100}, {2, 3, 96000}}) {
        SCOPED_TRACE(testing::PrintToString(std::tuple{channels, width, rate}));
        const std::string bits = std::to_string(8 * width);
        const std::vector<double> made = Reference("sox " + in + " " + std::to_string(channels) + " " + bits + " " + std::to_string(rate));
        ASSERT_FALSE(made.empty());
        ASSERT_NO_FATAL_FAILURE(LoadCheckAndSave(in, out, channels, width, rate, made));
        const double frames = double(made.size() / channels);
        EXPECT_EQ(Reference("soxread " + out + " " + bits), Printed({double(channels), double(rate), 8.0 * width, frames}, made));
        EXPECT_EQ(Reference("dump " + out), Printed({double(channels), double(width), double(rate), frames}, made));
    }
}

}  // namespace
}  // namespace vorn
