// What a file was when we last read or wrote it: which file (device and
// inode) and its modification time and size. A different stamp at the next
// save or window activation means another program changed the file.
#pragma once

#include <cstdint>
#include <string>

namespace ql {

struct FileStamp {
  bool exists = false;
  std::uint64_t device = 0;
  std::uint64_t inode = 0;
  std::int64_t mtimeNs = 0;
  std::int64_t size = 0;

  bool operator==(const FileStamp& o) const {
    if (exists != o.exists) return false;
    return !exists ||
           (device == o.device && inode == o.inode && mtimeNs == o.mtimeNs && size == o.size);
  }
  bool operator!=(const FileStamp& o) const { return !(*this == o); }
};

// Through symbolic links; a missing or unreachable file has exists == false.
FileStamp FileStampOf(const std::string& path);
FileStamp FileStampOfDescriptor(int fd);

enum class DiskChange { None, Changed, Deleted };
// Compared with what we knew; nothing known (never read or written) is no change.
DiskChange CompareStamps(const FileStamp& known, const FileStamp& now);

}  // namespace ql
