#include "support/x_server.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/prctl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <sstream>
#include <thread>

namespace {

std::string findOnPath(const std::string& name) {
  const char* path = std::getenv("PATH");
  std::stringstream folders(path != nullptr ? path : "/usr/bin:/bin");
  for (std::string folder; std::getline(folders, folder, ':');) {
    const std::string candidate = folder + "/" + name;
    if (access(candidate.c_str(), X_OK) == 0) return candidate;
  }
  return {};
}

constexpr int kStartSeconds = 30;

} // namespace

bool XServer::Installed() { return !findOnPath("Xvfb").empty(); }

XServer::XServer(int width, int height) {
  const std::string program = findOnPath("Xvfb");
  if (program.empty()) {
    failure_ = "Xvfb is not installed (scripts/install-deps.sh installs it)";
    return;
  }
  int ready[2];
  if (pipe(ready) != 0) {
    failure_ = "no pipe";
    return;
  }
  fcntl(ready[0], F_SETFD, FD_CLOEXEC);
  const std::string fd = std::to_string(ready[1]);
  const std::string geometry = std::to_string(width) + "x" + std::to_string(height) + "x24";
  server_ = fork();
  if (server_ == 0) {
    // Its own process group, so that no signal meant for the test reaches
    // it; and it ends with the test even when the test dies.
    setpgid(0, 0);
    prctl(PR_SET_PDEATHSIG, SIGTERM);
    const int quiet = open("/dev/null", O_WRONLY);
    dup2(quiet, 1);
    dup2(quiet, 2);
    // -displayfd: the server picks a free display and writes its number
    // once it takes connections.
    execl(program.c_str(), "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", geometry.c_str(), "-nolisten", "tcp",
          "-noreset", static_cast<char*>(nullptr));
    _exit(127);
  }
  close(ready[1]);
  std::string number;
  pollfd wait{ready[0], POLLIN, 0};
  while (server_ > 0 && poll(&wait, 1, kStartSeconds * 1000) > 0) {
    char c = 0;
    if (read(ready[0], &c, 1) != 1 || c == '\n') break;
    number += c;
  }
  close(ready[0]);
  if (number.empty()) {
    failure_ = "Xvfb did not start";
    return;
  }
  display_ = ":" + number;
}

XServer::~XServer() {
  if (server_ <= 0) return;
  kill(server_, SIGTERM);
  int status = 0;
  for (int i = 0; i < 100; ++i) {
    if (waitpid(server_, &status, WNOHANG) == server_) return;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  kill(server_, SIGKILL);
  waitpid(server_, &status, 0);
}
