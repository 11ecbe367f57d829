#pragma once
// A desktop secret service of the test's own: a private session bus (no
// service activation, so nothing else can start on it) with an unlocked
// GNOME keyring whose files live in a temporary home. The process's session
// bus address points at it while the object lives; the user's own keyring
// is never reached.
#include <string>
#include <sys/types.h>

#include "ui/support/private_bus.h"

class PrivateKeyring {
public:
  PrivateKeyring();
  ~PrivateKeyring();
  PrivateKeyring(const PrivateKeyring&) = delete;
  PrivateKeyring& operator=(const PrivateKeyring&) = delete;

  // False when dbus-daemon or gnome-keyring-daemon is missing or did not
  // come up (the reason in why()).
  bool ready() const { return ready_; }
  const std::string& why() const { return why_; }
  // The keyring's files (to show the secret landed there).
  std::string keyringFolder() const { return dir_ + "/home/data/keyrings"; }

private:
  bool startBus();
  bool startKeyring();
  bool waitForSecretService();

  std::string dir_;
  PrivateBus bus_;
  std::string previousAddress_;
  bool hadAddress_ = false;
  pid_t keyringPid_ = -1;
  bool ready_ = false;
  std::string why_;
};
