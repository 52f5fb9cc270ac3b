// The POSIX side of the file-system seam; win32/FileSystem.cpp is the Windows one.
#include "wave/FileSystem.h"

#include <dirent.h>
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

std::string FileNameOf(const std::string& path) { return path.substr(path.rfind('/') + 1); }

bool IsFolder(const std::string& path) {
    struct stat status;
    return stat(path.c_str(), &status) == 0 && S_ISDIR(status.st_mode);
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

bool IdentifyFile(const std::string& path, FileIdentity& identity) {
    struct stat status;
    if (stat(path.c_str(), &status) != 0) return false;
    identity = {uint64_t(status.st_dev), uint64_t(status.st_ino)};
    return true;
}

std::string ReadProblem(const std::string& path) {
    struct stat status;
    if (stat(path.c_str(), &status) != 0) return errno == ENOENT ? "no such file" : LastErrorText();
    if (S_ISDIR(status.st_mode)) return "it is a folder";
    if (access(path.c_str(), R_OK) != 0) return "no permission to read it";
    return "";
}

std::string LastErrorText() { return std::strerror(errno); }

std::string LinkTarget(const std::string& path) {
    std::error_code ec;
    if (!std::filesystem::is_symlink(path, ec)) return path;
    const std::filesystem::path target = std::filesystem::canonical(path, ec);
    return ec ? path : target.string();
}

std::vector<std::string> ListFolder(const std::string& folder) {
    std::vector<std::string> names;
    DIR* dir = opendir(folder.c_str());
    if (!dir) return names;
    while (const dirent* entry = readdir(dir)) names.emplace_back(entry->d_name);
    closedir(dir);
    return names;
}

bool ReadKeeping(const std::string& path, FileKeeping& keeping) {
    struct stat status;
    if (stat(path.c_str(), &status) != 0) return false;
    keeping = {true, unsigned(status.st_mode & 07777), unsigned(status.st_uid), unsigned(status.st_gid),
               unsigned(status.st_nlink), geteuid() != 0 && status.st_uid != geteuid()};
    return true;
}

bool ApplyKeeping(const std::string& path, const FileKeeping& keeping) {
    if (!keeping.known) return true;
    // The owner first: changing it may clear the set-id bits the mode then restores.
    const bool owned = chown(path.c_str(), uid_t(keeping.owner), gid_t(keeping.group)) == 0;
    return chmod(path.c_str(), mode_t(keeping.mode)) == 0 && owned;
}

void MakeNewFilesPrivate() { umask(077); }

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
