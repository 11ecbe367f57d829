#pragma once
// A tiny HTTP/1.0 server on 127.0.0.1 standing in for the vendor's web
// server: one status and body for every request, requests kept in order.
#include <atomic>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

class LoopbackServer {
public:
  LoopbackServer(int status, std::string body);
  ~LoopbackServer();
  LoopbackServer(const LoopbackServer&) = delete;
  LoopbackServer& operator=(const LoopbackServer&) = delete;

  bool listening() const { return listenFd_ >= 0; }
  std::wstring baseUrl() const;
  std::vector<std::string> requests();
  void setReply(int status, std::string body);

private:
  void serve();

  int listenFd_ = -1;
  int port_ = 0;
  std::atomic<bool> stop_{false};
  std::mutex mutex_;
  int status_;
  std::string body_;
  std::vector<std::string> requests_;
  std::thread thread_;
};
