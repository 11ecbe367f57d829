#include "ui/shell/instance_handover.h"

#include <QDataStream>
#include <QDeadlineTimer>
#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QStandardPaths>
#include <QThread>
#include <algorithm>

#include "base/error.h"
#include "io/files/session.h"

namespace {

// A hand-over: its byte count, then the magic and the list of paths.
constexpr quint32 kMagic = 0x51564831; // "QVH1"
constexpr quint32 kMaxBytes = 1 << 20;
constexpr int kMaxPaths = 4096;
// The running program's words: the files arrived, then either it took them
// or it ends without them.
constexpr char kReceived = 'R';
constexpr char kTaken = 'K';
constexpr char kEnding = 'E';

QByteArray encode(const QStringList& paths) {
  QByteArray body;
  {
    QDataStream out(&body, QIODevice::WriteOnly);
    out << kMagic << paths;
  }
  QByteArray message;
  QDataStream head(&message, QIODevice::WriteOnly);
  head << static_cast<quint32>(body.size());
  return message + body;
}

// The paths of a whole message, or nothing when it is not one of ours.
bool decode(const QByteArray& body, QStringList* paths) {
  QDataStream in(body);
  quint32 magic = 0;
  in >> magic;
  if (magic != kMagic) return false;
  in >> *paths;
  return in.status() == QDataStream::Ok && paths->size() <= kMaxPaths;
}

} // namespace

QString HandOverSocketPath() {
  const QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
  return QDir(folder.isEmpty() ? QDir::tempPath() : folder).filePath("quelvatron-handover");
}

HandOverAnswer HandOverToRunning(const QStringList& paths, int timeoutMs) {
  QLocalSocket socket;
  socket.connectToServer(HandOverSocketPath());
  if (!socket.waitForConnected(timeoutMs)) return HandOverAnswer::kNone;
  socket.write(encode(paths));
  if (!socket.waitForBytesWritten(timeoutMs)) return HandOverAnswer::kNone;
  if (!socket.waitForReadyRead(timeoutMs)) return HandOverAnswer::kNone;
  QByteArray words = socket.readAll();
  if (!words.startsWith(kReceived)) return HandOverAnswer::kNone;
  words.remove(0, 1);
  // A question may stand open there (whether to save before quitting) for
  // as long as the user takes; the program answers once it has decided, or
  // dies, which ends the connection.
  while (words.isEmpty() && socket.state() == QLocalSocket::ConnectedState) {
    socket.waitForReadyRead(1000);
    words += socket.readAll();
  }
  if (words.startsWith(kTaken)) return HandOverAnswer::kTaken;
  if (words.startsWith(kEnding)) return HandOverAnswer::kEnding;
  return HandOverAnswer::kNone;
}

HandOverResult HandOverWhileRunning(const QStringList& paths, int timeoutMs) {
  QDeadlineTimer deadline(timeoutMs);
  do {
    // One attempt may use all the time left: a second would hand the files
    // over twice.
    const int left = static_cast<int>(std::max<qint64>(1, deadline.remainingTime()));
    const HandOverAnswer answer = HandOverToRunning(paths, left);
    if (answer == HandOverAnswer::kTaken) return HandOverResult::kTaken;
    if (answer == HandOverAnswer::kEnding) {
      qInfo("The running program is ending: this one starts once it has ended");
      // Its end, not its answer, is what is waited for now.
      deadline = QDeadlineTimer(timeoutMs);
    }
    if (SessionClaimTempFolder() != kErrAlreadyRunning) return HandOverResult::kOwnFolder;
    QThread::msleep(50);
  } while (!deadline.hasExpired());
  return HandOverResult::kNoAnswer;
}

HandOver::HandOver(QStringList paths, QLocalSocket* sender)
    : paths_(std::move(paths)), fromLaunch_(sender != nullptr), sender_(sender) {}

bool HandOver::abandoned() const {
  return fromLaunch_ && !answered_ && (sender_.isNull() || sender_->state() != QLocalSocket::ConnectedState);
}

void HandOver::taken() { answer(kTaken); }

void HandOver::refused() { answer(kEnding); }

void HandOver::answer(char word) {
  if (answered_) return;
  answered_ = true;
  if (sender_.isNull() || sender_->state() != QLocalSocket::ConnectedState) return;
  sender_->write(QByteArray(1, word));
  sender_->flush();
  sender_->disconnectFromServer();
}

HandOverServer::HandOverServer(Receiver receiver, QObject* parent)
    : QObject(parent), receiver_(std::move(receiver)), server_(new QLocalServer(this)) {
  server_->setSocketOptions(QLocalServer::UserAccessOption);
  connect(server_, &QLocalServer::newConnection, this, &HandOverServer::accept);
}

HandOverServer::~HandOverServer() { close(); }

void HandOverServer::close() { server_->close(); }

bool HandOverServer::listen() {
  const QString path = HandOverSocketPath();
  if (server_->listen(path)) return true;
  if (server_->serverError() != QAbstractSocket::AddressInUseError) return false;
  // Someone answers there: the program already runs.
  QLocalSocket probe;
  probe.connectToServer(path);
  if (probe.waitForConnected(500)) return false;
  // A socket left behind by a program that ended without closing it.
  QLocalServer::removeServer(path);
  return server_->listen(path);
}

void HandOverServer::accept() {
  while (QLocalSocket* socket = server_->nextPendingConnection()) {
    connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
    connect(socket, &QLocalSocket::readyRead, this, [this, socket]() { read(socket); });
    read(socket);
  }
}

void HandOverServer::read(QLocalSocket* socket) {
  if (socket->bytesAvailable() < static_cast<qint64>(sizeof(quint32))) return;
  QDataStream head(socket->peek(sizeof(quint32)));
  quint32 size = 0;
  head >> size;
  if (size > kMaxBytes) {
    socket->abort();
    return;
  }
  if (socket->bytesAvailable() < static_cast<qint64>(sizeof(quint32) + size)) return;
  socket->read(sizeof(quint32));
  QStringList paths;
  const bool ours = decode(socket->read(size), &paths);
  if (!ours) {
    socket->abort();
    return;
  }
  // Only receipt now: the answer waits until the files are taken for good.
  disconnect(socket, &QLocalSocket::readyRead, this, nullptr);
  socket->write(QByteArray(1, kReceived));
  socket->flush();
  auto handOver = std::make_shared<HandOver>(paths, socket);
  // Passed on after this returns: taking the files may ask the user questions.
  if (receiver_)
    QMetaObject::invokeMethod(this, [this, handOver]() { receiver_(handOver); }, Qt::QueuedConnection);
}
