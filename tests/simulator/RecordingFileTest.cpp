#include "simulator/RecordingFile.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace vorn::sim {
namespace {

// Python's own wave module reads what the analyzer writes.
TEST(RecordingFileTest, WrittenFilesReadBackElsewhereWithTheSameSamples) {
#ifdef _WIN32
    GTEST_SKIP() << "the reference reader runs natively";
#else
    const auto dir = std::filesystem::temp_directory_path() / ("vorn-rec-" + std::to_string(std::rand()));
    std::filesystem::create_directories(dir);
    Recording pair;
    pair.sampleRate = 44100;
    pair.channels = {{0.0f, 0.5f, -0.5f, 1.0f, -1.0f, 0.25f}, {0.125f, -0.125f, 0.0f, 1.5f, -2.0f, 0.0f}};
    const std::string path = (dir / "Merged.wav").string();
    ASSERT_TRUE(SaveRecording(path, pair));

    const std::string script = (dir / "read.py").string();
    std::ofstream(script) << "import sys, wave\n"
                             "w = wave.open(sys.argv[1])\n"
                             "print(w.getnchannels(), w.getsampwidth(), w.getframerate(), w.getnframes())\n"
                             "d = w.readframes(w.getnframes())\n"
                             "v = [int.from_bytes(d[i:i+3], 'little', signed=True) for i in range(0, len(d), 3)]\n"
                             "print(' '.join(map(str, v)))\n";
    FILE* out = popen(("/usr/bin/python3 " + script + " " + path).c_str(), "r");
    ASSERT_NE(out, nullptr);
    char line[512] = {};
    std::string text;
    while (std::fgets(line, sizeof line, out)) text += line;
    pclose(out);
    // Interleaved, full scale 8388607, values beyond full scale clipped.
    EXPECT_EQ(text, "2 3 44100 6\n0 1048576 4194304 -1048576 -4194304 0 8388607 8388607 -8388607 -8388607 "
                    "2097152 0\n");

    Recording back;
    ASSERT_TRUE(LoadRecording(path, back));
    EXPECT_EQ(back.sampleRate, 44100);
    ASSERT_EQ(back.channels.size(), 2u);
    EXPECT_NEAR(back.channels[0][1], 0.5f, 1e-6);
    EXPECT_NEAR(back.channels[1][4], -1.0f, 1e-6);
    std::filesystem::remove_all(dir);
#endif
}

TEST(RecordingFileTest, WhatCannotBeWrittenOrReadIsRefused) {
    Recording none;
    EXPECT_FALSE(SaveRecording("x.wav", none));
    Recording uneven;
    uneven.channels = {{0.0f, 0.1f}, {0.0f}};
    EXPECT_FALSE(SaveRecording("x.wav", uneven));
    Recording back;
    EXPECT_FALSE(LoadRecording("no/such/file.wav", back));
}

}  // namespace
}  // namespace vorn::sim
