// The POSIX side of the file-system seam; win32/FileSystem.cpp is the Windows one.
#include "wave/FileSystem.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <system_error>

namespace vorn {

namespace {
constexpr std::size_t kNameLength = 260;
}

std::string JoinPath(const std::string& folder, const std::string& name) {
    if (folder.empty()) return name;
    return folder.back() == '/' ? folder + name : folder + '/' + name;
}

std::string FolderOf(const std::string& path) {
    const std::size_t last = path.rfind('/');
    if (last == std::string::npos) return ".";
    return last == 0 ? std::string("/") : path.substr(0, last);
}

// Two names that differ only in case are two files here: taking them for one would
// skip the delivery to the second.
bool SameFileName(const std::string& a, const std::string& b) {
    return a.compare(0, kNameLength, b, 0, kNameLength) == 0;
}

std::string SystemTempFolder() {
    std::error_code ec;
    std::filesystem::path p = std::filesystem::temp_directory_path(ec);
    return ec ? std::string(".") : p.string();
}

bool IsReadOnly(const std::string& path) {
    struct stat status;
    return stat(path.c_str(), &status) == 0 && (status.st_mode & S_IWUSR) == 0;
}

bool ReplaceFile(const std::string& source, const std::string& destination) {
    if (IsReadOnly(destination)) return false;
    FileStep();
    return std::rename(source.c_str(), destination.c_str()) == 0;
}

std::FILE* CreateNewFile(const std::string& path, bool& taken) {
    const int fd = open(path.c_str(), O_RDWR | O_CREAT | O_EXCL, 0666);
    taken = fd < 0 && errno == EEXIST;
    if (fd < 0) return nullptr;
    std::FILE* file = fdopen(fd, "w+b");
    if (!file) {
        close(fd);
        std::remove(path.c_str());
    }
    return file;
}

unsigned ProcessNumber() { return unsigned(getpid()); }

int SeekFile(std::FILE* file, int64_t offset, int whence) { return fseeko(file, off_t(offset), whence); }

int64_t TellFile(std::FILE* file) { return int64_t(ftello(file)); }

FastCopy CopyWithinSystem(std::FILE* in, std::FILE* out, uint64_t count) {
#ifdef __linux__
    // The kernel copies between the two files without the bytes passing through here.
    // Unbuffered streams hold no bytes of their own; afterwards each stream is set to
    // where its descriptor now stands.
    bool copied = false;
    for (ssize_t n; count > 0; count -= uint64_t(n)) {
        n = copy_file_range(fileno(in), nullptr, fileno(out), nullptr, std::size_t(std::min<uint64_t>(count, 1 << 30)), 0);
        if (n == 0) break;
        if (n < 0) return copied ? FastCopy::Failed : FastCopy::NotOffered;
        copied = true;
    }
    for (std::FILE* f : {in, out}) SeekFile(f, int64_t(lseek(fileno(f), 0, SEEK_CUR)), SEEK_SET);
    return FastCopy::Copied;
#else
    (void)in;
    (void)out;
    (void)count;
    return FastCopy::NotOffered;
#endif
}

}  // namespace vorn
