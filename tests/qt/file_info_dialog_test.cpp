// The file information window: what it shows of a file, a link and a
// hidden file, the read-only box and its Save, copying values, the icons'
// chooser, and handing the file to its program.
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLocale>
#include <QMimeDatabase>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>
#include <sys/stat.h>
#include <utime.h>

#include "dialogs/qt/FileInfoDialog.h"
#include "platform/qt/QtText.h"
#include "TestSupport.h"

using namespace ql;

class FileInfoDialogTest : public QObject {
  Q_OBJECT

  QTemporaryDir tmp_;
  QByteArray oldPath_;
  QString P(const QString& name) const { return tmp_.path() + "/" + name; }
  static mode_t ModeOf(const QString& path) {
    struct stat st {};
    stat(QFile::encodeName(path).constData(), &st);
    return st.st_mode & 07777;
  }

 private slots:
  void initTestCase() {
    oldPath_ = qgetenv("PATH");
    QVERIFY(InstallOpener(P("bin")));
  }
  void cleanup() { qputenv("PATH", oldPath_); }

  void showsTheFile() {
    const QString path = P("notes.txt");
    QVERIFY(WriteFile(path, QByteArray(1536, 'x')));
    QVERIFY(chmod(QFile::encodeName(path).constData(), 0644) == 0);
    const utimbuf times{86400 * 365, 0};  // modified on the first day of 1970
    QVERIFY(utime(QFile::encodeName(path).constData(), &times) == 0);
    TFormFileInfo d(nullptr, QToPath(path));
    QCOMPARE(d.windowTitle(), QString("notes.txt"));
    QVERIFY(d.Content_Panel->isVisibleTo(&d));
    QCOMPARE(d.FileName2_Label->text(), QString("notes.txt"));
    QCOMPARE(d.PathName2_Label->text(), tmp_.path());
    QCOMPARE(d.Type2_Label->text(), QMimeDatabase().mimeTypeForFile(path).comment());
    QVERIFY(!d.FileLa_Image->pixmap().isNull());
    QVERIFY(!d.FileSm_Image->pixmap().isNull());
    const QLocale l = QLocale::system();
    const QString g = l.groupSeparator(), p = l.decimalPoint();
    QCOMPARE(d.SizeBit_Label->text(), "12" + g + "288 bits");
    QCOMPARE(d.SizeByte_Label->text(), "1" + g + "536 bytes");
    QCOMPARE(d.SizeKb_Label->text(), "1" + p + "5000 kb");
    QCOMPARE(d.SizeMb_Label->text(), "0" + p + "001465 Mb");
    QVERIFY2(d.Modified2_Label->text().contains("1970") || d.Modified2_Label->text().contains("1969"),
             qPrintable(d.Modified2_Label->text()));
    QVERIFY2(d.Accessed2_Label->text().contains("1970") || d.Accessed2_Label->text().contains("1971"),
             qPrintable(d.Accessed2_Label->text()));
    QVERIFY(!d.Accessed2_Label->text().contains(" - "));  // the date alone
    QVERIFY(d.Created2_Label->text() == "(Unknown date)" ||
            d.Created2_Label->text().contains(QString::number(QDate::currentDate().year())));
    QCOMPARE(d.DosName2_Label->text(), QString("(not available)"));
    QCOMPARE(d.DosPath2_Label->text(), QString("(not available)"));
    QVERIFY(!d.ReadOnly_Chk->isChecked());
    QVERIFY(d.ReadOnly_Chk->isEnabled());
    for (QCheckBox* c : {d.Archive_Chk, d.Hidden_Chk, d.System_Chk, d.Temp_Chk, d.Dir_Chk}) {
      QVERIFY2(!c->isEnabled(), qPrintable(c->objectName()));
      QVERIFY2(!c->isChecked(), qPrintable(c->objectName()));
    }
    QVERIFY(!d.Save_Btn->isEnabled());
    QVERIFY(d.Close_Btn->isDefault());
  }

  void linksAndHiddenFiles() {
    QVERIFY(WriteFile(P("target.txt"), "12345"));
    QVERIFY(QFile::link("target.txt", P(".shortcut")));
    TFormFileInfo d(nullptr, QToPath(P(".shortcut")));
    QCOMPARE(d.FileName2_Label->text(), QString(".shortcut"));
    QCOMPARE(d.Type2_Label->text(), "Symbolic link to \"target.txt\" (" +
                                        QMimeDatabase().mimeTypeForFile(P("target.txt")).comment() + ")");
    QCOMPARE(d.SizeByte_Label->text(), QString("5 bytes"));
    QVERIFY(d.Hidden_Chk->isChecked());
    QVERIFY(!d.Hidden_Chk->isEnabled());
  }

