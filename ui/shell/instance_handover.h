#pragma once
// One running program per user. The program that owns the engine's folder
// runs; a later launch hands its files to it over a local socket in the
// user's private runtime folder (XDG_RUNTIME_DIR) and ends at once. The
// running program opens them in its window, or, given none, brings its
// window to the front.
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

enum class HandOverResult {
  kTaken,       // the running program took the launch
  kOwnFolder,   // it ended meanwhile: this launch owns the folder now
  kNoAnswer,    // it runs but did not answer in time
};
// A launch while another program owns the engine's folder: hands the files
// (possibly none) over, retrying while that program is still starting (not
// listening yet) or ending (no longer listening).
HandOverResult HandOverWhileRunning(const QStringList& paths, int timeoutMs = 20000);

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
  // Stops taking hand-overs (the program ends).
  void close();

private:
  void accept();
  void read(QLocalSocket* socket);

  Receiver receiver_;
  QLocalServer* server_ = nullptr;
};
