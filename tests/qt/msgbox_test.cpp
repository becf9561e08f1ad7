// The message box as the user meets it: buttons, icon, default, what Esc
// and the close box answer, its text, owner, and the answering hook.
#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QtTest>
#include <algorithm>
#include <functional>
#include <memory>

#include "platform/qt/MessageBox.h"

using namespace ql;

namespace {

// What the box looked like when it came up.
struct Seen {
  bool shown = false;
  QList<QMessageBox::StandardButton> buttons;
  QMessageBox::Icon icon = QMessageBox::NoIcon;
  QMessageBox::StandardButton defaultButton = QMessageBox::NoButton;
  QString title, text;
  Qt::TextFormat format = Qt::AutoText;
  QWidget* parent = nullptr;
};

// Shows a box with MsgBox and, once it is up, records it and acts on it.
int ShowAndAct(const std::string& text, const std::string& caption, unsigned flags,
               const std::function<void(QMessageBox*)>& act, Seen& seen) {
  auto timer = std::make_unique<QTimer>();
  timer->setInterval(10);
  QObject::connect(timer.get(), &QTimer::timeout, [&] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (!box || !box->isVisible()) return;
    timer->stop();
    seen.shown = true;
    for (QAbstractButton* b : box->buttons()) seen.buttons << box->standardButton(b);
    std::sort(seen.buttons.begin(), seen.buttons.end());
    seen.icon = box->icon();
    seen.defaultButton = box->standardButton(box->defaultButton());
    seen.title = box->windowTitle();
    seen.text = box->text();
    seen.format = box->textFormat();
    seen.parent = box->parentWidget();
    act(box);
  });
  timer->start();
  return MsgBox(text, caption, flags);
}

std::function<void(QMessageBox*)> Press(QMessageBox::StandardButton which) {
  return [which](QMessageBox* box) { box->button(which)->click(); };
}
void PressEscape(QMessageBox* box) { QTest::keyClick(box, Qt::Key_Escape); }
void CloseBox(QMessageBox* box) { box->close(); }

using SB = QMessageBox::StandardButton;
using Act = std::function<void(QMessageBox*)>;

// The offscreen platform complains about every box it sizes; the rest passes on.
QtMessageHandler previousHandler = nullptr;
void QuietHandler(QtMsgType type, const QMessageLogContext& context, const QString& message) {
  if (message.contains(QLatin1String("propagateSizeHints"))) return;
  previousHandler(type, context, message);
}

}  // namespace

Q_DECLARE_METATYPE(Act)

class MsgBoxTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { previousHandler = qInstallMessageHandler(QuietHandler); }

  // Each code once, and what Esc and the close box answer; which button
  // Esc stands for in every set is in the layout table of the codes test.
  void answers_data() {
    QTest::addColumn<unsigned>("flags");
    QTest::addColumn<Act>("act");
    QTest::addColumn<int>("code");
    QTest::newRow("OK") << 0u << Press(QMessageBox::Ok) << 1;
    QTest::newRow("OK, Esc") << 0u << Act(PressEscape) << 1;
    QTest::newRow("OK/Cancel, Esc") << 1u << Act(PressEscape) << 2;
    QTest::newRow("Abort") << 2u << Press(QMessageBox::Abort) << 3;
    QTest::newRow("Retry") << 2u << Press(QMessageBox::Retry) << 4;
    QTest::newRow("Ignore") << 2u << Press(QMessageBox::Ignore) << 5;
    QTest::newRow("Abort/Retry/Ignore, Esc") << 2u << Act(PressEscape) << 3;
    QTest::newRow("Yes/No/Cancel, Yes") << 35u << Press(QMessageBox::Yes) << 6;
    QTest::newRow("Yes/No/Cancel, No") << 35u << Press(QMessageBox::No) << 7;
    QTest::newRow("Yes/No/Cancel, Cancel") << 35u << Press(QMessageBox::Cancel) << 2;
    QTest::newRow("Yes/No/Cancel, Esc") << 35u << Act(PressEscape) << 2;
    QTest::newRow("Yes/No/Cancel, close box") << 35u << Act(CloseBox) << 2;
    QTest::newRow("Yes/No, Esc") << 4u << Act(PressEscape) << 7;
  }
  void answers() {
    QFETCH(unsigned, flags);
    QFETCH(Act, act);
    QFETCH(int, code);
    Seen seen;
    QCOMPARE(ShowAndAct("Question?", "Caption", flags, act, seen), code);
    QVERIFY(seen.shown);
  }

  void looks_data() {
    QTest::addColumn<unsigned>("flags");
    QTest::addColumn<QList<SB>>("buttons");
    QTest::addColumn<int>("icon");
    QTest::addColumn<int>("defaultButton");
    QTest::newRow("stop") << 16u << QList<SB>{SB::Ok} << int(QMessageBox::Critical) << int(SB::Ok);
    QTest::newRow("question, Yes/No/Cancel")
        << 35u << QList<SB>{SB::Yes, SB::No, SB::Cancel} << int(QMessageBox::Question) << int(SB::Yes);
    QTest::newRow("exclamation") << 48u << QList<SB>{SB::Ok} << int(QMessageBox::Warning) << int(SB::Ok);
    QTest::newRow("information") << 64u << QList<SB>{SB::Ok} << int(QMessageBox::Information) << int(SB::Ok);
    QTest::newRow("no icon, second default")
        << 0x104u << QList<SB>{SB::Yes, SB::No} << int(QMessageBox::NoIcon) << int(SB::No);
  }
  void looks() {
    QFETCH(unsigned, flags);
    QFETCH(QList<SB>, buttons);
    QFETCH(int, icon);
    QFETCH(int, defaultButton);
    std::sort(buttons.begin(), buttons.end());
    Seen seen;
    ShowAndAct("x", "y", flags, CloseBox, seen);
    QVERIFY(seen.shown);
    QCOMPARE(seen.buttons, buttons);
    QCOMPARE(int(seen.icon), icon);
    QCOMPARE(int(seen.defaultButton), defaultButton);
  }

  void textIsPlainUtf8() {
    Seen seen;
    ShowAndAct("Do you want to save the file:\r\n\"caf\xC3\xA9.txt\"\r\n<b>not bold</b>\rend", "Caf\xC3\xA9 \xE2\x82\xAC",
               0, Press(QMessageBox::Ok), seen);
    QCOMPARE(seen.title, QString::fromUtf8("Caf\xC3\xA9 \xE2\x82\xAC"));
    QCOMPARE(seen.text, QString::fromUtf8("Do you want to save the file:\n\"caf\xC3\xA9.txt\"\n<b>not bold</b>\nend"));
    QCOMPARE(seen.format, Qt::PlainText);
  }

  void ownerWindowOwnsTheBox() {
    QCOMPARE(OwnerWindow(), nullptr);
    Seen seen;
    ShowAndAct("x", "y", 0, Press(QMessageBox::Ok), seen);
    QCOMPARE(seen.parent, nullptr);
    auto window = std::make_unique<QWidget>();
    window->show();
    SetOwnerWindow(window.get());
    QCOMPARE(OwnerWindow(), window.get());
    ShowAndAct("x", "y", 0, Press(QMessageBox::Ok), seen);
    QCOMPARE(seen.parent, window.get());
    window.reset();
    QCOMPARE(OwnerWindow(), nullptr);  // never a dangling owner
  }

  void hookAnswersInsteadOfABox() {
    std::vector<std::string> calls;
    SetMsgBoxHook([&](const std::string& text, const std::string& caption, unsigned flags) {
      calls.push_back(text + "|" + caption + "|" + std::to_string(flags));
      return 7;
    });
    QVERIFY(MsgBoxHookActive());
    bool boxSeen = false;
    QTimer::singleShot(0, [&] { boxSeen = QApplication::activeModalWidget() != nullptr; });
    QCOMPARE(MsgBox("Save?", "Save before quiting?", 35), 7);
    QCoreApplication::processEvents();
    QVERIFY(!boxSeen);
    QCOMPARE(calls, std::vector<std::string>{"Save?|Save before quiting?|35"});
    SetMsgBoxHook({});
    QVERIFY(!MsgBoxHookActive());
  }

  // The window manager cuts a caption the box is too narrow for.
  void wideEnoughForItsWholeCaption_data() {
    QTest::addColumn<QString>("caption");
    QTest::addColumn<uint>("flags");
    QTest::newRow("save prompt") << "Save Before Opening Dropped File?" << 35u;
    QTest::newRow("length prompt") << "Length Nonequal To Filesize" << 52u;
    QTest::newRow("OK only") << "Error executing file!" << 16u;
    QTest::newRow("short") << "Help" << 0u;
  }
  void wideEnoughForItsWholeCaption() {
    QFETCH(QString, caption);
    QFETCH(uint, flags);
    Seen seen;
    int width = 0;
    QFont font;
    ShowAndAct("x", caption.toStdString(), flags, [&](QMessageBox* box) {
      width = box->width();
      font = box->font();
      CloseBox(box);
    }, seen);
    QVERIFY(seen.shown);
    // Title bars often draw the caption in bold, beside an icon and three buttons.
    font.setBold(true);
    const int needed = QFontMetrics(font).horizontalAdvance(caption) + 120;
    QVERIFY2(width >= needed, qPrintable(QString("%1 < %2").arg(width).arg(needed)));
  }

};

QTEST_MAIN(MsgBoxTest)
#include "msgbox_test.moc"
