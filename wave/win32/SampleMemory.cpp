// The Windows side of the sample-memory seam: large pages need a privilege that operators'
// accounts do not hold, so every buffer comes from the C runtime's heap.
#include "wave/SampleMemory.h"

#include <cstdint>
#include <cstdlib>

namespace vorn {

namespace {
constexpr size_t kPage = 4096;
constexpr size_t kTouchFrom = size_t(1) << 20;
}  // namespace

uint8_t* SampleMemory::Allocate(uint64_t bytes, bool zeroed) {
    if (bytes == 0) bytes = 1;
    if (bytes > SIZE_MAX) return nullptr;
    if (zeroed) return static_cast<uint8_t*>(std::calloc(size_t(bytes), 1));
    auto* memory = static_cast<uint8_t*>(std::malloc(size_t(bytes)));
    // An unfilled buffer is about to receive a file. Some Windows layers probe a read's
    // destination page by page before reading into it, which on fresh memory maps a shared
    // zero page and then copies it: a write to each page first makes that one fault.
    if (memory && bytes >= kTouchFrom)
        for (size_t at = 0; at < size_t(bytes); at += kPage) memory[at] = 0;
    return memory;
}

}  // namespace vorn
