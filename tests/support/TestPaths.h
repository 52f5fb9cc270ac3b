// Where the tests find the checkout and, in the Windows tree, the programs they start.
// The values are in one small source generated per build tree (see vorn_test in the top
// CMakeLists.txt), not in compile flags, so that the test sources compile alike in every
// checkout and a new clone takes them from the compiler cache.
#pragma once

namespace vorn::test {

extern const char* const kSourceDir;  // the checkout, as a Unix path
#ifdef _WIN32
extern const char* const kVornExe;       // app/VORN.exe, as a Unix path
extern const char* const kSimulatorExe;  // the substitute analyzer, on drive Z:
extern const char* const kDriverExe;     // the GUI driver, as a Unix path
extern const char* const kVornwaveExe;   // vornwave.exe, as a Unix path
#endif

}  // namespace vorn::test
