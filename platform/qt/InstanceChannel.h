// The instance command message between running copies of the program, over
// per-user local sockets (wire format and socket names: platform/InstanceWire.h).
// Every instance listens in a private directory, $XDG_RUNTIME_DIR/quillora,
// or /tmp/quillora-<uid> without one; the directory must be ours and closed
// to everyone else, or nothing listens or connects there.
#pragma once

#include <QObject>
#include <QString>
#include <functional>
#include <optional>

class QLocalServer;
class QLocalSocket;
class QTimer;

namespace ql {

class InstanceServer : public QObject {
  Q_OBJECT

 public:
  using Reply = std::function<void(long long result)>;
  // Called on the UI thread for every command that arrives; it answers by
  // calling reply, at once or later (a second call is ignored, and a reply
  // to a client that has gone is dropped).
  using Handler = std::function<void(int command, Reply reply)>;

  explicit InstanceServer(Handler handler, QObject* parent = nullptr);
  ~InstanceServer() override;  // removes the socket

  // Starts listening; false when the directory is not safe or the socket
  // cannot be made. Once listening, the server keeps at it: should it stop
  // (the socket lost, out of file handles when a client came), it listens
  // again on the same socket as soon as it can.
  bool Listen();
  QString SocketPath() const { return path_; }
  bool IsListening() const;

  // Clients served at once; more wait until one of them is done.
  static constexpr int kMaxClients = 16;
  int ClientCount() const { return clients_; }

 private:
  void Accept();
  void Serve(QLocalSocket* socket);
  void KeepListening();

  Handler handler_;
  QLocalServer* server_;
  QTimer* watch_;
  QString path_;
  int clients_ = 0;
};

// The socket directory; with create, made (mode 0700) if missing. Empty when
// it is missing, not a directory of ours, or open to others and not fixable.
QString InstanceSocketDir(bool create);

// Sends command to the most recently started other instance and returns its
// answer. Sockets nobody listens on any more are removed on the way. Gives
// up after timeoutMs in all (connecting and waiting for the answer).
std::optional<long long> SendToRunningInstance(int command, int timeoutMs = 2000);

}  // namespace ql
