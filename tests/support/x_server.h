#pragma once
// An X server of the test's own (Xvfb, one screen of the given size), for
// what only a real window system shows: drags between two programs, windows
// placed on a screen of a known size. Children reach it through display();
// the test's own environment is left as it is. The server ends with the
// object.
#include <sys/types.h>

#include <string>

class XServer {
public:
  XServer(int width, int height);
  ~XServer();
  XServer(const XServer&) = delete;
  XServer& operator=(const XServer&) = delete;

  // Whether Xvfb is on this machine (scripts/install-deps.sh installs it).
  static bool Installed();
  // ":<n>" once the server answers; empty when it did not start.
  const std::string& display() const { return display_; }
  bool running() const { return !display_.empty(); }
  // Why it did not start.
  const std::string& failure() const { return failure_; }

private:
  pid_t server_ = -1;
  std::string display_;
  std::string failure_;
};
