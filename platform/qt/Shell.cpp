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

int OpenDocument(const std::string& path, std::function<void(int result)> later) {
  const QFileInfo info(PathToQ(path));
  if (path.empty() || !info.exists()) return kShellFileNotFound;
  const QString absolute = info.absoluteFilePath();
  // xdg-open tells by its exit code what went wrong; without it the
  // desktop services do what they can (a portal, a URL handler).
  const QString opener = QStandardPaths::findExecutable(QStringLiteral("xdg-open"));
  if (opener.isEmpty()) return Open(QUrl::fromLocalFile(absolute));
  auto* process = new QProcess;
  process->setProgram(opener);
  process->setArguments({absolute});  // absolute: never read as an option
  process->setStandardInputFile(QProcess::nullDevice());
  process->setStandardOutputFile(QProcess::nullDevice());
  process->setStandardErrorFile(QProcess::nullDevice());
  // The process object outlives the window if the opener does: closing
  // the editor must not take the opened application with it.
  QObject::connect(process, &QProcess::finished, process,
                   [process, later](int code, QProcess::ExitStatus status) {
                     process->deleteLater();
                     if (status != QProcess::NormalExit || code == 0 || !later) return;
                     // 2: a file named does not exist; 1, 3, 4: no application, or it failed.
                     later(code == 2 ? kShellFileNotFound : kShellNoAssociation);
                   });
  QObject::connect(process, &QProcess::errorOccurred, process,
                   [process, later](QProcess::ProcessError error) {
                     if (error != QProcess::FailedToStart) return;
                     process->deleteLater();
                     if (later) later(kShellNoAssociation);
                   });
  process->start();
  return kShellOk;
}

std::string ProgramPath() {
  if (QCoreApplication::instance()) return QToPath(QCoreApplication::applicationFilePath());
  return QToPath(QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath());
}

}  // namespace ql
