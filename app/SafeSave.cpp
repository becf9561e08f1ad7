// Safe saves: a new file renamed over the old one, or an in-place write
// behind a synced backup; copies named so that they can be found again.
#include "app/SafeSave.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <pwd.h>
#include <set>
#include <signal.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>
#include <vector>

namespace ql {
namespace {

// Largest single write(); the kernel caps a call near 2 GiB anyway.
constexpr std::size_t kBlock = std::size_t(16) << 20;
// Longest part of a file name put into a copy's name; the rest of a copy's
// name (tag, pid, hash, random part) fits in what is left of NAME_MAX.
constexpr std::size_t kNamePart = 190;

SaveStepHook& Hook() {
  static SaveStepHook hook;
  return hook;
}

int At(SaveStep step) { return Hook() ? Hook()(step) : 0; }

// ---- low-level file helpers; each keeps errno of the failing call ----

bool WriteAll(int fd, const char* p, std::size_t n) {
  while (n > 0) {
    const ssize_t w = ::write(fd, p, std::min(n, kBlock));
    if (w < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    if (w == 0) {  // no progress and no reason given
      errno = EIO;
      return false;
    }
    p += w;
    n -= static_cast<std::size_t>(w);
  }
  return true;
}

// Copies from the current offset of `from` to its end.
bool CopyAll(int from, int to) {
  std::vector<char> buf(1 << 20);
  for (;;) {
    const ssize_t n = ::read(from, buf.data(), buf.size());
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    if (n == 0) return true;
    if (!WriteAll(to, buf.data(), static_cast<std::size_t>(n))) return false;
  }
}

// File systems without fsync say EINVAL; the data is as safe as they allow.
bool Sync(int fd) { return ::fsync(fd) == 0 || errno == EINVAL; }

void SyncDir(const std::string& dir) {
  const int fd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  ::fsync(fd);
  ::close(fd);
}

std::string JoinPath(const std::string& dir, const std::string& name) {
  return dir == "/" ? "/" + name : dir + "/" + name;
}

void SplitPath(const std::string& path, std::string& dir, std::string& name) {
  const std::size_t slash = path.rfind('/');
  if (slash == std::string::npos) {
    dir = ".";
    name = path;
  } else {
    dir = slash == 0 ? "/" : path.substr(0, slash);
    name = path.substr(slash + 1);
  }
}

bool ReadLink(const std::string& path, std::string& text) {
  std::vector<char> buf(PATH_MAX);
  for (;;) {
    const ssize_t n = ::readlink(path.c_str(), buf.data(), buf.size());
    if (n < 0) return false;
    if (static_cast<std::size_t>(n) < buf.size()) {
      text.assign(buf.data(), static_cast<std::size_t>(n));
      return true;
    }
    buf.resize(buf.size() * 2);
  }
}

// The file a save really writes: through symbolic links to their target;
// a dangling link names the new file, relative to the link's own directory.
bool ResolveTarget(const std::string& path, std::string& target, int& err) {
  std::string current = path;
  for (int hops = 0;; ++hops) {
    struct stat lst;
    if (::lstat(current.c_str(), &lst) != 0 || !S_ISLNK(lst.st_mode)) {
      target = current;
      return true;
    }
    if (hops == 40) {
      err = ELOOP;
      return false;
    }
    if (char* real = ::realpath(current.c_str(), nullptr)) {
      target = real;
      std::free(real);
      return true;
    }
    std::string link;
    if (!ReadLink(current, link)) {
      err = errno;
      return false;
    }
    if (link.empty()) {
      err = ENOENT;
      return false;
    }
    if (link[0] == '/') {
      current = link;
    } else {
      std::string dir, name;
      SplitPath(current, dir, name);
      current = JoinPath(dir, link);
    }
  }
}

mode_t CurrentUmask() {
  // Reading it without changing it avoids a window where another thread
  // would create files with a zero umask.
  if (std::FILE* f = std::fopen("/proc/self/status", "re")) {
    char line[256];
    unsigned mask = 0;
    bool found = false;
    while (!found && std::fgets(line, sizeof line, f))
      found = std::sscanf(line, "Umask: %o", &mask) == 1;
    std::fclose(f);
    if (found) return static_cast<mode_t>(mask);
  }
  const mode_t mask = ::umask(022);
  ::umask(mask);
  return mask;
}

// ---- names of the copies ----

std::string Hash(const std::string& s) {
  std::uint64_t h = 14695981039346656037ull;  // FNV-1a
  for (const char c : s) {
    h ^= static_cast<unsigned char>(c);
    h *= 1099511628211ull;
  }
  char out[17];
  std::snprintf(out, sizeof out, "%016llx", static_cast<unsigned long long>(h));
  return out;
}

// Where the copies of one file live and how their names begin.
struct CopyPlace {
  std::string folder;
  std::string prefix;  // up to and including "quillora-"
  bool exact = true;   // the whole file name is in the prefix
};

CopyPlace Beside(const std::string& dir, const std::string& name) {
  return {dir, "." + name.substr(0, kNamePart) + ".quillora-", name.size() <= kNamePart};
}

// The same file gets the same hash whichever way its folder was named.
CopyPlace Elsewhere(const std::string& folder, const std::string& dir, const std::string& name) {
  std::string whole = JoinPath(dir, name);
  if (char* real = ::realpath(dir.c_str(), nullptr)) {
    whole = JoinPath(real, name);
    std::free(real);
  }
  return {folder, name.substr(0, kNamePart) + "." + Hash(whole) + ".quillora-", name.size() <= kNamePart};
}

// A new copy, open for writing, mode 0600; -1 with errno on failure.
int MakeCopy(const CopyPlace& place, const char* kind, std::string& path) {
  path = JoinPath(place.folder, place.prefix + kind + "-" + std::to_string(::getpid()) + ".XXXXXX");
  return ::mkostemp(&path[0], O_CLOEXEC);
}

bool Running(long pid) {
  if (pid <= 0 || pid > INT_MAX) return false;
  return ::kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM;
}

struct Copy {
  std::string path;
  long pid = 0;
  struct stat st {};
};

// The copies in one place: "save-" or "backup-", a pid, "." and six
// letters or digits, and nothing else.
std::vector<Copy> CopiesIn(const CopyPlace& place) {
  std::vector<Copy> found;
  DIR* d = ::opendir(place.folder.c_str());
  if (!d) return found;
  while (const dirent* e = ::readdir(d)) {
    const std::string entry = e->d_name;
    if (entry.compare(0, place.prefix.size(), place.prefix) != 0) continue;
    std::size_t at = place.prefix.size();
    if (entry.compare(at, 5, "save-") == 0)
      at += 5;
    else if (entry.compare(at, 7, "backup-") == 0)
      at += 7;
    else
      continue;
    const std::size_t digits = at;
    while (at < entry.size() && at - digits < 10 && entry[at] >= '0' && entry[at] <= '9') ++at;
    if (at == digits || at + 7 != entry.size() || entry[at] != '.') continue;
    if (!std::all_of(entry.begin() + static_cast<long>(at) + 1, entry.end(),
                     [](char c) { return std::isalnum(static_cast<unsigned char>(c)); }))
      continue;
    Copy c;
    c.path = JoinPath(place.folder, entry);
    c.pid = std::strtol(entry.c_str() + digits, nullptr, 10);
    if (::lstat(c.path.c_str(), &c.st) != 0 || !S_ISREG(c.st.st_mode)) continue;
    found.push_back(c);
  }
  ::closedir(d);
  return found;
}

// Copies of the file whose process is gone, in every place they can be.
std::vector<Copy> Leftovers(const std::string& path, bool& exact) {
  std::vector<Copy> all;
  exact = true;
  std::string target;
  int err = 0;
  if (path.empty() || !ResolveTarget(path, target, err)) return all;
  std::string dir, name;
  SplitPath(target, dir, name);
  if (name.empty()) return all;
  std::vector<CopyPlace> places = {Beside(dir, name)};
  for (const std::string& own : SaveCopyFolders()) places.push_back(Elsewhere(own, dir, name));
  for (const CopyPlace& place : places) {
    exact = exact && place.exact;
    for (const Copy& c : CopiesIn(place))
      if (!Running(c.pid)) all.push_back(c);
  }
  std::sort(all.begin(), all.end(), [](const Copy& a, const Copy& b) {
    return a.st.st_mtim.tv_sec != b.st.st_mtim.tv_sec ? a.st.st_mtim.tv_sec < b.st.st_mtim.tv_sec
                                                       : a.path < b.path;
  });
  return all;
}

// ---- carrying what is not the contents ----

enum class Carry { Done, Impossible, Failed };

std::vector<std::string> SplitNames(const std::vector<char>& list) {
  std::vector<std::string> names;
  for (std::size_t at = 0; at < list.size();) {
    const std::string n(list.data() + at);
    if (!n.empty()) names.push_back(n);
    at += n.size() + 1;
  }
  return names;
}

// Attribute names of a path (fd < 0) or of an open file; false with errno.
bool ListAttributes(const std::string& path, int fd, std::vector<std::string>& names) {
  names.clear();
  for (;;) {
    const ssize_t size = fd < 0 ? ::listxattr(path.c_str(), nullptr, 0) : ::flistxattr(fd, nullptr, 0);
    if (size < 0) {
      if (errno == ENOTSUP) return true;  // a file system without them has none
      return false;
    }
    std::vector<char> list(static_cast<std::size_t>(size) + 1, '\0');
    const ssize_t got = fd < 0 ? ::listxattr(path.c_str(), list.data(), static_cast<std::size_t>(size))
                               : ::flistxattr(fd, list.data(), static_cast<std::size_t>(size));
    if (got < 0) {
      if (errno == ERANGE) continue;  // grew meanwhile
      return false;
    }
    list.resize(static_cast<std::size_t>(got));
    names = SplitNames(list);
    return true;
  }
}

bool GetAttribute(const std::string& path, const std::string& name, std::string& value) {
  for (;;) {
    const ssize_t size = ::getxattr(path.c_str(), name.c_str(), nullptr, 0);
    if (size < 0) return false;
    value.assign(static_cast<std::size_t>(size), '\0');
    const ssize_t got = ::getxattr(path.c_str(), name.c_str(), &value[0], value.size());
    if (got < 0) {
      if (errno == ERANGE) continue;
      return false;
    }
    value.resize(static_cast<std::size_t>(got));
    return true;
  }
}

// Gives the new file (fd) the old file's owner, group, ACL, extended
// attributes and mode. Impossible when any of them would be lost or the
// new file would be open to more people than the old one.
Carry CarryAttributes(int fd, const std::string& target, const struct stat& old, int& err) {
  struct stat mine;
  if (::fstat(fd, &mine) != 0) {
    err = errno;
    return Carry::Failed;
  }
  // Owner first: changing it clears set-id bits and capabilities.
  if (mine.st_uid != old.st_uid || mine.st_gid != old.st_gid) {
    const uid_t uid = mine.st_uid != old.st_uid ? old.st_uid : static_cast<uid_t>(-1);
    if (::fchown(fd, uid, old.st_gid) != 0) {
      if (errno != EPERM && errno != EINVAL) {
        err = errno;
        return Carry::Failed;
      }
      return Carry::Impossible;
    }
  }

  std::vector<std::string> oldNames, newNames;
  if (!ListAttributes(target, -1, oldNames) || !ListAttributes(target, fd, newNames))
    return Carry::Impossible;
  const std::set<std::string> wanted(oldNames.begin(), oldNames.end());
  for (const std::string& name : oldNames) {
    // File capabilities belong to a program as built; writing a file drops them.
    if (name == "security.capability") continue;
    std::string value;
    if (!GetAttribute(target, name, value)) {
      if (errno == ENODATA) continue;  // removed meanwhile
      return Carry::Impossible;
    }
    if (::fsetxattr(fd, name.c_str(), value.data(), value.size(), 0) != 0) return Carry::Impossible;
  }
  // A default ACL of the folder gave the new file an ACL the old one lacks.
  for (const std::string& name : newNames) {
    if (wanted.count(name) || name.compare(0, 9, "security.") == 0) continue;
    if (::fremovexattr(fd, name.c_str()) != 0 && errno != ENODATA) return Carry::Impossible;
  }

  // After the ACL, whose mask the group bits then match again.
  if (::fchmod(fd, old.st_mode & 07777) != 0) {
    if (errno != EPERM && errno != ENOTSUP) {
      err = errno;
      return Carry::Failed;
    }
    return Carry::Impossible;
  }
  if (::fstat(fd, &mine) != 0) {
    err = errno;
    return Carry::Failed;
  }
  // Set-id bits the system refused to keep only narrow the file.
  if (mine.st_uid != old.st_uid || mine.st_gid != old.st_gid ||
      (mine.st_mode & 0777) != (old.st_mode & 0777))
    return Carry::Impossible;
  return Carry::Done;
}

// ---- the two ways ----

enum class Way { Saved, Failed, InPlaceInstead };

struct Outcome {
  Way way = Way::Failed;
  int err = 0;
  FileStamp stamp;
  std::string note;  // added to the error text
};

Outcome Fail(int err) {
  Outcome o;
  o.err = err;
  return o;
}

// A complete new file renamed over the old one, so that the name always
// holds either the old or the new contents.
Outcome WriteAndRename(const std::string& target, const std::string& dir, const std::string& name,
                       const struct stat* old, const std::string& bytes) {
  std::string temp;
  const int fd = MakeCopy(Beside(dir, name), "save", temp);
  if (fd < 0) {
    // A folder that takes no new file may still hold a file we may write.
    if (old && (errno == EACCES || errno == EPERM)) return {Way::InPlaceInstead, 0, {}, {}};
    return Fail(errno);
  }
  int err = At(SaveStep::TempCreated);
  const std::size_t half = bytes.size() / 2;
  if (!err && !WriteAll(fd, bytes.data(), half)) err = errno;
  if (!err) err = At(SaveStep::TempHalfWritten);
  if (!err && !WriteAll(fd, bytes.data() + half, bytes.size() - half)) err = errno;
  if (!err) err = At(SaveStep::TempWritten);
  bool carried = true;
  if (!err && old) {
    const Carry c = CarryAttributes(fd, target, *old, err);
    carried = c == Carry::Done;
  } else if (!err) {
    // The file starts as 0600, so a file system that refuses modes exposes nothing.
    if (::fchmod(fd, 0666 & ~CurrentUmask()) != 0 && errno != EPERM && errno != ENOTSUP) err = errno;
  }
  if (!err && carried) err = At(SaveStep::AttributesCarried);
  if (!err && carried && !Sync(fd)) err = errno;
  if (!err && carried) err = At(SaveStep::TempSynced);
  const FileStamp stamp = FileStampOfDescriptor(fd);
  if (::close(fd) != 0 && !err && errno != EINTR) err = errno;
  if (!err && carried && ::rename(temp.c_str(), target.c_str()) != 0) {
    err = errno;
    // A sticky folder refuses to replace another user's file.
    if (old && (err == EPERM || err == EACCES)) {
      err = 0;
      carried = false;
    }
  }
  if (err || !carried) {
    ::unlink(temp.c_str());
    if (err) return Fail(err);
    return {Way::InPlaceInstead, 0, {}, {}};
  }
  At(SaveStep::Renamed);
  SyncDir(dir);
  return {Way::Saved, 0, stamp, {}};
}

// A private folder of ours: created when missing, refused when it is not
// a folder, not ours or open to others.
bool OwnFolder(const std::string& folder) {
  std::string base, leaf;
  SplitPath(folder, base, leaf);
  ::mkdir(base.c_str(), 0700);
  ::mkdir(folder.c_str(), 0700);
  struct stat st;
  return ::lstat(folder.c_str(), &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == ::geteuid() &&
         (st.st_mode & 077) == 0;
}

// A backup copy beside the file, or in one of our own folders when the
// file's folder takes no new file.
int MakeBackup(const std::string& dir, const std::string& name, std::string& path,
               std::string& folder) {
  int fd = MakeCopy(Beside(dir, name), "backup", path);
  folder = dir;
  if (fd >= 0 || (errno != EACCES && errno != EPERM && errno != EROFS)) return fd;
  const int besideErr = errno;
  for (const std::string& own : SaveCopyFolders()) {
    if (!OwnFolder(own)) continue;
    fd = MakeCopy(Elsewhere(own, dir, name), "backup", path);
    folder = own;
    if (fd >= 0) return fd;
  }
  errno = besideErr;
  return -1;
}

// The file stays the same file (hard links, owner, attributes): it is
// rewritten in place, after a synced copy of its old contents that is
// written back on failure.
Outcome WriteInPlace(const std::string& target, const std::string& dir, const std::string& name,
                     const std::string& bytes) {
  // Opened before anything is copied: no write access fails here, untouched.
  const int out = ::open(target.c_str(), O_WRONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
  if (out < 0) return Fail(errno);
  struct stat st;
  const int statErr = ::fstat(out, &st) != 0 ? errno : S_ISREG(st.st_mode) ? 0 : ENOTSUP;
  if (statErr) {
    ::close(out);
    return Fail(statErr);
  }
  const int in = ::open(target.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
  if (in < 0) {
    const int err = errno;
    ::close(out);
    return Fail(err);
  }
  std::string backupPath, backupFolder;
  const int backup = MakeBackup(dir, name, backupPath, backupFolder);
  int err = backup < 0 ? errno : 0;
  if (!err) err = At(SaveStep::BackupCreated);
  if (!err && !CopyAll(in, backup)) err = errno;
  if (!err) err = At(SaveStep::BackupCopied);
  if (!err && !Sync(backup)) err = errno;
  if (!err) SyncDir(backupFolder);  // the backup's name must outlive a crash too
  if (!err) err = At(SaveStep::BackupSynced);
  ::close(in);
  if (err) {
    if (backup >= 0) {
      ::close(backup);
      ::unlink(backupPath.c_str());
    }
    ::close(out);
    return Fail(err);
  }

  const std::size_t half = bytes.size() / 2;
  if (::ftruncate(out, 0) != 0) err = errno;
  if (!err) err = At(SaveStep::Truncated);
  if (!err && !WriteAll(out, bytes.data(), half)) err = errno;
  if (!err) err = At(SaveStep::HalfWritten);
  if (!err && !WriteAll(out, bytes.data() + half, bytes.size() - half)) err = errno;
  if (!err) err = At(SaveStep::Written);
  // Writing clears set-id bits: the owner puts them back.
  if (!err && (st.st_mode & 06000)) ::fchmod(out, st.st_mode & 07777);
  if (!err && !Sync(out)) err = errno;
  bool restored = true;
  if (err) {
    restored = ::ftruncate(out, 0) == 0 && ::lseek(out, 0, SEEK_SET) == 0 &&
               ::lseek(backup, 0, SEEK_SET) == 0 && CopyAll(backup, out);
    if (st.st_mode & 06000) ::fchmod(out, st.st_mode & 07777);
    restored = restored && Sync(out);
  } else {
    At(SaveStep::Synced);
  }
  const FileStamp stamp = FileStampOfDescriptor(out);
  ::close(out);
  ::close(backup);
  if (!restored) {
    // The copy is now the only whole version of the file: it stays.
    Outcome o = Fail(err);
    o.note = " (the old contents are kept in \"" + backupPath + "\")";
    return o;
  }
  ::unlink(backupPath.c_str());
  if (err) return Fail(err);
  return {Way::Saved, 0, stamp, {}};
}

SaveResult Result(const Outcome& o, bool inPlace) {
  SaveResult r;
  r.ok = o.way == Way::Saved;
  r.inPlace = inPlace;
  r.stamp = o.stamp;
  if (!r.ok) r.error = std::strerror(o.err) + o.note;
  return r;
}

SaveResult Failed(int err) { return Result(Fail(err), false); }

}  // namespace

void SetSaveStepHook(SaveStepHook hook) { Hook() = std::move(hook); }

std::vector<std::string> SaveCopyFolders() {
  std::vector<std::string> folders;
  const char* xdg = std::getenv("XDG_CACHE_HOME");
  const char* home = std::getenv("HOME");
  std::string base = home && home[0] == '/' ? home : "";
  if (base.empty())
    if (const passwd* pw = ::getpwuid(::geteuid())) base = pw->pw_dir ? pw->pw_dir : "";
  if (xdg && xdg[0] == '/')
    folders.push_back(std::string(xdg) + "/quillora");
  else if (!base.empty() && base[0] == '/')
    folders.push_back(base + "/.cache/quillora");
  const char* tmp = std::getenv("TMPDIR");
  folders.push_back(std::string(tmp && tmp[0] == '/' ? tmp : "/tmp") + "/quillora-" +
                    std::to_string(::geteuid()));
  return folders;
}

std::vector<std::string> FindInterruptedSaves(const std::string& path) {
  bool exact = true;
  std::vector<std::string> paths;
  for (const Copy& c : Leftovers(path, exact)) paths.push_back(c.path);
  return paths;
}

void RemoveInterruptedSaves(const std::string& path) {
  bool exact = true;
  const std::vector<Copy> copies = Leftovers(path, exact);
  // A shortened name could also be another file's.
  if (!exact) return;
  // A copy carries the owner of the file it was made for once its
  // attributes were set; that one is ours to clear too.
  struct stat file;
  const bool exists = ::stat(path.c_str(), &file) == 0;
  for (const Copy& c : copies)
    if (c.st.st_uid == ::geteuid() || (exists && c.st.st_uid == file.st_uid)) ::unlink(c.path.c_str());
}

SaveResult SaveFileSafely(const std::string& path, const std::string& bytes) {
  if (path.empty()) return Failed(ENOENT);
  std::string target;
  int err = 0;
  if (!ResolveTarget(path, target, err)) return Failed(err);

  struct stat st;
  const bool exists = ::stat(target.c_str(), &st) == 0;
  if (!exists && errno != ENOENT) return Failed(errno);
  if (exists && S_ISDIR(st.st_mode)) return Failed(EISDIR);
  // Renaming over a device or FIFO would replace it with a plain file.
  if (exists && !S_ISREG(st.st_mode)) return Failed(ENOTSUP);
  std::string dir, name;
  SplitPath(target, dir, name);
  if (name.empty()) return Failed(EISDIR);
  // Renaming would succeed even over a file we may not write: refuse as
  // writing it would.
  if (exists && ::faccessat(AT_FDCWD, target.c_str(), W_OK, AT_EACCESS) != 0) return Failed(errno);

  SaveResult result;
  if (exists && st.st_nlink > 1) {
    result = Result(WriteInPlace(target, dir, name, bytes), true);
  } else {
    const Outcome renamed = WriteAndRename(target, dir, name, exists ? &st : nullptr, bytes);
    result = renamed.way == Way::InPlaceInstead ? Result(WriteInPlace(target, dir, name, bytes), true)
                                                : Result(renamed, false);
  }
  if (result.ok) RemoveInterruptedSaves(target);
  return result;
}

}  // namespace ql
