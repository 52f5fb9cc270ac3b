// Opens arbitrary bytes as a wave file in direct mode and edits it: sample and frame
// writes, appended frames, a commit in place; then a calibration change delivered to a
// second name through a temporary copy. Whatever opened must load again with the frames
// and samples the edits left, and nothing but the files meant may change: a sentinel
// file beside them stays as it was and no temporary file is left behind.
#include "fuzz/SilentSink.h"
#include "wave/WaveFile.h"

#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

constexpr const char* kFolderPrefix = "vorn-fuzz-direct-";

// Folders of fuzzing processes that have ended: libFuzzer leaves without running exit
// handlers, so each process sweeps up after those before it.
void RemoveStaleFolders(const fs::path& base) {
    std::error_code ec;
    for (const auto& e : fs::directory_iterator(base, ec)) {
        const std::string name = e.path().filename().string();
        if (name.rfind(kFolderPrefix, 0) != 0) continue;
        const pid_t pid = pid_t(std::atol(name.c_str() + std::strlen(kFolderPrefix)));
        if (pid > 0 && kill(pid, 0) != 0 && errno == ESRCH) fs::remove_all(e.path(), ec);
    }
}

// One folder for the whole process, in memory where the system has it.
const fs::path& Folder() {
    static const fs::path folder = [] {
        std::error_code ec;
        fs::path base = fs::is_directory("/dev/shm", ec) ? fs::path("/dev/shm") : fs::temp_directory_path();
        RemoveStaleFolders(base);
        fs::path p = base / (kFolderPrefix + std::to_string(getpid()));
        fs::create_directories(p);
        return p;
    }();
    return folder;
}

bool WriteAll(const fs::path& path, const uint8_t* data, size_t size) {
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    bool ok = std::fwrite(data, 1, size, f) == size;
    return std::fclose(f) == 0 && ok;
}

std::vector<uint8_t> ReadAll(const fs::path& path) {
    std::vector<uint8_t> b;
    if (FILE* f = std::fopen(path.c_str(), "rb")) {
        for (int c; (c = std::fgetc(f)) != EOF;) b.push_back(uint8_t(c));
        std::fclose(f);
    }
    return b;
}

void Check(bool condition) {
    if (!condition) __builtin_trap();
}

std::set<std::string> Listing() {
    std::set<std::string> names;
    for (const auto& e : fs::directory_iterator(Folder())) names.insert(e.path().filename().string());
    return names;
}

// The frames of a file in memory mode, all channels.
std::vector<uint8_t> Frames(const fs::path& path, uint32_t& frames, bool& loaded) {
    vorn::TWaveFile w(path.string(), 0, false, nullptr);
    loaded = !w.Failed();
    frames = w.GetFrameCount();
    return loaded && w.GetSamples() ? std::vector<uint8_t>(w.GetSamples(), w.GetSamples() + w.GetByteSize())
                                    : std::vector<uint8_t>{};
}

// Edits in place; returns the frames the file should hold afterwards (empty: not opened).
std::vector<uint8_t> EditInPlace(const fs::path& in, const uint8_t* data, size_t size) {
    vorn::TWaveFile w(in.string(), 1, false, nullptr);
    if (w.Failed() || w.GetFrameCount() == 0 || w.GetFormat().FrameSize() > 8) return {};
    const uint32_t frames = w.GetFrameCount(), frameSize = w.GetFormat().FrameSize();
    const int32_t value = size > 0 ? int32_t(data[0]) : 1;
    w.WriteSample(value, frames / 2, 1);
    w.WriteSample(value, frames - 1, 0);
    uint8_t block[64] = {};
    const uint32_t count = std::min<uint32_t>(frames, 8);
    if (w.ReadFrames(block, 0, count, 2)) w.WriteFrames(block, frames - count, count, 0);
    w.SetPosition(frames);
    w.WriteBytes(data, uint32_t(std::min<size_t>(size, 3 * frameSize)));
    Check(w.Commit());
    std::vector<uint8_t> all(size_t(w.GetFrameCount()) * frameSize);
    Check(all.empty() || w.ReadFrames(all.data(), 0, w.GetFrameCount(), 2));
    return all;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static vorn::fuzz::SilentSink sink;
    vorn::SetMessageSink(&sink);
    const fs::path in = Folder() / "in.wav", out = Folder() / "out.wav", sentinel = Folder() / "sentinel";
    static const uint8_t kSentinel[] = "left alone";
    if (!WriteAll(sentinel, kSentinel, sizeof kSentinel) || !WriteAll(in, data, size)) return 0;
    const std::set<std::string> before = {"in.wav", "sentinel"};

    const std::vector<uint8_t> edited = EditInPlace(in, data, size);
    Check(Listing() == before);
    if (!edited.empty()) {
        uint32_t frames = 0;
        bool loaded = false;
        Check(Frames(in, frames, loaded) == edited);
        Check(loaded);

        vorn::TWaveFile w(in.string(), 1, true, Folder().c_str());
        Check(!w.Failed());
        vorn::CalibrationBlock block = w.GetCalibration();
        block.left.amplitudeMode ^= 1;  // any change makes the commit rebuild the target
        w.SetCalibration(block);
        w.SetTargetName(out.string());
        Check(w.Commit());
        uint32_t outFrames = 0;
        Check(Frames(out, outFrames, loaded) == edited);
        Check(vorn::TWaveFile(out.string(), 0, false, nullptr).GetCalibration().SameBytes(block));
    }
    Check(ReadAll(sentinel) == std::vector<uint8_t>(kSentinel, kSentinel + sizeof kSentinel));
    std::error_code ec;
    fs::remove(out, ec);
    Check(Listing() == before);
    fs::remove(in, ec);
    return 0;
}
