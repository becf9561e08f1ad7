#include "tools/qt/ConfirmReplaceDialog.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

#include "platform/qt/QtText.h"

namespace ql {

ConfirmReplaceDialog::ConfirmReplaceDialog(const std::string& findText, const std::string& replaceText,
                                           bool all, QWidget* owner)
    : QDialog(owner) {
  setObjectName("ConfirmReplace");
  setWindowTitle("Confirm");
  setModal(true);
  // A question box: a title and a close button, nothing to minimise.
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);

  auto* icon = new QLabel(this);
  const int side = style()->pixelMetric(QStyle::PM_MessageBoxIconSize, nullptr, this);
  icon->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxQuestion, nullptr, this).pixmap(side, side));
  icon->setAlignment(Qt::AlignTop);
  // Line breaks of the texts show as the breaks they are.
  auto shown = [](const std::string& text) {
    return ToQString(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(QChar('\r'), QChar('\n'));
  };
  auto* text = new QLabel(QStringLiteral("Replace: \"%1\"\nWith: \"%2\"").arg(shown(findText), shown(replaceText)), this);
  text->setObjectName("Confirm_Text");
  text->setTextFormat(Qt::PlainText);
  text->setTextInteractionFlags(Qt::NoTextInteraction);

  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  auto add = [&](const char* name, const char* caption, ConfirmAnswer answer) {
    auto* b = new QPushButton(caption, this);
    b->setObjectName(name);
    b->setAutoDefault(false);
    connect(b, &QPushButton::clicked, this, [this, answer] { Choose(answer); });
    buttons->addWidget(b);
    return b;
  };
  Yes_Btn = add("Yes_Btn", "&Yes", ConfirmAnswer::Yes);
  No_Btn = add("No_Btn", "&No", ConfirmAnswer::No);
  if (all) {
    NoToAll_Btn = add("NoToAll_Btn", "N&o to All", ConfirmAnswer::NoToAll);
    YesToAll_Btn = add("YesToAll_Btn", "Yes to &All", ConfirmAnswer::YesToAll);
  }
  Yes_Btn->setDefault(true);

  auto* top = new QHBoxLayout;
  top->addWidget(icon);
  top->addWidget(text, 1);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(top);
  layout->addLayout(buttons);
  layout->setSizeConstraint(QLayout::SetFixedSize);
  Yes_Btn->setFocus();
}

void ConfirmReplaceDialog::Choose(ConfirmAnswer answer) {
  answer_ = answer;
  accept();
}

ConfirmAnswer ConfirmReplaceDialog::Ask() {
  answer_ = ConfirmAnswer::Closed;  // Esc and the window's close button reject
  exec();
  return answer_;
}

}  // namespace ql
