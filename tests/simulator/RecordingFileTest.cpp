#include "simulator/RecordingFile.h"

#include "support/PythonRunner.h"
#include "support/ScratchFolder.h"

#include <gtest/gtest.h>

#include <vector>
#include <filesystem>
#include <string>

namespace vorn::sim {
namespace {

// Python's own wave module reads what the analyzer writes: 24-bit, full scale 8388607, clipped beyond.
TEST(RecordingFileTest, WrittenFilesReadBackElsewhereWithTheSameSamples) {
    VORN_SKIP_WITHOUT_PYTHON();
    test::ScratchFolder dir("rec");
    const std::string path = dir.File("rec.wav");
    ASSERT_TRUE(SaveRecording(path, {44100, {{0, 0.5f, -0.5f, 1, -1, 0.25f}, {0.125f, -0.125f, 0, 1.5f, -2, 0}}}));
    const std::vector<double> read = test::RunPythonScript("simulator/read_wave.py", path);
    const std::vector<double> want = {2, 3, 44100, 6, 0, 1048576, 4194304, -1048576, -4194304, 0,
                                      8388607, 8388607, -8388607, -8388607, 2097152, 0};
    EXPECT_EQ(read, want);
    Recording back, uneven{48000, {{0, 0.1f}, {0}}};
    ASSERT_TRUE(LoadRecording(path, back));
    EXPECT_EQ(back.sampleRate, 44100u);
    ASSERT_EQ(back.channels.size(), 2u);
    EXPECT_NEAR(back.channels[0][1], 0.5f, 1e-6);
    EXPECT_NEAR(back.channels[1][4], -1.0f, 1e-6);
    std::filesystem::remove(path);
    EXPECT_FALSE(SaveRecording(path, Recording{}));
    EXPECT_FALSE(SaveRecording(path, uneven));
    EXPECT_FALSE(LoadRecording(path, back));
}

}  // namespace
}  // namespace vorn::sim
