#include "support/transfer_client.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>

namespace {

sockaddr_in loopback(int port) {
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  address.sin_port = htons(static_cast<uint16_t>(port));
  return address;
}

std::string bigEndian(uint64_t value, int bytes) {
  std::string out;
  for (int i = bytes - 1; i >= 0; --i) out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
  return out;
}

} // namespace

std::string TransferDiscover(int udpPort, int timeoutMs) {
  int fd = socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
  if (fd < 0) return {};
  sockaddr_in to = loopback(udpPort);
  std::string reply;
  if (sendto(fd, "QVTA1Q", 6, 0, reinterpret_cast<sockaddr*>(&to), sizeof to) == 6) {
    pollfd entry{fd, POLLIN, 0};
    char buffer[512];
    if (poll(&entry, 1, timeoutMs) == 1) {
      ssize_t got = recv(fd, buffer, sizeof buffer, 0);
      if (got > 0) reply.assign(buffer, static_cast<size_t>(got));
    }
  }
  close(fd);
  return reply;
}

TransferPushClient::~TransferPushClient() { Close(); }

bool TransferPushClient::Connect(int tcpPort) {
  Close();
  fd_ = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in to = loopback(tcpPort);
  return fd_ >= 0 && connect(fd_, reinterpret_cast<sockaddr*>(&to), sizeof to) == 0;
}

bool TransferPushClient::SendHeader(int fileCount, uint64_t totalBytes) {
  return SendBytes("QVTA1P" + bigEndian(static_cast<uint64_t>(fileCount), 1) + bigEndian(totalBytes, 8));
}

bool TransferPushClient::SendFileHeader(char kind, const std::string& name, uint64_t size) {
  return SendBytes(std::string(1, kind) + bigEndian(name.size(), 2) + name + bigEndian(size, 8));
}

bool TransferPushClient::SendBytes(const std::string& bytes) {
  size_t done = 0;
  while (fd_ >= 0 && done < bytes.size()) {
    ssize_t sent = send(fd_, bytes.data() + done, bytes.size() - done, MSG_NOSIGNAL);
    if (sent <= 0) return false;
    done += static_cast<size_t>(sent);
  }
  return fd_ >= 0;
}

std::string TransferPushClient::Read(size_t count, int timeoutMs) {
  std::string answer;
  char buffer[16];
  while (fd_ >= 0 && answer.size() < count) {
    pollfd entry{fd_, POLLIN, 0};
    if (poll(&entry, 1, timeoutMs) != 1) break;
    ssize_t got = recv(fd_, buffer, std::min(sizeof buffer, count - answer.size()), 0);
    if (got <= 0) break;
    answer.append(buffer, static_cast<size_t>(got));
  }
  return answer;
}

void TransferPushClient::Close() {
  if (fd_ >= 0) close(fd_);
  fd_ = -1;
}

std::string TransferPushClient::PushFiles(int tcpPort, const std::string& videoName, const std::string& video,
                                          const std::string& logName, const std::string& log) {
  TransferPushClient client;
  int count = (videoName.empty() ? 0 : 1) + (logName.empty() ? 0 : 1);
  if (!client.Connect(tcpPort) || !client.SendHeader(count, video.size() + log.size())) return {};
  std::string answers = client.Read(1);
  if (answers != "A") return answers + client.Read(1, 500);
  if (!videoName.empty() && !(client.SendFileHeader('V', videoName, video.size()) && client.SendBytes(video)))
    return answers;
  if (!logName.empty() && !(client.SendFileHeader('D', logName, log.size()) && client.SendBytes(log))) return answers;
  return answers + client.Read(1, 15000);
}
