// A ByteStream over a C stdio file. Besides opening by name it can create a new,
// uniquely named empty file in a folder (never replacing an existing one), which is
// how saves get their temporary file beside the target.
#pragma once

#include "wave/ByteStream.h"
#include "wave/FileSystem.h"

#include <cstdio>
#include <string>

namespace vorn {

class FileStream final : public ByteStream {
public:
    enum class Mode {
        Read,       // existing file, read only
        ReadWrite,  // existing file, read and write
        Append,     // existing file, writes go to its end
        Create,     // new or emptied file, read and write
    };

    FileStream() = default;
    ~FileStream() override;
    FileStream(const FileStream&) = delete;
    FileStream& operator=(const FileStream&) = delete;

    bool Open(const std::string& path, Mode mode);
    // Creates "<folder>/<prefix><unique>.tmp" for reading and writing; `name` receives it.
    bool CreateUnique(const std::string& folder, const std::string& prefix, std::string& name);
    // Flushes and closes; false when buffered data could not be written.
    bool Close();
    bool IsOpen() const { return file != nullptr; }

    std::size_t Read(void* destination, std::size_t n) override;
    std::size_t Write(const void* source, std::size_t n) override;
    bool Seek(uint64_t offset) override;
    uint64_t Tell() override;
    uint64_t Size() override;

    // Writes up to `count` bytes of `in` (fewer where it ends) at the current position;
    // both end up behind what was copied.
    bool CopyFrom(FileStream& in, uint64_t count = UINT64_MAX);

private:
    // C streams need a seek between a read and a following write (and back); the
    // stream inserts one itself so that callers may alternate freely.
    enum class LastStep { None, Read, Write };
    void SwitchTo(LastStep next);
    void Unbuffer();

    std::FILE* file = nullptr;
    LastStep last = LastStep::None;
};

// Copies the bytes of source into an open stream, from its current position.
bool CopyInto(const std::string& source, FileStream& destination);
// Copies source over destination through a temporary file beside it, so that the
// destination is either the old file or the whole copy, never a part of one.
bool CopyReplacing(const std::string& source, const std::string& destination);

// Writes a new file beside target with write(FileStream&) and moves it over target only
// when complete, so that a failure at any point leaves the old file as it was.
template <typename Writer>
bool WriteReplacing(const std::string& target, Writer write) {
    FileStream out;
    std::string temporary;
    if (!out.CreateUnique(FolderOf(target), "wav", temporary)) return false;
    if (!write(out)) {
        out.Close();
        RemoveFile(temporary);
        return false;
    }
    if (!out.Close() || !ReplaceFile(temporary, target)) {
        RemoveFile(temporary);
        return false;
    }
    return true;
}

}  // namespace vorn
