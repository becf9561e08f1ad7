#include "dialogs/qt/NumberDialog.h"

#include <QEvent>
#include <QGridLayout>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QScreen>
#include <QValidator>

#include "platform/qt/MessageBox.h"
#include "platform/qt/QtText.h"

namespace ql {

namespace {

const QColor kLime(0, 255, 0);

// The hexadecimal box turns typed letters to upper case; every character
// is accepted so that a wrong one can be reported.
class UpperCaseValidator : public QValidator {
 public:
  using QValidator::QValidator;
  State validate(QString& input, int&) const override {
    input = input.toUpper();
    return Acceptable;
  }
};

const char* LabelCaption(NumBase base) {
  switch (base) {
    case NumBase::Hex: return "&Hexadecimal:";
    case NumBase::Dec: return "&Decimal:";
    case NumBase::Oct: return "&Octal:";
    case NumBase::Bin: return "&Binary:";
  }
  return "";
}

const char* EditName(NumBase base) {
  switch (base) {
    case NumBase::Hex: return "Hex_Edit";
    case NumBase::Dec: return "Dec_Edit";
    case NumBase::Oct: return "Oct_Edit";
    case NumBase::Bin: return "Bin_Edit";
  }
  return "";
}

}  // namespace

TFormNumber::TFormNumber(QWidget* owner) : QDialog(owner) {
  setObjectName("FormNumber");
  setWindowTitle("Number Converter v1.36");
  setWindowFlags(Qt::Tool | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                 Qt::WindowCloseButtonHint);
  setSizeGripEnabled(true);
  auto* grid = new QGridLayout(this);
  QFont mono("Monospace");
  mono.setStyleHint(QFont::TypeWriter);
  for (int i = 0; i < kNumBoxes; ++i) {
    const auto base = static_cast<NumBase>(i);
    auto* edit = new QLineEdit(this);
    edit->setObjectName(EditName(base));
    edit->setMaxLength(NumMaxLength(base));
    edit->setFont(mono);
    edit->setAutoFillBackground(true);
    if (base == NumBase::Hex) edit->setValidator(new UpperCaseValidator(edit));
    edit->setMouseTracking(true);
    edit->installEventFilter(this);
    auto* label = new QLabel(LabelCaption(base), this);
    label->setObjectName(QString(EditName(base)).replace("_Edit", "_Label"));
    label->setBuddy(edit);
    label->setCursor(Qt::PointingHandCursor);
    label->installEventFilter(this);
    edits_[i] = edit;
    labels_[i] = label;
    grid->addWidget(label, i, 0);
    grid->addWidget(edit, i, 1);
    connect(edit, &QLineEdit::textChanged, this, [this, base] { Box_Change(base, writing_ == 0); });
    SetBoxColor(i, kLime);
  }
  // Tab order: hexadecimal, decimal, octal, binary.
  for (int i = 0; i + 1 < kNumBoxes; ++i) setTabOrder(edits_[i], edits_[i + 1]);
  Error_Label = new QLabel("** Hint", this);
  Error_Label->setObjectName("Error_Label");
  grid->addWidget(Error_Label, kNumBoxes, 0, 1, 2);
  grid->setColumnStretch(1, 1);

  for (NumBase base : {NumBase::Hex, NumBase::Dec, NumBase::Oct, NumBase::Bin}) WriteBox(base, "0");
  resize(500, sizeHint().height());
  if (QScreen* screen = QGuiApplication::primaryScreen())
    move(screen->availableGeometry().center() - rect().center());
}

void TFormNumber::SetBoxColor(int index, const QColor& color) {
  QPalette p = edits_[index]->palette();
  p.setColor(QPalette::Base, Qt::black);
  p.setColor(QPalette::Text, color);
  edits_[index]->setPalette(p);
}

void TFormNumber::WriteBox(NumBase base, const std::string& text) {
  ++writing_;
  Box(base)->setText(QString::fromLatin1(text.c_str()));
  --writing_;
}

void TFormNumber::Box_Change(NumBase base, bool convert) {
  Error_Label->clear();
  const std::string text = FromQString(Box(base)->text());
  for (int i = 0; i < kNumBoxes; ++i) SetBoxColor(i, kLime);
  const NumChange change = ChangeBox(base, text, convert);
  for (int i = 0; i < kNumBoxes; ++i)
    if (change.write[i]) WriteBox(static_cast<NumBase>(i), *change.write[i]);
  if (change.error)
    ShowError(base, text, change.offending);
  else
    ShowSize();
}

void TFormNumber::ShowError(NumBase base, const std::string& text, std::optional<char> offending) {
  QPalette p = Error_Label->palette();
  p.setColor(QPalette::WindowText, QColor(0, 0, 128));
  Error_Label->setPalette(p);
  for (int i = 0; i < kNumBoxes; ++i) SetBoxColor(i, i == static_cast<int>(base) ? kLime : Qt::red);
  Error_Label->setText(ToQString(NumErrorText(base, text, offending)));
}

void TFormNumber::ShowSize() {
  QPalette p = Error_Label->palette();
  p.setColor(QPalette::WindowText, QColor(128, 0, 0));
  Error_Label->setPalette(p);
  Error_Label->setText(
      ToQString(NumSizeText(static_cast<std::size_t>(Box(NumBase::Bin)->text().size()))));
}

void TFormNumber::StepValue(NumBase pressedIn, int step) {
  const std::string dec = FromQString(Box(NumBase::Dec)->text());
  if (dec.empty() || FirstIllegalChar(NumBase::Dec, dec) != 0) return;
  const std::optional<std::uint64_t> v = StepDecimal(dec, step);
  if (!v) {
    ShowError(pressedIn, FromQString(Box(pressedIn)->text()), std::nullopt);
    return;
  }
  for (NumBase base : {NumBase::Dec, NumBase::Hex, NumBase::Oct, NumBase::Bin})
    WriteBox(base, WriteNumber(base, *v));
}

void TFormNumber::Edits_LabelClick(NumBase base) {
  MsgBox(NumTypeInfo(base), "Type information", 64);
}

bool TFormNumber::eventFilter(QObject* watched, QEvent* event) {
  for (int i = 0; i < kNumBoxes; ++i) {
    const auto base = static_cast<NumBase>(i);
    if (watched == labels_[i] && event->type() == QEvent::MouseButtonRelease) {
      Edits_LabelClick(base);
      return true;
    }
    if (watched != edits_[i]) continue;
    if (event->type() == QEvent::MouseMove || event->type() == QEvent::ToolTip)
      edits_[i]->setToolTip(ToQString(NumHintText(FromQString(edits_[i]->text()))));
    if (event->type() == QEvent::KeyPress) {
      const int key = static_cast<QKeyEvent*>(event)->key();
      if (key == Qt::Key_PageUp || key == Qt::Key_PageDown) {
        StepValue(base, key == Qt::Key_PageUp ? 1 : -1);
        return true;
      }
    }
  }
  return QDialog::eventFilter(watched, event);
}

}  // namespace ql
