// The command parser reads whatever arrives over DDE. Anything it takes must compose
// back to exactly the text it read: the parser accepts the vocabulary and nothing else.
#include "analyzer/AnalyzerCommands.h"

#include <cstddef>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    const auto parsed = vorn::ParseAnalyzerCommand(text);
    if (!parsed) return 0;
    if (!vorn::IsCommandSafePath(parsed->path) && !parsed->path.empty()) __builtin_trap();
    if (vorn::ComposeAnalyzerCommand(parsed->kind, parsed->path, parsed->number, parsed->value) != text)
        __builtin_trap();
    return 0;
}
