#pragma once
// One running program per user. The program that owns the engine's folder
// runs; a later launch hands its files to it over a local socket in the
// user's private runtime folder (XDG_RUNTIME_DIR). The running program
// opens them in its window, or, given none, brings its window to the front.
//
// The launch ends only once the running program has taken its files for
// good. A program that is about to end (its quit question is open) keeps
// the launch waiting; if it does end, it says so, and the launch waits for
// that end and then runs by itself with its files.
#include <QObject>
#include <QPointer>
#include <QStringList>
#include <functional>
#include <memory>

class QLocalServer;
class QLocalSocket;

// The socket's path in the runtime folder.
QString HandOverSocketPath();

enum class HandOverAnswer {
  kTaken,  // the running program took the files
  kEnding, // it ends without them: this launch is to run by itself
  kNone,   // nobody took them (none runs, no answer in time, or it died)
};
// Hands the files to the running program. Once it has confirmed receipt
// this waits, without a time-out, for its final word.
HandOverAnswer HandOverToRunning(const QStringList& paths, int timeoutMs = 5000);

enum class HandOverResult {
  kTaken,     // the running program took the launch
  kOwnFolder, // it ended meanwhile: this launch owns the folder now
  kNoAnswer,  // it runs but did not answer in time
};
// A launch while another program owns the engine's folder: hands the files
// (possibly none) over, retrying while that program is still starting (not
// listening yet) or ending (no longer listening, or refusing the files).
// The time-out runs anew from the moment a program says it ends.
HandOverResult HandOverWhileRunning(const QStringList& paths, int timeoutMs = 20000);

// A later launch's files as the running program received them. The launch
// waits for one word: taken, or refused because the program ends.
class HandOver {
public:
  // Files of no launch (the program's own command line) need no answer.
  explicit HandOver(QStringList paths, QLocalSocket* sender = nullptr);
  const QStringList& paths() const { return paths_; }
  bool fromLaunch() const { return fromLaunch_; }
  // The launch gave up waiting (it ended): its files are no longer ours.
  bool abandoned() const;
  void taken();
  void refused();

private:
  void answer(char word);

  QStringList paths_;
  bool fromLaunch_ = false;
  bool answered_ = false;
  QPointer<QLocalSocket> sender_;
};
using HandOverPtr = std::shared_ptr<HandOver>;

// The running program's end: listens for later launches, confirms receipt
// of each and passes it, whole, to the receiver on the GUI thread, which
// answers it when it has decided.
class HandOverServer : public QObject {
  Q_OBJECT
public:
  using Receiver = std::function<void(const HandOverPtr& handOver)>;
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
