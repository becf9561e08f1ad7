#include "tools/qt/DateTimeDialog.h"

#include <QApplication>
#include <QDateTime>
#include <QDialogButtonBox>
#include <QFrame>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QVBoxLayout>

#include "platform/qt/Look.h"
#include "platform/qt/QtText.h"

namespace ql {

DateLocale SystemDateLocale() {
  const QLocale l = QLocale::system();
  DateLocale d;
  // Qt numbers days from Monday (1) to Sunday (7).
  for (int i = 0; i < 7; ++i) {
    const int qtDay = i == 0 ? 7 : i;
    d.shortDayNames[i] = FromQString(l.dayName(qtDay, QLocale::ShortFormat));
    d.longDayNames[i] = FromQString(l.dayName(qtDay, QLocale::LongFormat));
  }
  for (int m = 0; m < 12; ++m) {
    d.shortMonthNames[m] = FromQString(l.monthName(m + 1, QLocale::ShortFormat));
    d.longMonthNames[m] = FromQString(l.monthName(m + 1, QLocale::LongFormat));
  }
  d.shortDateFormat = PatternFromQtFormat(FromQString(l.dateFormat(QLocale::ShortFormat)));
  d.longDateFormat = PatternFromQtFormat(FromQString(l.dateFormat(QLocale::LongFormat)));
  d.shortTimeFormat = PatternFromQtFormat(FromQString(l.timeFormat(QLocale::ShortFormat)));
  d.longTimeFormat = PatternFromQtFormat(FromQString(l.timeFormat(QLocale::LongFormat)));
  if (!l.amText().isEmpty()) d.amText = FromQString(l.amText());
  if (!l.pmText().isEmpty()) d.pmText = FromQString(l.pmText());
  // The formats spell their separators out; '/' and ':' stay themselves.
  return d;
}

DateTimeParts CurrentDateTime() {
  const QDateTime now = QDateTime::currentDateTime();
  DateTimeParts t;
  t.year = now.date().year();
  t.month = now.date().month();
  t.day = now.date().day();
  t.dayOfWeek = now.date().dayOfWeek() % 7;  // Sunday 0
  t.hour = now.time().hour();
  t.minute = now.time().minute();
  t.second = now.time().second();
  t.msec = now.time().msec();
  return t;
}

TFormDateTime::TFormDateTime(QWidget* parent, std::uint32_t boxBack, std::uint32_t boxText,
                             std::uint32_t back, std::uint32_t text)
    : QDialog(parent, Qt::Tool | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                          Qt::WindowCloseButtonHint),
      locale_(SystemDateLocale()) {
  setObjectName("FormDateTime");
  setWindowTitle("Insert Date/Time");
  auto* grid = new QGridLayout;
  const char* captions[7] = {"Long date format", "Long time format", "Short date format",
                             "Short time format", "Long date and time", "Short date and time",
                             "Custom"};
  const char* names[7] = {"LongDate_Radio", "LongTime_Radio", "ShortDate_Radio", "ShortTime_Radio",
                          "LongDateTime_Radio", "ShortDateTime_Radio", "Custom_Radio"};
  for (int i = 0; i < 7; ++i) {
    radios_[i] = new QRadioButton(captions[i]);
    radios_[i]->setObjectName(names[i]);
    connect(radios_[i], &QRadioButton::clicked, this, &TFormDateTime::GenerateDateTime_Cmd);
    if (i < 6) grid->addWidget(radios_[i], i % 3, i / 3);
  }
  radios_[0]->setChecked(true);
  Custom_Edit = new QLineEdit;
  Custom_Edit->setObjectName("Custom_Edit");
  Custom_Edit->setMaxLength(50);
  QPalette edit = Custom_Edit->palette();
  edit.setColor(QPalette::Base, ToQColor(boxBack, QApplication::palette()));
  edit.setColor(QPalette::Text, ToQColor(boxText, QApplication::palette()));
  Custom_Edit->setPalette(edit);
  grid->addWidget(radios_[6], 3, 0);
  grid->addWidget(Custom_Edit, 3, 1);

  auto* panel = new QFrame;
  panel->setObjectName("Example_Panel");
  panel->setFrameShape(QFrame::StyledPanel);
  panel->setAutoFillBackground(true);
  QPalette p = panel->palette();
  p.setColor(QPalette::Window, ToQColor(back, QApplication::palette()));
  p.setColor(QPalette::WindowText, ToQColor(text, QApplication::palette()));
  panel->setPalette(p);
  Example_Label = new QLabel("** Example");
  Example_Label->setObjectName("Example_Label");
  Example_Label->setAlignment(Qt::AlignCenter);
  Example_Label->setTextFormat(Qt::PlainText);
  Example_Label->setMinimumHeight(Example_Label->fontMetrics().height() * 2 + 8);
  auto* panelLayout = new QVBoxLayout(panel);
  panelLayout->addWidget(Example_Label);

  auto* buttons = new QDialogButtonBox;
  QPushButton* ok = buttons->addButton("&OK", QDialogButtonBox::AcceptRole);
  ok->setObjectName("Ok_Btn");
  ok->setDefault(true);
  buttons->addButton("&Cancel", QDialogButtonBox::RejectRole)->setObjectName("Cancel_Btn");
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(grid);
  layout->addWidget(panel);
  layout->addWidget(buttons);

  GenerateDateTime_Cmd();
  // The ordinal suffix stands quoted in the pattern and is copied as it is.
  Custom_Edit->setText(ToQString(DefaultCustomPattern(CurrentDateTime().day)));
  connect(Custom_Edit, &QLineEdit::textChanged, this, &TFormDateTime::GenerateDateTime_Cmd);
  Timer1 = new QTimer(this);
  Timer1->setInterval(50);
  connect(Timer1, &QTimer::timeout, this, &TFormDateTime::UpdateDateTime_Cmd);
  Timer1->start();
  setMinimumWidth(440);
}

void TFormDateTime::GenerateDateTime_Cmd() {
  const DateLocale& l = locale_;
  const std::string formats[6] = {l.longDateFormat,
                                  l.longTimeFormat,
                                  l.shortDateFormat,
                                  l.shortTimeFormat,
                                  l.longDateFormat + " " + l.longTimeFormat,
                                  l.shortDateFormat + " " + l.shortTimeFormat};
  for (int i = 0; i < 6; ++i)
    if (radios_[i]->isChecked()) dateTimeFormat_ = formats[i];
  if (radios_[6]->isChecked()) dateTimeFormat_ = FromQString(Custom_Edit->text());
}

void TFormDateTime::UpdateDateTime_Cmd() {
  const std::string example = FormatDateTime(dateTimeFormat_, CurrentDateTime(), locale_);
  Example_Label->setText(ToQString(example) + "\n(" + ToQString(dateTimeFormat_) + ")");
}

}  // namespace ql
