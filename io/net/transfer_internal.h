#pragma once
// Shared between the transfer server's facade and its receiving side.
#include <atomic>
#include <cstdint>
#include <string>

// One run of the server, shared by the facade and both threads, so the
// sockets are closed only when the last of them lets go (a thread that
// missed its stop time never finds its socket number reused).
struct TransferServer {
  TransferServer() = default;
  ~TransferServer();
  TransferServer(const TransferServer&) = delete;
  TransferServer& operator=(const TransferServer&) = delete;

  // 99 asks both threads to stop.
  static constexpr int kStopRequest = 99;
  bool stopping() const;

  int udp = -1;
  int tcp = -1;
  int udpPort = 0;
  int tcpPort = 0;
  // Only the current run may change what the getters show.
  uint64_t generation = 0;
  std::atomic<int> state{0};
};

// What the getters show; ignored when the server is no longer the current one.
void TransferPublishStatus(const TransferServer& server, int status, const std::string& file = {},
                           const std::string& peer = {}, uint64_t bytes = 0);
void TransferPublishProgress(const TransferServer& server, float percent);
void TransferPublishFiles(const TransferServer& server, const std::string& video, const std::string& log);

// Receives one push on an accepted connection; true once its files are
// stored and named. Otherwise nothing of it is left on disk and the status
// says why.
bool TransferReceivePush(TransferServer& server, int client, const std::string& peer);
