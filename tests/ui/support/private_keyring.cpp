// GLib before Qt: GLib names a member "signals".
#include <gio/gio.h>

#include "ui/support/private_keyring.h"
#include "support/temp_folder.h"

#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <thread>

namespace {

bool onPath(const char* program) {
  std::string command = std::string("command -v ") + program + " >/dev/null 2>&1";
  return std::system(command.c_str()) == 0;
}

void stopProcess(pid_t pid) {
  if (pid <= 0) return;
  kill(pid, SIGTERM);
  waitpid(pid, nullptr, 0);
}

} // namespace

PrivateKeyring::PrivateKeyring() {
  dir_ = MakeTempFolder("qv-keyring");
  if (dir_.empty()) {
    why_ = "no temporary folder";
    return;
  }
  const char* previous = std::getenv("DBUS_SESSION_BUS_ADDRESS");
  hadAddress_ = previous != nullptr;
  if (previous != nullptr) previousAddress_ = previous;
  if (!onPath("dbus-daemon") || !onPath("gnome-keyring-daemon")) {
    why_ = "dbus-daemon or gnome-keyring-daemon is not installed";
    return;
  }
  ready_ = startBus() && startKeyring() && waitForSecretService();
}

PrivateKeyring::~PrivateKeyring() {
  // The shared bus connection must not take the process down with it.
  if (GDBusConnection* bus = g_bus_get_sync(G_BUS_TYPE_SESSION, nullptr, nullptr)) {
    g_dbus_connection_set_exit_on_close(bus, FALSE);
    g_object_unref(bus);
  }
  stopProcess(keyringPid_);
  if (hadAddress_) setenv("DBUS_SESSION_BUS_ADDRESS", previousAddress_.c_str(), 1);
  else unsetenv("DBUS_SESSION_BUS_ADDRESS");
  std::error_code ignored;
  if (!dir_.empty()) std::filesystem::remove_all(dir_, ignored);
}

bool PrivateKeyring::startBus() {
  if (!bus_.Start(dir_)) {
    why_ = "the private bus did not start";
    return false;
  }
  setenv("DBUS_SESSION_BUS_ADDRESS", bus_.address().c_str(), 1);
  return true;
}

// Unlocked with a password on its input, its files in the temporary home.
bool PrivateKeyring::startKeyring() {
  const std::string home = dir_ + "/home";
  const std::string run = dir_ + "/run";
  std::filesystem::create_directories(home + "/data");
  mkdir(run.c_str(), 0700);
  int input[2];
  if (pipe(input) != 0) return false;
  keyringPid_ = fork();
  if (keyringPid_ == 0) {
    dup2(input[0], 0);
    close(input[0]);
    close(input[1]);
    setenv("HOME", home.c_str(), 1);
    setenv("XDG_DATA_HOME", (home + "/data").c_str(), 1);
    setenv("XDG_CONFIG_HOME", (home + "/config").c_str(), 1);
    setenv("XDG_RUNTIME_DIR", run.c_str(), 1);
    execlp("gnome-keyring-daemon", "gnome-keyring-daemon", "--foreground", "--unlock", "--components=secrets",
           static_cast<char*>(nullptr));
    _exit(127);
  }
  close(input[0]);
  if (keyringPid_ > 0 && write(input[1], "test", 4) != 4) why_ = "the keyring took no password";
  close(input[1]);
  return keyringPid_ > 0;
}

bool PrivateKeyring::waitForSecretService() {
  GDBusConnection* bus = g_bus_get_sync(G_BUS_TYPE_SESSION, nullptr, nullptr);
  if (bus == nullptr) {
    why_ = "no connection to the private bus";
    return false;
  }
  g_dbus_connection_set_exit_on_close(bus, FALSE);
  bool owned = false;
  auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(15);
  while (!owned && std::chrono::steady_clock::now() < deadline) {
    GVariant* reply = g_dbus_connection_call_sync(bus, "org.freedesktop.DBus", "/org/freedesktop/DBus",
                                                  "org.freedesktop.DBus", "NameHasOwner",
                                                  g_variant_new("(s)", "org.freedesktop.secrets"),
                                                  G_VARIANT_TYPE("(b)"), G_DBUS_CALL_FLAGS_NONE, 1000, nullptr, nullptr);
    if (reply != nullptr) {
      gboolean has = FALSE;
      g_variant_get(reply, "(b)", &has);
      owned = has != FALSE;
      g_variant_unref(reply);
    }
    if (!owned) std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  g_object_unref(bus);
  if (!owned) why_ = "the keyring did not appear on the bus";
  return owned;
}
