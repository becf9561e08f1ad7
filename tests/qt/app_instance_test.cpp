// The real program, offscreen, answering the instance command message.
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

namespace {

QProcessEnvironment IsolatedEnv(const QTemporaryDir& dir) {
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert("XDG_CONFIG_HOME", dir.path() + "/config");
  env.insert("XDG_RUNTIME_DIR", dir.path() + "/run");
  env.insert("QT_QPA_PLATFORM", "offscreen");
  return env;
}

QString Ask(const QProcessEnvironment& env, int command) {
  QProcess client;
  client.setProcessEnvironment(env);
  client.start(QString(QL_TEST_HELPER_DIR) + "/instance_client", {QString::number(command)});
  client.waitForFinished(10000);
  return QString::fromUtf8(client.readAllStandardOutput()).trimmed();
}

}  // namespace

class AppInstanceTest : public QObject {
  Q_OBJECT

 private slots:
  void answersCommands() {
    QTemporaryDir dir;
    QVERIFY(QDir().mkpath(dir.path() + "/run"));
    QFile::setPermissions(dir.path() + "/run", QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    const QString doc = dir.path() + "/my doc.txt";
    QFile f(doc);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write("one two\r\nthree");
    f.close();

    const QProcessEnvironment env = IsolatedEnv(dir);
    QProcess app;
    app.setProcessEnvironment(env);
    app.start(QL_QUILLORA_EXE, {doc});
    QVERIFY(app.waitForStarted());

    // Wait until it listens.
    QString length;
    for (int i = 0; i < 100 && (length.isEmpty() || length == "none"); ++i) {
      QTest::qWait(100);
      length = Ask(env, 10);
    }
    QCOMPARE(length, QString("14"));
    QCOMPARE(Ask(env, 12), QString("3"));
    QCOMPARE(Ask(env, 3), QString("1"));  // not modified: nothing saved

    // Command 1 answers only once the settings are on disk.
    const QString ini = dir.path() + "/config/Norvane Productions/Quillora.ini";
    QVERIFY(!QFile::exists(ini));
    QCOMPARE(Ask(env, 1), QString("1"));
    QVERIFY(QFile::exists(ini));
    QSettings written(ini, QSettings::IniFormat);
    QCOMPARE(written.value("Software/Norvane Productions/Quillora/Options/TabSize").toString(),
             QString("48"));

    app.kill();
    app.waitForFinished();
    QFile same(doc);
    QVERIFY(same.open(QIODevice::ReadOnly));
    QCOMPARE(same.readAll(), QByteArray("one two\r\nthree"));
  }
};

QTEST_MAIN(AppInstanceTest)
#include "app_instance_test.moc"
