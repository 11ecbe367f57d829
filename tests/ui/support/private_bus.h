#pragma once
// A D-Bus daemon of the test's own, listening in a folder of the test's:
// no service folders, so nothing starts on demand, and anyone may own any
// name. Stopped with the object.
#include <string>
#include <sys/types.h>

class PrivateBus {
public:
  PrivateBus() = default;
  ~PrivateBus();
  PrivateBus(const PrivateBus&) = delete;
  PrivateBus& operator=(const PrivateBus&) = delete;

  // Starts the daemon with its socket in the folder; false when it did not
  // come up.
  bool Start(const std::string& folder);
  const std::string& address() const { return address_; }

private:
  std::string address_;
  pid_t pid_ = -1;
};
