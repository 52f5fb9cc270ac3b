#include "wave/SampleMemory.h"

#include <sys/mman.h>

#include <cstdlib>
#include <cstring>

namespace vorn {

namespace {
constexpr uint64_t kLargePage = uint64_t(2) << 20;
constexpr uint64_t kLargeFrom = uint64_t(1) << 20;
}  // namespace

uint8_t* SampleMemory::Allocate(uint64_t bytes, bool zeroed) {
    if (bytes == 0) bytes = 1;
    if (bytes >= SIZE_MAX - kLargePage) return nullptr;
    if (bytes < kLargeFrom) return static_cast<uint8_t*>(zeroed ? std::calloc(size_t(bytes), 1) : std::malloc(size_t(bytes)));
    // Whole large pages, so the last one is not left to small ones. Without them (or with
    // the hint refused) the memory works the same in small pages.
    const size_t rounded = size_t((bytes + kLargePage - 1) / kLargePage * kLargePage);
    void* memory = nullptr;
    if (posix_memalign(&memory, size_t(kLargePage), rounded) != 0) return nullptr;
#ifdef MADV_HUGEPAGE
    madvise(memory, rounded, MADV_HUGEPAGE);
#endif
    if (zeroed) std::memset(memory, 0, size_t(bytes));
    return static_cast<uint8_t*>(memory);
}

}  // namespace vorn
