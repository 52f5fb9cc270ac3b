// Where the results meet the platform: durable appends that another program holding the
// journal open can refuse, folders, the clock and the computer's name. ResultsFileSystem.cpp
// is the POSIX side, win32/ResultsFileSystem.cpp the Windows one; paths join and split as
// in wave/FileSystem.h.
#pragma once

#include <cstdio>
#include <string>

namespace vorn {

struct LocalTime {
    int year, month, day;       // calendar date, month and day from 1
    int hour, minute, second;   // wall clock, 24 h
    int utcOffsetMinutes;       // local time minus UTC, e.g. +60 in Central European winter
};
LocalTime NowLocal();
// The computer's name as the network knows it; "unknown" when the system will not tell.
std::string ComputerName();

// Appends text to the file in one write and has it on the disk before returning. A new or
// empty file gets `header` first; a file whose last line was cut off (a process killed in
// mid-write) gets a line break first, so the cut row stays alone and the new one whole.
// False when the file cannot be opened for appending (another program holds it without
// write sharing, it is read-only, the disk is full); the file is then as it was, or has
// at most a part of `text` at its end.
bool AppendDurably(const std::string& path, const std::string& header, const std::string& text);
// fflush, then the system's own buffers to the disk.
bool FlushToDisk(std::FILE* file);

enum class FolderMade { Made, Taken, Failed };
FolderMade MakeFolder(const std::string& path);
// The folder and every missing one above it.
bool MakeFolders(const std::string& path);
bool FileExists(const std::string& path);
// Renames the file to a name not in use; never replaces a file already there.
bool MoveToNewName(const std::string& source, const std::string& destination);

}  // namespace vorn
