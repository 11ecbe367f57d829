// ShowLog: both session logs gathered into one text file for the user to read
// or send, opened in the desktop's viewer.
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <string>
#include <thread>

#include "base/error.h"
#include "base/log.h"
#include "base/log_file.h"
#include "base/text.h"

extern char** environ;

namespace {

constexpr size_t kOutputMaxBytes = 1000000;

bool WriteWhole(int fd, const std::string& data) {
  size_t done = 0;
  while (done < data.size()) {
    ssize_t written = ::write(fd, data.data() + done, data.size() - done);
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) return false;
    done += static_cast<size_t>(written);
  }
  return true;
}

// Starts the viewer detached; a thread reaps it so no zombie is left.
// QV_LOG_VIEWER names another program (tests use it to avoid a desktop).
void LaunchViewer(const std::string& path) {
  const char* viewer = std::getenv("QV_LOG_VIEWER");
  if (viewer == nullptr || viewer[0] == 0) viewer = "xdg-open";
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
  posix_spawnattr_t attributes;
  posix_spawnattr_init(&attributes);
  posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSID);
  std::string program = viewer;
  std::string argument = path;
  char* argv[] = {program.data(), argument.data(), nullptr};
  pid_t pid = 0;
  int result = posix_spawnp(&pid, viewer, &actions, &attributes, argv, environ);
  posix_spawnattr_destroy(&attributes);
  posix_spawn_file_actions_destroy(&actions);
  if (result != 0) {
    LogPrintf(L"ShowLog: could not start '%S' (%d)", viewer, result);
    return;
  }
  std::thread([pid] {
    int status = 0;
    waitpid(pid, &status, 0);
  }).detach();
}

int WriteLogOutput(const std::string& outputPath) {
  std::string data = ReadFileHead(WideToUtf8(LogGetPath()), kOutputMaxBytes);
  data += ReadFileHead(WideToUtf8(LogGetOldPath()), kOutputMaxBytes - data.size());
  int fd = OpenPrivateFileForWriting(outputPath);
  if (fd < 0) return kErrOpen;
  bool written = WriteWhole(fd, data);
  ::close(fd);
  return written ? kOk : kErrWrite;
}

ShowLogViewer& installedViewer() {
  static ShowLogViewer viewer;
  return viewer;
}

}  // namespace

void ShowLogViewerInstall(ShowLogViewer viewer) { installedViewer() = std::move(viewer); }

int ShowLog() {
  std::string outputPath = WideToUtf8(LogGetOutputPath());
  if (outputPath.empty()) return ErrorSet(kErrNotReady, "ShowLog");
  int code = WriteLogOutput(outputPath);
  if (code == kOk) {
    if (installedViewer()) installedViewer()(Utf8ToWide(outputPath));
    else LaunchViewer(outputPath);
  }
  return ErrorSet(code, "ShowLog");
}
