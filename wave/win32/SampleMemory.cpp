// The Windows side of the sample-memory seam: large pages need a privilege that operators'
// accounts do not hold, so every buffer comes from the C runtime's heap.
#include "wave/SampleMemory.h"

#include <cstdint>
#include <cstdlib>

namespace vorn {

uint8_t* SampleMemory::Allocate(uint64_t bytes, bool zeroed) {
    if (bytes == 0) bytes = 1;
    if (bytes > SIZE_MAX) return nullptr;
    return static_cast<uint8_t*>(zeroed ? std::calloc(size_t(bytes), 1) : std::malloc(size_t(bytes)));
}

}  // namespace vorn
