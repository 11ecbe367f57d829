#include "base/log_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

int OpenPrivateFileForWriting(const std::string& path) {
  int fd;
  do {
    fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC, 0600);
  } while (fd < 0 && errno == EINTR);
  return fd;
}

std::string ReadFileHead(const std::string& path, size_t maxBytes) {
  std::string data;
  int fd = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
  if (fd < 0) return data;
  char chunk[65536];
  while (data.size() < maxBytes) {
    size_t want = maxBytes - data.size();
    if (want > sizeof chunk) want = sizeof chunk;
    ssize_t got = ::read(fd, chunk, want);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) break;
    data.append(chunk, static_cast<size_t>(got));
  }
  ::close(fd);
  return data;
}