  void readOnlyBoxAndSave() {
    const QString path = P("change.txt");
    QVERIFY(WriteFile(path, "x"));
    QVERIFY(chmod(QFile::encodeName(path).constData(), 0664) == 0);
    TFormFileInfo d(nullptr, QToPath(path));
    d.ReadOnly_Chk->click();
    QVERIFY(d.Save_Btn->isEnabled());
    QVERIFY(d.Save_Btn->isDefault());
    d.ReadOnly_Chk->click();  // back as it was
    QVERIFY(!d.Save_Btn->isEnabled());
    QVERIFY(d.Close_Btn->isDefault());

    d.ReadOnly_Chk->click();
    ScriptedBoxes boxes;
    d.Save_Btn->click();
    QCOMPARE(ModeOf(path), mode_t(0444));
    QVERIFY(d.ReadOnly_Chk->isChecked());
    QVERIFY(!d.Save_Btn->isEnabled());
    QVERIFY(d.Close_Btn->isDefault());
    d.ReadOnly_Chk->click();
    d.Save_Btn->click();
    QCOMPARE(ModeOf(path), mode_t(0644));  // the owner may write again
    QVERIFY(boxes.seen.empty());

    // The file gone before Save: the system's reason, and the view stays.
    d.ReadOnly_Chk->click();
    QVERIFY(QFile::remove(path));
    d.Save_Btn->click();
    QCOMPARE(boxes.Captions(), std::vector<std::string>{"Couldn't change attributes!"});
    QVERIFY(Utf8ToQ(boxes.Texts()[0]).endsWith("\nNo such file or directory"));
    QCOMPARE(d.FileName2_Label->text(), QString("change.txt"));
    QVERIFY(d.Content_Panel->isVisibleTo(&d));
  }

  void missingFileHidesTheView() {
    ScriptedBoxes boxes;
    TFormFileInfo d(nullptr, QToPath(P("vanished.txt")));
    QCOMPARE(boxes.Captions(), std::vector<std::string>{"Error displaying fileinfo!"});
    QCOMPARE(Utf8ToQ(boxes.Texts()[0]),
             "There was an error while displaying the file info for the file:\n\"" + P("vanished.txt") + "\"");
    QVERIFY(!d.Content_Panel->isVisibleTo(&d));
    QVERIFY(d.Close_Btn->isEnabled());
  }

  void clickingValuesCopiesThem() {
    QVERIFY(WriteFile(P("copy.txt"), "abc"));
    TFormFileInfo d(nullptr, QToPath(P("copy.txt")));
    d.show();
    QApplication::clipboard()->setText("something else");
    QTest::mouseMove(d.SizeByte_Label);
    d.Labels_MouseMove(d.SizeByte_Label);
    QCOMPARE(d.SizeByte_Label->toolTip(), QString("Copy value:\n\"3 bytes\""));
    QTest::mouseClick(d.SizeByte_Label, Qt::LeftButton);
    QCOMPARE(QApplication::clipboard()->text(), QString("3 bytes"));
    d.Labels_MouseMove(d.SizeByte_Label);
    QCOMPARE(d.SizeByte_Label->toolTip(), QString("Value copyed:\n\"3 bytes\""));
  }

  void iconsChooseAnotherFileOnlyWithAllThreeKeys() {
    QVERIFY(WriteFile(P("first.txt"), "1"));
    QVERIFY(QDir().mkpath(P("other")));
    QVERIFY(WriteFile(P("other/second.txt"), "22"));
    TFormFileInfo d(nullptr, QToPath(P("first.txt")));
    d.show();
    int asked = 0;
    d.SetChooser([&](const std::string&) {
      ++asked;
      return QToPath(P("other/second.txt"));
    });
    const QString cwd = QDir::currentPath();
    QTest::mouseClick(d.FileLa_Image, Qt::LeftButton);
    QTest::mouseClick(d.FileSm_Image, Qt::LeftButton, Qt::ControlModifier | Qt::ShiftModifier);
    QTest::mouseClick(d.FileLa_Image, Qt::RightButton, Qt::ControlModifier | Qt::ShiftModifier | Qt::AltModifier);
    QCOMPARE(asked, 0);
    QTest::mouseClick(d.FileSm_Image, Qt::LeftButton, Qt::ControlModifier | Qt::ShiftModifier | Qt::AltModifier);
    QCOMPARE(asked, 1);
    QCOMPARE(d.windowTitle(), QString("second.txt"));
    QCOMPARE(d.SizeByte_Label->text(), QString("2 bytes"));
    QCOMPARE(d.PathName2_Label->text(), P("other"));
    QCOMPARE(QDir::currentPath(), cwd);  // our working folder stays
  }

  void executeHandsTheFileToItsProgram() {
    const QString path = P("run me.sh");
    QVERIFY(WriteFile(path, "#!/bin/sh\ntouch \"$0.ran\"\n"));
    QVERIFY(QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
    TFormFileInfo d(nullptr, QToPath(path));
    UseOpener(P("bin"), P("opened"), 3);
    ScriptedBoxes boxes;
    d.Exec_Btn->click();
    QTRY_COMPARE_WITH_TIMEOUT(boxes.Captions(), std::vector<std::string>{"Error executing file!"}, 5000);
    QVERIFY(FileBytes(P("opened")).contains(QFile::encodeName(path)));
    QVERIFY(!QFileInfo::exists(path + ".ran"));  // opened, never run
  }
};

QTEST_MAIN(FileInfoDialogTest)
#include "file_info_dialog_test.moc"
