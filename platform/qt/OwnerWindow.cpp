#include "platform/qt/OwnerWindow.h"

#include <QPointer>
#include <QWidget>

namespace ql {

namespace {
QPointer<QWidget>& Owner() {
  static QPointer<QWidget> owner;
  return owner;
}
}  // namespace

void SetOwnerWindow(QWidget* window) { Owner() = window; }

QWidget* OwnerWindow() { return Owner().data(); }

}  // namespace ql
