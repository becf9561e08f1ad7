#include "platform/qt/SettingsFileGuard.h"

#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QSaveFile>
#include <QSettings>
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/SettingsFileCheck.h"

namespace ql {

namespace {

// Far beyond any settings file the program writes; never read a huge file.
constexpr qint64 kMaxSettingsFileSize = 8 * 1024 * 1024;

const QString kNotOurs = QStringLiteral("it does not hold this program's settings");

bool Exists(const QByteArray& path) {
  struct stat st {};
  return ::lstat(path.constData(), &st) == 0;
}

bool RenameNoReplace(const QByteArray& from, const QByteArray& to, int& error) {
#ifdef RENAME_NOREPLACE
  if (::renameat2(AT_FDCWD, from.constData(), AT_FDCWD, to.constData(), RENAME_NOREPLACE) == 0)
    return true;
  error = errno;
  if (error != EINVAL && error != ENOSYS) return false;
#endif
  // File systems without the no-replace rename: check, then rename.
  if (Exists(to)) {
    error = EEXIST;
    return false;
  }
  if (std::rename(from.constData(), to.constData()) == 0) return true;
  error = errno;
  return false;
}

}  // namespace

SettingsFileLook LookAtSettingsFile(const QString& fileName) {
  SettingsFileLook look;
  const QFileInfo info(fileName);
  if (!info.exists()) return look;
  if (!info.isFile()) {
    look.problem = QStringLiteral("it is not a file");
    return look;
  }
  QFile file(fileName);
  if (!file.open(QIODevice::ReadOnly)) {
    look.problem = QStringLiteral("it cannot be read");
    return look;
  }
  if (file.size() > kMaxSettingsFileSize) {
    look.problem = kNotOurs;
    return look;
  }
  look.original = file.readAll();
  if (file.error() != QFileDevice::NoError) {
    look.problem = QStringLiteral("it cannot be read");
    return look;
  }
  const SettingsFileScan scan = ScanSettingsText(
      std::string_view(look.original.constData(), static_cast<std::size_t>(look.original.size())));
  switch (scan.verdict) {
    case SettingsFileVerdict::Ok: break;
    case SettingsFileVerdict::Empty: look.problem = QStringLiteral("it is empty"); return look;
    case SettingsFileVerdict::NotText: look.problem = QStringLiteral("it cannot be read as a settings file"); return look;
    case SettingsFileVerdict::NotOurs: look.problem = kNotOurs; return look;
  }
  look.oddLines = static_cast<int>(scan.oddLines);
  if (scan.oddLines > 0) look.kept = QByteArray(scan.kept.data(), static_cast<qsizetype>(scan.kept.size()));
  return look;
}

QString KeepCopyAndRewrite(const QString& fileName, const QByteArray& original, const QByteArray& kept,
                           QString& error) {
  // The lock QSettings takes around its writes: no other copy of the
  // program writes the file meanwhile.
  QLockFile lock(fileName + QStringLiteral(".lock"));
  if (!lock.tryLock(5000)) {
    error = QStringLiteral("it is locked by another program");
    return QString();
  }
  {
    QFile current(fileName);
    if (!current.open(QIODevice::ReadOnly) || current.readAll() != original) {
      error = QStringLiteral("it changed while it was being read");
      return QString();
    }
  }
  QString copy;
  for (int n = 0; n < 100 && copy.isEmpty(); ++n) {
    const QString name = fileName + QStringLiteral(".orig") + (n ? QStringLiteral(".%1").arg(n) : QString());
    QFile out(name);
    if (!out.open(QIODevice::WriteOnly | QIODevice::NewOnly)) {
      if (QFileInfo::exists(name)) continue;
      error = out.errorString();
      return QString();
    }
    if (out.write(original) != original.size() || !out.flush() || ::fsync(out.handle()) != 0) {
      error = out.errorString();
      out.close();
      QFile::remove(name);
      return QString();
    }
    copy = name;
  }
  if (copy.isEmpty()) {
    error = QStringLiteral("no name for a copy was free");
    return QString();
  }
  QSaveFile save(fileName);
  if (!save.open(QIODevice::WriteOnly) || save.write(kept) != kept.size() || !save.commit()) {
    error = save.errorString();
    return QString();  // the file stays as it was; the copy does no harm
  }
  return copy;
}

bool IsStoreRootGroup(const QString& group) {
  return group == QLatin1String("Software") || group == QLatin1String("Control Panel");
}

std::optional<QString> ParsedSettingsProblem(QSettings& settings) {
  switch (settings.status()) {
    case QSettings::NoError: break;
    case QSettings::AccessError: return QStringLiteral("it cannot be read");
    case QSettings::FormatError: return QStringLiteral("it is damaged");
  }
  for (const QString& key : settings.childKeys())
    if (key != QLatin1String("Format")) return kNotOurs;
  for (const QString& group : settings.childGroups())
    if (!IsStoreRootGroup(group)) return kNotOurs;
  return std::nullopt;
}

QString MoveAside(const QString& fileName) {
  const QByteArray from = QFile::encodeName(fileName);
  for (int n = 0; n < 100; ++n) {
    const QString to = fileName + QStringLiteral(".bad") + (n ? QStringLiteral(".%1").arg(n) : QString());
    int error = 0;
    if (RenameNoReplace(from, QFile::encodeName(to), error)) return to;
    if (error != EEXIST && error != ENOTEMPTY) return QString();
  }
  return QString();
}

}  // namespace ql
