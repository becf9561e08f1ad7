// Clipboard text in and out as the program's 8-bit text with CR LF breaks.
#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <QtTest>

#include "platform/qt/Clipboard.h"

using namespace ql;

class ClipboardTest : public QObject {
  Q_OBJECT

  const std::string kNoText = std::string(1, '\0');

 private slots:
  void roundTrip_data() {
    QTest::addColumn<QByteArray>("set");
    QTest::addColumn<QByteArray>("get");
    QTest::newRow("plain") << QByteArray("hello") << QByteArray("hello");
    QTest::newRow("CR LF lines") << QByteArray("a\r\nb\r\n") << QByteArray("a\r\nb\r\n");
    QTest::newRow("lone CR kept") << QByteArray("a\rb") << QByteArray("a\rb");
    QTest::newRow("ANSI") << QByteArray("caf\xE9 \x80 \x9F") << QByteArray("caf\xE9 \x80 \x9F");
    QTest::newRow("cut at NUL") << QByteArray("before\0after", 12) << QByteArray("before");
    QTest::newRow("empty") << QByteArray("") << QByteArray("");
  }
  void roundTrip() {
    QFETCH(QByteArray, set);
    QFETCH(QByteArray, get);
    QCOMPARE(ClipboardText(1, set.toStdString()), std::string());
    QCOMPARE(QByteArray::fromStdString(ClipboardText(0, "")), get);
  }

  void setPutsUnicodeWithLfOnTheClipboard() {
    ClipboardText(1, "caf\xE9\r\n\x80");
    QCOMPARE(QGuiApplication::clipboard()->text(), QString::fromUtf8("caf\xC3\xA9\n\xE2\x82\xAC"));
  }

  void getReadsOtherProgramsText() {
    QGuiApplication::clipboard()->setText(QString::fromUtf8("line 1\nline 2\r\n\xE2\x82\xAC \xE4\xB8\xAD"));
    // LF becomes CR LF, an existing CR LF stays, what 1252 lacks becomes '?'
    QCOMPARE(ClipboardText(0, ""), std::string("line 1\r\nline 2\r\n\x80 ?"));
  }

  void noTextGivesOneNul() {
    QGuiApplication::clipboard()->clear();
    QCOMPARE(ClipboardText(0, ""), kNoText);
    auto* data = new QMimeData;
    data->setData("image/png", QByteArray("\x89PNG", 4));
    QGuiApplication::clipboard()->setMimeData(data);
    QCOMPARE(ClipboardText(0, ""), kNoText);
    QCOMPARE(ClipboardText(7, "x"), kNoText);  // no such mode
  }
};

QTEST_MAIN(ClipboardTest)
#include "clipboard_test.moc"
