// One section ("Settings") of the settings file, as the store needs it: read one value
// with a default, write one value. The program's implementation is the Windows
// private-profile API (win32/PrivateProfileFile); tests use an in-memory fake.
#pragma once

#include <cstddef>
#include <string>

namespace vorn {

class SettingsFile {
public:
    virtual ~SettingsFile() = default;
    // The key's value, or defaultText when the file, section or key is missing; at most
    // capacity - 1 characters are returned (the platform cuts longer values).
    virtual std::string GetString(const char* key, const char* defaultText, std::size_t capacity) = 0;
    // Replaces the key's value or adds the key (and section and file). Failures are ignored.
    virtual void PutString(const char* key, const char* value) = 0;
};

}  // namespace vorn
