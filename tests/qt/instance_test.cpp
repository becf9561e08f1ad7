// The instance channel: a server in this process, clients in helper
// processes started while our event loop runs, and a private socket folder.
#include <QElapsedTimer>
#include <QLocalSocket>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>
#include <cerrno>
#include <cstring>
#include <algorithm>
#include <memory>
#include <vector>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include "platform/InstanceWire.h"
#include "platform/qt/InstanceChannel.h"
#include "TestSupport.h"

using namespace ql;

namespace {

struct ClientRun {
  QString output;
  qint64 ms = -1;
};

// Runs the helper client and lets our event loop (and so our server) work
// until it ends.
ClientRun RunClient(const QStringList& args) {
  QProcess p;
  QSignalSpy done(&p, &QProcess::finished);
  QElapsedTimer clock;
  clock.start();
  p.start(QStringLiteral(QL_TEST_HELPER_DIR "/instance_client"), args);
  if (!done.wait(15000)) {
    p.kill();
    p.waitForFinished();
    return {QStringLiteral("still running"), clock.elapsed()};
  }
  return {QString::fromLatin1(p.readAllStandardOutput()).trimmed(), clock.elapsed()};
}

mode_t ModeOf(const QString& path) {
  struct stat st {};
  return ::lstat(QFile::encodeName(path).constData(), &st) == 0 ? st.st_mode : 0;
}

// A socket file nobody listens on, as a crashed instance leaves it.
bool MakeStaleSocket(const QString& path) {
  const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
  sockaddr_un addr{};
  addr.sun_family = AF_UNIX;
  const QByteArray p = QFile::encodeName(path);
  if (fd < 0 || p.size() >= static_cast<qsizetype>(sizeof(addr.sun_path))) return false;
  std::memcpy(addr.sun_path, p.constData(), static_cast<std::size_t>(p.size()));
  const bool ok = ::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof(addr)) == 0;
  ::close(fd);
  return ok;
}

}  // namespace

class InstanceTest : public QObject {
  Q_OBJECT

  QTemporaryDir runtime_;
  std::unique_ptr<InstanceServer> server_;
  InstanceServer::Reply held_;

