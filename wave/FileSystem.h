// Where the wave files meet the platform's file system: path text, temporary folders,
// renames and the few stdio calls that differ between systems. FileSystem.cpp is the
// POSIX side, win32/FileSystem.cpp the Windows one; RemoveFile and the step hook are the
// same everywhere and live in FileStream.cpp.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace vorn {

// Paths are joined and split as plain text, never through std::filesystem: MinGW reads a
// narrow path there as UTF-8 and so mangles every letter of the ANSI code page ("é" in a
// folder name), and the file then cannot be opened.
std::string JoinPath(const std::string& folder, const std::string& name);
// The folder part of a path ("." when it has none), for files made beside it.
std::string FolderOf(const std::string& path);
// The last part of a path, after its folder.
std::string FileNameOf(const std::string& path);
// Whether the path names an existing folder.
bool IsFolder(const std::string& path);
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

// What a file is, apart from its name: device and inode here, volume serial and file
// index on Windows. Two names of one file (case, links, "..") give the same identity.
struct FileIdentity {
    uint64_t volume = 0;
    uint64_t index = 0;
    bool operator==(const FileIdentity&) const = default;
};
// False when the file cannot be looked at (it does not exist, say).
bool IdentifyFile(const std::string& path, FileIdentity& identity);
// Why a file cannot be read ("no such file", "it is a folder", "no permission to read
// it"), or "" when it can be opened.
std::string ReadProblem(const std::string& path);
// The text of the last failed system call, for messages.
std::string LastErrorText();
// The file a symbolic link leads to (the path itself when it is none), so that rewriting
// a file through a link updates its target and keeps the link.
std::string LinkTarget(const std::string& path);

// The names of the entries of a folder (none when it cannot be read).
std::vector<std::string> ListFolder(const std::string& folder);

// What a rewrite must carry over from the file it replaces: who owns it, who may read
// it, and how many names it has (a rename gives only one of them the new file).
struct FileKeeping {
    bool known = false;
    unsigned mode = 0, owner = 0, group = 0, links = 1;
    bool ownedByOthers = false;  // this process could not give the file back its owner
};
bool ReadKeeping(const std::string& path, FileKeeping& keeping);
// Gives a rewritten file the keeping of the one it replaced; false names nothing kept.
bool ApplyKeeping(const std::string& path, const FileKeeping& keeping);
// New files of this process start readable by their owner only, until ApplyKeeping
// opens them as far as the file they replace was open.
void MakeNewFilesPrivate();

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
