// Replacing a file's contents so that the old contents survive any failure
// and the file keeps everything that is not its contents.
//
// The usual way is a complete new file in the same folder, synced and
// renamed over the old one, carrying the old file's owner, group, mode,
// ACL and extended attributes. Where the new file cannot carry all of them
// (another owner, a group we are not in, attributes we may not set), where
// the folder takes no new file, and for a file with several hard links,
// the file is rewritten in place after a synced backup copy that is
// written back on failure. Through a symbolic link the target is written.
//
// Copies a save makes are named after the file so that they can be found
// again: ".NAME.quillora-save-PID.XXXXXX" (the new contents being written)
// and ".NAME.quillora-backup-PID.XXXXXX" (the old contents during an
// in-place write) beside the file, or, when its folder takes no new file,
// "NAME.HASH.quillora-backup-PID.XXXXXX" in a folder of the user's own.
// A finished save leaves none behind.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "app/FileStamp.h"

namespace ql {

struct SaveResult {
  bool ok = false;
  bool inPlace = false;  // the old file was rewritten instead of replaced
  FileStamp stamp;       // the file as the save left it
  std::string error;     // the system's error text when not ok
};
SaveResult SaveFileSafely(const std::string& path, const std::string& bytes);

// Copies of the file left by saves that were interrupted (their process is
// gone), oldest first; anyone's, so that the user can be told.
std::vector<std::string> FindInterruptedSaves(const std::string& path);
// Removes those of them that are ours (made by this user, or given the
// file's owner as a new file is); SaveFileSafely does this after every save
// that succeeded. Other users' files are never touched.
void RemoveInterruptedSaves(const std::string& path);

// Where backups go when the file's folder takes no new file, in order of
// preference: $XDG_CACHE_HOME/quillora (or ~/.cache/quillora), then
// $TMPDIR/quillora-UID; each made private to the user when needed.
std::vector<std::string> SaveCopyFolders();

// The points of a save, in order, for fault-injection tests. The hook runs
// at each; a non-zero errno makes the save fail there as if the last call
// had failed with it. Points after the new contents are whole (Renamed,
// Synced) cannot fail any more; their answer is ignored.
enum class SaveStep {
  TempCreated, TempHalfWritten, TempWritten, AttributesCarried, TempSynced, Renamed,
  BackupCreated, BackupCopied, BackupSynced, Truncated, HalfWritten, Written, Synced,
};
using SaveStepHook = std::function<int(SaveStep)>;
void SetSaveStepHook(SaveStepHook hook);

}  // namespace ql
