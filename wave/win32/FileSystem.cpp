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

std::string FileNameOf(const std::string& path) {
    const std::size_t last = path.find_last_of(kSeparators);
    const std::size_t drive = path.size() >= 2 && path[1] == ':' ? 2 : 0;
    return path.substr(last == std::string::npos ? drive : last + 1);
}

bool IsFolder(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
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

bool IdentifyFile(const std::string& path, FileIdentity& identity) {
    // Backup semantics open folders too; no access rights are needed to ask.
    HANDLE h = CreateFileA(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                           OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    BY_HANDLE_FILE_INFORMATION info;
    const bool ok = GetFileInformationByHandle(h, &info) != 0;
    CloseHandle(h);
    if (ok)
        identity = {info.dwVolumeSerialNumber,
                    (uint64_t(info.nFileIndexHigh) << 32) | info.nFileIndexLow};
    return ok;
}

std::string ReadProblem(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        const DWORD error = GetLastError();
        return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? "no such file" : LastErrorText();
    }
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) return "it is a folder";
    HANDLE h = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return GetLastError() == ERROR_ACCESS_DENIED ? "no permission to read it" : LastErrorText();
    CloseHandle(h);
    return "";
}

std::string LastErrorText() {
    const DWORD error = GetLastError();
    char text[256] = {};
    const DWORD n = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error, 0, text,
                                   sizeof text, nullptr);
    std::string s(text, n);
    while (!s.empty() && (s.back() == '\n' || s.back() == '\r' || s.back() == '.')) s.pop_back();
    return s.empty() ? "system error " + std::to_string(error) : s;
}

// Links are rare on Windows and the rename keeps what a file's folder gives it.
std::string LinkTarget(const std::string& path) { return path; }

std::vector<std::string> ListFolder(const std::string& folder) {
    std::vector<std::string> names;
    WIN32_FIND_DATAA entry;
    HANDLE find = FindFirstFileA(JoinPath(folder, "*").c_str(), &entry);
    if (find == INVALID_HANDLE_VALUE) return names;
    do names.emplace_back(entry.cFileName);
    while (FindNextFileA(find, &entry));
    FindClose(find);
    return names;
}

bool ReadKeeping(const std::string&, FileKeeping& keeping) {
    keeping = {};
    return true;
}

bool ApplyKeeping(const std::string&, const FileKeeping&) { return true; }

void MakeNewFilesPrivate() {}

unsigned ProcessNumber() { return unsigned(_getpid()); }

int SeekFile(std::FILE* file, int64_t offset, int whence) { return _fseeki64(file, offset, whence); }

int64_t TellFile(std::FILE* file) { return _ftelli64(file); }

FastCopy CopyWithinSystem(std::FILE*, std::FILE*, uint64_t) { return FastCopy::NotOffered; }

}  // namespace vorn
