#include "wave/FileStream.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstring>

#ifdef _WIN32
#include <io.h>
#include <process.h>
#include <windows.h>
#undef ReplaceFile  // the platform's name for ReplaceFileA; ours is vorn::ReplaceFile
#define VORN_OPEN _open
#define VORN_FDOPEN _fdopen
#define VORN_CLOSE _close
#define VORN_GETPID _getpid
#define VORN_MODE (_S_IREAD | _S_IWRITE)
#else
#include <unistd.h>
#define VORN_OPEN open
#define VORN_FDOPEN fdopen
#define VORN_CLOSE close
#define VORN_GETPID getpid
#define VORN_MODE 0666
#endif
#ifndef O_BINARY
#define O_BINARY 0
#endif

namespace vorn {

namespace {
// Paths are joined and split as plain text. std::filesystem reads a narrow path as UTF-8
// under MinGW and so mangles every letter of the ANSI code page ("é" in a folder name),
// and the file then cannot be opened.
#ifdef _WIN32
constexpr const char* kSeparators = "\\/";
#else
constexpr const char* kSeparators = "/";
#endif

std::string JoinPath(const std::string& folder, const std::string& name) {
    if (folder.empty()) return name;
    return std::strchr(kSeparators, folder.back()) ? folder + name : folder + kSeparators[0] + name;
}

int Seek64(std::FILE* f, uint64_t offset, int whence) {
#ifdef _WIN32
    return _fseeki64(f, int64_t(offset), whence);
#else
    return fseeko(f, off_t(offset), whence);
#endif
}

int64_t Tell64(std::FILE* f) {
#ifdef _WIN32
    return _ftelli64(f);
#else
    return int64_t(ftello(f));
#endif
}
}  // namespace

FileStream::~FileStream() { Close(); }

bool FileStream::Open(const std::string& path, Mode mode) {
    Close();
    const char* how = mode == Mode::Read ? "rb" : mode == Mode::ReadWrite ? "r+b" : "ab";
    file = std::fopen(path.c_str(), how);
    return file != nullptr;
}

bool FileStream::CreateUnique(const std::string& folder, const std::string& prefix,
                              std::string& name) {
    Close();
    static std::atomic<unsigned> counter{0};
    const unsigned seed = unsigned(std::chrono::steady_clock::now().time_since_epoch().count()) ^
                          (unsigned(VORN_GETPID()) << 16);
    for (int attempt = 0; attempt < 100; ++attempt) {
        char unique[32];
        std::snprintf(unique, sizeof unique, "%08x.tmp", seed + counter.fetch_add(1) * 7919u);
        std::string candidate = JoinPath(folder, prefix + unique);
        // O_EXCL: an existing file of that name is never taken over.
        int fd = VORN_OPEN(candidate.c_str(), O_RDWR | O_CREAT | O_EXCL | O_BINARY, VORN_MODE);
        if (fd < 0) {
            if (errno == EEXIST) continue;
            return false;
        }
        file = VORN_FDOPEN(fd, "w+b");
        if (!file) {
            VORN_CLOSE(fd);
            std::remove(candidate.c_str());
            return false;
        }
        name = candidate;
        return true;
    }
    return false;
}

bool FileStream::Close() {
    if (!file) return true;
    bool ok = std::fflush(file) == 0 && !std::ferror(file);
    ok = std::fclose(file) == 0 && ok;
    file = nullptr;
    return ok;
}

std::size_t FileStream::Read(void* destination, std::size_t n) {
    if (!file || n == 0) return 0;
    return std::fread(destination, 1, n, file);
}

std::size_t FileStream::Write(const void* source, std::size_t n) {
    if (!file || n == 0) return 0;
    return std::fwrite(source, 1, n, file);
}

bool FileStream::Seek(uint64_t offset) {
    return file && offset <= uint64_t(INT64_MAX) && Seek64(file, offset, SEEK_SET) == 0;
}

uint64_t FileStream::Tell() {
    if (!file) return 0;
    int64_t t = Tell64(file);
    return t < 0 ? 0 : uint64_t(t);
}

uint64_t FileStream::Size() {
    if (!file) return 0;
    int64_t here = Tell64(file);
    if (here < 0 || Seek64(file, 0, SEEK_END) != 0) return 0;
    int64_t end = Tell64(file);
    Seek64(file, uint64_t(here), SEEK_SET);
    return end < 0 ? 0 : uint64_t(end);
}

std::string FolderOf(const std::string& path) {
    const std::size_t last = path.find_last_of(kSeparators);
    if (last == std::string::npos) return ".";
    // The root keeps its separator ("/", "C:\"): without it, "C:" would be C:'s current folder.
    const bool root = last == 0 || (last == 2 && path[1] == ':');
    return path.substr(0, root ? last + 1 : last);
}

bool ReplaceFile(const std::string& source, const std::string& destination) {
#ifdef _WIN32
    return MoveFileExA(source.c_str(), destination.c_str(), MOVEFILE_REPLACE_EXISTING) != 0;
#else
    return std::rename(source.c_str(), destination.c_str()) == 0;
#endif
}

bool RemoveFile(const std::string& path) { return std::remove(path.c_str()) == 0; }

}  // namespace vorn
