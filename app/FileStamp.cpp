// File stamps from stat.
#include "app/FileStamp.h"

#include <sys/stat.h>

namespace ql {
namespace {

FileStamp FromStat(const struct stat& st) {
  FileStamp s;
  s.exists = true;
  s.device = static_cast<std::uint64_t>(st.st_dev);
  s.inode = static_cast<std::uint64_t>(st.st_ino);
  s.mtimeNs = static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
  s.size = static_cast<std::int64_t>(st.st_size);
  return s;
}

}  // namespace

FileStamp FileStampOf(const std::string& path) {
  struct stat st;
  if (path.empty() || ::stat(path.c_str(), &st) != 0) return {};
  return FromStat(st);
}

FileStamp FileStampOfDescriptor(int fd) {
  struct stat st;
  if (::fstat(fd, &st) != 0) return {};
  return FromStat(st);
}

DiskChange CompareStamps(const FileStamp& known, const FileStamp& now) {
  if (!known.exists || known == now) return DiskChange::None;
  return now.exists ? DiskChange::Changed : DiskChange::Deleted;
}

}  // namespace ql
