// Where recovery journals live and who owns them.
//
// $XDG_STATE_HOME/quillora/recovery (~/.local/state/... when unset or not
// absolute), mode 0700, journals 0600. A journal is named after the
// instance that keeps it, "instance-<pid>-<stamp>.<n>.qjournal" (the same
// name as its instance socket), and each instance holds a lock on
// "instance-<pid>-<stamp>.lock" while it runs: the lock goes with the
// process however it ends, so a journal whose owner holds no lock (and
// whose socket answers nothing) is one to offer back.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace ql {

std::string RecoveryFolderFor(const char* xdgStateHome, const char* home);
// Made if missing (new levels 0700); the folder itself must be a directory
// of ours and is closed to others. error says why not.
bool PrepareRecoveryFolder(const std::string& folder, std::string& error);

struct JournalName {
  std::string owner;  // "instance-<pid>-<stamp>"
  int number = 0;
};
std::string JournalFileName(const std::string& owner, int number);
std::optional<JournalName> ParseJournalFileName(std::string_view name);
// File names of the journals in folder, sorted.
std::vector<std::string> ListJournals(const std::string& folder);

// The lock an instance holds while it runs.
class InstanceLock {
 public:
  InstanceLock() = default;
  ~InstanceLock();
  InstanceLock(const InstanceLock&) = delete;
  InstanceLock& operator=(const InstanceLock&) = delete;
  bool Acquire(const std::string& folder, const std::string& owner);
  // Lets go and removes the lock file (a clean end).
  void Release();
  bool Held() const { return fd_ >= 0; }

 private:
  int fd_ = -1;
  std::string path_;
};
bool InstanceLockHeld(const std::string& folder, const std::string& owner);

// Renames folder/name to the journal `number` of newOwner; the new path, or
// empty when another instance took it first (or it is gone).
std::string ClaimJournal(const std::string& folder, const std::string& name,
                         const std::string& newOwner, int number);
// Removes lock files of instances that hold no lock and keep no journal.
void RemoveDeadLocks(const std::string& folder);

}  // namespace ql
