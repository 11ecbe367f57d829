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
constexpr char kTaken = 'K';

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

bool HandOverToRunning(const QStringList& paths, int timeoutMs) {
  QLocalSocket socket;
  socket.connectToServer(HandOverSocketPath());
  if (!socket.waitForConnected(timeoutMs)) return false;
  socket.write(encode(paths));
  if (!socket.waitForBytesWritten(timeoutMs)) return false;
  // The running program answers once it has taken the files.
  if (!socket.waitForReadyRead(timeoutMs)) return false;
  return socket.read(1) == QByteArray(1, kTaken);
}

HandOverResult HandOverWhileRunning(const QStringList& paths, int timeoutMs) {
  QDeadlineTimer deadline(timeoutMs);
  do {
    // One attempt may use all the time left: a second would hand the files
    // over twice.
    const int left = static_cast<int>(std::max<qint64>(1, deadline.remainingTime()));
    if (HandOverToRunning(paths, left)) return HandOverResult::kTaken;
    if (SessionClaimTempFolder() != kErrAlreadyRunning) return HandOverResult::kOwnFolder;
    QThread::msleep(50);
  } while (!deadline.hasExpired());
  return HandOverResult::kNoAnswer;
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
  // Answered first: the launch that sent them may end while they open.
  socket->write(QByteArray(1, kTaken));
  socket->flush();
  socket->disconnectFromServer();
  // Opened after this returns: opening may ask the user questions.
  if (receiver_)
    QMetaObject::invokeMethod(this, [this, paths]() { receiver_(paths); }, Qt::QueuedConnection);
}
