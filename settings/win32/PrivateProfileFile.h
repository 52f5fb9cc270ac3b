// Section "Settings" of an INI file through the Windows private-profile API.
#pragma once

#include "settings/SettingsFile.h"

#include <string>

namespace vorn {

class PrivateProfileFile final : public SettingsFile {
public:
    explicit PrivateProfileFile(std::string path) : path_(std::move(path)) {}
    std::string GetString(const char* key, const char* defaultText, std::size_t capacity) override;
    void PutString(const char* key, const char* value) override;

private:
    std::string path_;
};

}  // namespace vorn
