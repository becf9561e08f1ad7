// Quillora: the program entry.
#include <QApplication>
#include <QTimer>

#include "app/qt/MainQuillora.h"
#include "platform/qt/InstanceChannel.h"
#include "platform/qt/Look.h"
#include "platform/qt/MessageBox.h"
#include "platform/qt/QtSettingsStore.h"

int main(int argc, char** argv) {
  // The window class other programs know us by (WM_CLASS / application id).
  QApplication::setApplicationName("Quillora");
  QApplication::setOrganizationName("Norvane Productions");
  QApplication::setDesktopFileName("quillora");
  QApplication app(argc, argv);

  // A running instance writes its settings before we read them; one that
  // does not answer within two seconds does not hold up the start.
  ql::SendToRunningInstance(1, 2000);

  ql::InstallFontSubstitutes();
  ql::QtSettingsStore store;

  std::vector<std::string> args;
  for (int i = 1; i < argc; ++i) args.emplace_back(argv[i]);

  ql::TFormQuillora form(store, args);
  ql::InstanceServer server([&form](int command, std::function<void(long long)> reply) {
    reply(ql::HandleInstanceCommand(command, form));
  });
  server.Listen();

  form.Start();
  if (auto problem = store.Problem())
    QTimer::singleShot(0, &form, [problem] { ql::MsgBox(*problem, "Quillora settings", 48); });
  return app.exec();
}
