#pragma once
// A small HTTP/1.0 server on 127.0.0.1 standing in for the vendor's web
// server: answers every request with one status and body (changeable) and
// keeps the requests it got.
#include <string>
#include <thread>
#include <vector>
#include <mutex>
#include <atomic>

class LoopbackHttpServer {
public:
  LoopbackHttpServer(int status, std::string body);
  ~LoopbackHttpServer();
  LoopbackHttpServer(const LoopbackHttpServer&) = delete;
  LoopbackHttpServer& operator=(const LoopbackHttpServer&) = delete;

  bool listening() const { return listenFd_ >= 0; }
  int port() const { return port_; }
  std::wstring baseUrl() const;
  // Whole requests (head and body) in arrival order.
  std::vector<std::string> requests();
  void setReply(int status, std::string body);
  // The reply bytes exactly as given, in place of the built one; with a
  // split, the bytes from there on follow 100 ms later.
  void setRawReply(std::string raw, size_t split = std::string::npos);

  // When the next requests are answered: after the whole request (as its
  // Content-Length tells, plus what follows within tailWaitMs); right after
  // the head, with the body still coming; never (the connection is held);
  // never and the body is not even read (the sender stalls).
  enum class Answer { kWhole, kAfterHead, kNever, kStallAfterHead };
  void setAnswer(Answer answer, int tailWaitMs = 0);

  // A port on which nothing listens (bound, then closed again).
  static int UnusedPort();

private:
  void serve();
  void answer(int client);
  std::string readRequest(int client, Answer answer, int tailWaitMs);
  void hold(int client, bool reading, int limitMs);

  int status_;
  std::string body_;
  std::string raw_;
  size_t rawSplit_ = std::string::npos;
  bool rawSet_ = false;
  Answer answer_ = Answer::kWhole;
  int tailWaitMs_ = 0;
  int listenFd_ = -1;
  int port_ = 0;
  std::atomic<bool> stop_{false};
  std::mutex mutex_;
  std::vector<std::string> requests_;
  std::thread thread_;
};

// Form decoding of one field ("+" blank, "%XX" byte); empty when missing.
std::string FormField(const std::string& form, const std::string& name);
// The body of a whole request (after the blank line).
std::string RequestBody(const std::string& request);
