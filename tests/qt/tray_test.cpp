// The tray icon component on Qt's tray icon, and the main window hiding in
// the notification area and coming back, offscreen.
#include <QAction>
#include <QDialog>
#include <QMenu>
#include <QPainter>
#include <QPixmap>
#include <QtTest>

#include "app/qt/MainQuillora.h"
#include "common/qt/TrayCtrl.h"
#include "TestSupport.h"
#include "WindowFixture.h"

using namespace ql;

namespace {

QIcon Swatch(Qt::GlobalColor color) {
  QPixmap pix(16, 16);
  pix.fill(color);
  return QIcon(pix);
}

// The color in the middle of what the tray shows.
QColor Shown(TTrayCtrl& tray) {
  const QImage img = tray.TrayIcon().icon().pixmap(16, 16).toImage();
  return img.isNull() ? QColor() : img.pixelColor(8, 8);
}

// Runs the event loop until something ends it; after ms it ends with `code`.
int RunLoop(int ms, int code) {
  QTimer fallback;
  fallback.setSingleShot(true);
  QObject::connect(&fallback, &QTimer::timeout, [code] { QCoreApplication::exit(code); });
  fallback.start(ms);
  return QCoreApplication::exec();
}

}  // namespace

class TrayTest : public QObject, private WindowFixture {
  Q_OBJECT

 private slots:
  void cleanup() {
    TTrayCtrl::SetAvailabilityHook(nullptr);
    SetMsgBoxHook(nullptr);
    if (form) Stop();
    QApplication::setQuitOnLastWindowClosed(true);
  }

  // ---- the component ----

  void tooltipIsTheHintCutTo63() {
    TTrayCtrl tray(nullptr);
    tray.SetHint(std::string(80, 'q'));
    QCOMPARE(tray.TrayIcon().toolTip(), QString(63, 'q'));
    tray.SetShowHint(false);
    QCOMPARE(tray.TrayIcon().toolTip(), QString());
    tray.SetShowHint(true);
    tray.SetHint("Quillora  <\xC3\xA9t\xC3\xA9.txt>");
    QCOMPARE(tray.TrayIcon().toolTip(), QString::fromUtf8("Quillora  <\xC3\xA9t\xC3\xA9.txt>"));
  }

  void enabledDecidesIconMenuAndClicks() {
    TTrayCtrl tray(nullptr);
    QMenu menu;
    tray.SetIcon(Swatch(Qt::red));
    tray.SetIconDisabled(Swatch(Qt::gray));
    tray.SetPopupMenu(&menu);
    int clicks = 0, ups = 0, doubles = 0;
    tray.OnClick = [&] { ++clicks; };
    tray.OnMouseUp = [&](Qt::MouseButton) { ++ups; };
    tray.OnDblClick = [&] { ++doubles; };
    QCOMPARE(Shown(tray), QColor(Qt::red));
    QCOMPARE(tray.TrayIcon().contextMenu(), &menu);
    tray.Notice(TrayNotice::Click);
    tray.Notice(TrayNotice::DoubleClick);
    QCOMPARE(clicks, 1);
    QCOMPARE(ups, 1);
    QCOMPARE(doubles, 1);

    tray.SetEnabled(false);
    QCOMPARE(Shown(tray), QColor(Qt::gray));
    QVERIFY(!tray.TrayIcon().contextMenu());
    tray.Notice(TrayNotice::Click);
    tray.Notice(TrayNotice::DoubleClick);
    tray.Notice(TrayNotice::MiddleClick);
    QCOMPARE(clicks, 1);
    QCOMPARE(ups, 1);
    QCOMPARE(doubles, 1);
  }

  void cyclingStepsThroughTheListAndWraps() {
    TTrayCtrl tray(nullptr);
    tray.SetIconList({Swatch(Qt::red), Swatch(Qt::green), Swatch(Qt::blue)});
    std::vector<QColor> seen;
    tray.OnCycle = [&] { seen.push_back(Shown(tray)); };
    tray.SetCycleInterval(10);
    tray.SetCycleIcons(true);  // the first step at once
    QCOMPARE(seen.size(), std::size_t(1));
    QVERIFY(tray.TimerRunning());
    QTRY_VERIFY(seen.size() >= 5);
    tray.SetCycleIcons(false);
    QVERIFY(!tray.TimerRunning());
    const QColor order[] = {Qt::green, Qt::blue, Qt::red};
    for (std::size_t i = 0; i < 5; ++i) QCOMPARE(seen[i], order[i % 3]);
  }

  void intervalZeroNeverTicks() {
    TTrayCtrl tray(nullptr);
    tray.SetIconList({Swatch(Qt::red), Swatch(Qt::green)});
    int cycles = 0;
    tray.OnCycle = [&] { ++cycles; };
    tray.SetCycleInterval(0);
    tray.SetCycleIcons(true);
    QVERIFY(!tray.TimerRunning());
    QTest::qWait(50);
    QCOMPARE(cycles, 1);  // only the step of switching it on
    // An interval set later starts the ticks; 0 again stops them.
    tray.SetCycleInterval(5);
    QVERIFY(tray.TimerRunning());
    tray.SetCycleInterval(0);
    QVERIFY(!tray.TimerRunning());
  }

