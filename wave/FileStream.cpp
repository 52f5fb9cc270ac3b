#include "wave/FileStream.h"

#include "wave/FileSystem.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <memory>

namespace vorn {

namespace {
FileStepObserver stepObserver = nullptr;
}  // namespace

void FileStep() {
    if (stepObserver) stepObserver();
}

void SetFileStepObserver(FileStepObserver observer) { stepObserver = observer; }

bool RemoveFile(const std::string& path) {
    FileStep();
    return std::remove(path.c_str()) == 0;
}

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
    FileStep();  // a stopping process must not leave a temporary file its cleanup never saw
    Close();
    static std::atomic<unsigned> counter{0};
    const unsigned seed = unsigned(std::chrono::steady_clock::now().time_since_epoch().count()) ^
                          (ProcessNumber() << 16);
    for (int attempt = 0; attempt < 100; ++attempt) {
        char unique[32];
        std::snprintf(unique, sizeof unique, "%08x.tmp", seed + counter.fetch_add(1) * 7919u);
        const std::string candidate = JoinPath(folder, prefix + unique);
        bool taken = false;
        file = CreateNewFile(candidate, taken);
        if (!file) {
            if (taken) continue;
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
    if (last != LastStep::None && last != next) SeekFile(file, 0, SEEK_CUR);
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
    return SeekFile(file, int64_t(offset), SEEK_SET) == 0;
}

uint64_t FileStream::Tell() {
    if (!file) return 0;
    int64_t t = TellFile(file);
    return t < 0 ? 0 : uint64_t(t);
}

uint64_t FileStream::Size() {
    if (!file) return 0;
    int64_t here = TellFile(file);
    last = LastStep::None;
    if (here < 0 || SeekFile(file, 0, SEEK_END) != 0) return 0;
    int64_t end = TellFile(file);
    SeekFile(file, here, SEEK_SET);
    return end < 0 ? 0 : uint64_t(end);
}

bool FileStream::CopyFrom(FileStream& in, uint64_t count) {
    if (!file || !in.file) return false;
    FileStep();
    switch (CopyWithinSystem(in.file, file, count)) {
    case FastCopy::Copied: return true;
    case FastCopy::Failed: return false;
    case FastCopy::NotOffered: break;  // through memory
    }
    constexpr std::size_t kBlock = 1 << 20;
    std::unique_ptr<char, decltype(&std::free)> block(static_cast<char*>(std::malloc(kBlock)), &std::free);
    if (!block) return false;
    while (count > 0) {
        const std::size_t want = std::size_t(std::min<uint64_t>(count, kBlock));
        const std::size_t n = in.Read(block.get(), want);
        if (n > 0 && Write(block.get(), n) != n) return false;
        if (n < want) return !std::ferror(in.file);
        count -= n;
    }
    return true;
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
