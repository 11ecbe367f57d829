// One push on an accepted connection: read with short waits so a stop is
// seen within 100 ms, written into temporaries, named only when the whole
// push has arrived.
#include <poll.h>
#include <sys/socket.h>

#include <cerrno>
#include <chrono>
#include <memory>
#include <vector>

#include "base/error.h"
#include "base/log.h"
#include "io/net/transfer.h"
#include "io/net/transfer_files.h"
#include "io/net/transfer_internal.h"
#include "io/net/transfer_protocol.h"

namespace {

constexpr int kPollMs = 100;
// A sender silent this long has gone; the listener is freed for the next.
constexpr auto kIdleLimit = std::chrono::seconds(30);
constexpr size_t kReceiveChunk = 256 * 1024;

bool sendBytes(int client, const char* bytes, size_t size) {
  while (size > 0) {
    ssize_t sent = send(client, bytes, size, MSG_NOSIGNAL);
    if (sent < 0 && (errno == EINTR || errno == EAGAIN)) {
      pollfd entry{client, POLLOUT, 0};
      if (poll(&entry, 1, kPollMs * 10) <= 0) return false;
      continue;
    }
    if (sent <= 0) return false;
    bytes += sent;
    size -= static_cast<size_t>(sent);
  }
  return true;
}

class ReceiveSession : public PushSink {
public:
  ReceiveSession(TransferServer& server, int client, std::string peer)
      : server_(server), client_(client), peer_(std::move(peer)) {}

  bool pushBegin(int fileCount, uint64_t totalBytes) override {
    if (folder_.Open(TransferFolderPath()) != 0) {
      LogPrintf(L"Transfer refused: the folder '%S' cannot be made", TransferFolderPath().c_str());
      refuse(kPushRefuseBadRequest);
      failureStatus_ = kErrOpen;
      return false;
    }
    if (totalBytes > folder_.FreeBytes()) {
      LogPrintf(L"Transfer of %llu bytes from %S refused: only %llu bytes free", (unsigned long long)totalBytes,
                peer_.c_str(), (unsigned long long)folder_.FreeBytes());
      refuse(kPushRefuseNoSpace);
      failureStatus_ = kTransferNoSpace;
      failureBytes_ = totalBytes;
      return false;
    }
    LogPrintf(L"Receiving %d file(s), %llu bytes, from %S", fileCount, (unsigned long long)totalBytes, peer_.c_str());
    return sendBytes(client_, &kPushAccept, 1);
  }

  bool fileBegin(const PushFileHeader& file) override {
    auto received = std::make_unique<ReceivedFile>();
    const std::string name = TransferSafeName(file.name, file.kind);
    if (received->Create(folder_, name) != 0) return false;
    files_.push_back({file.kind, std::move(received)});
    TransferPublishStatus(server_, kTransferReceiving, name, peer_);
    TransferPublishProgress(server_, 0);
    return true;
  }

  bool fileData(const uint8_t* data, size_t size) override { return files_.back().file->Write(data, size) == 0; }

  bool fileEnd() override {
    TransferPublishProgress(server_, 100);
    return true;
  }

  // All or nothing: a file that cannot be named takes the others back.
  bool pushEnd() override {
    std::string video;
    std::string log;
    for (Entry& entry : files_) {
      std::string path;
      if (entry.file->Commit(path) != 0) {
        for (Entry& named : files_) named.file->Remove();
        return false;
      }
      (entry.kind == PushKind::kVideo ? video : log) = path;
      LogPrintf(L"Received '%S'", path.c_str());
    }
    sendBytes(client_, &kPushStored, 1);
    TransferPublishFiles(server_, video, log);
    return true;
  }

  int failureStatus() const { return failureStatus_; }
  uint64_t failureBytes() const { return failureBytes_; }

private:
  struct Entry {
    PushKind kind;
    std::unique_ptr<ReceivedFile> file;
  };

  void refuse(uint8_t reason) {
    const char answer[2] = {kPushRefuse, static_cast<char>(reason)};
    sendBytes(client_, answer, sizeof answer);
  }

  TransferServer& server_;
  int client_;
  std::string peer_;
  ReceiveFolder folder_;
  std::vector<Entry> files_; // destroyed before the folder: declared after it
  int failureStatus_ = kTransferInterrupted;
  uint64_t failureBytes_ = 0;
};

} // namespace

bool TransferReceivePush(TransferServer& server, int client, const std::string& peer) {
  ReceiveSession session(server, client, peer);
  PushParser parser;
  std::vector<uint8_t> buffer(kReceiveChunk);
  auto lastHeard = std::chrono::steady_clock::now();
  const char* ended = "the sender stopped sending";
  while (parser.state() == PushParser::State::kRunning) {
    if (server.stopping()) {
      ended = "the server was stopped";
      break;
    }
    pollfd entry{client, POLLIN, 0};
    int ready = poll(&entry, 1, kPollMs);
    if (ready == 0 && std::chrono::steady_clock::now() - lastHeard > kIdleLimit) break;
    if (ready <= 0) continue;
    ssize_t got = recv(client, buffer.data(), buffer.size(), 0);
    if (got < 0 && (errno == EINTR || errno == EAGAIN)) continue;
    if (got <= 0) {
      ended = "the connection closed";
      break;
    }
    lastHeard = std::chrono::steady_clock::now();
    parser.feed(buffer.data(), static_cast<size_t>(got), session);
    if (parser.state() == PushParser::State::kRunning && parser.fileSize() > 0)
      TransferPublishProgress(server, static_cast<float>(100.0 * parser.fileReceived() / parser.fileSize()));
  }
  if (parser.state() == PushParser::State::kComplete) return true;
  if (parser.state() == PushParser::State::kFailed) ended = parser.error().c_str();
  LogPrintf(L"Transfer from %S ended without its files: %S", peer.c_str(), ended);
  TransferPublishStatus(server, session.failureStatus(), {}, peer, session.failureBytes());
  return false;
}
