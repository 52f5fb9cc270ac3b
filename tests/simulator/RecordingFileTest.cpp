#include "simulator/RecordingFile.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <string>

namespace vorn::sim {
namespace {

// Python's own wave module reads what the analyzer writes: 24-bit, full scale 8388607, clipped beyond.
TEST(RecordingFileTest, WrittenFilesReadBackElsewhereWithTheSameSamples) {
#ifdef _WIN32
    GTEST_SKIP() << "the reference reader runs natively";
#else
    const std::string path = std::filesystem::temp_directory_path() / ("vorn-rec-" + std::to_string(rand()) + ".wav");
    ASSERT_TRUE(SaveRecording(path, {44100, {{0, 0.5f, -0.5f, 1, -1, 0.25f}, {0.125f, -0.125f, 0, 1.5f, -2, 0}}}));
    FILE* out = popen(("/usr/bin/python3 -c \"import sys, wave; w = wave.open(sys.argv[1]); d = w.readframes(99); "
                       "print(w.getnchannels(), w.getsampwidth(), w.getframerate(), w.getnframes(), "
                       "*[int.from_bytes(d[i:i+3], 'little', signed=True) for i in range(0, len(d), 3)])\" " + path)
                          .c_str(), "r");
    char line[512] = {};
    const std::string text = out && std::fgets(line, sizeof line, out) ? line : "";
    if (out) pclose(out);
    EXPECT_EQ(text, "2 3 44100 6 0 1048576 4194304 -1048576 -4194304 0 8388607 8388607 -8388607 -8388607 2097152 0\n");
    Recording back, uneven{48000, {{0, 0.1f}, {0}}};
    ASSERT_TRUE(LoadRecording(path, back));
    EXPECT_TRUE(back.sampleRate == 44100 && back.channels.size() == 2 && std::abs(back.channels[0][1] - 0.5f) < 1e-6 &&
                std::abs(back.channels[1][4] + 1.0f) < 1e-6);
    std::filesystem::remove(path);
    EXPECT_FALSE(SaveRecording(path, Recording{}) || SaveRecording(path, uneven) || LoadRecording(path, back));
#endif
}

}  // namespace
}  // namespace vorn::sim
