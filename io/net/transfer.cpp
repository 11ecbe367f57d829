#include "io/net/transfer.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <memory>
#include <mutex>

#include "base/error.h"
#include "base/log.h"
#include "base/sync.h"
#include "base/text.h"
#include "io/net/transfer_internal.h"
#include "io/net/transfer_protocol.h"

namespace {

constexpr int kDefaultPortBase = 22352;
constexpr int kListenPortCount = 10;
constexpr int kPollMs = 100;
constexpr int32_t kThreadStopWaitMs = 1000;
constexpr float kProgressComplete = 999.9f;

struct Shared {
  std::mutex mutex;
  int status = kTransferInitializing;
  float progress = 0;
  std::string file;
  std::string peer;
  uint64_t bytes = 0;
  std::wstring video;
  std::wstring log;
  uint64_t generation = 0;
  int portBase = -1;
  std::shared_ptr<TransferServer> server;
  SyncHandle responder = 0;
  SyncHandle listener = 0;
  // The getters' results, valid until their next call.
  std::wstring statusText;
  std::wstring videoCopy;
  std::wstring logCopy;
};

Shared& shared() {
  static Shared instance;
  return instance;
}

int portBase() {
  Shared& s = shared();
  std::lock_guard<std::mutex> lock(s.mutex);
  if (s.portBase >= 0) return s.portBase;
  const char* env = std::getenv("QV_TRANSFER_PORT_BASE");
  if (env != nullptr && *env != 0) {
    long value = std::strtol(env, nullptr, 10);
    if (value >= 0 && value <= 65535 - kListenPortCount) return static_cast<int>(value);
  }
  return kDefaultPortBase;
}

int boundPort(int fd) {
  sockaddr_in address{};
  socklen_t size = sizeof address;
  if (getsockname(fd, reinterpret_cast<sockaddr*>(&address), &size) != 0) return 0;
  return ntohs(address.sin_port);
}

bool bindAny(int fd, int port) {
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_ANY);
  address.sin_port = htons(static_cast<uint16_t>(port));
  return bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
}

// Thread arguments: each thread holds the run until it returns.
std::shared_ptr<TransferServer> takeServer(void* arg) {
  auto* held = static_cast<std::shared_ptr<TransferServer>*>(arg);
  std::shared_ptr<TransferServer> server = *held;
  delete held;
  return server;
}

std::string discoveryReply(int tcpPort) {
  std::string reply(kDiscoveryReply, kTransferMagicBytes);
  reply.push_back(static_cast<char>((tcpPort >> 8) & 0xFF));
  reply.push_back(static_cast<char>(tcpPort & 0xFF));
  char host[256] = {};
  if (gethostname(host, sizeof host - 1) == 0) reply.append(host, strnlen(host, kDiscoveryNameMaxBytes));
  return reply;
}

void responderThread(void* arg) {
  std::shared_ptr<TransferServer> server = takeServer(arg);
  const std::string reply = discoveryReply(server->tcpPort);
  while (!server->stopping()) {
    pollfd entry{server->udp, POLLIN, 0};
    if (poll(&entry, 1, kPollMs) <= 0) continue;
    char query[512];
    sockaddr_storage from{};
    socklen_t fromSize = sizeof from;
    ssize_t got = recvfrom(server->udp, query, sizeof query, 0, reinterpret_cast<sockaddr*>(&from), &fromSize);
    if (got < static_cast<ssize_t>(kTransferMagicBytes) || std::memcmp(query, kDiscoveryQuery, kTransferMagicBytes) != 0)
      continue;
    sendto(server->udp, reply.data(), reply.size(), MSG_NOSIGNAL, reinterpret_cast<sockaddr*>(&from), fromSize);
  }
}

std::string peerText(const sockaddr_in& address) {
  char text[INET_ADDRSTRLEN] = {};
  inet_ntop(AF_INET, &address.sin_addr, text, sizeof text);
  return text;
}

