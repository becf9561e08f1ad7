#include "platform/qt/SettingsFileGuard.h"

#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>

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

std::optional<QString> SettingsFileProblem(const QString& fileName) {
  const QFileInfo info(fileName);
  if (!info.exists()) return std::nullopt;
  if (!info.isFile()) return QStringLiteral("it is not a file");
  QFile file(fileName);
  if (!file.open(QIODevice::ReadOnly)) return QStringLiteral("it cannot be read");
  if (file.size() > kMaxSettingsFileSize) return kNotOurs;
  const QByteArray bytes = file.readAll();
  if (file.error() != QFileDevice::NoError) return QStringLiteral("it cannot be read");
  switch (CheckSettingsText(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())))) {
    case SettingsFileVerdict::Ok: return std::nullopt;
    case SettingsFileVerdict::Empty: return QStringLiteral("it is empty");
    case SettingsFileVerdict::NotText: return kNotOurs;
    case SettingsFileVerdict::Damaged: return QStringLiteral("it is damaged");
  }
  return std::nullopt;
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
