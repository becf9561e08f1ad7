// The completion sounds reach the desktop's sound player with the right
// event; a stand-in player on PATH records what it was asked to play.
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include "platform/qt/Sound.h"

using namespace ql;

class SoundTest : public QObject {
  Q_OBJECT

  QTemporaryDir tmp_;
  QByteArray oldPath_;
  QString log_;
  int run_ = 0;

 private slots:
  void initTestCase() {
    const QString player = tmp_.path() + "/canberra-gtk-play";
    QFile f(player);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write("#!/bin/sh\nprintf '%s\\n' \"$@\" > \"$SOUND_LOG.part\" && mv \"$SOUND_LOG.part\" \"$SOUND_LOG\"\n");
    f.close();
    QVERIFY(f.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner));
    oldPath_ = qgetenv("PATH");
    qputenv("PATH", QFile::encodeName(tmp_.path()) + ":" + oldPath_);
  }
  void cleanupTestCase() { qputenv("PATH", oldPath_); }
  void init() {
    log_ = tmp_.path() + QStringLiteral("/log%1").arg(run_++);
    qputenv("SOUND_LOG", QFile::encodeName(log_));
  }

  void namedSoundsArePlayed_data() {
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("event");
    QTest::newRow("Asterisk") << 2 << "dialog-information";
    QTest::newRow("Exclamation") << 3 << "dialog-warning";
    QTest::newRow("Hand") << 4 << "dialog-error";
    QTest::newRow("Question") << 5 << "dialog-question";
    QTest::newRow("Default") << 6 << "bell";
  }
  void namedSoundsArePlayed() {
    QFETCH(int, index);
    QFETCH(QString, event);
    PlayCompletionSound(index);
    QTRY_VERIFY_WITH_TIMEOUT(QFileInfo::exists(log_), 5000);
    QFile f(log_);
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(QString::fromUtf8(f.readAll()), "-i\n" + event + "\n");
  }

  void othersDoNotRunThePlayer_data() {
    QTest::addColumn<int>("index");
    QTest::newRow("None!") << 0;
    QTest::newRow("PC Speaker beeps") << 1;
  }
  void othersDoNotRunThePlayer() {
    QFETCH(int, index);
    PlayCompletionSound(index);
    QTest::qWait(300);  // the player, had it been started, writes well within this
    QVERIFY(!QFileInfo::exists(log_));
  }
};

QTEST_MAIN(SoundTest)
#include "sound_test.moc"
