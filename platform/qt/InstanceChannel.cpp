#include "platform/qt/InstanceChannel.h"

#include <QByteArray>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QLocalServer>
#include <QLocalSocket>
#include <QPointer>
#include <QTimer>
#include <fcntl.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <memory>
#include <string>
#include <vector>

#include "platform/InstanceWire.h"

namespace ql {

namespace {

// A client that connects and sends no command is dropped after this long.
constexpr int kIdleClientMs = 10000;
// How often the server checks that it still listens.
constexpr int kWatchMs = 1000;

std::uint64_t MonotonicStamp() {
  timespec ts{};
  clock_gettime(CLOCK_MONOTONIC, &ts);
  return static_cast<std::uint64_t>(ts.tv_sec) * 1000000000ull + static_cast<std::uint64_t>(ts.tv_nsec);
}

QString BaseDir() {
  const QByteArray xdg = qgetenv("XDG_RUNTIME_DIR");
  if (xdg.startsWith('/')) return QFile::decodeName(xdg) + QStringLiteral("/quillora");
  return QStringLiteral("/tmp/quillora-%1").arg(geteuid());
}

// Opens the directory itself (never a symbolic link to one), checks that it
// is ours and tightens its mode to 0700 when it is open to others.
bool MakeSafe(const QByteArray& path) {
  const int fd = ::open(path.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
  if (fd < 0) return false;
  struct stat st {};
  bool ok = ::fstat(fd, &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == geteuid();
  if (ok && (st.st_mode & 077) != 0) ok = ::fchmod(fd, 0700) == 0;
  ::close(fd);
  return ok;
}

// Removes a socket file nobody listens on, if it is one of ours.
void RemoveStale(const QString& path) {
  const QByteArray p = QFile::encodeName(path);
  struct stat st {};
  if (::lstat(p.constData(), &st) == 0 && S_ISSOCK(st.st_mode) && st.st_uid == geteuid())
    ::unlink(p.constData());
}

int Remaining(const QDeadlineTimer& deadline) {
  const qint64 ms = deadline.remainingTime();
  return ms <= 0 ? 0 : static_cast<int>(ms);
}

std::optional<long long> Exchange(QLocalSocket& socket, int command, const QDeadlineTimer& deadline) {
  const std::string out = EncodeInstanceCommand(command);
  socket.write(out.data(), static_cast<qint64>(out.size()));
  socket.flush();
  if (socket.bytesToWrite() > 0 && !socket.waitForBytesWritten(Remaining(deadline)))
    return std::nullopt;
  QByteArray in;
  while (in.size() < static_cast<qsizetype>(kInstanceReplySize)) {
    if (socket.bytesAvailable() == 0) {
      const int wait = Remaining(deadline);
      if (wait == 0) return std::nullopt;
      if (!socket.waitForReadyRead(wait) && socket.bytesAvailable() == 0) return std::nullopt;
    }
    in += socket.read(static_cast<qint64>(kInstanceReplySize) - in.size());
  }
  return DecodeInstanceReply(std::string_view(in.constData(), static_cast<std::size_t>(in.size())));
}

}  // namespace

QString InstanceSocketDir(bool create) {
  const QString dir = BaseDir();
  const QByteArray path = QFile::encodeName(dir);
  if (create && ::mkdir(path.constData(), 0700) != 0 && errno != EEXIST) return QString();
  return MakeSafe(path) ? dir : QString();
}

InstanceServer::InstanceServer(Handler handler, QObject* parent)
    : QObject(parent), handler_(std::move(handler)), server_(new QLocalServer(this)),
      watch_(new QTimer(this)) {
  server_->setSocketOptions(QLocalServer::UserAccessOption);
  server_->setMaxPendingConnections(kMaxClients);
  connect(server_, &QLocalServer::newConnection, this, &InstanceServer::Accept);
  // QLocalServer closes for good when an accept fails (no file handles
  // left, say) and tells nobody; so look now and then.
  watch_->setInterval(kWatchMs);
  connect(watch_, &QTimer::timeout, this, &InstanceServer::KeepListening);
}

InstanceServer::~InstanceServer() {
  if (server_->isListening()) server_->close();
  if (!path_.isEmpty()) RemoveStale(path_);
}

bool InstanceServer::Listen() {
  if (server_->isListening()) return true;
  const QString dir = InstanceSocketDir(true);
  if (dir.isEmpty()) return false;
  const QString path = dir + QLatin1Char('/') +
                       QString::fromStdString(InstanceSocketFileName(getpid(), MonotonicStamp()));
  if (!server_->listen(path)) return false;
  path_ = path;
  watch_->start();
  return true;
}

bool InstanceServer::IsListening() const { return server_->isListening(); }

void InstanceServer::KeepListening() {
  if (path_.isEmpty()) return;
  struct stat st {};
  const bool present = ::lstat(QFile::encodeName(path_).constData(), &st) == 0 && S_ISSOCK(st.st_mode);
  if (server_->isListening() && present) return;
  // Same name as before, so clients still find the instance where they expect it.
  server_->close();
  if (InstanceSocketDir(true).isEmpty()) return;
  RemoveStale(path_);
  server_->listen(path_);
}

void InstanceServer::Accept() {
  // Beyond the cap, connections wait in the queue until a client is done.
  while (clients_ < kMaxClients) {
    QLocalSocket* socket = server_->nextPendingConnection();
    if (!socket) return;
    ++clients_;
    connect(socket, &QObject::destroyed, this, [this] {
      --clients_;
      QTimer::singleShot(0, this, &InstanceServer::Accept);
    });
    Serve(socket);
  }
}

void InstanceServer::Serve(QLocalSocket* socket) {
  connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
  auto received = std::make_shared<QByteArray>();
  QTimer::singleShot(kIdleClientMs, socket, [socket, received] {
    if (received->size() < static_cast<qsizetype>(kInstanceCommandSize)) socket->abort();
  });
  const auto onData = [this, socket, received] {
    const qsizetype want = static_cast<qsizetype>(kInstanceCommandSize) - received->size();
    if (want <= 0) {
      socket->readAll();  // one command per connection; the rest is noise
      return;
    }
    received->append(socket->read(want));
    if (received->size() < static_cast<qsizetype>(kInstanceCommandSize)) return;
    const auto command = DecodeInstanceCommand(
        std::string_view(received->constData(), static_cast<std::size_t>(received->size())));
    QPointer<QLocalSocket> target(socket);
    auto answered = std::make_shared<bool>(false);
    Reply reply = [target, answered](long long result) {
      if (*answered) return;
      *answered = true;
      if (!target || target->state() != QLocalSocket::ConnectedState) return;
      const std::string bytes = EncodeInstanceReply(result);
      target->write(bytes.data(), static_cast<qint64>(bytes.size()));
      target->disconnectFromServer();  // sends what is pending first
    };
    if (handler_)
      handler_(*command, reply);
    else
      reply(0);
  };
  connect(socket, &QLocalSocket::readyRead, this, onData);
  // A client that waited for its turn may have written, or gone, already.
  if (socket->bytesAvailable() > 0) QTimer::singleShot(0, socket, onData);
  if (socket->state() != QLocalSocket::ConnectedState && socket->bytesAvailable() == 0)
    socket->deleteLater();
}

std::optional<long long> SendToRunningInstance(int command, int timeoutMs) {
  const QDeadlineTimer deadline(timeoutMs > 0 ? timeoutMs : 0);
  const QString dir = InstanceSocketDir(false);
  if (dir.isEmpty()) return std::nullopt;

  std::vector<std::string> names;
  for (const QString& name : QDir(dir).entryList(QDir::System | QDir::Files | QDir::Hidden))
    names.push_back(name.toStdString());

  for (const std::string& name : InstancesNewestFirst(names, getpid())) {
    const int wait = Remaining(deadline);
    if (wait == 0) return std::nullopt;
    const QString path = dir + QLatin1Char('/') + QString::fromStdString(name);
    QLocalSocket socket;
    socket.connectToServer(path);
    if (!socket.waitForConnected(wait)) {
      // A socket nobody listens on is left from an instance that died;
      // anything else but a timeout also means "try the next one".
      if (socket.error() == QLocalSocket::ConnectionRefusedError) RemoveStale(path);
      if (socket.error() == QLocalSocket::SocketTimeoutError || Remaining(deadline) == 0)
        return std::nullopt;
      continue;
    }
    return Exchange(socket, command, deadline);
  }
  return std::nullopt;
}

}  // namespace ql
