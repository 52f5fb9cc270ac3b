// The Windows side of the results' platform seam (see results/ResultsFileSystem.h).
#include "results/ResultsFileSystem.h"

#include "wave/FileSystem.h"

#include <io.h>
#include <windows.h>

#include <ctime>

namespace vorn {

LocalTime NowLocal() {
    const __time64_t now = _time64(nullptr);
    std::tm t{};
    _localtime64_s(&t, &now);
    // The offset as this moment has it, summer time included: the local fields read as UTC.
    std::tm copy = t;
    const long long offset = (long long)(_mkgmtime64(&copy) - now);
    return {t.tm_year + 1900, t.tm_mon + 1, t.tm_mday, t.tm_hour, t.tm_min, t.tm_sec, int(offset / 60)};
}

std::string ComputerName() {
    char name[MAX_COMPUTERNAME_LENGTH + 1] = {};
    DWORD size = sizeof name;
    if (!GetComputerNameA(name, &size) || size == 0) return "unknown";
    return std::string(name, size);
}

bool AppendDurably(const std::string& path, const std::string& header, const std::string& text) {
    // Windows refuses a read-only file; so must Wine, which as root would write it.
    if (IsReadOnly(path)) return false;
    // Read and write sharing for readers and other appenders; a spreadsheet program that opened
    // the file without write sharing makes this fail with a sharing violation.
    HANDLE file = CreateFileA(path.c_str(), FILE_READ_DATA | FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    std::string lead;
    LARGE_INTEGER size{};
    GetFileSizeEx(file, &size);
    if (size.QuadPart <= 0) {
        lead = header;
    } else {
        OVERLAPPED at{};
        const LONGLONG lastAt = size.QuadPart - 1;
        at.Offset = DWORD(lastAt & 0xFFFFFFFF);
        at.OffsetHigh = DWORD(lastAt >> 32);
        char last = '\n';
        DWORD got = 0;
        if (ReadFile(file, &last, 1, &got, &at) && got == 1 && last != '\n') lead = "\r\n";
    }
    const std::string all = lead + text;
    FileStep();
    DWORD written = 0;
    const bool ok = WriteFile(file, all.data(), DWORD(all.size()), &written, nullptr) && written == all.size() &&
                    FlushFileBuffers(file);
    return CloseHandle(file) && ok;
}

bool FlushToDisk(std::FILE* file) { return std::fflush(file) == 0 && _commit(_fileno(file)) == 0; }

FolderMade MakeFolder(const std::string& path) {
    if (CreateDirectoryA(path.c_str(), nullptr)) return FolderMade::Made;
    return GetLastError() == ERROR_ALREADY_EXISTS ? FolderMade::Taken : FolderMade::Failed;
}

bool MakeFolders(const std::string& path) {
    // Past the drive ("C:\") or the server and share ("\\server\share\") before making any.
    size_t from = path.size() > 2 && path[1] == ':' ? 3 : 1;
    if (path.compare(0, 2, "\\\\") == 0) from = path.find_first_of("\\/", path.find_first_of("\\/", 2) + 1);
    for (size_t cut = path.find_first_of("\\/", from);; cut = path.find_first_of("\\/", cut + 1)) {
        const std::string part = path.substr(0, cut);
        if (GetFileAttributesA(part.c_str()) == INVALID_FILE_ATTRIBUTES && MakeFolder(part) == FolderMade::Failed)
            return false;
        if (cut == std::string::npos) break;
    }
    return IsFolder(path);
}

bool FileExists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

bool MoveToNewName(const std::string& source, const std::string& destination) {
    FileStep();
    return MoveFileExA(source.c_str(), destination.c_str(), MOVEFILE_WRITE_THROUGH) != 0;
}

}  // namespace vorn
