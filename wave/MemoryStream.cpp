#include "wave/MemoryStream.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace vorn {

std::size_t MemoryStream::Read(void* destination, std::size_t n) {
    if (position >= bytes.size() || n == 0) return 0;
    const std::size_t count = std::size_t(std::min<uint64_t>(n, bytes.size() - position));
    std::memcpy(destination, bytes.data() + position, count);
    position += count;
    return count;
}

std::size_t MemoryStream::Write(const void* source, std::size_t n) {
    if (n == 0) return 0;
    const uint64_t end = position + n;
    if (end < position || end > bytes.max_size()) return 0;
    if (end > bytes.size()) {
        try {
            bytes.resize(std::size_t(end));
        } catch (const std::bad_alloc&) {
            return 0;
        }
    }
    std::memcpy(bytes.data() + position, source, n);
    position = end;
    return n;
}

bool MemoryStream::Seek(uint64_t offset) {
    position = offset;
    return true;
}

}  // namespace vorn