// One push at a time; once one is complete the server only waits to be
// stopped, so the files it announced stay the ones the window reads.
void listenerThread(void* arg) {
  std::shared_ptr<TransferServer> server = takeServer(arg);
  TransferPublishStatus(*server, kTransferWaiting);
  bool complete = false;
  while (!server->stopping()) {
    if (complete) {
      poll(nullptr, 0, kPollMs);
      continue;
    }
    pollfd entry{server->tcp, POLLIN, 0};
    if (poll(&entry, 1, kPollMs) <= 0) continue;
    sockaddr_in from{};
    socklen_t fromSize = sizeof from;
    int client = accept4(server->tcp, reinterpret_cast<sockaddr*>(&from), &fromSize, SOCK_CLOEXEC | SOCK_NONBLOCK);
    if (client < 0) continue;
    const std::string peer = peerText(from);
    LogPrintf(L"Incoming transfer connection from %S", peer.c_str());
    TransferPublishStatus(*server, kTransferConnecting, {}, peer);
    complete = TransferReceivePush(*server, client, peer);
    close(client);
  }
}

int startFailed(const wchar_t* why, int code) {
  LogPrintf(L"%s", why);
  TransferEnd();
  Shared& s = shared();
  std::lock_guard<std::mutex> lock(s.mutex);
  s.status = code;
  return ErrorSet(code, "TransferStart");
}

int openSockets(TransferServer& server, int base) {
  server.udp = socket(AF_INET, SOCK_DGRAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
  if (server.udp < 0) return startFailed(L"Failed to create UDP socket", kErrNetwork);
  if (!bindAny(server.udp, base)) return startFailed(L"Failed to bind UDP socket", kErrNetwork);
  pollfd writable{server.udp, POLLOUT, 0};
  if (poll(&writable, 1, 0) != 1) return startFailed(L"UDP socket not writable", kErrNetwork);
  server.tcp = socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
  if (server.tcp < 0) return startFailed(L"Failed to create TCP socket", kErrNetwork);
  int reuse = 1;
  setsockopt(server.tcp, SOL_SOCKET, SO_REUSEADDR, &reuse, sizeof reuse);
  bool bound = false;
  for (int port = base; !bound && port < base + (base == 0 ? 1 : kListenPortCount); ++port) bound = bindAny(server.tcp, port);
  if (!bound) return startFailed(L"Failed to bind TCP socket", kErrNetwork);
  if (listen(server.tcp, 1) != 0) return startFailed(L"Failed to listen on TCP socket", kErrNetwork);
  server.udpPort = boundPort(server.udp);
  server.tcpPort = boundPort(server.tcp);
  return kOk;
}

SyncHandle startThread(SyncThreadProc proc, const std::shared_ptr<TransferServer>& server) {
  auto* held = new std::shared_ptr<TransferServer>(server);
  SyncHandle handle = SyncThreadCreate(nullptr, 0, proc, held, 0, nullptr);
  if (handle == 0) delete held;
  return handle;
}

void stopThread(SyncHandle handle) {
  if (handle == 0) return;
  if (SyncWait(handle, kThreadStopWaitMs) != kSyncSignalled) {
    SyncThreadTerminate(handle, 0);
    ErrorSet(kErrTimeout, "TransferEnd");
  }
  SyncHandleClose(handle);
}

const wchar_t* keepCopy(std::wstring& buffer, const std::wstring& text) {
  buffer = text;
  return buffer.c_str();
}

} // namespace

TransferServer::~TransferServer() {
  if (udp >= 0) close(udp);
  if (tcp >= 0) close(tcp);
}

bool TransferServer::stopping() const { return state.load() == kStopRequest || SyncThreadShouldStop(); }

void TransferStart() {
  TransferEnd();
  Shared& s = shared();
  auto server = std::make_shared<TransferServer>();
  {
    std::lock_guard<std::mutex> lock(s.mutex);
    s.status = kTransferInitializing;
    s.progress = 0;
    s.video.clear();
    s.log.clear();
    server->generation = ++s.generation;
    s.server = server;
  }
  if (openSockets(*server, portBase()) != kOk) return;
  LogPrintf(L"Waiting for incoming transfers (discovery port %d, transfer port %d)", server->udpPort,
            server->tcpPort);
  SyncHandle listener = startThread(listenerThread, server);
  SyncHandle responder = listener != 0 ? startThread(responderThread, server) : 0;
  {
    std::lock_guard<std::mutex> lock(s.mutex);
    s.listener = listener;
    s.responder = responder;
  }
  if (responder == 0) startFailed(L"Failed to start the transfer threads", kErrNoThread);
}

