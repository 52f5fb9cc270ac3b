// Independent references run on the build machine: Debian's Python, which has numpy and
// scipy and can call sox. Native tree only; the Windows tree has neither.
#pragma once

#include "support/TestPaths.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

namespace vorn::test {

// The numbers a shell command prints, in order; the command must succeed.
inline std::vector<double> PrintedNumbers([[maybe_unused]] const std::string& command) {
    std::vector<double> out;
#ifndef _WIN32
    FILE* p = popen(command.c_str(), "r");
    for (double v; p && fscanf(p, "%lf", &v) == 1;) out.push_back(v);
    EXPECT_EQ(p ? pclose(p) : -1, 0) << command;
#endif
    return out;
}

// The numbers a reference program beside the tests prints: `script` is its path below
// tests/ (as "dsp/windows.py"), `args` follow it on the command line.
inline std::vector<double> RunPythonScript(const std::string& script, const std::string& args = "") {
    return PrintedNumbers(std::string("/usr/bin/python3 '") + kSourceDir + "/tests/" + script + "' " + args);
}

// The same for a program given as text, with numpy as np, scipy.signal as ss and its
// windows as sw already imported.
inline std::vector<double> RunPython(const std::string& program, const std::string& args = "") {
    return PrintedNumbers("/usr/bin/python3 - " + args + " <<'PYTHON'\nimport numpy as np\n" +
                          "import scipy.signal as ss\nimport scipy.signal.windows as sw\n" + program + "\nPYTHON\n");
}

}  // namespace vorn::test

#ifdef _WIN32
#define VORN_SKIP_WITHOUT_PYTHON() GTEST_SKIP() << "Python and sox run in the native tree only"
#else
#define VORN_SKIP_WITHOUT_PYTHON() static_cast<void>(0)
#endif
