#include "platform/qt/Shell.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QUrl>

#include "platform/qt/QtText.h"

namespace ql {

namespace {

// "scheme:" of two or more characters, so that "C:" never reads as one.
bool HasUrlScheme(const QString& name) {
  static const QRegularExpression scheme("^[A-Za-z][A-Za-z0-9+.-]+:");
  return scheme.match(name).hasMatch();
}

QString FindLocal(const QString& name, const QString& dir) {
  if (QDir::isAbsolutePath(name)) return QFileInfo::exists(name) ? name : QString();
  if (!dir.isEmpty()) {
    const QString inDir = QDir(dir).filePath(name);
    if (QFileInfo::exists(inDir)) return inDir;
  }
  return QFileInfo::exists(name) ? QDir::current().absoluteFilePath(name) : QString();
}

int Start(const QString& program, const std::vector<std::string>& params, const QString& dir) {
  QStringList args;
  for (const std::string& p : params) args << PathToQ(p);
  return QProcess::startDetached(program, args, dir) ? kShellOk : kShellAccessDenied;
}

int Open(const QUrl& url) {
  // Opening needs the desktop's services, which only a GUI application has.
  if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance()) || !url.isValid())
    return kShellNoAssociation;
  return QDesktopServices::openUrl(url) ? kShellOk : kShellNoAssociation;
}

}  // namespace

int ShellExec(const std::string& fileName, const std::vector<std::string>& params,
              const std::string& directory) {
  const QString name = PathToQ(fileName);
  const QString dir = PathToQ(directory);
  if (name.isEmpty()) return kShellFileNotFound;
  if (!dir.isEmpty() && !QFileInfo(dir).isDir()) return kShellPathNotFound;

  const QString local = FindLocal(name, dir);
  if (!local.isEmpty()) {
    const QFileInfo info(local);
    if (info.isFile() && info.isExecutable()) return Start(info.absoluteFilePath(), params, dir);
    return Open(QUrl::fromLocalFile(info.absoluteFilePath()));
  }
  if (HasUrlScheme(name)) return Open(QUrl(name));
  if (!name.contains('/')) {
    const QString program = QStandardPaths::findExecutable(name);
    if (!program.isEmpty()) return Start(program, params, dir);
  }
  return kShellFileNotFound;
}

std::string ProgramPath() {
  if (QCoreApplication::instance()) return QToPath(QCoreApplication::applicationFilePath());
  return QToPath(QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath());
}

}  // namespace ql
