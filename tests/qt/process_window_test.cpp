#include <QApplication>
#include <QProgressBar>
#include <QtTest>

#include "functions/qt/ProcessWindow.h"

using namespace ql;

class ProcessWindowTest : public QObject {
  Q_OBJECT
 private slots:
  void showUpdateClose() {
    QVERIFY(!ProcessShown());
    UpdateProcess(40);  // nothing open: nothing happens
    QCOMPARE(ProcessValue(), -1);

    ShowProcess("Dumping hexadecimal...");
    QVERIFY(ProcessShown());
    QCOMPARE(ProcessCaption(), QString("Dumping hexadecimal..."));
    QCOMPARE(ProcessValue(), 0);
    UpdateProcess(37);
    QCOMPARE(ProcessValue(), 37);

    // A second window replaces the first rather than leaving it behind.
    ShowProcess("Sorting...");
    QCOMPARE(ProcessCaption(), QString("Sorting..."));
    QCOMPARE(ProcessValue(), 0);
    int windows = 0;
    for (QWidget* w : QApplication::topLevelWidgets())
      if (w->findChild<QProgressBar*>()) ++windows;
    QCOMPARE(windows, 1);

    CloseProcess();
    QVERIFY(!ProcessShown());
    UpdateProcess(50);
    QCOMPARE(ProcessValue(), -1);
    CloseProcess();  // twice is harmless
  }

  void scopeClosesOnAThrow() {
    try {
      ProcessScope scope("Coloring HTML tags...");
      QVERIFY(ProcessShown());
      throw 1;
    } catch (int) {
    }
    QVERIFY(!ProcessShown());
  }
};

QTEST_MAIN(ProcessWindowTest)
#include "process_window_test.moc"
