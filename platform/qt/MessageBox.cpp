#include "platform/qt/MessageBox.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFontMetrics>
#include <QGridLayout>
#include <QSpacerItem>
#include <QMessageBox>
#include <QPushButton>
#include <utility>
#include <vector>

#include "common/FuncLib.h"
#include "platform/MsgBoxCodes.h"
#include "platform/qt/QtText.h"

namespace ql {

namespace {

MsgBoxHook& Hook() {
  static MsgBoxHook hook;
  return hook;
}

QMessageBox::StandardButton StandardButtonFor(MsgButton b) {
  switch (b) {
    case MsgButton::Ok: return QMessageBox::Ok;
    case MsgButton::Cancel: return QMessageBox::Cancel;
    case MsgButton::Abort: return QMessageBox::Abort;
    case MsgButton::Retry: return QMessageBox::Retry;
    case MsgButton::Ignore: return QMessageBox::Ignore;
    case MsgButton::Yes: return QMessageBox::Yes;
    case MsgButton::No: return QMessageBox::No;
  }
  return QMessageBox::Ok;
}

QMessageBox::Icon IconFor(MsgIcon icon) {
  switch (icon) {
    case MsgIcon::Stop: return QMessageBox::Critical;
    case MsgIcon::Question: return QMessageBox::Question;
    case MsgIcon::Exclamation: return QMessageBox::Warning;
    case MsgIcon::Information: return QMessageBox::Information;
    case MsgIcon::None: break;
  }
  return QMessageBox::NoIcon;
}

}  // namespace

int CaptionRoom(const QString& caption, const QFont& font) {
  // Title bars often use a bold face, and hold an icon and three buttons.
  QFont title = font;
  title.setBold(true);
  const QFontMetrics metrics(title);
  return metrics.horizontalAdvance(caption) + 8 * metrics.height();
}

void ReserveCaptionWidth(QMessageBox& box, const std::string& caption) {
  // The window manager cuts a caption that does not fit, and the caption
  // often says what the box is about; a spacer keeps the box that wide.
  auto* grid = qobject_cast<QGridLayout*>(box.layout());
  if (!grid) return;
  grid->addItem(new QSpacerItem(CaptionRoom(Utf8ToQ(caption), box.font()), 0, QSizePolicy::Minimum,
                                QSizePolicy::Fixed),
                grid->rowCount(), 0, 1, grid->columnCount());
}

void SetMsgBoxHook(MsgBoxHook hook) { Hook() = std::move(hook); }

bool MsgBoxHookActive() { return static_cast<bool>(Hook()); }

int MsgBox(const std::string& text, const std::string& caption, unsigned flags) {
  if (Hook()) return Hook()(text, caption, flags);
  // Without a widget application there is no box to show; 0 is the
  // platform's "the box could not be created".
  if (!qobject_cast<QApplication*>(QCoreApplication::instance())) return 0;

  const MsgBoxLayout layout = MsgBoxLayoutFor(flags);
  QMessageBox box(OwnerWindow());
  box.setWindowTitle(Utf8ToQ(caption));
  // Plain text always: the HTML tools report text with tags in it.
  box.setTextFormat(Qt::PlainText);
  box.setText(Utf8ToQ(NormalizeLineBreaks(text, "\n")));
  box.setIcon(IconFor(layout.icon));

  std::vector<std::pair<QAbstractButton*, MsgButton>> buttons;
  for (MsgButton b : layout.buttons) {
    QPushButton* button = box.addButton(StandardButtonFor(b));
    buttons.emplace_back(button, b);
    if (b == layout.defaultButton) box.setDefaultButton(button);
    if (b == layout.escapeButton) box.setEscapeButton(button);
  }
  ReserveCaptionWidth(box, caption);
  box.exec();

  for (const auto& [button, which] : buttons)
    if (button == box.clickedButton()) return MsgBoxCode(which);
  return MsgBoxCode(layout.escapeButton);
}

}  // namespace ql
