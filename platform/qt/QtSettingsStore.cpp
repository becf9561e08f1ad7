#include "platform/qt/QtSettingsStore.h"

#include <QByteArray>
#include <QFileInfo>
#include <QLockFile>
#include <QSettings>
#include <QStandardPaths>
#include <QStringList>
#include <QTemporaryFile>
#include <QVariant>
#include <algorithm>
#include <utility>

#include "platform/qt/QtText.h"
#include "platform/qt/SettingsFileGuard.h"

namespace ql {

namespace {

const QString kKeyMark = QStringLiteral("%key");       // an empty key that exists
const QString kFormatMark = QStringLiteral("Format");  // top level, hidden
const QString kFormatText = QStringLiteral("Quillora settings 1");

QString Escape(const QString& name, bool backslash) {
  QString out;
  out.reserve(name.size());
  for (QChar c : name) {
    if (c == QLatin1Char('%'))
      out += QLatin1String("%25");
    else if (c == QLatin1Char('/'))
      out += QLatin1String("%2F");
    else if (backslash && c == QLatin1Char('\\'))
      out += QLatin1String("%5C");
    else
      out += c;
  }
  return out;
}

QString Unescape(const QString& name) {
  QString out;
  out.reserve(name.size());
  for (qsizetype i = 0; i < name.size(); ++i) {
    if (name[i] == QLatin1Char('%') && i + 2 < name.size()) {
      const QString code = name.mid(i + 1, 2).toUpper();
      if (code == QLatin1String("25")) { out += QLatin1Char('%'); i += 2; continue; }
      if (code == QLatin1String("2F")) { out += QLatin1Char('/'); i += 2; continue; }
      if (code == QLatin1String("5C")) { out += QLatin1Char('\\'); i += 2; continue; }
    }
    out += name[i];
  }
  return out;
}

QString ValueKey(const std::string& name) {
  return name.empty() ? QStringLiteral("%") : Escape(ToQString(name), true);
}

std::string ValueName(const QString& key) {
  return key == QLatin1String("%") ? std::string() : FromQString(Unescape(key));
}

// Segments of a normalised key ("\A\B" -> {"A", "B"}; the root has none).
std::vector<std::string> Segments(const std::string& normalized) {
  std::vector<std::string> out;
  std::size_t start = 1;
  while (start < normalized.size()) {
    std::size_t end = normalized.find('\\', start);
    if (end == std::string::npos) end = normalized.size();
    out.push_back(normalized.substr(start, end - start));
    start = end + 1;
  }
  return out;
}

QString GroupOf(const std::string& normalized) {
  QStringList parts;
  for (const std::string& s : Segments(normalized)) parts << Escape(ToQString(s), false);
  return parts.join(QLatin1Char('/'));
}

bool IsRoot(const std::string& normalized) { return normalized == "\\"; }

std::vector<std::string> SortedNames(const QStringList& keys, bool values) {
  std::vector<std::string> out;
  for (const QString& k : keys) {
    if (values && k == kKeyMark) continue;
    out.push_back(values ? ValueName(k) : FromQString(Unescape(k)));
  }
  std::sort(out.begin(), out.end());
  return out;
}

// Group lookups need beginGroup on a settings object the const readers share.
class InGroup {
 public:
  InGroup(QSettings& s, const QString& group) : s_(s) { s_.beginGroup(group); }
  ~InGroup() { s_.endGroup(); }
  InGroup(const InGroup&) = delete;
  InGroup& operator=(const InGroup&) = delete;

