// The number converter window: typing converts into the other boxes, the
// typed box stays as typed, errors turn the others red, Page Up/Down step.
#include <QLabel>
#include <QLineEdit>
#include <QApplication>
#include <QMouseEvent>
#include <QtTest>

#include "dialogs/qt/NumberDialog.h"
#include "TestSupport.h"

using namespace ql;

class NumberDialogTest : public QObject {
  Q_OBJECT

  static QString Text(TFormNumber& f, NumBase b) { return f.Box(b)->text(); }
  static QColor TextColor(TFormNumber& f, NumBase b) {
    return f.Box(b)->palette().color(QPalette::Text);
  }
  static void Type(TFormNumber& f, NumBase b, const QString& text) {
    QLineEdit* box = f.Box(b);
    box->setFocus();
    box->selectAll();
    QTest::keyClick(box, Qt::Key_Delete);
    QTest::keyClicks(box, text);
  }

 private slots:
  void opensAtZero() {
    TFormNumber f(nullptr);
    for (NumBase b : {NumBase::Hex, NumBase::Dec, NumBase::Oct, NumBase::Bin}) QCOMPARE(Text(f, b), QString("0"));
    QCOMPARE(f.Error_Label->text(), QString("Size: 1\t\tRequied: Byte (8-bit)"));
    QCOMPARE(f.windowTitle(), QString("Number Converter v1.36"));
    QCOMPARE(f.Box(NumBase::Bin)->maxLength(), 65);
  }

  void typingConverts() {
    TFormNumber f(nullptr);
    f.show();
    Type(f, NumBase::Dec, "+255");
    QCOMPARE(Text(f, NumBase::Dec), QString("+255"));  // never rewritten
    QCOMPARE(Text(f, NumBase::Hex), QString("FF"));
    QCOMPARE(Text(f, NumBase::Oct), QString("377"));
    QCOMPARE(Text(f, NumBase::Bin), QString("11111111"));
    QCOMPARE(f.Error_Label->text(), QString("Size: 8\t\tRequied: Byte (8-bit)"));

    Type(f, NumBase::Hex, "8000000000000000");
    QCOMPARE(Text(f, NumBase::Dec), QString("-9223372036854775808"));

    Type(f, NumBase::Hex, "ff");  // typed letters become upper case
    QCOMPARE(Text(f, NumBase::Hex), QString("FF"));
    QCOMPARE(Text(f, NumBase::Dec), QString("255"));
  }

  void errorsTurnTheOtherBoxesRed() {
    TFormNumber f(nullptr);
    f.show();
    Type(f, NumBase::Dec, "9223372036854775808");
    // The others keep what the last good value gave (922337203685477580).
    QCOMPARE(Text(f, NumBase::Hex), QString("CCCCCCCCCCCCCCC"));
    QCOMPARE(f.Error_Label->text(), QString("Decimal overflow, underflow or error occured!"));
    QCOMPARE(TextColor(f, NumBase::Dec), QColor(0, 255, 0));
    for (NumBase b : {NumBase::Hex, NumBase::Oct, NumBase::Bin}) QCOMPARE(TextColor(f, b), QColor(Qt::red));

    Type(f, NumBase::Hex, "G");
    QCOMPARE(f.Error_Label->text(), QString("'G' not allowed in a Hexadecimal value!"));
    Type(f, NumBase::Hex, "");
    QCOMPARE(f.Error_Label->text(), QString("No Hexadecimal value to convert from!"));
  }

  void pageUpAndDown() {
    TFormNumber f(nullptr);
    f.show();
    Type(f, NumBase::Dec, "9223372036854775807");
    QTest::keyClick(f.Box(NumBase::Bin), Qt::Key_PageUp);
    QCOMPARE(Text(f, NumBase::Dec), QString("-9223372036854775808"));
    QCOMPARE(Text(f, NumBase::Hex), QString("8000000000000000"));
    QTest::keyClick(f.Box(NumBase::Hex), Qt::Key_PageDown);
    QCOMPARE(Text(f, NumBase::Dec), QString("9223372036854775807"));

    Type(f, NumBase::Dec, "1x");
    const QString hex = Text(f, NumBase::Hex);
    QTest::keyClick(f.Box(NumBase::Dec), Qt::Key_PageUp);  // does nothing
    QCOMPARE(Text(f, NumBase::Dec), QString("1x"));
    QCOMPARE(Text(f, NumBase::Hex), hex);
  }

  void hintShowsContentsAndLength() {
    TFormNumber f(nullptr);
    f.show();
    Type(f, NumBase::Bin, "1010");
    QTest::mouseMove(f.Box(NumBase::Bin), QPoint(5, 5));
    QMouseEvent move(QEvent::MouseMove, QPointF(6, 6), f.Box(NumBase::Bin)->mapToGlobal(QPointF(6, 6)),
                     Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(f.Box(NumBase::Bin), &move);
    QCOMPARE(f.Box(NumBase::Bin)->toolTip(), QString("Contents:  1010\r\nLength:  4"));
  }

  void labelsShowTypeInformation() {
    TFormNumber f(nullptr);
    ScriptedBoxes boxes;
    QTest::mouseClick(f.Label(NumBase::Oct), Qt::LeftButton);
    QCOMPARE(boxes.Captions(), std::vector<std::string>{"Type information"});
    QCOMPARE(boxes.seen[0].flags, 64u);
    QVERIFY(boxes.seen[0].text.rfind("Octal:  (64 bit)", 0) == 0);
  }
};

QTEST_MAIN(NumberDialogTest)
#include "number_dialog_test.moc"