void TransferEnd() {
  Shared& s = shared();
  std::shared_ptr<TransferServer> server;
  SyncHandle listener;
  SyncHandle responder;
  {
    std::lock_guard<std::mutex> lock(s.mutex);
    s.status = kTransferInitializing;
    ++s.generation;
    server.swap(s.server);
    listener = s.listener;
    responder = s.responder;
    s.listener = s.responder = 0;
  }
  if (!server) return;
  LogPrintf(L"Stopping incoming network connections...");
  server->state = TransferServer::kStopRequest;
  stopThread(responder);
  stopThread(listener);
}

float TransferGetProgress() {
  std::lock_guard<std::mutex> lock(shared().mutex);
  return shared().progress;
}

int TransferGetStatus() {
  std::lock_guard<std::mutex> lock(shared().mutex);
  return shared().status;
}

const wchar_t* TransferGetStatusText() {
  Shared& s = shared();
  std::lock_guard<std::mutex> lock(s.mutex);
  std::wstring peer = Utf8ToWide(s.peer);
  std::wstring text;
  switch (s.status) {
  case kTransferInitializing: text = L"Initializing..."; break;
  case kTransferWaiting: text = L"Waiting for Incoming Connection..."; break;
  case kTransferConnecting: text = L"Connecting..."; break;
  case kTransferReceiving: text = L"Receiving '" + Utf8ToWide(s.file) + L"' from " + peer + L"..."; break;
  case kTransferInterrupted:
    text = L"The transfer from " + peer + L" broke off; nothing was kept. Waiting for Incoming Connection...";
    break;
  case kTransferNoSpace:
    text = WcsFormat(L"Not enough free disk space for the %.1f MB from %s. Waiting for Incoming Connection...",
                     static_cast<double>(s.bytes) / (1024.0 * 1024.0), peer.c_str());
    break;
  case kTransferComplete: text = L"Transfer Complete"; break;
  default: text = WcsFormat(s.status < 0 ? L"Error %d" : L"Status %d", s.status); break;
  }
  return keepCopy(s.statusText, text);
}

const wchar_t* TransferGetLogFile() {
  std::lock_guard<std::mutex> lock(shared().mutex);
  return keepCopy(shared().logCopy, shared().log);
}

const wchar_t* TransferGetVideoFile() {
  std::lock_guard<std::mutex> lock(shared().mutex);
  return keepCopy(shared().videoCopy, shared().video);
}

void TransferSetPortBase(int base) {
  std::lock_guard<std::mutex> lock(shared().mutex);
  shared().portBase = base >= 0 && base <= 65535 - kListenPortCount ? base : -1;
}

int TransferGetDiscoveryPort() {
  std::lock_guard<std::mutex> lock(shared().mutex);
  return shared().server ? shared().server->udpPort : 0;
}

int TransferGetListenPort() {
  std::lock_guard<std::mutex> lock(shared().mutex);
  return shared().server ? shared().server->tcpPort : 0;
}

void TransferPublishStatus(const TransferServer& server, int status, const std::string& file,
                           const std::string& peer, uint64_t bytes) {
  Shared& s = shared();
  std::lock_guard<std::mutex> lock(s.mutex);
  if (server.generation != s.generation) return;
  s.status = status;
  s.file = file;
  if (!peer.empty()) s.peer = peer;
  s.bytes = bytes;
  if (status != kTransferReceiving && status != kTransferComplete) s.progress = 0;
}

void TransferPublishProgress(const TransferServer& server, float percent) {
  Shared& s = shared();
  std::lock_guard<std::mutex> lock(s.mutex);
  if (server.generation == s.generation) s.progress = percent;
}

void TransferPublishFiles(const TransferServer& server, const std::string& video, const std::string& log) {
  Shared& s = shared();
  std::lock_guard<std::mutex> lock(s.mutex);
  if (server.generation != s.generation) return;
  s.video = Utf8ToWide(video);
  s.log = Utf8ToWide(log);
  s.progress = kProgressComplete;
  s.status = kTransferComplete;
}
