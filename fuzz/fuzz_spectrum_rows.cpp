// Parses arbitrary bytes as a "Marked Spectrum" reply: no read past the terminating
// zero, no row past the maximum, and the result agrees with the row count.
#include "app/SpectrumParser.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    constexpr int32_t kMaximum = 64;
    std::string text(reinterpret_cast<const char*>(data), size);
    std::vector<vorn::SpectrumRow> rows(kMaximum);
    int32_t count = -1;
    bool ok = vorn::ParseSpectrumRows(text.c_str(), kMaximum, rows.data(), count);
    if (text.c_str()[0] == '\0') {
        if (ok || count != -1) std::abort();
    } else if (count < 0 || count > kMaximum || ok != (count > 0)) {
        std::abort();
    }
    return 0;
}
