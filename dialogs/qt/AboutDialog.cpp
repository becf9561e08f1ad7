#include "dialogs/qt/AboutDialog.h"

#include <QApplication>
#include <QEnterEvent>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLinearGradient>
#include <QMouseEvent>
#include <QPainter>
#include <QStyle>
#include <QVBoxLayout>

#include "common/FuncLib.h"
#include "platform/DataPaths.h"
#include "platform/qt/MessageBox.h"
#include "platform/qt/QtText.h"
#include "platform/qt/Shell.h"

namespace ql {

const char* const kMakerEmail = "quillora@norvane-productions.example";
const char* const kMakerWeb = "https://norvane-productions.example/quillora/";

namespace {

const char* const kCredits =
    "Quillora is a plain-text editor for people who write text files, batch files, "
    "NFO files and hand-made HTML, with the tools they need close at hand.\n\n"
    "Written by Norvane Productions. Thanks to everyone who sent bug reports and ideas.";

QPixmap Logo() {
  QPixmap pm(420, 72);
  QPainter p(&pm);
  QLinearGradient g(0, 0, pm.width(), 0);
  g.setColorAt(0, QColor(0, 48, 96));
  g.setColorAt(1, QColor(0, 128, 160));
  p.fillRect(pm.rect(), g);
  QFont f = QApplication::font();
  f.setPointSize(28);
  f.setBold(true);
  p.setFont(f);
  p.setPen(Qt::white);
  p.drawText(pm.rect(), Qt::AlignCenter, "Quillora");
  return pm;
}

}  // namespace

LinkLabel::LinkLabel(const QString& text, int tag, QWidget* parent) : QLabel(text, parent), tag_(tag) {
  setCursor(Qt::PointingHandCursor);
  setAlignment(Qt::AlignCenter);
  SetHover(false);
}

void LinkLabel::SetHover(bool on) {
  QFont f = font();
  f.setUnderline(on);
  setFont(f);
  QPalette p = palette();
  p.setColor(QPalette::WindowText, on ? QColor(0, 64, 128) : QColor(0, 0, 255));
  setPalette(p);
}

void LinkLabel::enterEvent(QEnterEvent* event) {
  SetHover(true);
  QLabel::enterEvent(event);
}

void LinkLabel::leaveEvent(QEvent* event) {
  SetHover(false);
  QLabel::leaveEvent(event);
}

void LinkLabel::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) emit clicked(tag_);
  QLabel::mouseReleaseEvent(event);
}

