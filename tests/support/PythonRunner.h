// Independent references run on the build machine: Debian's Python, which has numpy and
// scipy and can call sox. Native tree only; the Windows tree has neither.
#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

namespace vorn::test {

// The numbers a Python program prints, given numpy as np, scipy.signal as ss and its windows
// as sw; `args` follow it on the command line. The program must succeed.
inline std::vector<double> RunPython([[maybe_unused]] const std::string& program,
                                     [[maybe_unused]] const std::string& args = "") {
    std::vector<double> out;
#ifndef _WIN32
    const std::string command = "/usr/bin/python3 - " + args + " <<'PYTHON'\nimport numpy as np\n" +
                                "import scipy.signal as ss\nimport scipy.signal.windows as sw\n" + program + "\nPYTHON\n";
    FILE* p = popen(command.c_str(), "r");
    for (double v; p && fscanf(p, "%lf", &v) == 1;) out.push_back(v);
    EXPECT_EQ(p ? pclose(p) : -1, 0) << program;
#endif
    return out;
}

}  // namespace vorn::test

#ifdef _WIN32
#define VORN_SKIP_WITHOUT_PYTHON() GTEST_SKIP() << "Python and sox run in the native tree only"
#else
#define VORN_SKIP_WITHOUT_PYTHON() static_cast<void>(0)
#endif
