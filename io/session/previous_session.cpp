#include "io/session/previous_session.h"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <functional>

#include "base/text.h"

namespace {

// Bounds what a damaged or huge log can make us hold.
constexpr size_t kMaxLineBytes = 16384;
constexpr size_t kMaxKeptBytes = 8u << 20;

// Calls take(line) for every line of the file; false when it cannot be read.
bool forEachLine(const std::string& path, const std::function<void(std::string&)>& take) {
  int fd = open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
  if (fd < 0) return false;
  std::string line;
  char chunk[65536];
  for (;;) {
    ssize_t got = read(fd, chunk, sizeof chunk);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) break;
    for (ssize_t i = 0; i < got; ++i) {
      if (chunk[i] == '\n') {
        take(line);
        line.clear();
      } else if (line.size() < kMaxLineBytes) {
        line.push_back(chunk[i]);
      }
    }
  }
  if (!line.empty()) take(line);
  close(fd);
  return true;
}

class LineKeeper {
public:
  explicit LineKeeper(size_t maxLines) : maxLines_(maxLines) {}
  void keep(std::string& line) {
    bytes_ += line.size();
    lines_.push_back(std::move(line));
    while (!lines_.empty() && (lines_.size() > maxLines_ || bytes_ > kMaxKeptBytes)) {
      bytes_ -= lines_.front().size();
      lines_.pop_front();
    }
  }
  std::deque<std::string> take() { return std::move(lines_); }

private:
  size_t maxLines_;
  size_t bytes_ = 0;
  std::deque<std::string> lines_;
};

// The text after key on the line, or null.
const char* valueAfter(const std::string& line, const std::string& key) {
  size_t at = line.find(key);
  return at == std::string::npos ? nullptr : line.c_str() + at + key.size();
}

std::string programName(const std::string& cmdlinePath) {
  int fd = open(cmdlinePath.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return {};
  char buffer[4096];
  ssize_t got = read(fd, buffer, sizeof buffer - 1);
  close(fd);
  if (got <= 0) return {};
  buffer[got] = 0;
  std::string first = buffer; // argv[0] ends at the first zero
  size_t slash = first.rfind('/');
  return slash == std::string::npos ? first : first.substr(slash + 1);
}

// The text after key when key opens the line's message (the field after
// the time), else null; quotes in messages are doubled, so no text a
// message carries can pass for it.
const char* messageAfter(const std::string& line, const std::string& key) {
  return valueAfter(line, ",\"" + key);
}

} // namespace

PreviousSessionLog ReadPreviousSessionLog(const std::string& path, size_t maxLines) {
  PreviousSessionLog log;
  LineKeeper keeper(maxLines);
  const std::string idKey = WideToUtf8(kSessionIdLine);
  const std::string pidKey = WideToUtf8(kProcessIdLine);
  const std::string endKey = WideToUtf8(kSessionEndLine);
  const std::string askingKey = WideToUtf8(kRecoveryAskingLine);
  const std::string answeredKey = WideToUtf8(kRecoveryAnsweredLine);
  log.found = forEachLine(path, [&](std::string& line) {
    const char* value = nullptr;
    if (!log.hasSessionId && (value = valueAfter(line, idKey)) != nullptr) {
      char* end = nullptr;
      log.sessionId = std::strtoull(value, &end, 16);
      log.hasSessionId = end != value;
    } else if (log.processId == 0 && (value = valueAfter(line, pidKey)) != nullptr) {
      long pid = std::strtol(value, nullptr, 10);
      log.processId = (pid > 0 && pid < INT32_MAX) ? static_cast<int32_t>(pid) : 0;
    } else if (line.find(endKey) != std::string::npos) {
      log.endedCleanly = true;
    } else if ((value = messageAfter(line, askingKey)) != nullptr) {
      char* end = nullptr;
      log.pendingRecoveryId = std::strtoull(value, &end, 16);
      log.hasPendingRecovery = end != value;
    } else if (messageAfter(line, answeredKey) != nullptr) {
      log.hasPendingRecovery = false;
    }
    keeper.keep(line);
  });
  log.lines = keeper.take();
  return log;
}

std::deque<std::string> ReadLastLines(const std::string& path, size_t maxLines) {
  LineKeeper keeper(maxLines);
  forEachLine(path, [&](std::string& line) { keeper.keep(line); });
  return keeper.take();
}

bool ProcessIsThisProgram(int32_t processId) {
  if (processId <= 0 || processId == getpid()) return false;
  if (kill(processId, 0) != 0 && errno != EPERM) return false;
  std::string theirs = programName("/proc/" + std::to_string(processId) + "/cmdline");
  return !theirs.empty() && theirs == programName("/proc/self/cmdline");
}
