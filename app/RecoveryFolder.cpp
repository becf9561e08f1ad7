#include "app/RecoveryFolder.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <set>

#include "platform/InstanceWire.h"

namespace ql {

namespace {

constexpr std::string_view kJournalSuffix = ".qjournal";
constexpr std::string_view kLockSuffix = ".lock";

bool ValidOwner(std::string_view owner) {
  return ParseInstanceSocketName(owner).has_value();
}

std::vector<std::string> Names(const std::string& folder) {
  std::vector<std::string> out;
  DIR* d = ::opendir(folder.c_str());
  if (!d) return out;
  while (dirent* e = ::readdir(d)) out.emplace_back(e->d_name);
  ::closedir(d);
  std::sort(out.begin(), out.end());
  return out;
}

}  // namespace

std::string RecoveryFolderFor(const char* xdgStateHome, const char* home) {
  std::string base;
  if (xdgStateHome && xdgStateHome[0] == '/')
    base = xdgStateHome;
  else
    base = std::string(home && home[0] ? home : "/") + "/.local/state";
  while (base.size() > 1 && base.back() == '/') base.pop_back();
  return base + "/quillora/recovery";
}

bool PrepareRecoveryFolder(const std::string& folder, std::string& error) {
  // Each missing level made in turn; the last two (quillora/recovery) are ours alone.
  for (std::size_t at = 1; at <= folder.size(); ++at) {
    if (at != folder.size() && folder[at] != '/') continue;
    const std::string level = folder.substr(0, at);
    if (::mkdir(level.c_str(), 0700) != 0 && errno != EEXIST) {
      error = level + ": " + std::strerror(errno);
      return false;
    }
  }
  const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
  if (fd < 0) {
    error = folder + ": " + std::strerror(errno);
    return false;
  }
  struct stat st {};
  bool ok = ::fstat(fd, &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == ::geteuid();
  if (!ok) error = folder + ": not a folder of ours";
  if (ok && (st.st_mode & 077) != 0 && ::fchmod(fd, 0700) != 0) {
    error = folder + ": " + std::strerror(errno);
    ok = false;
  }
  ::close(fd);
  if (ok && ::access(folder.c_str(), W_OK | X_OK) != 0) {
    error = folder + ": " + std::strerror(errno);
    ok = false;
  }
  return ok;
}

std::string JournalFileName(const std::string& owner, int number) {
  return owner + "." + std::to_string(number) + std::string(kJournalSuffix);
}

std::optional<JournalName> ParseJournalFileName(std::string_view name) {
  if (name.size() <= kJournalSuffix.size() ||
      name.substr(name.size() - kJournalSuffix.size()) != kJournalSuffix)
    return std::nullopt;
  name.remove_suffix(kJournalSuffix.size());
  const auto dot = name.rfind('.');
  if (dot == std::string_view::npos || dot + 1 == name.size() || name.size() - dot - 1 > 6)
    return std::nullopt;
  int number = 0;
  for (char c : name.substr(dot + 1)) {
    if (c < '0' || c > '9') return std::nullopt;
    number = number * 10 + (c - '0');
  }
  const std::string_view owner = name.substr(0, dot);
  if (!ValidOwner(owner)) return std::nullopt;
  return JournalName{std::string(owner), number};
}

std::vector<std::string> ListJournals(const std::string& folder) {
  std::vector<std::string> out;
  for (std::string& n : Names(folder))
    if (ParseJournalFileName(n)) out.push_back(std::move(n));
  return out;
}

InstanceLock::~InstanceLock() {
  if (fd_ >= 0) ::close(fd_);  // the file stays: a journal may still name us
}

bool InstanceLock::Acquire(const std::string& folder, const std::string& owner) {
  if (fd_ >= 0) return true;
  path_ = folder + "/" + owner + std::string(kLockSuffix);
  const int fd = ::open(path_.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600);
  if (fd < 0) return false;
  if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
    ::close(fd);
    return false;
  }
  fd_ = fd;
  return true;
}

void InstanceLock::Release() {
  if (fd_ < 0) return;
  ::unlink(path_.c_str());
  ::close(fd_);
  fd_ = -1;
}

bool InstanceLockHeld(const std::string& folder, const std::string& owner) {
  const std::string path = folder + "/" + owner + std::string(kLockSuffix);
  const int fd = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
  if (fd < 0) return false;
  const bool held = ::flock(fd, LOCK_SH | LOCK_NB) != 0 && errno == EWOULDBLOCK;
  ::close(fd);
  return held;
}

std::string ClaimJournal(const std::string& folder, const std::string& name,
                         const std::string& newOwner, int number) {
  const std::string to = folder + "/" + JournalFileName(newOwner, number);
  // The new name is ours alone, so rename never replaces a journal; of two
  // instances claiming at once only one finds the old name.
  const std::string from = folder + "/" + name;
  if (::rename(from.c_str(), to.c_str()) != 0) return {};
  return to;
}

void RemoveDeadLocks(const std::string& folder) {
  std::set<std::string> owners;
  for (const std::string& n : ListJournals(folder)) owners.insert(ParseJournalFileName(n)->owner);
  for (const std::string& n : Names(folder)) {
    if (n.size() <= kLockSuffix.size() || n.substr(n.size() - kLockSuffix.size()) != kLockSuffix) continue;
    const std::string owner = n.substr(0, n.size() - kLockSuffix.size());
    if (!ValidOwner(owner) || owners.count(owner) || InstanceLockHeld(folder, owner)) continue;
    ::unlink((folder + "/" + n).c_str());
  }
}

}  // namespace ql
