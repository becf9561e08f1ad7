#include "dialogs/Associate.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

#include "dialogs/ConfigFile.h"
#include "dialogs/MimeApps.h"
#include "platform/Store.h"

namespace ql {

const char* const kAssociationsKey = "\\Software\\Norvane Productions\\Quillora\\Associations";
const char* const kShellNewKey = "\\Software\\Norvane Productions\\Quillora\\ShellNew";

namespace {

const char* const kOldDefault = "RevertToOld";     // the [Default Applications] value before us
const char* const kOldAdded = "RevertToOldAdded";  // the [Added Associations] value before us

std::string Quoted(const std::string& s) { return "\"" + s + "\""; }

// A kept value: "none" when there was no line, else "=" and the value.
std::string EncodeBackup(const std::optional<std::string>& value) { return value ? "=" + *value : "none"; }
std::optional<std::string> DecodeBackup(const std::string& kept) {
  if (!kept.empty() && kept[0] == '=') return kept.substr(1);
  return std::nullopt;
}

bool NamesUsFirst(const std::optional<std::string>& value) {
  if (!value) return false;
  const auto ids = SplitDesktopIds(*value);
  return !ids.empty() && ids.front() == kDesktopId;
}

bool Contains(const std::vector<std::string>& ids, const std::string& id) {
  return std::find(ids.begin(), ids.end(), id) != ids.end();
}

std::vector<std::string> Without(std::vector<std::string> ids, const std::string& id) {
  ids.erase(std::remove(ids.begin(), ids.end(), id), ids.end());
  return ids;
}

struct Effective {
  std::string id, source;
};

// The default the desktop uses: the first installed id of the strongest
// list that names one; without any, what the installed programs' cache
// offers first.
Effective EffectiveDefault(const XdgDirs& dirs, const std::string& mime) {
  std::vector<std::pair<std::string, const char*>> lists;
  for (const std::string& list : dirs.MimeAppsLists()) lists.emplace_back(list, kDefaultApps);
  std::vector<std::string> data{dirs.dataHome};
  data.insert(data.end(), dirs.dataDirs.begin(), dirs.dataDirs.end());
  for (const std::string& d : data) lists.emplace_back(d + "/applications/defaults.list", kDefaultApps);
  for (const std::string& d : data) lists.emplace_back(d + "/applications/mimeinfo.cache", "MIME Cache");
  for (const auto& list : lists) {
    std::string text;
    if (!ReadConfigFile(list.first, text).ok || text.empty()) continue;
    const auto value = FindMimeEntry(text, list.second, mime);
    if (!value) continue;
    for (const std::string& id : SplitDesktopIds(*value))
      if (!dirs.FindDesktopEntry(id).empty()) return {id, list.first};
  }
  return {};
}

bool EntryIsCurrent(const AssocContext& cx) {
  std::string text;
  bool exists = false;
  if (!ReadConfigFile(cx.dirs.Applications() + "/" + kDesktopId, text, &exists).ok || !exists) return false;
  return DesktopEntryValue(text, "Exec") == ExpectedExec(cx.programPath);
}

bool HasTemplate(const std::string& dir, const std::string& ext) {
  DIR* d = ::opendir(dir.c_str());
  if (!d) return false;
  const std::string suffix = "." + ext;
  bool found = false;
  while (dirent* e = ::readdir(d)) {
    const std::string name = e->d_name;
    if (name.size() > suffix.size() && name.compare(name.size() - suffix.size(), suffix.size(), suffix) == 0) {
      struct stat st {};
      if (::stat((dir + "/" + name).c_str(), &st) == 0 && S_ISREG(st.st_mode)) {
        found = true;
        break;
      }
    }
  }
  ::closedir(d);
  return found;
}

// Drops a key of ours once nothing is left in it, and its empty parents up to `stop`.
void PruneKey(Store& store, std::string key, const std::string& stop) {
  while (key.size() > stop.size() && store.KeyExists(key) && store.ValueNames(key).empty() &&
         store.SubKeys(key).empty()) {
    store.DeleteKey(key);
    key = key.substr(0, key.rfind('\\'));
  }
  if (key == stop && store.KeyExists(key) && store.ValueNames(key).empty() && store.SubKeys(key).empty())
    store.DeleteKey(key);
}

std::vector<FileType> Unique(const std::vector<FileType>& types) {
  std::vector<FileType> out;
  for (const FileType& t : types)
    if (std::none_of(out.begin(), out.end(), [&](const FileType& o) { return o.mime == t.mime; })) out.push_back(t);
  return out;
}

// Our desktop entry and, for extensions the desktop does not know, our
// MIME package: both must be in place before a list names us.
bool WriteProgramFiles(const AssocContext& cx, AssocReport& report) {
  std::vector<std::string> mimes;
  for (const FileType& t : Unique(cx.knownTypes)) mimes.push_back(t.mime);
  std::string entry, why;
  if (!DesktopEntryText(cx.programPath, cx.icon, mimes, entry, why)) {
    report.failures.push_back(why);
    return false;
  }
  const std::string entryPath = cx.dirs.Applications() + "/" + kDesktopId;
  std::string old;
  if (!ReadConfigFile(entryPath, old).ok || old != entry) {
    const FileOutcome w = WriteConfigFile(entryPath, entry);
    if (!w.ok) {
      report.failures.push_back("The desktop entry could not be written: " + w.error);
      return false;
    }
  }
  const std::string package = OwnMimePackage(cx.knownTypes);
  if (package.empty()) return true;
  const std::string packagePath = cx.dirs.dataHome + "/mime/packages/quillora.xml";
  if (!ReadConfigFile(packagePath, old).ok || old != package) {
    const FileOutcome w = WriteConfigFile(packagePath, package);
    if (!w.ok) {
      report.failures.push_back("The file types Quillora defines could not be written: " + w.error);
      return false;
    }
    report.mimePackageWritten = true;
  }
  return true;
}

// One pass over mimeapps.list: read, change in memory, keep backups, write.
class ListEdit {
 public:
  ListEdit(const AssocContext& cx, AssocReport& report) : cx_(cx), report_(report), path_(cx.dirs.MimeAppsList()) {}