 private:
  QSettings& s_;
};

std::optional<StoreValue> FromVariant(const QVariant& v) {
  if (!v.isValid()) return std::nullopt;
  switch (v.typeId()) {
    case QMetaType::QByteArray: {
      const QByteArray b = v.toByteArray();
      return StoreValue{StoreValue::Binary, std::string(b.constData(), static_cast<std::size_t>(b.size()))};
    }
    case QMetaType::QStringList:  // a hand-written "a, b" without quotes
      return StoreValue{StoreValue::String, FromQString(v.toStringList().join(QStringLiteral(", ")))};
    default:
      return StoreValue{StoreValue::String, FromQString(v.toString())};
  }
}

}  // namespace

QtSettingsStore::QtSettingsStore() : QtSettingsStore(DefaultFileName()) {}

QtSettingsStore::QtSettingsStore(const QString& fileName) : fileName_(fileName) { Open(); }

QtSettingsStore::~QtSettingsStore() = default;  // QSettings writes what is pending

QString QtSettingsStore::DefaultFileName() {
  return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
         QStringLiteral("/Norvane Productions/Quillora.ini");
}

void QtSettingsStore::Open() {
  SettingsFileLook look = LookAtSettingsFile(fileName_);
  std::optional<QString> reason = look.problem;
  if (!reason && look.oddLines > 0 && !SkipOddLines(look)) reason = look.problem;
  if (!reason) {
    settings_ = std::make_unique<QSettings>(cleaned_ ? cleaned_->fileName() : fileName_, QSettings::IniFormat);
    reason = ParsedSettingsProblem(*settings_);
    if (!reason) {
      writable_ = !cleaned_ && settings_->isWritable();
      return;
    }
    cleaned_.reset();
    problem_.reset();
    settings_.reset();  // nothing was changed, so nothing is written back
  }

  const QString copy = MoveAside(fileName_);
  if (copy.isEmpty() && QFileInfo::exists(fileName_)) {
    problem_ = QToUtf8(QStringLiteral(
        "The settings file \"%1\" could not be used because %2, and it could not be moved "
        "aside. The program starts with its default settings and will not save them, so "
        "that the file stays as it is.").arg(fileName_, *reason));
    writable_ = false;
    return;
  }
  // Gone meanwhile: another instance moved it and tells the user itself.
  if (!copy.isEmpty()) {
    badCopy_ = copy;
    problem_ = QToUtf8(QStringLiteral(
        "The settings file \"%1\" could not be used because %2. It was kept as \"%3\", and "
        "the program starts with its default settings.").arg(fileName_, *reason, copy));
  }
  settings_ = std::make_unique<QSettings>(fileName_, QSettings::IniFormat);
  writable_ = settings_->status() == QSettings::NoError && settings_->isWritable();
}

// A few lines that cannot be read are left out and the rest is kept: the
// file is rewritten without them after a copy of it was made. Should that
// fail, the rest is read from a cleaned copy and nothing is written.
// Returns false when the file turned out unusable after all (look.problem).
bool QtSettingsStore::SkipOddLines(SettingsFileLook& look) {
  for (int attempt = 0; attempt < 3; ++attempt) {
    QString error;
    const QString copy = KeepCopyAndRewrite(fileName_, look.original, look.kept, error);
    if (!copy.isEmpty()) {
      problem_ = QToUtf8(QStringLiteral(
          "The settings file \"%1\" held %2 that could not be read. %3 left out and all other "
          "settings kept. A copy of the file as it was is kept as \"%4\".")
          .arg(fileName_, look.oddLines == 1 ? QStringLiteral("a line") : QStringLiteral("%1 lines").arg(look.oddLines),
               look.oddLines == 1 ? QStringLiteral("It was") : QStringLiteral("They were"), copy));
      keptCopy_ = copy;
      return true;
    }
    if (error != QLatin1String("it changed while it was being read")) {
      // Read what can be read; write nothing, so the file stays as it is.
      cleaned_ = std::make_unique<QTemporaryFile>();
      if (!cleaned_->open() || cleaned_->write(look.kept) != look.kept.size() || !cleaned_->flush()) {
        look.problem = QStringLiteral("some of its lines cannot be read and it cannot be repaired");
        return false;
      }
      problem_ = QToUtf8(QStringLiteral(
          "The settings file \"%1\" held lines that could not be read, and it could not be "
          "repaired because %2. The other settings are used, but the program will not save its "
          "settings this time, so that the file stays as it is.").arg(fileName_, error));
      return true;
    }
    // Another copy of the program wrote it meanwhile: look again.
    look = LookAtSettingsFile(fileName_);
    if (look.problem) return false;
    if (look.oddLines == 0) return true;
  }
  look.problem = QStringLiteral("it keeps changing");
  return false;
}

bool QtSettingsStore::CanWrite(const std::string& normalizedKey) const {
  if (!settings_ || !writable_) return false;
  const std::vector<std::string> parts = Segments(normalizedKey);
  return !parts.empty() && IsStoreRootGroup(ToQString(parts.front()));
}

void QtSettingsStore::EnsureFormatMark() {
  if (formatMarked_) return;
  if (!settings_->contains(kFormatMark)) settings_->setValue(kFormatMark, kFormatText);
  formatMarked_ = true;
}

bool QtSettingsStore::KeyExists(const std::string& key) const {
  if (!settings_) return false;
  const std::string k = NormalizeKey(key);
  InGroup group(*settings_, GroupOf(k));
  return !settings_->childGroups().isEmpty() || (!IsRoot(k) && !settings_->childKeys().isEmpty());
}

bool QtSettingsStore::CreateKey(const std::string& key) {
  const std::string k = NormalizeKey(key);
  if (IsRoot(k)) return settings_ && writable_;
  if (!CanWrite(k)) return false;
  EnsureFormatMark();
  const QString mark = GroupOf(k) + QLatin1Char('/') + kKeyMark;
  if (!settings_->contains(mark)) settings_->setValue(mark, QString());
  Written(mark);
  return true;
}

std::optional<StoreValue> QtSettingsStore::ReadValue(const std::string& key, const std::string& name) const {
  const std::string k = NormalizeKey(key);
  if (!settings_ || IsRoot(k)) return std::nullopt;
  return FromVariant(settings_->value(GroupOf(k) + QLatin1Char('/') + ValueKey(name)));
}

bool QtSettingsStore::WriteValue(const std::string& key, const std::string& name, const StoreValue& value) {
  const std::string k = NormalizeKey(key);
  if (!CanWrite(k)) return false;
  EnsureFormatMark();
  const QString path = GroupOf(k) + QLatin1Char('/') + ValueKey(name);
  if (value.kind == StoreValue::Binary)
    settings_->setValue(path, QByteArray(value.data.data(), static_cast<qsizetype>(value.data.size())));
  else
    settings_->setValue(path, ToQString(value.data));
  Written(path);
  return true;
}

std::vector<std::string> QtSettingsStore::SubKeys(const std::string& key) const {
  if (!settings_) return {};
  InGroup group(*settings_, GroupOf(NormalizeKey(key)));
  return SortedNames(settings_->childGroups(), false);
}

std::vector<std::string> QtSettingsStore::ValueNames(const std::string& key) const {
  const std::string k = NormalizeKey(key);
  if (!settings_ || IsRoot(k)) return {};
  InGroup group(*settings_, GroupOf(k));
  return SortedNames(settings_->childKeys(), true);
}

bool QtSettingsStore::DeleteValue(const std::string& key, const std::string& name) {
  const std::string k = NormalizeKey(key);
  if (!CanWrite(k)) return false;
  const QString path = GroupOf(k) + QLatin1Char('/') + ValueKey(name);
  if (!settings_->contains(path)) return false;
  EnsureFormatMark();
  // QSettings removes a subkey of the same name along with the value; put
  // that subkey's values back.
  QList<std::pair<QString, QVariant>> keep;
  {
    InGroup group(*settings_, path);
    for (const QString& sub : settings_->allKeys()) keep.append({sub, settings_->value(sub)});
  }
  settings_->remove(path);
  for (const auto& [sub, v] : keep) settings_->setValue(path + QLatin1Char('/') + sub, v);
  // The key stays, as it would with its last value gone from the registry.
  settings_->setValue(GroupOf(k) + QLatin1Char('/') + kKeyMark, QString());
  for (auto& [group, written] : wholeGroups_)
    if (path.startsWith(group + QLatin1Char('/'))) written.erase(path);
  Written(GroupOf(k) + QLatin1Char('/') + kKeyMark);
  return true;
}

bool QtSettingsStore::DeleteKey(const std::string& key) {
  const std::string k = NormalizeKey(key);
  if (!settings_ || !writable_ || (!IsRoot(k) && !CanWrite(k))) return false;
  const QString group = GroupOf(k);
  // What another copy of the program wrote below the key goes too, once
  // this one flushes, also when this one has not seen the key at all.
  if (!group.isEmpty()) {
    for (auto it = wholeGroups_.begin(); it != wholeGroups_.end();)
      it = it->first.startsWith(group + QLatin1Char('/')) ? wholeGroups_.erase(it) : std::next(it);
    wholeGroups_[group].clear();
  }
  if (!KeyExists(k)) return false;
  EnsureFormatMark();  // so that a file written by hand never ends up empty
  // Every value below the key, one by one: QSettings' remove() of the group
  // itself would also take a value of the parent that has the key's name.
  QStringList below;
  {
    InGroup in(*settings_, group);
    below = settings_->allKeys();
  }
  for (const QString& path : below) {
    if (IsRoot(k) && path == kFormatMark) continue;
    settings_->remove(group.isEmpty() ? path : group + QLatin1Char('/') + path);
  }
  return true;
}

void QtSettingsStore::Written(const QString& path) {
  for (auto& [group, written] : wholeGroups_)
    if (path.startsWith(group + QLatin1Char('/'))) written.insert(path);
}

// QSettings merges the file under its lock: it keeps every value another
// copy of the program wrote, also below a key this one deleted but never
// saw those values of. A deleted and rewritten key (a history list) must
// hold exactly what this copy wrote, so after the merge whatever else is
// below it goes, in a second write. Copies of the program take a lock of
// their own around both writes, so no other save comes in between.
bool QtSettingsStore::Flush() {
  if (!settings_ || !writable_) return false;
  if (wholeGroups_.empty()) {
    settings_->sync();
    return settings_->status() == QSettings::NoError && settings_->isWritable();
  }
  QLockFile lock(fileName_ + QStringLiteral(".save-lock"));
  lock.tryLock(5000);  // without it the two writes still run, only less sheltered
  settings_->sync();
  bool ok = settings_->status() == QSettings::NoError;
  bool again = false;
  for (const auto& [group, written] : wholeGroups_) {
    QStringList below;
    {
      InGroup in(*settings_, group);
      below = settings_->allKeys();
    }
    for (const QString& sub : below) {
      const QString path = group + QLatin1Char('/') + sub;
      if (written.count(path)) continue;
      settings_->remove(path);
      again = true;
    }
  }
  if (ok && again) {
    settings_->sync();
    ok = settings_->status() == QSettings::NoError;
  }
  wholeGroups_.clear();
  return ok && settings_->isWritable();
}

}  // namespace ql
