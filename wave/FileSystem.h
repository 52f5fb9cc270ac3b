// Where the wave files meet the platform's file system: path text, temporary folders,
// renames and the few stdio calls that differ between systems. FileSystem.cpp is the
// POSIX side, win32/FileSystem.cpp the Windows one; RemoveFile and the step hook are the
// same everywhere and live in FileStream.cpp.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

namespace vorn {

// Paths are joined and split as plain text, never through std::filesystem: MinGW reads a
// narrow path there as UTF-8 and so mangles every letter of the ANSI code page ("é" in a
// folder name), and the file then cannot be opened.
std::string JoinPath(const std::string& folder, const std::string& name);
// The folder part of a path ("." when it has none), for files made beside it.
std::string FolderOf(const std::string& path);
// Whether two names mean the same file by their text: letter case counts only where the
// file system tells it apart. Names compare on their first 260 characters.
bool SameFileName(const std::string& a, const std::string& b);

// The system's folder for temporary files ("." when there is none).
std::string SystemTempFolder();
// True when the file exists and may not be written.
bool IsReadOnly(const std::string& path);
// Moves source over destination, replacing it; false leaves both as they were. A
// read-only destination is refused on every platform, as Windows refuses it.
bool ReplaceFile(const std::string& source, const std::string& destination);
bool RemoveFile(const std::string& path);

// Creates a new file for reading and writing, never taking over an existing one; `taken`
// tells a name already in use from other failures.
std::FILE* CreateNewFile(const std::string& path, bool& taken);
// A number that differs between processes running at the same time.
unsigned ProcessNumber();
// fseek and ftell with 64-bit offsets.
int SeekFile(std::FILE* file, int64_t offset, int whence);
int64_t TellFile(std::FILE* file);

enum class FastCopy { Copied, Failed, NotOffered };
// Copies up to `count` bytes of `in` (fewer where it ends) to `out` inside the system, both
// unbuffered and both left behind what was copied. NotOffered, before anything moved, when
// the system cannot do it.
FastCopy CopyWithinSystem(std::FILE* in, std::FILE* out, uint64_t count);

// Called before every write, close, rename and removal of a file, so that tests can
// stop a process at each step of a save and look at what it left behind.
using FileStepObserver = void (*)();
void SetFileStepObserver(FileStepObserver observer);
void FileStep();

}  // namespace vorn
