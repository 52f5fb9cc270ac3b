#include "simulator/SimulatorPaths.h"

#include <algorithm>

namespace vorn::sim {

std::string LocalPath(std::string_view path) {
    std::string local(path);
#ifndef _WIN32
    std::replace(local.begin(), local.end(), '\\', '/');
#endif
    return local;
}

std::string JoinAnalyzerPath(std::string_view folder, std::string_view a, std::string_view b) {
    std::string joined(folder);
    joined += '\\';
    joined += a;
    joined += '\\';
    joined += b;
    return joined;
}

}  // namespace vorn::sim
