// Reads arbitrary bytes as a frequency-response table file onto the bins of the table
// design's grid: no crash, no read or write past the bins, and a table that loads gives
// finite levels within +/-240 dB on every bin, while a refused one leaves the bins alone.
#include "common/MessageSink.h"
#include "dsp/SpectralData.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

class QuietSink final : public vorn::MessageSink {
public:
    vorn::MessageAnswer Show(const std::string&, const std::string&, vorn::MessageIcon, vorn::MessageButtons) override {
        return vorn::MessageAnswer::Ok;
    }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static QuietSink sink;
    vorn::SetMessageSink(&sink);
    static const struct ScratchFile {  // the loader reads files; this one goes when the run ends
        std::string path = "/tmp/vorn-fuzz-load-table-" + std::to_string(getpid()) + ".txt";
        ~ScratchFile() { std::remove(path.c_str()); }
    } scratch;
    const std::string& path = scratch.path;
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) return 0;
    std::fwrite(data, 1, size, file);
    std::fclose(file);

    static const vorn::SpectralData grid = [] {
        vorn::AnalysisSetup setup;
        setup.format.Set(48000, 1, 2);
        setup.transformSize = 4096;
        return vorn::SpectralData(setup, vorn::DisplaySetup(), false);
    }();
    constexpr float kUntouched = 1234.5f;
    std::vector<float> bins(grid.GetBinCount(), kUntouched);
    const bool loaded = grid.LoadTable(path.c_str(), bins.data());
    for (float level : bins) {
        if (loaded && !(std::isfinite(level) && std::fabs(level) <= vorn::SpectralData::kTableLimitDb)) std::abort();
        if (!loaded && level != kUntouched) std::abort();
    }
    return 0;
}
