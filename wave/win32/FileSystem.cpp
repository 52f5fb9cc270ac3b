// The Windows side of the file-system seam (see wave/FileSystem.h).
#include "wave/FileSystem.h"

#include <fcntl.h>
#include <io.h>
#include <process.h>
#include <sys/stat.h>
#include <windows.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstring>

#undef ReplaceFile  // the platform's name for ReplaceFileA; ours is vorn::ReplaceFile

namespace vorn {

namespace {
constexpr const char* kSeparators = "\\/";
constexpr std::size_t kNameLength = 260;
}  // namespace

std::string JoinPath(const std::string& folder, const std::string& name) {
    if (folder.empty()) return name;
    return std::strchr(kSeparators, folder.back()) ? folder + name : folder + '\\' + name;
}

std::string FolderOf(const std::string& path) {
    const std::size_t last = path.find_last_of(kSeparators);
    if (last == std::string::npos) return ".";
    // The root keeps its separator ("\", "C:\"): without it, "C:" would be C:'s current folder.
    const bool root = last == 0 || (last == 2 && path[1] == ':');
    return path.substr(0, root ? last + 1 : last);
}

bool SameFileName(const std::string& a, const std::string& b) {
    const std::size_t n = std::min(a.size(), kNameLength);
    if (n != std::min(b.size(), kNameLength)) return false;
    for (std::size_t i = 0; i < n; ++i)
        if (std::tolower(uint8_t(a[i])) != std::tolower(uint8_t(b[i]))) return false;
    return true;
}

std::string SystemTempFolder() {
    char folder[MAX_PATH + 1] = {};
    const DWORD n = GetTempPathA(sizeof folder, folder);
    return n == 0 || n >= sizeof folder ? std::string(".") : std::string(folder, n);
}

bool IsReadOnly(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0;
}

bool ReplaceFile(const std::string& source, const std::string& destination) {
    if (IsReadOnly(destination)) return false;
    FileStep();
    return MoveFileExA(source.c_str(), destination.c_str(), MOVEFILE_REPLACE_EXISTING) != 0;
}

std::FILE* CreateNewFile(const std::string& path, bool& taken) {
    const int fd = _open(path.c_str(), _O_RDWR | _O_CREAT | _O_EXCL | _O_BINARY, _S_IREAD | _S_IWRITE);
    taken = fd < 0 && errno == EEXIST;
    if (fd < 0) return nullptr;
    std::FILE* file = _fdopen(fd, "w+b");
    if (!file) {
        _close(fd);
        std::remove(path.c_str());
    }
    return file;
}

unsigned ProcessNumber() { return unsigned(_getpid()); }

int SeekFile(std::FILE* file, int64_t offset, int whence) { return _fseeki64(file, offset, whence); }

int64_t TellFile(std::FILE* file) { return _ftelli64(file); }

FastCopy CopyWithinSystem(std::FILE*, std::FILE*, uint64_t) { return FastCopy::NotOffered; }

}  // namespace vorn
