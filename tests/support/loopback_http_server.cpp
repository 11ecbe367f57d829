#include "support/loopback_http_server.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>

namespace {

constexpr size_t kMaxRequestBytes = 16u << 20;
constexpr int kReadWaitMs = 3000;

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

// Reads the head and then as much body as the head announces (bounded).
std::string readRequest(int client) {
  std::string request;
  char chunk[8192];
  while (request.size() < kMaxRequestBytes && waitReadable(client, kReadWaitMs)) {
    ssize_t got = recv(client, chunk, sizeof chunk, 0);
    if (got <= 0) break;
    request.append(chunk, static_cast<size_t>(got));
    size_t headEnd = request.find("\r\n\r\n");
    if (headEnd != std::string::npos &&
        request.size() >= headEnd + 4 + contentLength(request.substr(0, headEnd))) {
      break;
    }
  }
  return request;
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
}

void LoopbackHttpServer::answer(int client) {
  std::string request = readRequest(client);
  std::string reply;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    requests_.push_back(request);
    reply = "HTTP/1.0 " + std::to_string(status_) + " Answer\r\nContent-Type: text/plain\r\n" +
            "Content-Length: " + std::to_string(body_.size()) + "\r\n\r\n" + body_;
  }
  sendAll(client, reply);
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
