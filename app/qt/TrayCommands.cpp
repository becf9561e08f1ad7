// The window's side of the tray icon: hiding in the notification area and
// coming back from it.
#include <QApplication>
#include <QTimer>

#include "app/qt/Artwork.h"
#include "app/qt/MainQuillora.h"
#include "common/FuncLib.h"
#include "common/qt/TrayCtrl.h"
#include "platform/qt/QtText.h"

namespace ql {

void TFormQuillora::CreateTray() {
  TrayCtrl1 = new TTrayCtrl(this);
  TrayCtrl1->SetPopupMenu(PopupMenu(5));
  TrayCtrl1->SetCycleInterval(0);
  TrayCtrl1->SetCycleIcons(false);
  TrayCtrl1->OnClick = [this] { Restore_Cmd(); };
  // A panel that quits or crashes takes its tray with it; a window hidden
  // there would be lost with its unsaved text, so it comes back.
  trayWatch_ = new QTimer(this);
  trayWatch_->setInterval(2000);
  connect(trayWatch_, &QTimer::timeout, this, [this] {
    if (InTray() && !TTrayCtrl::TrayAvailable()) Restore_Cmd();
  });
}

bool TFormQuillora::InTray() const { return TrayCtrl1 && TrayCtrl1->Visible(); }

void TFormQuillora::MinimizeToTray_Cmd() {
  if (InTray()) return;
  // Without a notification area a hidden window could never be reached
  // again, and unsaved text would be lost with it: minimize as usual.
  if (!TTrayCtrl::TrayAvailable()) {
    showMinimized();
    return;
  }
  // While the window is hidden, a dialog that closes is the last window
  // closing; that must not end the program.
  quitOnLastClosed_ = QApplication::quitOnLastWindowClosed();
  QApplication::setQuitOnLastWindowClosed(false);
  hide();
  TrayCtrl1->SetIcon(AppIcon());
  TrayCtrl1->SetHint("Quillora  <" + QToUtf8(PathToQ(ExtractFileName(docFileName_))) + ">");
  TrayCtrl1->SetVisible(true);
  trayWatch_->start();
}

void TFormQuillora::Restore_Cmd() {
  show();
  if (windowState() & Qt::WindowMinimized) setWindowState(windowState() & ~Qt::WindowMinimized);
  raise();
  activateWindow();
  LeaveTray();
}

void TFormQuillora::LeaveTray() {
  if (!InTray()) return;
  trayWatch_->stop();
  TrayCtrl1->SetVisible(false);
  QApplication::setQuitOnLastWindowClosed(quitOnLastClosed_);
}

}  // namespace ql
