// File tests, details and listings, text loading and empty-file creation.
// Failures show up in the results (false, -1, empty); nothing here throws.
#include "common/FuncLib.h"

#include <cstring>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <fnmatch.h>
#include <sys/stat.h>
#include <unistd.h>

namespace ql {

namespace {

// Hidden on POSIX means a leading dot; "." and ".." are just the folder
// and its parent.
bool IsHiddenName(const std::string& name) {
  return !name.empty() && name[0] == '.' && name != "." && name != "..";
}

// The attribute bits the rest of the program knows, derived from stat.
std::uint32_t AttributesOf(const std::string& path, const struct stat& st, const std::string& name) {
  std::uint32_t attr = 0;
  if (S_ISDIR(st.st_mode)) attr |= faDirectory;
  if (S_ISREG(st.st_mode)) attr |= faArchive;
  if (access(path.c_str(), W_OK) != 0) attr |= faReadOnly;
  if (IsHiddenName(name)) attr |= faHidden;
  return attr;
}

// Local time as a DOS date-time: date in the high half, time in the low.
std::int32_t DosDateTime(std::time_t t) {
  struct tm tm;
  if (!localtime_r(&t, &tm)) return -1;
  const int year = tm.tm_year + 1900;
  if (year < 1980 || year > 2107) return -1;
  const std::uint32_t date = (static_cast<std::uint32_t>(year - 1980) << 9) |
                             (static_cast<std::uint32_t>(tm.tm_mon + 1) << 5) |
                             static_cast<std::uint32_t>(tm.tm_mday);
  const std::uint32_t time = (static_cast<std::uint32_t>(tm.tm_hour) << 11) |
                             (static_cast<std::uint32_t>(tm.tm_min) << 5) |
                             static_cast<std::uint32_t>(tm.tm_sec / 2);
  return static_cast<std::int32_t>((date << 16) | time);
}

// Birth time where the file system keeps one, else the status-change time.
std::time_t CreationTime(const std::string& path, const struct stat& st) {
#ifdef STATX_BTIME
  struct statx sx;
  if (statx(AT_FDCWD, path.c_str(), 0, STATX_BTIME, &sx) == 0 && (sx.stx_mask & STATX_BTIME))
    return static_cast<std::time_t>(sx.stx_btime.tv_sec);
#else
  (void)path;
#endif
  return st.st_ctime;
}

std::string TypeNameOf(const std::string& name, bool isDir) {
  if (isDir) return "File Folder";
  const std::size_t dot = name.rfind('.');
  if (dot == std::string::npos || dot + 1 == name.size()) return "File";
  std::string type = AnsiUpperStr(name.substr(dot + 1)) + " File";
  if (type.size() > 80) type.resize(80);
  return type;
}

// The last name of a path, ignoring slashes at its end.
std::string LastName(std::string path) {
  while (path.size() > 1 && path.back() == '/') path.pop_back();
  return ExtractFileName(path);
}

}  // namespace

bool IsExistingFile(const std::string& path) {
  struct stat st;
  return !path.empty() && stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool IsExistingDir(const std::string& path) {
  struct stat st;
  return !path.empty() && stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool IsReadOnlyFile(const std::string& path) {
  return IsExistingFile(path) && access(path.c_str(), W_OK) != 0;
}

std::int64_t FileSizeOf(const std::string& path) {
  struct stat st;
  if (path.empty() || stat(path.c_str(), &st) != 0) return -1;
  if (S_ISDIR(st.st_mode)) return 0;
  return static_cast<std::int64_t>(st.st_size);
}

bool GetFileDetails(const std::string& path, TFileInfo& details) {
  struct stat st;
  if (path.empty() || stat(path.c_str(), &st) != 0) return false;
  const bool isDir = S_ISDIR(st.st_mode);
  if (!isDir && !S_ISREG(st.st_mode)) return false;
  const std::string name = LastName(path);
  TFileInfo info;
  info.TypeName = TypeNameOf(name, isDir);
  info.Created = DosDateTime(CreationTime(path, st));
  info.Modified = DosDateTime(st.st_mtime);
  info.Accessed = DosDateTime(st.st_atime);
  info.Attributes = AttributesOf(path, st, name);
  info.Size = isDir ? 0 : static_cast<std::int64_t>(st.st_size);
  details = std::move(info);
  return true;
}

std::string ListFiles(const std::string& directory, const std::string& mask, int attrFilter) {
  const std::string dir = directory.empty() || directory.back() != '/' ? directory + '/' : directory;
  // "*.*" means every entry to the callers, dotted or not.
  const std::string pattern = mask == "*.*" ? "*" : mask;
  std::string out;
  DIR* d = opendir(dir.c_str());
  if (!d) return out;
  while (const dirent* entry = readdir(d)) {
    const std::string name = entry->d_name;
    if (fnmatch(pattern.c_str(), name.c_str(), 0) != 0) continue;
    if (attrFilter != faAnyFile) {
      const std::string full = dir + name;
      struct stat st;
      std::uint32_t attr = IsHiddenName(name) ? std::uint32_t{faHidden} : 0u;
      if (stat(full.c_str(), &st) == 0) attr = AttributesOf(full, st, name);
      if ((attr & static_cast<std::uint32_t>(attrFilter)) == 0) continue;
    }
    out += dir;
    out += name;
    out += "\r\n";
  }
  closedir(d);
  return out;
}

std::string LoadTextFile(const std::string& path) {
  std::string text;
  std::FILE* f = std::fopen(path.c_str(), "rb");
  if (!f) return text;
  // Read what the size promises in one go, then whatever may follow it;
  // text ends at the first Ctrl+Z.
  struct stat st;
  std::size_t expected = 0;
  if (fstat(fileno(f), &st) == 0 && S_ISREG(st.st_mode) && st.st_size > 0)
    expected = static_cast<std::size_t>(st.st_size);
  text.resize(expected);
  text.resize(std::fread(&text[0], 1, expected, f));
  bool done = false;
  if (const void* eof = std::memchr(text.data(), 26, text.size())) {
    text.resize(static_cast<std::size_t>(static_cast<const char*>(eof) - text.data()));
    done = true;
  }
  char block[1 << 16];
  while (!done) {
    const std::size_t n = std::fread(block, 1, sizeof block, f);
    if (n == 0) break;
    const void* eof = std::memchr(block, 26, n);
    const std::size_t keep = eof ? static_cast<std::size_t>(static_cast<const char*>(eof) - block) : n;
    text.append(block, keep);
    done = eof != nullptr;
  }
  std::fclose(f);
  return text;
}

bool CreateEmptyFile(const std::string& path, bool overwrite) {
  if (!overwrite && IsExistingFile(path)) return false;
  std::string dir = ExtractFileDir(path);
  if (dir.empty()) dir = ".";  // a bare name lives in the current folder
  if (!IsExistingDir(dir) || IsReadOnlyFile(path)) return false;
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return false;
  std::fclose(f);
  return IsExistingFile(path);
}

}  // namespace ql