  // Points the channel at a fresh runtime folder for one test.
  QString FreshRuntime(QTemporaryDir& dir) {
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(dir.path()));
    return dir.path() + "/quillora";
  }
  void Restore() { qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime_.path())); }

 private slots:
  void initTestCase() {
    QVERIFY(runtime_.isValid());
    Restore();
    server_ = std::make_unique<InstanceServer>([this](int command, InstanceServer::Reply reply) {
      switch (command) {
        case 10: reply(42); break;
        case 11: QTimer::singleShot(300, this, [reply] { reply(7); }); break;  // answered later
        case 12: held_ = reply; break;                                        // never answered
        case 13: reply(-5); break;
        case 14: reply(1LL << 40); break;
        case 15: reply(1); reply(2); break;  // only the first counts
        default: reply(0); break;
      }
    });
    QVERIFY(server_->Listen());
  }

  void socketIsPrivate() {
    const QString dir = runtime_.path() + "/quillora";
    QCOMPARE(InstanceSocketDir(false), dir);
    QCOMPARE(ModeOf(dir) & 0777, mode_t(0700));
    const QString path = server_->SocketPath();
    QVERIFY(path.startsWith(dir + "/instance-" + QString::number(getpid()) + "-"));
    QVERIFY(ParseInstanceSocketName(QFileInfo(path).fileName().toStdString()));
    QVERIFY(S_ISSOCK(ModeOf(path)));
    QCOMPARE(ModeOf(path) & 077, mode_t(0));
  }

  void commandsAreAnswered_data() {
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("answer");
    QTest::newRow("at once") << "10" << "42";
    QTest::newRow("later") << "11" << "7";
    QTest::newRow("negative") << "13" << "-5";
    QTest::newRow("beyond 32 bits") << "14" << "1099511627776";
    QTest::newRow("answered twice") << "15" << "1";
    QTest::newRow("unknown") << "7" << "0";
  }
  void commandsAreAnswered() {
    QFETCH(QString, command);
    QFETCH(QString, answer);
    QCOMPARE(RunClient({command}).output, answer);
  }

  void silentInstanceIsGivenUpOn() {
    const ClientRun run = RunClient({"12", "2000"});
    QCOMPARE(run.output, QStringLiteral("none"));
    QVERIFY2(run.ms >= 1900, qPrintable(QString::number(run.ms)));
    QVERIFY2(run.ms < 2000 + 1500, qPrintable(QString::number(run.ms)));
    QVERIFY(held_);
    held_(5);  // the client has gone: the late answer goes nowhere
    QTest::qWait(50);
    QCOMPARE(RunClient({"10"}).output, QStringLiteral("42"));  // still serving
  }

  void commandMayArriveInPieces() {
    QLocalSocket socket;
    socket.connectToServer(server_->SocketPath());
    QVERIFY(socket.waitForConnected(1000));
    const std::string command = EncodeInstanceCommand(10);
    socket.write(command.data(), 2);
    socket.flush();
    QTest::qWait(100);
    QCOMPARE(socket.bytesAvailable(), qint64(0));
    socket.write(command.data() + 2, 2);
    socket.flush();
    QTRY_COMPARE(socket.bytesAvailable(), qint64(kInstanceReplySize));
    const QByteArray reply = socket.readAll();
    QCOMPARE(DecodeInstanceReply(std::string_view(reply.constData(), 8)), std::optional<std::int64_t>(42));
  }

  void ownSocketIsSkipped() {
    // Only our own server is there: asking from this process finds nobody,
    // at once, instead of waiting on ourselves.
    QElapsedTimer clock;
    clock.start();
    QCOMPARE(SendToRunningInstance(10, 1500), std::optional<long long>());
    QVERIFY(clock.elapsed() < 1000);
  }

  void newestInstanceAnswers() {
    auto newer = std::make_unique<InstanceServer>(
        [](int command, InstanceServer::Reply reply) { reply(2000 + command); });
    QVERIFY(newer->Listen());
    const QString path = newer->SocketPath();
    QCOMPARE(RunClient({"10"}).output, QStringLiteral("2010"));
    newer.reset();
    QVERIFY(!QFileInfo::exists(path));  // removed with its server
    QCOMPARE(RunClient({"10"}).output, QStringLiteral("42"));
  }

  void staleSocketIsSkippedAndRemoved() {
    const QString stale = runtime_.path() + "/quillora/instance-999999-999999999999999999";
    QVERIFY(MakeStaleSocket(stale));
    QVERIFY(QFileInfo::exists(stale));
    const QString other = runtime_.path() + "/quillora/notes.txt";  // not ours: left alone
    QVERIFY(WriteFile(other, ""));
    QCOMPARE(RunClient({"10"}).output, QStringLiteral("42"));
    QVERIFY(!QFileInfo::exists(stale));
    QVERIFY(QFileInfo::exists(other));
  }

  void noInstanceAnswersNone() {
    QTemporaryDir empty;
    FreshRuntime(empty);
    const ClientRun run = RunClient({"10"});
    Restore();
    QCOMPARE(run.output, QStringLiteral("none"));
    QVERIFY(run.ms < 1500);
  }

  void openFolderIsTightened() {
    QTemporaryDir tmp;
    const QString dir = FreshRuntime(tmp);
    QVERIFY(QDir().mkpath(dir));
    QVERIFY(QFile::setPermissions(dir, QFileDevice::Permissions(0x7777)));
    QVERIFY(ModeOf(dir) & 077);
    InstanceServer s([](int, InstanceServer::Reply reply) { reply(1); });
    const bool listening = s.Listen();
    Restore();
    QVERIFY(listening);
    QCOMPARE(ModeOf(dir) & 0777, mode_t(0700));
  }

  void foreignFolderIsRefused() {
    QTemporaryDir tmp;
    const QString dir = FreshRuntime(tmp);
    // a symbolic link, even to a folder of ours
    QVERIFY(QDir().mkpath(tmp.path() + "/elsewhere"));
    QVERIFY(QFile::link(tmp.path() + "/elsewhere", dir));
    InstanceServer s([](int, InstanceServer::Reply reply) { reply(1); });
    QVERIFY(!s.Listen());
    QVERIFY(InstanceSocketDir(true).isEmpty());
    QVERIFY(QFile::remove(dir));
    if (geteuid() == 0) {
      // a folder owned by someone else
      QVERIFY(QDir().mkpath(dir));
      QVERIFY(::chown(QFile::encodeName(dir).constData(), 65534, 65534) == 0);
      QVERIFY(!s.Listen());
      QVERIFY(!SendToRunningInstance(10, 500));
    }
    Restore();
  }

  void withoutRuntimeFolderTmpIsUsed() {
    qunsetenv("XDG_RUNTIME_DIR");
    const QString dir = InstanceSocketDir(true);
    qputenv("XDG_RUNTIME_DIR", "relative/ignored");
    const QString again = InstanceSocketDir(false);
    Restore();
    const QString expected = QStringLiteral("/tmp/quillora-%1").arg(geteuid());
    QCOMPARE(dir, expected);
    QCOMPARE(again, expected);
    QCOMPARE(ModeOf(dir) & 0777, mode_t(0700));
  }

  void listensAgainAfterRunningOutOfFileHandles() {
    InstanceServer s([](int, InstanceServer::Reply reply) { reply(77); });
    QVERIFY(s.Listen());
    const QString path = s.SocketPath();
    QCOMPARE(RunClient({"10"}).output, QStringLiteral("77"));  // the newest instance

    // A client is queued while this process has no file handle left, so
    // accepting it fails.
    const int client = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    QVERIFY(client >= 0);
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    const QByteArray p = QFile::encodeName(path);
    std::memcpy(addr.sun_path, p.constData(), static_cast<std::size_t>(p.size()));
    QCOMPARE(::connect(client, reinterpret_cast<sockaddr*>(&addr), sizeof(addr)), 0);
    const int base = ::open("/dev/null", O_RDONLY | O_CLOEXEC);
    QVERIFY(base >= 0);
    int highest = 0;
    for (const QString& fd : QDir("/proc/self/fd").entryList(QDir::Files | QDir::System))
      highest = std::max(highest, fd.toInt());
    rlimit old{};
    QCOMPARE(::getrlimit(RLIMIT_NOFILE, &old), 0);
    rlimit low = old;
    low.rlim_cur = static_cast<rlim_t>(highest + 1);
    QCOMPARE(::setrlimit(RLIMIT_NOFILE, &low), 0);
    std::vector<int> filler;
    int fd;
    while ((fd = ::fcntl(base, F_DUPFD_CLOEXEC, 0)) >= 0) filler.push_back(fd);
    const int why = errno;
    QTest::qWait(200);  // the server tries to accept
    for (int f : filler) ::close(f);
    ::close(base);
    ::setrlimit(RLIMIT_NOFILE, &old);
    QCOMPARE(why, EMFILE);
    ::close(client);

    // Reachable again under the same name.
    QTRY_VERIFY_WITH_TIMEOUT(s.IsListening(), 5000);
    QCOMPARE(s.SocketPath(), path);
    QTRY_COMPARE_WITH_TIMEOUT(RunClient({"10"}).output, QStringLiteral("77"), 5000);

    // A socket file someone removed is made again too.
    QVERIFY(QFile::remove(path));
    QTRY_VERIFY_WITH_TIMEOUT(QFileInfo::exists(path), 5000);
    QCOMPARE(RunClient({"10"}).output, QStringLiteral("77"));
  }

  void silentClientsAreCapped() {
    InstanceServer s([](int, InstanceServer::Reply reply) { reply(78); });
    QVERIFY(s.Listen());
    std::vector<std::unique_ptr<QLocalSocket>> silent;
    for (int i = 0; i < InstanceServer::kMaxClients + 10; ++i) {
      silent.push_back(std::make_unique<QLocalSocket>());
      silent.back()->connectToServer(s.SocketPath());
      QVERIFY(silent.back()->waitForConnected(1000));
    }
    QTest::qWait(200);
    QCOMPARE(s.ClientCount(), InstanceServer::kMaxClients);
    // Those waiting are served once the silent ones go.
    silent.clear();
    QTRY_COMPARE(s.ClientCount(), 0);
    QCOMPARE(RunClient({"10"}).output, QStringLiteral("78"));
    QTRY_COMPARE(s.ClientCount(), 0);
  }

  void cleanupTestCase() {
    const QString path = server_->SocketPath();
    server_.reset();
    QVERIFY(!QFileInfo::exists(path));
  }
};

QTEST_MAIN(InstanceTest)
#include "instance_test.moc"
