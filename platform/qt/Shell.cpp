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
  return LaunchDetached(QToPath(program), params, QToPath(dir));
}

int Open(const QUrl& url) {
  // Opening needs the desktop's services, which only a GUI application has.
  if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance()) || !url.isValid())
    return kShellNoAssociation;
  return QDesktopServices::openUrl(url) ? kShellOk : kShellNoAssociation;
}


// The opener as a process of ours; `finished` hears how it ended.
void StartOpener(const QString& opener, const QString& absolute,
                 std::function<void(int result)> finished) {
  auto* process = new QProcess;
  process->setProgram(opener);
  process->setArguments({absolute});  // absolute: never read as an option
  process->setStandardInputFile(QProcess::nullDevice());
  process->setStandardOutputFile(QProcess::nullDevice());
  process->setStandardErrorFile(QProcess::nullDevice());
  // The process object outlives the window if the opener does: closing
  // the editor must not take the opened application with it.
  QObject::connect(process, &QProcess::finished, process,
                   [process, finished](int code, QProcess::ExitStatus status) {
                     process->deleteLater();
                     // 2: a file named does not exist; 1, 3, 4: no application, or it failed.
                     const int result = status != QProcess::NormalExit ? kShellNoAssociation
                                        : code == 0                    ? kShellOk
                                        : code == 2                    ? kShellFileNotFound
                                                                       : kShellNoAssociation;
                     if (finished) finished(result);
                   });
  QObject::connect(process, &QProcess::errorOccurred, process,
                   [process, finished](QProcess::ProcessError error) {
                     if (error != QProcess::FailedToStart) return;
                     process->deleteLater();
                     if (finished) finished(kShellNoAssociation);
                   });
  process->start();
}

}  // namespace

ShellTarget ResolveShellTarget(const std::string& fileName, const std::string& directory) {
  ShellTarget target;
  const QString name = PathToQ(fileName);
  const QString dir = PathToQ(directory);
  if (name.isEmpty()) return target;
  if (!dir.isEmpty() && !QFileInfo(dir).isDir()) {
    target.result = kShellPathNotFound;
    return target;
  }
  const QString local = FindLocal(name, dir);
  if (!local.isEmpty()) {
    const QFileInfo info(local);
    target.path = QToPath(info.absoluteFilePath());
    target.kind = info.isFile() && info.isExecutable() ? ShellTarget::Program : ShellTarget::Document;
    return target;
  }
  if (HasUrlScheme(name)) {
    target.kind = ShellTarget::Address;
    target.path = fileName;
    return target;
  }
  if (!name.contains('/')) {
    const QString program = QStandardPaths::findExecutable(name);
    if (!program.isEmpty()) {
      target.kind = ShellTarget::Program;
      target.path = QToPath(program);
    }
  }
  return target;
}

int ShellExec(const std::string& fileName, const std::vector<std::string>& params,
              const std::string& directory) {
  const ShellTarget target = ResolveShellTarget(fileName, directory);
  switch (target.kind) {
    case ShellTarget::Program:
      return Start(PathToQ(target.path), params, PathToQ(directory));
    case ShellTarget::Document:
      return Open(QUrl::fromLocalFile(PathToQ(target.path)));
    case ShellTarget::Address:
      return Open(QUrl(PathToQ(target.path)));
    case ShellTarget::Missing:
      break;
  }
  return target.result;
}

void OpenTarget(const ShellTarget& target, std::function<void(int result)> done) {
  if (target.kind == ShellTarget::Address) {
    done(Open(QUrl(PathToQ(target.path))));
    return;
  }
  const QFileInfo info(PathToQ(target.path));
  if (target.kind != ShellTarget::Document || target.path.empty() || !info.exists()) {
    done(kShellFileNotFound);
    return;
  }
  const QString opener = QStandardPaths::findExecutable(QStringLiteral("xdg-open"));
  if (opener.isEmpty()) {
    done(Open(QUrl::fromLocalFile(info.absoluteFilePath())));
    return;
  }
  StartOpener(opener, info.absoluteFilePath(), std::move(done));
}

int OpenDocument(const std::string& path, std::function<void(int result)> later) {
  const QFileInfo info(PathToQ(path));
  if (path.empty() || !info.exists()) return kShellFileNotFound;
  const QString absolute = info.absoluteFilePath();
  // xdg-open tells by its exit code what went wrong; without it the
  // desktop services do what they can (a portal, a URL handler).
  const QString opener = QStandardPaths::findExecutable(QStringLiteral("xdg-open"));
  if (opener.isEmpty()) return Open(QUrl::fromLocalFile(absolute));
  StartOpener(opener, absolute, [later](int result) {
    if (result != kShellOk && later) later(result);
  });
  return kShellOk;
}

std::string ProgramPath() {
  if (QCoreApplication::instance()) return QToPath(QCoreApplication::applicationFilePath());
  return QToPath(QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath());
}

}  // namespace ql
