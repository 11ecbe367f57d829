#pragma once
// One running program per user. A later launch given files hands them to
// the running program over a local socket in the user's private runtime
// folder (XDG_RUNTIME_DIR) and ends at once; the running program opens
// them in its window.
#include <QObject>
#include <QStringList>
#include <functional>

class QLocalServer;
class QLocalSocket;

// The socket's path in the runtime folder.
QString HandOverSocketPath();
// Hands the files to the running program: true when it took them, false
// when none runs (or it did not answer in time).
bool HandOverToRunning(const QStringList& paths, int timeoutMs = 5000);

// The running program's end: listens for later launches and passes each
// hand-over, whole, to the receiver on the GUI thread.
class HandOverServer : public QObject {
  Q_OBJECT
public:
  using Receiver = std::function<void(const QStringList& paths)>;
  explicit HandOverServer(Receiver receiver, QObject* parent = nullptr);
  ~HandOverServer() override;
  // Starts listening, replacing a socket left by a program that crashed;
  // false when another program already listens or the socket cannot be made.
  bool listen();

private:
  void accept();
  void read(QLocalSocket* socket);

  Receiver receiver_;
  QLocalServer* server_ = nullptr;
};
