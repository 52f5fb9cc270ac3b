// Whole-file reads, and files made only under a name not yet in use: the bytes go to a
// temporary file beside the target, reach the disk, and are then renamed to the target, so
// a file under its final name is always complete and nothing already there is replaced.
#pragma once

#include <string>

namespace vorn {

bool ReadWholeFile(const std::string& path, std::string& bytes);
// `durable`: on the disk before the rename, for what must survive a crash; a file that can
// be made again any time skips that wait.
bool WriteNewFile(const std::string& path, const std::string& bytes, bool durable = true);
bool CopyToNewFile(const std::string& source, const std::string& destination);

}  // namespace vorn
