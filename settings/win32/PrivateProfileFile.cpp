#include "settings/win32/PrivateProfileFile.h"

#include <windows.h>

#include <cstring>
#include <vector>

namespace vorn {

namespace {
constexpr char kSection[] = "Settings";
}

std::string PrivateProfileFile::GetString(const char* key, const char* defaultText, std::size_t capacity) {
    if (capacity == 0) return {};
    std::vector<char> buffer(capacity, '\0');
    DWORD n = GetPrivateProfileStringA(kSection, key, defaultText, buffer.data(),
                                       static_cast<DWORD>(capacity), path_.c_str());
    if (n >= capacity) n = static_cast<DWORD>(capacity - 1);
    // A value with a NUL byte in it (a damaged file) ends there, as it does for any caller.
    return std::string(buffer.data(), strnlen(buffer.data(), n));
}

void PrivateProfileFile::PutString(const char* key, const char* value) {
    // A read-only or unreachable file just keeps its old contents; nothing to tell anyone.
    WritePrivateProfileStringA(kSection, key, value, path_.c_str());
}

}  // namespace vorn
