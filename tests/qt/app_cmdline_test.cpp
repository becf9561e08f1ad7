// The real program's command line: every argument is a file name of ours,
// also those that look like the toolkit's options; the first opens here,
// each further one in an instance of its own.
#include <QDir>
#include <QLocalSocket>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>
#include <algorithm>
#include <csignal>
#include <set>

#include "platform/InstanceWire.h"
#include "TestSupport.h"

using namespace ql;

namespace {

// Asks one instance socket for a command's answer.
std::optional<long long> Ask(const QString& socketPath, int command) {
  QLocalSocket socket;
  socket.connectToServer(socketPath);
  if (!socket.waitForConnected(2000)) return std::nullopt;
  const std::string out = EncodeInstanceCommand(command);
  socket.write(out.data(), static_cast<qint64>(out.size()));
  socket.flush();
  QByteArray in;
  while (in.size() < static_cast<qsizetype>(kInstanceReplySize) && socket.waitForReadyRead(3000))
    in += socket.readAll();
  if (in.size() != static_cast<qsizetype>(kInstanceReplySize)) return std::nullopt;
  return DecodeInstanceReply(std::string_view(in.constData(), kInstanceReplySize));
}

struct Instance {
  qint64 pid;
  QString socket;
};

std::vector<Instance> Instances(const QString& runtime) {
  std::vector<Instance> out;
  const QString dir = runtime + "/quillora";
  for (const QString& name : QDir(dir).entryList(QDir::System | QDir::Files | QDir::Hidden))
    if (const auto parsed = ParseInstanceSocketName(name.toStdString()))
      out.push_back({parsed->pid, dir + "/" + name});
  return out;
}

}  // namespace

class AppCommandLineTest : public QObject {
  Q_OBJECT

 private slots:
  void everyArgumentIsAFileName_data() {
    QTest::addColumn<QStringList>("args");
    // The text length each opened document has, one per instance.
    QTest::addColumn<QList<long long>>("lengths");
    QTest::newRow("-reverse") << QStringList{"-reverse"} << QList<long long>{1};
    QTest::newRow("-style X") << QStringList{"-style", "fusion"} << QList<long long>{6, 4};
    QTest::newRow("-platform X") << QStringList{"-platform", "xcb"} << QList<long long>{9, 3};
    QTest::newRow("-stylesheet=F") << QStringList{"-stylesheet=look.qss"} << QList<long long>{22};
    QTest::newRow("several files") << QStringList{"plain.txt", "-reverse", "two words.txt"}
                                   << QList<long long>{9, 1, 13};
  }
  void everyArgumentIsAFileName() {
    QFETCH(QStringList, args);
    QFETCH(QList<long long>, lengths);
    QTemporaryDir dir;
    const QString runtime = dir.path() + "/run";
    QVERIFY(QDir().mkpath(runtime));
    QFile::setPermissions(runtime, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    // Each file's length tells which one an instance opened.
    const std::map<QString, QByteArray> files = {
        {"-reverse", "r"},           {"-style", "styled"},         {"fusion", "fuse"},
        {"-platform", "platforms"},  {"xcb", "xcb"},               {"plain.txt", "plain.txt"},
        {"two words.txt", "two words.txt"},
        {"-stylesheet=look.qss", "QWidget { color: red }"},
    };
    for (const auto& [name, bytes] : files) QVERIFY(WriteFile(dir.path() + "/" + name, bytes));
    QVERIFY(WriteFile(dir.path() + "/look.qss", "QWidget { color: red }"));

    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("XDG_CONFIG_HOME", dir.path() + "/config");
    env.insert("XDG_RUNTIME_DIR", runtime);
    env.insert("QT_QPA_PLATFORM", "offscreen");
    QProcess app;
    app.setProcessEnvironment(env);
    app.setWorkingDirectory(dir.path());
    app.start(QL_QUILLORA_EXE, args);
    QVERIFY(app.waitForStarted());

    // Wait until every instance listens and has opened its document.
    std::multiset<long long> seen;
    std::vector<Instance> instances;
    for (int round = 0; round < 150; ++round) {
      QTest::qWait(100);
      instances = Instances(runtime);
      if (instances.size() < static_cast<std::size_t>(lengths.size())) continue;
      seen.clear();
      for (const Instance& i : instances)
        if (const auto n = Ask(i.socket, 10)) seen.insert(*n);
      if (seen == std::multiset<long long>(lengths.begin(), lengths.end())) break;
    }
    const bool running = app.state() == QProcess::Running;
    // Every instance was started by this test; end each by its id.
    for (const Instance& i : instances)
      if (i.pid != app.processId()) ::kill(static_cast<pid_t>(i.pid), SIGKILL);
    app.kill();
    app.waitForFinished();

    QVERIFY(running);
    QCOMPARE(instances.size(), static_cast<std::size_t>(lengths.size()));
    QCOMPARE(seen, std::multiset<long long>(lengths.begin(), lengths.end()));
  }
};

QTEST_MAIN(AppCommandLineTest)
#include "app_cmdline_test.moc"
