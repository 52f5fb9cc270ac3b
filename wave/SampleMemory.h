// Memory for sample buffers, owned as malloc's is: std::free releases it and std::realloc
// resizes it. A buffer of a megabyte or more comes aligned to 2 MB and asks the system for
// large pages: a minute of stereo is three thousand small pages, and on a virtual machine
// their first-touch faults cost more than reading the file into them.
#pragma once

#include <cstdint>

namespace vorn {

struct SampleMemory {
    // `bytes` bytes (at least one), zero-filled when `zeroed`; nullptr when there is no memory.
    static uint8_t* Allocate(uint64_t bytes, bool zeroed);
};

}  // namespace vorn
