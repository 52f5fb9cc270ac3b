#include "results/TextFile.h"

#include "results/ResultsFileSystem.h"
#include "wave/FileSystem.h"

#include <cstdio>
#include <memory>

namespace vorn {

namespace {

using File = std::unique_ptr<std::FILE, int (*)(std::FILE*)>;

// Makes the temporary file, lets `fill` write it, and renames it to `path`.
template <typename Fill>
bool MakeThroughTemporary(const std::string& path, bool durable, Fill fill) {
    const std::string temporary = path + ".tmp" + std::to_string(ProcessNumber());
    bool taken = false;
    File out(CreateNewFile(temporary, taken), &std::fclose);
    if (!out) return false;
    const bool filled = fill(out.get()) && (durable ? FlushToDisk(out.get()) : std::fflush(out.get()) == 0);
    FileStep();
    const bool closed = std::fclose(out.release()) == 0;
    if (filled && closed && MoveToNewName(temporary, path)) return true;
    RemoveFile(temporary);
    return false;
}

}  // namespace

bool ReadWholeFile(const std::string& path, std::string& bytes) {
    bytes.clear();
    File in(std::fopen(path.c_str(), "rb"), &std::fclose);
    if (!in) return false;
    char buffer[64 * 1024];
    for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, in.get())) > 0;) bytes.append(buffer, n);
    return !std::ferror(in.get());
}

bool WriteNewFile(const std::string& path, const std::string& bytes, bool durable) {
    return MakeThroughTemporary(path, durable, [&](std::FILE* out) {
        return std::fwrite(bytes.data(), 1, bytes.size(), out) == bytes.size();
    });
}

bool CopyToNewFile(const std::string& source, const std::string& destination) {
    File in(std::fopen(source.c_str(), "rb"), &std::fclose);
    if (!in) return false;
    return MakeThroughTemporary(destination, true, [&](std::FILE* out) {
        char buffer[64 * 1024];
        for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, in.get())) > 0;)
            if (std::fwrite(buffer, 1, n, out) != n) return false;
        return !std::ferror(in.get());
    });
}

}  // namespace vorn
