// The about box: texts, links, read-me, statistics, and the hidden menu's
// two routes.
#include <QEnterEvent>
#include <QMenuBar>
#include <QMouseEvent>
#include <QTemporaryDir>
#include <QtTest>

#include "TestSupport.h"
#include "WindowFixture.h"
#include "dialogs/qt/AboutDialog.h"
#include "platform/Store.h"

using namespace ql;

namespace {

struct FakeHost : AboutHost {
  MemoryStore store;
  double run = 30.0 / 86400;
  int revealed = 0;
  const Store& Settings() const override { return store; }
  double RunDays() const override { return run; }
  void RevealHiddenMenu() override { ++revealed; }
};

void Press(QWidget* w, Qt::KeyboardModifiers mods) {
  const QPointF at(w->width() / 2.0, w->height() / 2.0);
  QMouseEvent press(QEvent::MouseButtonPress, at, w->mapToGlobal(at), Qt::LeftButton, Qt::LeftButton, mods);
  QApplication::sendEvent(w, &press);
  QMouseEvent release(QEvent::MouseButtonRelease, at, w->mapToGlobal(at), Qt::LeftButton, Qt::NoButton, mods);
  QApplication::sendEvent(w, &release);
}

bool MenuBarHasHidden(TFormQuillora& form) {
  for (QAction* a : form.menuBar()->actions())
    if (a->text() == "//NonVisable//") return true;
  return false;
}

}  // namespace

class AboutBoxTest : public QObject {
  Q_OBJECT

 private slots:
  void textsAndEscape() {
    FakeHost host;
    TFormAbout d(nullptr, host, QIcon());
    QCOMPARE(d.windowTitle(), QString("About Norvane Quillora v1.81"));
    QCOMPARE(d.Norvane_Label->text(), QString("Norvane Productions"));
    QVERIFY(d.Comp_Label->text().endsWith("\nSunday, May 20, 2001."));
    QCOMPARE(d.Quillora2_Image->toolTip(), QString("Readme"));
    d.show();
    QVERIFY(QTest::qWaitForWindowExposed(&d));
    QTest::keyClick(&d, Qt::Key_Escape);
    QVERIFY(!d.isVisible());
  }

  void linksHoverAndOpen() {
    FakeHost host;
    TFormAbout d(nullptr, host, QIcon());
    std::vector<std::string> opened;
    d.SetOpener([&](const std::string& t) { opened.push_back(t); });
    QEnterEvent enter(QPointF(1, 1), QPointF(1, 1), QPointF(1, 1));
    QApplication::sendEvent(d.Hp_Label, &enter);
    QVERIFY(d.Hp_Label->font().underline());
    QCOMPARE(d.Hp_Label->palette().color(QPalette::WindowText), QColor(0, 64, 128));
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(d.Hp_Label, &leave);
    QVERIFY(!d.Hp_Label->font().underline());
    QCOMPARE(d.Hp_Label->palette().color(QPalette::WindowText), QColor(0, 0, 255));
    Press(d.Email_Label, Qt::NoModifier);
    Press(d.Hp_Label, Qt::NoModifier);
    QCOMPARE(opened, (std::vector<std::string>{std::string("mailto:") + kMakerEmail, kMakerWeb}));
  }

  void readmeAndTheHiddenGesture() {
    QTemporaryDir dir;
    FakeHost host;
    TFormAbout d(nullptr, host, QIcon());
    std::vector<std::string> opened;
    d.SetOpener([&](const std::string& t) { opened.push_back(t); });
    const std::string readme = (dir.path() + "/Readme.txt").toStdString();
    d.SetReadmePath(readme);
    Press(d.Quillora2_Image, Qt::NoModifier);  // no read-me: nothing
    QVERIFY(opened.empty());
    QVERIFY(WriteFile(dir.path() + "/Readme.txt", "read me"));
    Press(d.Quillora2_Image, Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(host.revealed, 0);
    QCOMPARE(opened, std::vector<std::string>{readme});
    Press(d.Quillora2_Image, Qt::ControlModifier | Qt::ShiftModifier | Qt::AltModifier);
    QCOMPARE(host.revealed, 1);
    QCOMPARE(opened.size(), std::size_t(2));  // the click still opens the read-me
    // The second route, for window managers that keep Alt+click.
    QTest::keyClick(&d, Qt::Key_H, Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(host.revealed, 2);
    QTest::keyClick(&d, Qt::Key_H, Qt::ControlModifier);
    QCOMPARE(host.revealed, 2);
  }

  void statisticsOnDoubleClickCreateNothing() {
    FakeHost host;
    TFormAbout d(nullptr, host, QIcon());
    ScriptedBoxes boxes;
    QTest::mouseDClick(d.Quillora3_Image, Qt::LeftButton);
    QCOMPARE(boxes.seen.size(), std::size_t(1));
    QCOMPARE(boxes.seen[0].caption, std::string("Registry Information Missing!"));
    QCOMPARE(boxes.seen[0].flags, 16u);
    QVERIFY(!host.store.KeyExists("\\Software"));
    host.store.WriteString("\\Software\\Norvane Productions\\Quillora", "OpenCounter", "1");
    host.store.WriteString("\\Software\\Norvane Productions\\Quillora", "InstallDate", "Monday, March 05, 2001, 09:41 PM");
    host.store.WriteBinary("\\Software\\Norvane Productions\\Quillora", "OpenTimer", std::string(8, '\0'));
    QTest::mouseDClick(d.Quillora3_Image, Qt::LeftButton);
    QCOMPARE(boxes.seen.size(), std::size_t(2));
    QCOMPARE(boxes.seen[1].text, std::string("\"Quillora has been opened 1 times,\nsince Monday, March 05, 2001, 09:41 PM,\n"
                                             "it has in total been opened for 0 hours,\n0 minutes and 30 seconds.\""));
  }

  void theWindowRevealsItsHiddenMenu() {
    WindowFixture w;
    w.Start();
    QVERIFY(w.form->Action("About1")->isEnabled());
    QVERIFY(w.form->Action("About2")->isEnabled());
    QCOMPARE(w.form->Action("About1")->shortcut(), QKeySequence("F1"));
    QVERIFY(!MenuBarHasHidden(*w.form));
    QTimer::singleShot(0, [] {
      QWidget* box = QApplication::activeModalWidget();
      if (!box) return;
      QTest::keyClick(box, Qt::Key_H, Qt::ControlModifier | Qt::ShiftModifier);
      QTest::keyClick(box, Qt::Key_Escape);
    });
    w.form->Action("About1")->trigger();
    QVERIFY(MenuBarHasHidden(*w.form));
    w.form->RevealHiddenMenu();  // once only
    int count = 0;
    for (QAction* a : w.form->menuBar()->actions()) count += a->text() == "//NonVisable//";
    QCOMPARE(count, 1);
    QVERIFY(w.form->RunDays() >= 0.0);
    w.Stop();
  }
};

QTEST_MAIN(AboutBoxTest)
#include "about_box_test.moc"
