// Runs a short Python program with Debian's interpreter (which has numpy and scipy) and
// returns the numbers it prints. Native tree only: the Windows tree has no Python.
#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#ifndef _WIN32
#include <unistd.h>
#endif

namespace vorn::test {

// Prints every element of the numpy expression `expr` at full precision, one a line.
inline std::string PrintAll(const std::string& expr) {
    return "for _v in (" + expr + "): print(repr(float(_v)))\n";
}

// Runs `script` and reads whitespace-separated numbers from its standard output. An empty
// result means Python failed; the test then reports that instead of comparing nothing.
inline std::vector<double> RunPython(const std::string& script) {
    std::vector<double> out;
#ifndef _WIN32
    char path[] = "/tmp/vorn_oracle_XXXXXX";
    int fd = mkstemp(path);
    if (fd < 0) return out;
    close(fd);
    {
        std::ofstream f(path);
        f << "import numpy as np\nimport scipy.signal as ss\nimport scipy.signal.windows as sw\n";
        f << script;
    }
    std::string command = std::string("/usr/bin/python3 ") + path;
    if (FILE* p = popen(command.c_str(), "r")) {
        double v;
        while (fscanf(p, "%lf", &v) == 1) out.push_back(v);
        pclose(p);
    }
    std::remove(path);
#else
    (void)script;
#endif
    return out;
}

}  // namespace vorn::test

#ifdef _WIN32
#define VORN_SKIP_WITHOUT_PYTHON() GTEST_SKIP() << "Python oracles run in the native tree only"
#else
#define VORN_SKIP_WITHOUT_PYTHON() \
    do {                            \
    } while (0)
#endif
