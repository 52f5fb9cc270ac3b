// A target that another program holds open without sharing deletion cannot be replaced:
// the commit fails with its message and the file keeps every byte.
#include "wave/WaveFile.h"

#include "support/MessageRecorder.h"
#include "../WaveTestFiles.h"

#include <gtest/gtest.h>

#include <windows.h>

namespace vorn {
namespace {

using namespace test;

TEST(WaveFileLockTest, TargetHeldOpenByAnotherProgramIsLeftAsItWas) {
    ScratchFolder dir;
    const Bytes file = CanonicalFile(2, 48000, Ramp(4000));
    WriteBytes(dir.File("in.wav"), file);
    HANDLE held = CreateFileA(dir.File("in.wav").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    MessageRecorder recorder;
    {
        TWaveFile w(dir.File("in.wav"), 1, true, dir.Path().c_str());
        CalibrationBlock b = w.GetCalibration();
        b.left.calFactor = 2.0f;
        w.SetCalibration(b);
        EXPECT_FALSE(w.Commit());
    }
    CloseHandle(held);
    EXPECT_EQ(recorder.Texts(), std::vector<std::string>{TWaveFile::kCopyFailed});
    EXPECT_EQ(ReadBytes(dir.File("in.wav")), file);
    EXPECT_EQ(dir.Count(), 1u);
}

}  // namespace
}  // namespace vorn
