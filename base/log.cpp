// The session log. Each line is the local date and time, a comma and the
// message in double quotes, written with one write() and no buffering so the
// last lines survive a crash (the next start scans them).
#include "base/log.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <ctime>
#include <mutex>
#include <string>
#include <vector>

#include "base/log_file.h"
#include "base/text.h"

namespace {

struct LogState {
  std::mutex mutex;
  int fd = -1;
  std::wstring folder;
  std::wstring path;
  std::wstring oldPath;
  std::wstring outputPath;
};

LogState& State() {
  // Never destroyed: threads may still log while the process exits.
  static auto* state = new LogState();
  return *state;
}

std::string LocalTimeText() {
  std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  char text[32];
  std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &local);
  return text;
}

// CSV field: inner double quotes doubled, line breaks written as \r and
// \n, so that every message (a server's reply too) stays one line: the
// start-up scan and anyone reading the log go by lines.
std::string CsvLine(const std::wstring& message) {
  std::string line = LocalTimeText();
  line += ",\"";
  for (char ch : WideToUtf8(message)) {
    if (ch == '\r') {
      line += "\\r";
    } else if (ch == '\n') {
      line += "\\n";
    } else {
      if (ch == '"') line.push_back('"');
      line.push_back(ch);
    }
  }
  line += "\"\n";
  return line;
}

void WriteAll(int fd, const std::string& data) {
  size_t done = 0;
  while (done < data.size()) {
    ssize_t written = ::write(fd, data.data() + done, data.size() - done);
    if (written < 0) {
      if (errno == EINTR) continue;
      return;
    }
    done += static_cast<size_t>(written);
  }
}

std::wstring FormatMessage(const wchar_t* format, va_list args) {
  std::vector<wchar_t> buffer(static_cast<size_t>(kFormatMaxChars) + 1);
  int written = WcsPrintfV(buffer.data(), buffer.size(), format, args);
  return std::wstring(buffer.data(), static_cast<size_t>(written));
}

}  // namespace

int LogOpen(const wchar_t* folder) {
  LogState& state = State();
  std::lock_guard<std::mutex> lock(state.mutex);
  if (state.fd >= 0) {
    ::close(state.fd);
    state.fd = -1;
  }
  if (folder == nullptr || folder[0] == 0) return -80;
  state.folder = folder;
  while (state.folder.size() > 1 && state.folder.back() == L'/') state.folder.pop_back();
  state.path = state.folder + L"/QV2-log.csv";
  state.oldPath = state.folder + L"/QV2-log-old.csv";
  state.outputPath = state.folder + L"/QV-LogOutput.txt";
  std::string path = WideToUtf8(state.path);
  std::string oldPath = WideToUtf8(state.oldPath);
  // rename() moves a link itself, never what it points at. Without a current
  // log there was no previous session here, so an older "old" log must not
  // pass for its log (the start-up scan reads it).
  if (std::rename(path.c_str(), oldPath.c_str()) != 0 && errno == ENOENT) {
    ::unlink(oldPath.c_str());
  }
  state.fd = OpenPrivateFileForWriting(path);
  return state.fd >= 0 ? 0 : -80;
}

void LogClose() {
  LogState& state = State();
  std::lock_guard<std::mutex> lock(state.mutex);
  if (state.fd >= 0) ::close(state.fd);
  state.fd = -1;
}

void LogPrintfV(const wchar_t* format, va_list args) {
  std::string line = CsvLine(FormatMessage(format, args));
  LogState& state = State();
  std::lock_guard<std::mutex> lock(state.mutex);
  WriteAll(state.fd >= 0 ? state.fd : STDERR_FILENO, line);
}

void LogPrintf(const wchar_t* format, ...) {
  va_list args;
  va_start(args, format);
  LogPrintfV(format, args);
  va_end(args);
}

void LogDebug(const wchar_t* format, ...) {
  // Debug messages are formatted (so bad formats show up under the
  // sanitizers) and then dropped.
  va_list args;
  va_start(args, format);
  FormatMessage(format, args);
  va_end(args);
}

const wchar_t* LogGetPath() {
  LogState& state = State();
  std::lock_guard<std::mutex> lock(state.mutex);
  return state.path.c_str();
}

const wchar_t* LogGetOldPath() {
  LogState& state = State();
  std::lock_guard<std::mutex> lock(state.mutex);
  return state.oldPath.c_str();
}

const wchar_t* LogGetOutputPath() {
  LogState& state = State();
  std::lock_guard<std::mutex> lock(state.mutex);
  return state.outputPath.c_str();
}
