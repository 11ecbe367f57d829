#include "ui/support/loopback_server.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>

namespace {

bool readable(int fd, int timeoutMs) {
  pollfd entry{fd, POLLIN, 0};
  return poll(&entry, 1, timeoutMs) > 0;
}

size_t announcedLength(const std::string& head) {
  for (const char* key : {"Content-Length:", "content-length:"}) {
    size_t at = head.find(key);
    if (at != std::string::npos) return std::strtoul(head.c_str() + at + std::strlen(key), nullptr, 10);
  }
  return 0;
}

std::string readRequest(int client) {
  std::string request;
  char chunk[4096];
  while (request.size() < (4u << 20) && readable(client, 3000)) {
    ssize_t got = recv(client, chunk, sizeof chunk, 0);
    if (got <= 0) break;
    request.append(chunk, static_cast<size_t>(got));
    size_t headEnd = request.find("\r\n\r\n");
    if (headEnd != std::string::npos && request.size() >= headEnd + 4 + announcedLength(request.substr(0, headEnd))) {
      break;
    }
  }
  return request;
}

} // namespace

LoopbackServer::LoopbackServer(int status, std::string body) : status_(status), body_(std::move(body)) {
  int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t size = sizeof address;
  if (fd >= 0 && bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 && listen(fd, 8) == 0 &&
      getsockname(fd, reinterpret_cast<sockaddr*>(&address), &size) == 0) {
    listenFd_ = fd;
    port_ = ntohs(address.sin_port);
    thread_ = std::thread([this] { serve(); });
  } else if (fd >= 0) {
    close(fd);
  }
}

LoopbackServer::~LoopbackServer() {
  stop_ = true;
  if (thread_.joinable()) thread_.join();
  if (listenFd_ >= 0) close(listenFd_);
}

std::wstring LoopbackServer::baseUrl() const {
  std::string url = "http://127.0.0.1:" + std::to_string(port_) + "/";
  return std::wstring(url.begin(), url.end());
}

std::vector<std::string> LoopbackServer::requests() {
  std::lock_guard<std::mutex> lock(mutex_);
  return requests_;
}

void LoopbackServer::setReply(int status, std::string body) {
  std::lock_guard<std::mutex> lock(mutex_);
  status_ = status;
  body_ = std::move(body);
}

void LoopbackServer::serve() {
  while (!stop_) {
    if (!readable(listenFd_, 50)) continue;
    int client = accept4(listenFd_, nullptr, nullptr, SOCK_CLOEXEC);
    if (client < 0) continue;
    std::string request = readRequest(client);
    std::string reply;
    {
      std::lock_guard<std::mutex> lock(mutex_);
      requests_.push_back(request);
      reply = "HTTP/1.0 " + std::to_string(status_) + " Answer\r\nContent-Type: text/plain\r\nContent-Length: " +
              std::to_string(body_.size()) + "\r\n\r\n" + body_;
    }
    size_t done = 0;
    while (done < reply.size()) {
      ssize_t sent = send(client, reply.data() + done, reply.size() - done, MSG_NOSIGNAL);
      if (sent <= 0) break;
      done += static_cast<size_t>(sent);
    }
    close(client);
  }
}
