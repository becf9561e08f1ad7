// Quillora: the program entry.
#include <QApplication>
#include <QFileInfo>
#include <QTimer>
#include <cstdlib>
#include <ctime>
#include <unistd.h>
#include <string>
#include <vector>

#include "app/qt/MainQuillora.h"
#include "app/RecoveryFolder.h"
#include "platform/InstanceWire.h"
#include "platform/qt/InstanceChannel.h"
#include "platform/qt/Look.h"
#include "platform/qt/MessageBox.h"
#include "platform/qt/QtSettingsStore.h"

int main(int argc, char** argv) {
  // The window class other programs know us by (WM_CLASS / application id).
  QApplication::setApplicationName("Quillora");
  QApplication::setOrganizationName("Norvane Productions");
  QApplication::setDesktopFileName("quillora");
  // Every argument is ours: a file may well be called "-reverse" or
  // "-style". Qt is given the program name alone, so it takes none of them.
  std::vector<std::string> args;
  for (int i = 1; i < argc; ++i) args.emplace_back(argv[i]);
  static char fallbackName[] = "quillora";
  char* qtArgv[] = {argc > 0 && argv[0] ? argv[0] : fallbackName, nullptr};
  int qtArgc = 1;
  QApplication app(qtArgc, qtArgv);
  QApplication::setWindowIcon(ql::ProgramIcon());

  // A running instance writes its settings before we read them; one that
  // does not answer within two seconds does not hold up the start.
  ql::SendToRunningInstance(1, 2000);

  ql::InstallFontSubstitutes();
  ql::QtSettingsStore store;

  ql::TFormQuillora form(store, args);
  ql::InstanceServer server([&form](int command, std::function<void(long long)> reply) {
    reply(ql::HandleInstanceCommand(command, form));
  });
  // Our journals carry the name of our socket, so other instances can ask
  // whether we still run.
  std::string owner;
  if (server.Listen()) owner = QFileInfo(server.SocketPath()).fileName().toStdString();
  if (!ql::ParseInstanceSocketName(owner)) {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    owner = ql::InstanceSocketFileName(getpid(), static_cast<std::uint64_t>(ts.tv_sec) * 1000000000ull +
                                                     static_cast<std::uint64_t>(ts.tv_nsec));
  }
  // A journal handed over by the instance that recovered it; not passed on further.
  const char* handed = std::getenv(ql::kRecoverVariable);
  const std::string handedJournal = handed ? handed : "";
  unsetenv(ql::kRecoverVariable);
  form.EnableRecovery(ql::RecoveryFolderFor(std::getenv("XDG_STATE_HOME"), std::getenv("HOME")), owner);

  form.Start();
  QTimer::singleShot(0, &form, [&form, handedJournal] { form.StartRecovery(handedJournal); });
  if (auto problem = store.Problem())
    QTimer::singleShot(0, &form, [problem] { ql::MsgBox(*problem, "Quillora settings", 48); });
  return app.exec();
}
