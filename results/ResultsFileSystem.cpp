// The POSIX side of the results' platform seam; win32/ResultsFileSystem.cpp is the Windows one.
#include "results/ResultsFileSystem.h"

#include "wave/FileSystem.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <ctime>

namespace vorn {

LocalTime NowLocal() {
    const std::time_t now = std::time(nullptr);
    std::tm t{};
    localtime_r(&now, &t);
    return {t.tm_year + 1900, t.tm_mon + 1, t.tm_mday, t.tm_hour, t.tm_min, t.tm_sec, int(t.tm_gmtoff / 60)};
}

std::string ComputerName() {
    char name[256] = {};
    if (gethostname(name, sizeof name - 1) != 0 || name[0] == 0) return "unknown";
    return name;
}

namespace {
bool WriteAll(int fd, const std::string& text) {
    for (size_t done = 0; done < text.size();) {
        const ssize_t n = write(fd, text.data() + done, text.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        done += size_t(n);
    }
    return true;
}
}  // namespace

bool AppendDurably(const std::string& path, const std::string& header, const std::string& text) {
    if (IsReadOnly(path)) return false;
    const int fd = open(path.c_str(), O_RDWR | O_APPEND | O_CREAT, 0666);
    if (fd < 0) return false;
    std::string lead;
    const off_t size = lseek(fd, 0, SEEK_END);
    char last = '\n';
    if (size <= 0) lead = header;
    else if (pread(fd, &last, 1, size - 1) == 1 && last != '\n') lead = "\r\n";
    FileStep();
    const bool written = WriteAll(fd, lead + text) && fsync(fd) == 0;
    return close(fd) == 0 && written;
}

bool FlushToDisk(std::FILE* file) { return std::fflush(file) == 0 && fsync(fileno(file)) == 0; }

FolderMade MakeFolder(const std::string& path) {
    if (mkdir(path.c_str(), 0777) == 0) return FolderMade::Made;
    return errno == EEXIST ? FolderMade::Taken : FolderMade::Failed;
}

bool MakeFolders(const std::string& path) {
    for (size_t slash = path.find('/', 1);; slash = path.find('/', slash + 1)) {
        const std::string part = path.substr(0, slash);
        struct stat status;
        if (stat(part.c_str(), &status) != 0 && MakeFolder(part) == FolderMade::Failed) return false;
        if (slash == std::string::npos) break;
    }
    return IsFolder(path);
}

bool FileExists(const std::string& path) {
    struct stat status;
    return stat(path.c_str(), &status) == 0;
}

bool MoveToNewName(const std::string& source, const std::string& destination) {
    FileStep();
    // link refuses an existing name where rename would replace it.
    if (link(source.c_str(), destination.c_str()) != 0) return false;
    unlink(source.c_str());
    return true;
}

}  // namespace vorn
