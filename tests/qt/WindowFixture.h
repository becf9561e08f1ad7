// The main window as the file tests drive it: an in-memory store, a temp
// folder, file dialogs answered from `dialogAnswer`, no further instances.
#pragma once

#include <QCoreApplication>
#include <QTemporaryDir>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/qt/MainQuillora.h"
#include "platform/Store.h"

namespace ql {

struct WindowFixture {
  QTemporaryDir dir;
  MemoryStore store;
  std::unique_ptr<TFormQuillora> form;
  std::vector<std::string> dialogAnswer;

  QString P(const QString& name) const { return dir.path() + "/" + name; }
  std::string S(const QString& name) const { return P(name).toStdString(); }

  // `seed` writes what the store holds before the window reads it.
  void Start(const std::function<void(Store&)>& seed = {}) {
    store = MemoryStore();
    if (seed) seed(store);
    form = std::make_unique<TFormQuillora>(store, std::vector<std::string>{});
    form->SetInstanceStarter([](const std::vector<std::string>&, const std::string&) {});
    form->SetFileDialogHandler([this](const std::string&, const std::string&) { return dialogAnswer; });
    form->Start();
    QCoreApplication::processEvents();
  }
  void Stop() {
    form->SetModified(false);
    form.reset();
  }
  void Open(const QString& name) {
    dialogAnswer = {S(name)};
    form->OpenFile_Cmd();
  }
};

}  // namespace ql