  bool Read() {
    const FileOutcome r = ReadConfigFile(path_, text_, &exists_);
    if (!r.ok) report_.failures.push_back(r.error);
    original_ = text_;
    return r.ok;
  }
  bool Exists() const { return exists_; }
  std::string& Text() { return text_; }
  bool Changed() const { return text_ != original_; }

  // Keeps `value` as the one to restore; false (reported) when it cannot be kept.
  bool Keep(const std::string& mime, const char* name, const std::optional<std::string>& value) {
    const std::string key = BackupKey(mime);
    if (!cx_.store->WriteString(key, name, EncodeBackup(value))) {
      report_.failures.push_back(mime + ": the previous setting could not be kept in Quillora's settings, so it was not changed.");
      return false;
    }
    return true;
  }
  std::optional<std::string> Kept(const std::string& mime, const char* name, bool* exists) const {
    const auto v = cx_.store->ReadString(BackupKey(mime), name);
    *exists = v.has_value();
    return v ? DecodeBackup(*v) : std::nullopt;
  }
  void Forget(const std::string& mime, const char* name) { dropped_.emplace_back(mime, name); }

  // Backups first (durably), then the list; forgotten backups go last.
  bool Commit() {
    if (!Changed()) return FinishForgetting();
    if (!cx_.store->Flush()) {
      report_.failures.push_back("Quillora's settings could not be saved, so " + Quoted(path_) + " was not changed.");
      return false;
    }
    const FileOutcome w = WriteConfigFile(path_, text_);
    if (!w.ok) {
      report_.failures.push_back(w.error);
      return false;
    }
    return FinishForgetting();
  }

