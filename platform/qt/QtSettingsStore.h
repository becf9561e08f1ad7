// The settings store kept in an INI file through QSettings, by default
// $XDG_CONFIG_HOME (or ~/.config) + "/Norvane Productions/Quillora.ini".
//
// Layout: the key "\A\B\C" is the group "A/B/C" and each value a key in it.
// Strings are held as Unicode (our Windows-1252 table), so the file reads as
// UTF-8 and every byte value comes back; binary values are byte arrays. In
// key and value names '%', '/' and '\' are written as %25, %2F and %5C, and
// the empty value name as "%". A key created without values holds the hidden
// value "%key" so that it exists. Only keys under "\Software" and
// "\Control Panel" are kept; the file's top level holds nothing but the
// hidden "Format" value, which also keeps the file from ever being empty.
//
// A file found at start that cannot be read as an INI file at all (empty,
// unreadable, not text, or nothing of ours in it) is renamed to "<file>.bad"
// (or ".bad.1" ... ".bad.99", never overwriting an earlier copy); the store
// starts empty and Problem() tells the user once. A file with a few odd
// lines (no "=", bytes that are not UTF-8, cut off, another program's
// sections) is copied to "<file>.orig" and rewritten without them; the rest
// is used and Problem() tells the user once.
// If it cannot be moved, the store starts empty and refuses every write, so
// the file is never overwritten. Several instances may share the file:
// QSettings writes it atomically and merges changes under its lock file; a
// key deleted and written again (a list) holds after Flush() exactly what
// this store wrote below it, nothing another instance wrote there.
#pragma once

#include <QString>
#include <map>
#include <memory>
#include <set>
#include <optional>
#include <string>

#include "platform/Store.h"

class QSettings;
class QTemporaryFile;

namespace ql {

struct SettingsFileLook;

class QtSettingsStore : public Store {
 public:
  QtSettingsStore();  // the per-user file
  explicit QtSettingsStore(const QString& fileName);
  ~QtSettingsStore() override;

  static QString DefaultFileName();

  bool KeyExists(const std::string& key) const override;
  bool CreateKey(const std::string& key) override;
  std::optional<StoreValue> ReadValue(const std::string& key, const std::string& name) const override;
  bool WriteValue(const std::string& key, const std::string& name, const StoreValue& value) override;
  std::vector<std::string> SubKeys(const std::string& key) const override;
  std::vector<std::string> ValueNames(const std::string& key) const override;
  bool DeleteValue(const std::string& key, const std::string& name) override;
  bool DeleteKey(const std::string& key) override;
  // Writes the file; false unless that succeeded and the file stays writable.
  bool Flush() override;

  QString FileName() const { return fileName_; }
  bool IsWritable() const { return writable_; }
  // Why the file found at start was not used, as a sentence for the user
  // naming the file and its copy; nullopt when all was well.
  std::optional<std::string> Problem() const { return problem_; }
  // Where that file's bytes were kept; empty when nothing was moved.
  QString BadCopy() const { return badCopy_; }
  // Where the file was copied before lines were left out of it; empty
  // when nothing was left out.
  QString KeptCopy() const { return keptCopy_; }

 private:
  void Open();
  bool SkipOddLines(SettingsFileLook& look);
  void Written(const QString& path);
  bool CanWrite(const std::string& normalizedKey) const;
  void EnsureFormatMark();

  QString fileName_;
  std::unique_ptr<QSettings> settings_;  // null: nothing readable, nothing written
  bool writable_ = false;
  bool formatMarked_ = false;
  std::optional<std::string> problem_;
  QString badCopy_;
  QString keptCopy_;
  std::unique_ptr<QTemporaryFile> cleaned_;
  // Keys deleted since the last flush, with the value paths written below
  // each since: after the flush the file holds exactly those below it.
  std::map<QString, std::set<QString>> wholeGroups_;  // read from when the file could not be repaired
};

}  // namespace ql