  // ---- the main window ----

  void minimizeToTrayAndRestore_data() {
    QTest::addColumn<QString>("route");
    QTest::newRow("left click") << "click";
    QTest::newRow("tray menu") << "menu";
  }
  void minimizeToTrayAndRestore() {
    QFETCH(QString, route);
    TTrayCtrl::SetAvailabilityHook([] { return true; });
    Start();
    QVERIFY(WriteFile(P("notes.txt"), "hello"));
    Open("notes.txt");
    TTrayCtrl* tray = form->Tray();
    QCOMPARE(tray->PopupMenu(), form->PopupMenu(5));

    form->Action("MinimizeToTray1")->trigger();
    QVERIFY(!form->isVisible());
    QVERIFY(form->InTray());
    QVERIFY(tray->TrayIcon().isVisible());
    QCOMPARE(tray->TrayIcon().toolTip(), QString("Quillora  <notes.txt>"));
    QVERIFY(!tray->TrayIcon().icon().isNull());
    QVERIFY(!QApplication::quitOnLastWindowClosed());

    if (route == "click")
      tray->Notice(TrayNotice::Click);
    else
      form->Action("Restore1")->trigger();
    QVERIFY(form->isVisible());
    QVERIFY(!form->InTray());
    QVERIFY(!tray->TrayIcon().isVisible());
    QVERIFY(QApplication::quitOnLastWindowClosed());
  }

  void untitledHint() {
    TTrayCtrl::SetAvailabilityHook([] { return true; });
    Start();
    form->MinimizeToTray_Cmd();
    QCOMPARE(form->Tray()->TrayIcon().toolTip(), QString("Quillora  <Untitled>"));
    form->Restore_Cmd();
  }

  void withoutATrayTheWindowMinimizesNormally() {
    TTrayCtrl::SetAvailabilityHook([] { return false; });
    Start();
    form->Action("MinimizeToTray1")->trigger();
    QVERIFY(form->isVisible());
    QVERIFY(form->windowState() & Qt::WindowMinimized);
    QVERIFY(!form->InTray());
    QVERIFY(!form->Tray()->TrayIcon().isVisible());
    QVERIFY(QApplication::quitOnLastWindowClosed());
  }

  void theWindowComesBackWhenTheTrayGoesAway() {
    bool tray = true;
    TTrayCtrl::SetAvailabilityHook([&] { return tray; });
    Start();
    form->MinimizeToTray_Cmd();
    QTest::qWait(2500);
    QVERIFY(form->InTray());
    tray = false;
    QTRY_VERIFY_WITH_TIMEOUT(form->isVisible(), 5000);
    QVERIFY(!form->InTray());
    QVERIFY(QApplication::quitOnLastWindowClosed());
    TTrayCtrl::SetAvailabilityHook(nullptr);
  }

  void aDialogClosingInTheTrayDoesNotQuit() {
    TTrayCtrl::SetAvailabilityHook([] { return true; });
    Start();
    form->MinimizeToTray_Cmd();
    bool dialogShown = false;
    QTimer::singleShot(0, [&] {
      auto* d = new QDialog;
      d->setAttribute(Qt::WA_DeleteOnClose);
      d->show();
      dialogShown = d->isVisible();
      // Once it is gone, give an automatic quit time to happen.
      connect(d, &QObject::destroyed, [] { QTimer::singleShot(200, [] { QCoreApplication::exit(42); }); });
      QTimer::singleShot(20, d, &QDialog::close);
    });
    QCOMPARE(RunLoop(20000, 43), 42);  // 0 would be the automatic quit, 43 no close at all
    QVERIFY(dialogShown);
    QVERIFY(form->InTray());
    form->Restore_Cmd();
  }

  void closingFromTheTrayEndsTheProgram() {
    TTrayCtrl::SetAvailabilityHook([] { return true; });
    Start();
    form->MinimizeToTray_Cmd();
    QTimer::singleShot(0, [this] { form->Action("Close2")->trigger(); });
    QCOMPARE(RunLoop(5000, 42), 0);
    QVERIFY(!form->InTray());
    QVERIFY(!form->Tray()->TrayIcon().isVisible());
  }

  void cancelledCloseStaysInTheTray() {
    TTrayCtrl::SetAvailabilityHook([] { return true; });
    Start();
    form->SetEditorText("unsaved");
    form->REChange();
    QVERIFY(form->Modified());
    form->MinimizeToTray_Cmd();
    ScriptedBoxes boxes({2});  // Cancel
    QTimer::singleShot(0, [this] { form->Action("Close2")->trigger(); });
    QCOMPARE(RunLoop(300, 42), 42);
    QCOMPARE(boxes.Captions(), std::vector<std::string>{"Save before quiting?"});
    QVERIFY(form->InTray());
    QVERIFY(!form->isVisible());
    form->Restore_Cmd();
  }
};

QTEST_MAIN(TrayTest)
#include "tray_test.moc"
