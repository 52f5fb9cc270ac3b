#include "wave/FileStream.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <system_error>

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

FileStepObserver stepObserver = nullptr;
void FileStep() {
    if (stepObserver) stepObserver();
}
}  // namespace

void SetFileStepObserver(FileStepObserver observer) { stepObserver = observer; }

FileStream::~FileStream() { Close(); }

bool FileStream::Open(const std::string& path, Mode mode) {
    Close();
    static constexpr const char* kHow[] = {"rb", "r+b", "ab", "w+b"};
    file = std::fopen(path.c_str(), kHow[int(mode)]);
    last = LastStep::None;
    Unbuffer();
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
        last = LastStep::None;
        Unbuffer();
        return true;
    }
    return false;
}

bool FileStream::Close() {
    if (!file) return true;
    FileStep();
    bool ok = std::fflush(file) == 0 && !std::ferror(file);
    ok = std::fclose(file) == 0 && ok;
    file = nullptr;
    return ok;
}

// Callers read and write in whole records or large blocks, and direct mode jumps to a
// new frame for every few bytes: a stream buffer would only fill with bytes never used.
void FileStream::Unbuffer() {
    if (file) std::setvbuf(file, nullptr, _IONBF, 0);
}

void FileStream::SwitchTo(LastStep next) {
    if (last != LastStep::None && last != next) Seek64(file, 0, SEEK_CUR);
    last = next;
}

std::size_t FileStream::Read(void* destination, std::size_t n) {
    if (!file || n == 0) return 0;
    SwitchTo(LastStep::Read);
    return std::fread(destination, 1, n, file);
}

std::size_t FileStream::Write(const void* source, std::size_t n) {
    if (!file || n == 0) return 0;
    FileStep();
    SwitchTo(LastStep::Write);
    return std::fwrite(source, 1, n, file);
}

bool FileStream::Seek(uint64_t offset) {
    if (!file || offset > uint64_t(INT64_MAX)) return false;
    last = LastStep::None;
    return Seek64(file, offset, SEEK_SET) == 0;
}

uint64_t FileStream::Tell() {
    if (!file) return 0;
    int64_t t = Tell64(file);
    return t < 0 ? 0 : uint64_t(t);
}

uint64_t FileStream::Size() {
    if (!file) return 0;
    int64_t here = Tell64(file);
    last = LastStep::None;
    if (here < 0 || Seek64(file, 0, SEEK_END) != 0) return 0;
    int64_t end = Tell64(file);
    Seek64(file, uint64_t(here), SEEK_SET);
    return end < 0 ? 0 : uint64_t(end);
}

std::string SystemTempFolder() {
#ifdef _WIN32
    char folder[MAX_PATH + 1] = {};
    const DWORD n = GetTempPathA(sizeof folder, folder);
    return n == 0 || n >= sizeof folder ? std::string(".") : std::string(folder, n);
#else
    std::error_code ec;
    std::filesystem::path p = std::filesystem::temp_directory_path(ec);
    return ec ? std::string(".") : p.string();
#endif
}

std::string FolderOf(const std::string& path) {
    const std::size_t last = path.find_last_of(kSeparators);
    if (last == std::string::npos) return ".";
    // The root keeps its separator ("/", "C:\"): without it, "C:" would be C:'s current folder.
    const bool root = last == 0 || (last == 2 && path[1] == ':');
    return path.substr(0, root ? last + 1 : last);
}

bool IsReadOnly(const std::string& path) {
#ifdef _WIN32
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0;
#else
    struct stat status;
    return stat(path.c_str(), &status) == 0 && (status.st_mode & S_IWUSR) == 0;
#endif
}

bool ReplaceFile(const std::string& source, const std::string& destination) {
    if (IsReadOnly(destination)) return false;
    FileStep();
#ifdef _WIN32
    return MoveFileExA(source.c_str(), destination.c_str(), MOVEFILE_REPLACE_EXISTING) != 0;
#else
    return std::rename(source.c_str(), destination.c_str()) == 0;
#endif
}

bool RemoveFile(const std::string& path) {
    FileStep();
    return std::remove(path.c_str()) == 0;
}

bool FileStream::CopyFrom(FileStream& in) {
    if (!file || !in.file) return false;
    FileStep();
#ifdef __linux__
    // The kernel copies between the two files without the bytes passing through here.
    // Unbuffered streams hold no bytes of their own; afterwards each stream is set to
    // where its descriptor now stands.
    bool copied = false;
    for (ssize_t n; (n = copy_file_range(fileno(in.file), nullptr, fileno(file), nullptr, size_t(1) << 30, 0)) != 0;) {
        if (n < 0) {
            if (copied) return false;
            break;  // not offered for these files: copy through memory
        }
        copied = true;
    }
    if (copied) {
        for (FileStream* s : {&in, this}) Seek64(s->file, uint64_t(lseek(fileno(s->file), 0, SEEK_CUR)), SEEK_SET);
        return true;
    }
#endif
    constexpr std::size_t kBlock = 1 << 20;
    std::unique_ptr<char, decltype(&std::free)> block(static_cast<char*>(std::malloc(kBlock)), &std::free);
    if (!block) return false;
    for (;;) {
        const std::size_t n = in.Read(block.get(), kBlock);
        if (n > 0 && Write(block.get(), n) != n) return false;
        if (n < kBlock) return !std::ferror(in.file);
    }
}

bool CopyInto(const std::string& source, FileStream& destination) {
    FileStream in;
    return in.Open(source, FileStream::Mode::Read) && destination.CopyFrom(in) && in.Close();
}

bool CopyReplacing(const std::string& source, const std::string& destination) {
    if (IsReadOnly(destination)) return false;
    FileStream out;
    std::string temporary;
    if (!out.CreateUnique(FolderOf(destination), "wav", temporary)) return false;
    const bool copied = CopyInto(source, out);
    if (!out.Close() || !copied || !ReplaceFile(temporary, destination)) {
        RemoveFile(temporary);
        return false;
    }
    return true;
}

}  // namespace vorn
