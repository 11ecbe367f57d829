#include "support/loopback_http_server.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <cstring>

namespace {

constexpr size_t kMaxRequestBytes = 16u << 20;
constexpr int kReadWaitMs = 3000;
constexpr int kHoldMs = 60000;
constexpr int kPoliteCloseMs = 5000;

int bindLoopback(int* port) {
  int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) return -1;
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t size = sizeof address;
  if (bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 || listen(fd, 8) != 0 ||
      getsockname(fd, reinterpret_cast<sockaddr*>(&address), &size) != 0) {
    close(fd);
    return -1;
  }
  *port = ntohs(address.sin_port);
  return fd;
}

bool waitReadable(int fd, int timeoutMs) {
  pollfd entry{fd, POLLIN, 0};
  return poll(&entry, 1, timeoutMs) > 0;
}

size_t contentLength(const std::string& head) {
  for (const char* key : {"Content-Length:", "content-length:"}) {
    size_t at = head.find(key);
    if (at != std::string::npos) return std::strtoul(head.c_str() + at + std::strlen(key), nullptr, 10);
  }
  return 0;
}

void sendAll(int fd, const std::string& data) {
  size_t done = 0;
  while (done < data.size()) {
    ssize_t sent = send(fd, data.data() + done, data.size() - done, MSG_NOSIGNAL);
    if (sent <= 0) return;
    done += static_cast<size_t>(sent);
  }
}

int hexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

} // namespace

LoopbackHttpServer::LoopbackHttpServer(int status, std::string body) : status_(status), body_(std::move(body)) {
  listenFd_ = bindLoopback(&port_);
  if (listenFd_ >= 0) thread_ = std::thread([this] { serve(); });
}

LoopbackHttpServer::~LoopbackHttpServer() {
  stop_ = true;
  if (thread_.joinable()) thread_.join();
  if (listenFd_ >= 0) close(listenFd_);
}

std::wstring LoopbackHttpServer::baseUrl() const {
  std::string url = "http://127.0.0.1:" + std::to_string(port_) + "/";
  return std::wstring(url.begin(), url.end());
}

std::vector<std::string> LoopbackHttpServer::requests() {
  std::lock_guard<std::mutex> lock(mutex_);
  return requests_;
}

int LoopbackHttpServer::UnusedPort() {
  int port = 0;
  int fd = bindLoopback(&port);
  if (fd >= 0) close(fd);
  return port;
}

void LoopbackHttpServer::serve() {
  while (!stop_) {
    if (!waitReadable(listenFd_, 50)) continue;
    int client = accept4(listenFd_, nullptr, nullptr, SOCK_CLOEXEC);
    if (client < 0) continue;
    answer(client);
    close(client);
  }
}

void LoopbackHttpServer::setReply(int status, std::string body) {
  std::lock_guard<std::mutex> lock(mutex_);
  status_ = status;
  body_ = std::move(body);
  rawSet_ = false;
}

void LoopbackHttpServer::setRawReply(std::string raw, size_t split) {
  std::lock_guard<std::mutex> lock(mutex_);
  raw_ = std::move(raw);
  rawSplit_ = split;
  rawSet_ = true;
}

void LoopbackHttpServer::setAnswer(Answer answer, int tailWaitMs) {
  std::lock_guard<std::mutex> lock(mutex_);
  answer_ = answer;
  tailWaitMs_ = tailWaitMs;
}

// Reads the head and then, unless the answer comes after the head, as
// much body as the head announces (bounded) and what follows it in time.
std::string LoopbackHttpServer::readRequest(int client, Answer answer, int tailWaitMs) {
  std::string request;
  char chunk[8192];
  const bool headOnly = answer == Answer::kAfterHead || answer == Answer::kStallAfterHead;
  while (!stop_ && request.size() < kMaxRequestBytes && waitReadable(client, kReadWaitMs)) {
    ssize_t got = recv(client, chunk, headOnly ? 1 : sizeof chunk, 0);
    if (got <= 0) break;
    request.append(chunk, static_cast<size_t>(got));
    size_t headEnd = request.find("\r\n\r\n");
    if (headEnd == std::string::npos) continue;
    if (headOnly) break;
    if (request.size() >= headEnd + 4 + contentLength(request.substr(0, headEnd))) {
      while (tailWaitMs > 0 && waitReadable(client, tailWaitMs) && (got = recv(client, chunk, sizeof chunk, 0)) > 0)
        request.append(chunk, static_cast<size_t>(got));
      break;
    }
  }
  return request;
}

// Keeps the connection open until the sender closes it, the server stops
// or the time is up.
void LoopbackHttpServer::hold(int client, bool reading, int limitMs) {
  char chunk[8192];
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(limitMs);
  while (!stop_ && std::chrono::steady_clock::now() < deadline) {
    if (!reading) {
      waitReadable(client, 50);
      pollfd entry{client, POLLRDHUP, 0};
      if (poll(&entry, 1, 0) > 0 && (entry.revents & (POLLRDHUP | POLLHUP | POLLERR)) != 0) return;
      continue;
    }
    if (!waitReadable(client, 50)) continue;
    if (recv(client, chunk, sizeof chunk, 0) <= 0) return;
  }
}

void LoopbackHttpServer::answer(int client) {
  Answer answer;
  int tailWaitMs;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    answer = answer_;
    tailWaitMs = tailWaitMs_;
  }
  std::string request = readRequest(client, answer, tailWaitMs);
  std::string reply;
  size_t split = std::string::npos;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    requests_.push_back(request);
    if (rawSet_) split = rawSplit_;
    reply = rawSet_ ? raw_
                    : "HTTP/1.0 " + std::to_string(status_) + " Answer\r\nContent-Type: text/plain\r\n" +
                          "Content-Length: " + std::to_string(body_.size()) + "\r\n\r\n" + body_;
  }
  if (answer == Answer::kNever || answer == Answer::kStallAfterHead) {
    hold(client, answer == Answer::kNever, kHoldMs);
    return;
  }
  if (split < reply.size()) {
    sendAll(client, reply.substr(0, split));
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    reply.erase(0, split);
  }
  sendAll(client, reply);
  // A polite end: our side closed, the rest of the request read and
  // dropped, so the sender gets the whole reply rather than a reset.
  shutdown(client, SHUT_WR);
  hold(client, true, kPoliteCloseMs);
}

std::string FormField(const std::string& form, const std::string& name) {
  size_t start = 0;
  while (start <= form.size()) {
    size_t end = form.find('&', start);
    if (end == std::string::npos) end = form.size();
    std::string pair = form.substr(start, end - start);
    if (pair.rfind(name + "=", 0) == 0) {
      std::string value;
      for (size_t i = name.size() + 1; i < pair.size(); ++i) {
        if (pair[i] == '+') {
          value.push_back(' ');
        } else if (pair[i] == '%' && i + 2 < pair.size() && hexValue(pair[i + 1]) >= 0 &&
                   hexValue(pair[i + 2]) >= 0) {
          value.push_back(static_cast<char>(hexValue(pair[i + 1]) * 16 + hexValue(pair[i + 2])));
          i += 2;
        } else {
          value.push_back(pair[i]);
        }
      }
      return value;
    }
    start = end + 1;
  }
  return {};
}

std::string RequestBody(const std::string& request) {
  size_t headEnd = request.find("\r\n\r\n");
  return headEnd == std::string::npos ? std::string() : request.substr(headEnd + 4);
}