TFormAbout::TFormAbout(QWidget* owner, AboutHost& host, const QIcon& programIcon)
    : QDialog(owner, Qt::Tool), host_(host) {
  setObjectName("FormAbout");
  setWindowTitle(kAboutCaption);
  open_ = [](const std::string& target) {
    if (target.find(':') != std::string::npos && target[0] != '/')
      ShellExec(target, {}, "");
    else
      OpenDocument(target, nullptr);
  };
  readme_ = ProgramDataDir(ProgramPath(), IsExistingFile) + "/Readme.txt";

  Quillora1_Image = new QLabel(this);
  Quillora1_Image->setObjectName("Quillora1_Image");
  Quillora1_Image->setPixmap(Logo());
  Quillora1_Image->setScaledContents(true);
  Quillora1_Image->setAlignment(Qt::AlignCenter);

  About_Label = new QLabel(kCredits, this);
  About_Label->setObjectName("About_Label");
  About_Label->setWordWrap(true);
  Norvane_Label = new QLabel("Norvane Productions", this);
  Norvane_Label->setObjectName("Norvane_Label");
  Norvane_Label->setAlignment(Qt::AlignCenter);
  Email_Label = new LinkLabel(kMakerEmail, 1, this);
  Email_Label->setObjectName("Email_Label");
  Hp_Label = new LinkLabel(kMakerWeb, 2, this);
  Hp_Label->setObjectName("Hp_Label");

  Quillora2_Image = new QLabel(this);
  Quillora2_Image->setObjectName("Quillora2_Image");
  Quillora2_Image->setPixmap(style()->standardIcon(QStyle::SP_FileDialogDetailedView).pixmap(48, 48));
  Quillora2_Image->setCursor(Qt::PointingHandCursor);
  Quillora2_Image->setToolTip("Readme");
  Quillora2_Image->installEventFilter(this);

  Quillora3_Image = new QLabel(this);
  Quillora3_Image->setObjectName("Quillora3_Image");
  Quillora3_Image->setPixmap(programIcon.pixmap(48, 48));
  Quillora3_Image->installEventFilter(this);

  Comp_Label = new QLabel(QString("Built with C++17 and Qt %1\nSunday, May 20, 2001.").arg(qVersion()), this);
  Comp_Label->setObjectName("Comp_Label");
  Comp_Label->setAlignment(Qt::AlignCenter);

  auto* pictures = new QGridLayout;
  pictures->addWidget(Quillora3_Image, 0, 0, Qt::AlignLeft);
  pictures->addWidget(Norvane_Label, 0, 1);
  pictures->addWidget(Quillora2_Image, 0, 2, Qt::AlignRight);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(Quillora1_Image);
  layout->addWidget(About_Label);
  layout->addLayout(pictures);
  layout->addWidget(Email_Label);
  layout->addWidget(Hp_Label);
  layout->addWidget(Comp_Label);
  setFixedWidth(460);

  connect(Email_Label, &LinkLabel::clicked, this, &TFormAbout::Link_Click);
  connect(Hp_Label, &LinkLabel::clicked, this, &TFormAbout::Link_Click);
}

void TFormAbout::Link_Click(int tag) {
  if (tag == 1) open_(std::string("mailto:") + kMakerEmail);
  if (tag == 2) open_(kMakerWeb);
}

void TFormAbout::Quillora2_ImageClick() {
  if (IsExistingFile(readme_)) open_(readme_);
}

void TFormAbout::Show_OpenCount() {
  const UsageBox box = UsageStatistics(host_.Settings(), host_.RunDays());
  MsgBox(box.text, box.caption, box.flags);
}

bool TFormAbout::eventFilter(QObject* watched, QEvent* event) {
  if (watched == Quillora3_Image && event->type() == QEvent::MouseButtonDblClick) {
    Show_OpenCount();
    return true;
  }
  if (watched == Quillora2_Image &&
      (event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseButtonRelease)) {
    auto* me = static_cast<QMouseEvent*>(event);
    if (event->type() == QEvent::MouseButtonPress) {
      const Qt::KeyboardModifiers m = me->modifiers();
      GestureState s;
      s.ctrl = m & Qt::ControlModifier;
      s.shift = m & Qt::ShiftModifier;
      s.alt = m & Qt::AltModifier;
      s.meta = m & Qt::MetaModifier;
      s.left = me->button() == Qt::LeftButton;
      s.otherButtons = (me->buttons() & ~Qt::MouseButtons(Qt::LeftButton)) != Qt::NoButton;
      if (IsHiddenMenuGesture(s)) host_.RevealHiddenMenu();
      pressedOnReadme_ = me->button() == Qt::LeftButton;
    } else if (event->type() == QEvent::MouseButtonRelease) {
      // The click that follows the gesture still opens the read-me.
      const bool click = pressedOnReadme_ && me->button() == Qt::LeftButton &&
                         Quillora2_Image->rect().contains(me->position().toPoint());
      pressedOnReadme_ = false;
      if (click) Quillora2_ImageClick();
    }
  }
  return QDialog::eventFilter(watched, event);
}

void TFormAbout::keyPressEvent(QKeyEvent* event) {
  // Where the window manager takes Alt+click, the hidden menu has a key.
  if (event->key() == Qt::Key_H && (event->modifiers() & ~Qt::KeypadModifier) ==
                                       (Qt::ControlModifier | Qt::ShiftModifier)) {
    host_.RevealHiddenMenu();
    return;
  }
  QDialog::keyPressEvent(event);
}

}  // namespace ql
