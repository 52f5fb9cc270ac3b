// The substitute analyzer's outside inputs: its configuration files and its command line.
#include "simulator/ServerOptions.h"
#include "simulator/SimulatorConfig.h"

#include <cstddef>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    vorn::sim::SimulatorConfig config;
    vorn::sim::ApplySimulatorConfig(text, config);
    if (config.fftSize < 256 || (config.fftSize & (config.fftSize - 1)) != 0) __builtin_trap();
    if (!(config.speed > 0)) __builtin_trap();
    std::string error;
    const auto options = vorn::sim::ParseServerOptions(vorn::sim::SplitCommandLine(text), error);
    if (!options && error.empty()) __builtin_trap();
    return 0;
}