 private:
  bool FinishForgetting() {
    for (const auto& d : dropped_) {
      cx_.store->DeleteValue(BackupKey(d.first), d.second);
      PruneKey(*cx_.store, BackupKey(d.first), kAssociationsKey);
    }
    if (!dropped_.empty()) cx_.store->Flush();
    return true;
  }

  const AssocContext& cx_;
  AssocReport& report_;
  std::string path_, text_, original_;
  bool exists_ = false;
  std::vector<std::pair<std::string, const char*>> dropped_;
};

// We stop being the default of `mime`: the kept value comes back, but only
// while the line still names us; a line someone else changed stays.
void GiveBackDefault(ListEdit& edit, const std::string& mime, AssocReport& report) {
  bool kept = false;
  const auto before = edit.Kept(mime, kOldDefault, &kept);
  const auto now = FindMimeEntry(edit.Text(), kDefaultApps, mime);
  if (NamesUsFirst(now)) {
    if (kept) {
      edit.Text() = before ? SetMimeEntry(edit.Text(), kDefaultApps, mime, *before)
                           : RemoveMimeEntry(edit.Text(), kDefaultApps, mime);
    } else {
      const auto rest = Without(SplitDesktopIds(*now), kDesktopId);
      edit.Text() = rest.empty() ? RemoveMimeEntry(edit.Text(), kDefaultApps, mime)
                                 : SetMimeEntry(edit.Text(), kDefaultApps, mime, JoinDesktopIds(rest));
      report.notes.push_back(mime + ": no earlier default was kept; Quillora was taken off the line.");
    }
  } else if (kept) {
    report.notes.push_back(mime + ": another program has become the default since; its setting was left as it is.");
  }
  if (kept) edit.Forget(mime, kOldDefault);
}

void TakeDefault(ListEdit& edit, const std::string& mime) {
  const auto now = FindMimeEntry(edit.Text(), kDefaultApps, mime);
  if (NamesUsFirst(now)) return;  // already ours: the value kept the first time stays
  // A value kept earlier is stale once someone else took over: keep today's.
  if (!edit.Keep(mime, kOldDefault, now)) return;
  edit.Text() = SetMimeEntry(edit.Text(), kDefaultApps, mime, kDesktopId);
}

void AddToMenu(ListEdit& edit, const std::string& mime) {
  const auto now = FindMimeEntry(edit.Text(), kAddedApps, mime);
  auto ids = now ? SplitDesktopIds(*now) : std::vector<std::string>{};
  if (Contains(ids, kDesktopId)) return;
  if (!edit.Keep(mime, kOldAdded, now)) return;
  ids.push_back(kDesktopId);
  edit.Text() = SetMimeEntry(edit.Text(), kAddedApps, mime, JoinDesktopIds(ids));
}

void TakeOffMenu(ListEdit& edit, const std::string& mime) {
  bool kept = false;
  const auto before = edit.Kept(mime, kOldAdded, &kept);
  const auto now = FindMimeEntry(edit.Text(), kAddedApps, mime);
  if (now) {
    const auto ids = SplitDesktopIds(*now);
    if (Contains(ids, kDesktopId)) {
      const auto rest = Without(ids, kDesktopId);
      if (!rest.empty())
        edit.Text() = SetMimeEntry(edit.Text(), kAddedApps, mime, JoinDesktopIds(rest));
      else if (kept && before)
        edit.Text() = SetMimeEntry(edit.Text(), kAddedApps, mime, *before);
      else
        edit.Text() = RemoveMimeEntry(edit.Text(), kAddedApps, mime);
    }
  }
  if (kept) edit.Forget(mime, kOldAdded);
}

void AddTemplates(const AssocContext& cx, const std::vector<FileType>& types, AssocReport& report) {
  if (cx.templatesDir.empty()) {
    report.failures.push_back("No Templates folder is set for this user.");
    return;
  }
  if (!MakeFolders(cx.templatesDir)) {
    report.failures.push_back("The Templates folder " + Quoted(cx.templatesDir) + " could not be created: " +
                              std::strerror(errno));
    return;
  }
  for (const FileType& t : types) {
    if (HasTemplate(cx.templatesDir, t.ext)) continue;  // offered already
    const std::string path = cx.templatesDir + "/" + TemplateName(t.ext);
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (fd < 0) {
      report.failures.push_back("Could not create " + Quoted(path) + ": " + std::strerror(errno));
      continue;
    }
    ::close(fd);
    if (!cx.store->WriteString(kShellNewKey, t.ext, path)) {
      ::unlink(path.c_str());  // one we could not remember is one we could not remove later
      report.failures.push_back("Could not remember " + Quoted(path) + " in Quillora's settings; it was not kept.");
    }
  }
  if (!cx.store->Flush()) report.failures.push_back("Quillora's settings could not be saved.");
}

void RemoveTemplates(const AssocContext& cx, const std::vector<FileType>& types, AssocReport& report) {
  bool changed = false;
  for (const FileType& t : types) {
    const auto path = cx.store->ReadString(kShellNewKey, t.ext);
    if (!path) {
      if (!cx.templatesDir.empty() && HasTemplate(cx.templatesDir, t.ext))
        report.notes.push_back("*." + t.ext + ": the template in the Templates folder was not made by Quillora and was left.");
      continue;
    }
    struct stat st {};
    if (::lstat(path->c_str(), &st) == 0) {
      if (!S_ISREG(st.st_mode) || st.st_size != 0) {
        report.notes.push_back(Quoted(*path) + " was changed since Quillora made it and was left in place.");
      } else if (::unlink(path->c_str()) != 0) {
        report.failures.push_back("Could not remove " + Quoted(*path) + ": " + std::strerror(errno));
        continue;
      }
    }
    cx.store->DeleteValue(kShellNewKey, t.ext);
    changed = true;
  }
  if (changed) {
    PruneKey(*cx.store, kShellNewKey, kShellNewKey);
    if (!cx.store->Flush()) report.failures.push_back("Quillora's settings could not be saved.");
  }
}

}  // namespace

const std::vector<TypeItem>& CommonTypes() {
  static const std::vector<TypeItem> items = {
      {"1st files  (*.1st)", {"1st"}},        {"FAQ files (*.faq)", {"faq"}},
      {"File_id files  (*.diz)", {"diz"}},    {"List files  (*.lst)", {"lst"}},
      {"LOG files  (*.log)", {"log"}},        {"NFO files  (*.nfo)", {"nfo"}},
      {"Read.me files (*.me)", {"me"}},       {"Readme.now files (*.now)", {"now"}},
      {"Text files  (*.txt)", {"txt"}},       {"INI files (*.ini)", {"ini"}},
      {"INF files (*.inf)", {"inf"}},         {"Temp files (*.tmp)", {"tmp"}},
  };
  return items;
}

const std::vector<TypeItem>& SystemTypes() {
  static const std::vector<TypeItem> items = {
      {"Batch file  (*.bat)", {"bat"}},
      {"HTML file (*.htm;*.html)", {"htm", "html"}},
      {"Registration file (*.reg)", {"reg"}},
  };
  return items;
}

std::string OwnMimeType(const std::string& ext) { return "text/x-quillora-" + ext; }

std::string OwnMimePackage(const std::vector<FileType>& types) {
  std::string body;
  for (const FileType& t : Unique(types)) {
    if (!t.ownDefinition) continue;
    body += "  <mime-type type=\"" + t.mime + "\">\n"
            "    <sub-class-of type=\"text/plain\"/>\n"
            "    <comment>" + TemplateName(t.ext).substr(0, TemplateName(t.ext).rfind('.')) + "</comment>\n"
            "    <glob pattern=\"*." + t.ext + "\"/>\n"
            "  </mime-type>\n";
  }
  if (body.empty()) return "";
  return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
         "<mime-info xmlns=\"http://www.freedesktop.org/standards/shared-mime-info\">\n" +
         body + "</mime-info>\n";
}

std::string TemplateName(const std::string& ext) {
  for (const auto* page : {&CommonTypes(), &SystemTypes()})
    for (const TypeItem& item : *page)
      for (const char* e : item.exts)
        if (ext == e) {
          // "Text files  (*.txt)" -> "Text file.txt"
          std::string label = item.caption;
          label = label.substr(0, label.find('('));
          while (!label.empty() && label.back() == ' ') label.pop_back();
          if (label.size() > 6 && label.compare(label.size() - 6, 6, " files") == 0) label.pop_back();
          return label + "." + ext;
        }
  return "New file." + ext;
}

std::string BackupKey(const std::string& mime) {
  // "text/plain" -> ...\Associations\text\plain
  std::string key = kAssociationsKey;
  key += "\\";
  for (char c : mime) key += c == '/' ? '\\' : c;
  return key;
}

AssocRow ReadStatus(const AssocContext& cx, const FileType& type) {
  AssocRow row;
  row.ext = type.ext;
  row.mime = type.mime;
  const Effective eff = EffectiveDefault(cx.dirs, type.mime);
  row.opensWith = eff.id;
  if (!eff.source.empty() && eff.source != cx.dirs.MimeAppsList() &&
      eff.source.compare(0, cx.dirs.configHome.size() + 1, cx.dirs.configHome + "/") == 0) {
    std::string ours;
    ReadConfigFile(cx.dirs.MimeAppsList(), ours);
    const auto mine = FindMimeEntry(ours, kDefaultApps, type.mime);
    const auto ids = mine ? SplitDesktopIds(*mine) : std::vector<std::string>{};
    if (!ids.empty() && ids.front() != eff.id) row.overriddenBy = eff.source;
  }
  row.associated = "No";
  if (EntryIsCurrent(cx)) {
    std::string ours;
    ReadConfigFile(cx.dirs.MimeAppsList(), ours);
    const auto added = FindMimeEntry(ours, kAddedApps, type.mime);
    if (eff.id == kDesktopId)
      row.associated = "Default";
    else if ((added && Contains(SplitDesktopIds(*added), kDesktopId)) ||
             NamesUsFirst(FindMimeEntry(ours, kDefaultApps, type.mime)))
      row.associated = "Right-click";
  }
  row.shellNew = !cx.templatesDir.empty() && HasTemplate(cx.templatesDir, type.ext) ? "Yes" : "No";
  return row;
}

AssocReport RunAssociation(const AssocContext& cx, AssocCommand command, const std::vector<FileType>& types) {
  AssocReport report;
  if (command == AssocCommand::AddShellNew) {
    AddTemplates(cx, types, report);
    return report;
  }
  if (command == AssocCommand::RemoveShellNew) {
    RemoveTemplates(cx, types, report);
    return report;
  }
  const std::vector<FileType> unique = Unique(types);
  if (command != AssocCommand::Unassociate && !WriteProgramFiles(cx, report)) return report;
  ListEdit edit(cx, report);
  if (!edit.Read()) return report;
  for (const FileType& t : unique) {
    switch (command) {
      case AssocCommand::Default:
        TakeDefault(edit, t.mime);
        break;
      case AssocCommand::RightClick:
        GiveBackDefault(edit, t.mime, report);
        AddToMenu(edit, t.mime);
        break;
      default:
        GiveBackDefault(edit, t.mime, report);
        TakeOffMenu(edit, t.mime);
        break;
    }
  }
  if (!edit.Commit()) return report;
  if (command == AssocCommand::Default) {
    for (const FileType& t : unique) {
      const AssocRow row = ReadStatus(cx, t);
      if (!row.overriddenBy.empty())
        report.notes.push_back(t.mime + ": " + Quoted(row.overriddenBy) + " names " +
                               (row.opensWith.empty() ? std::string("another program") : row.opensWith) +
                               " and overrides mimeapps.list on this desktop.");
    }
  }
  return report;
}

}  // namespace ql
