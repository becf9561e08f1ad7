// Starting programs with an argument vector, and handing documents and
// addresses to the desktop (caught here by URL handlers).
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QUrl>
#include <QtTest>

#include "platform/qt/QtText.h"
#include "platform/qt/Shell.h"
#include "TestSupport.h"

using namespace ql;

namespace {
bool WriteFile(const QString& path, const QByteArray& bytes, QFile::Permissions mode) {
  QFile f(path);
  return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size() && f.setPermissions(mode);
}

const QString kDumper = QStringLiteral(QL_TEST_HELPER_DIR "/argv_dump");
}  // namespace

class ShellTest : public QObject {
  Q_OBJECT

  QTemporaryDir tmp_;
  QList<QUrl> opened_;

 public slots:
  void Opened(const QUrl& url) { opened_ << url; }

 private slots:
  void initTestCase() {
    for (const char* scheme : {"file", "http", "https", "mailto"})
      QDesktopServices::setUrlHandler(scheme, this, "Opened");
  }
  void cleanupTestCase() {
    for (const char* scheme : {"file", "http", "https", "mailto"}) QDesktopServices::unsetUrlHandler(scheme);
  }
  void init() { opened_.clear(); }

  void argumentsArriveUnchanged() {
    const QString out = tmp_.path() + "/args";
    const QString work = tmp_.path() + "/work dir";
    QVERIFY(QDir().mkpath(work));
    const std::vector<std::string> params = {
        out.toStdString(), "two words", "\"quoted\"", "'single'", "$HOME", "a;b|c&d>e", "`id`",
        "",                "back\\slash", "caf\xE9", "*",        "-x",   "new\nline"};
    QCOMPARE(ShellExec(kDumper.toStdString(), params, work.toStdString()), int(kShellOk));
    QTRY_VERIFY_WITH_TIMEOUT(QFileInfo::exists(out), 5000);
    QStringList expected = {QDir(work).canonicalPath()};
    for (std::size_t i = 1; i < params.size(); ++i) expected << PathToQ(params[i]);
    QCOMPARE(Dumped(out), expected);
    QVERIFY(opened_.isEmpty());
  }

  void programsAreFoundByName() {
    // relative to the given directory first
    const QString out1 = tmp_.path() + "/byDir";
    QCOMPARE(ShellExec("argv_dump", {out1.toStdString(), "x"}, QL_TEST_HELPER_DIR), int(kShellOk));
    QTRY_VERIFY_WITH_TIMEOUT(QFileInfo::exists(out1), 5000);
    QCOMPARE(Dumped(out1).value(1), QStringLiteral("x"));

    // then on PATH, run in our own directory
    const QByteArray oldPath = qgetenv("PATH");
    const QString oldCwd = QDir::currentPath();
    qputenv("PATH", QL_TEST_HELPER_DIR ":" + oldPath);
    QDir::setCurrent(tmp_.path());
    const QString out2 = tmp_.path() + "/byPath";
    const int result = ShellExec("argv_dump", {out2.toStdString()}, "");
    qputenv("PATH", oldPath);
    QDir::setCurrent(oldCwd);
    QCOMPARE(result, int(kShellOk));
    QTRY_VERIFY_WITH_TIMEOUT(QFileInfo::exists(out2), 5000);
    QCOMPARE(Dumped(out2), QStringList{QDir(tmp_.path()).canonicalPath()});
  }

  void failures_data() {
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("dir");
    QTest::addColumn<int>("result");
    QTest::newRow("nothing") << "" << "" << int(kShellFileNotFound);
    QTest::newRow("missing file") << "/no/such/file.txt" << "" << int(kShellFileNotFound);
    QTest::newRow("missing program") << "no-such-program-quillora" << "" << int(kShellFileNotFound);
    QTest::newRow("missing directory") << kDumper << "/no/such/dir" << int(kShellPathNotFound);
    QTest::newRow("not a program") << tmp_.path() + "/garbage" << "" << int(kShellInvalidFile);
  }
  void failures() {
    QFETCH(QString, file);
    QFETCH(QString, dir);
    QFETCH(int, result);
    QFile::remove(tmp_.path() + "/garbage");
    QVERIFY(WriteFile(tmp_.path() + "/garbage", "\x7f" "ELF? no\n", QFile::ReadOwner | QFile::ExeOwner));
    QCOMPARE(ShellExec(file.toStdString(), {}, dir.toStdString()), result);
    QVERIFY(opened_.isEmpty());
  }

  void documentsAndAddressesGoToTheDesktop() {
    const QString doc = tmp_.path() + "/caf\xC3\xA9 doc.txt";
    QFile f(doc);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.close();
    QCOMPARE(ShellExec(QToPath(doc), {"ignored"}, ""), int(kShellOk));
    QCOMPARE(ShellExec(QToPath(QFileInfo(doc).fileName()), {}, tmp_.path().toStdString()), int(kShellOk));
    QCOMPARE(ShellExec(tmp_.path().toStdString(), {}, ""), int(kShellOk));  // a folder
    QCOMPARE(ShellExec("https://example.org/a b?x=1", {}, ""), int(kShellOk));
    QCOMPARE(ShellExec("mailto:someone@example.org", {}, ""), int(kShellOk));
    QCOMPARE(ShellExec(QToPath(QUrl::fromLocalFile(doc).toString()), {}, ""), int(kShellOk));
    QCOMPARE(opened_, (QList<QUrl>{QUrl::fromLocalFile(doc), QUrl::fromLocalFile(doc),
                                   QUrl::fromLocalFile(tmp_.path()), QUrl("https://example.org/a b?x=1"),
                                   QUrl("mailto:someone@example.org"), QUrl::fromLocalFile(doc)}));
  }

  void programPathIsOurOwn() {
    QCOMPARE(ProgramPath(), QToPath(QCoreApplication::applicationFilePath()));
    QVERIFY(QFileInfo(PathToQ(ProgramPath())).isExecutable());
    QVERIFY(ProgramPath().find("shell_test") != std::string::npos);
  }
};

QTEST_MAIN(ShellTest)
#include "shell_test.moc"
