#include "ui/support/private_bus.h"

#include <signal.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>

PrivateBus::~PrivateBus() {
  // Forked away by the daemon itself: not our child to reap.
  if (pid_ > 0) kill(pid_, SIGTERM);
}

bool PrivateBus::Start(const std::string& folder) {
  const std::string config = folder + "/bus.conf";
  std::ofstream(config) << "<!DOCTYPE busconfig PUBLIC \"-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN\"\n"
                           " \"http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd\">\n"
                           "<busconfig><type>session</type><listen>unix:dir="
                        << folder
                        << "</listen><auth>EXTERNAL</auth><policy context=\"default\">"
                           "<allow send_destination=\"*\" eavesdrop=\"true\"/><allow eavesdrop=\"true\"/>"
                           "<allow own=\"*\"/></policy></busconfig>\n";
  const std::string command = "dbus-daemon --config-file=" + config + " --fork --print-address=1 --print-pid=1";
  FILE* output = popen(command.c_str(), "r");
  if (output == nullptr) return false;
  char line[1024] = {};
  if (fgets(line, sizeof line, output) != nullptr) address_ = line;
  if (fgets(line, sizeof line, output) != nullptr) pid_ = static_cast<pid_t>(std::atol(line));
  pclose(output);
  while (!address_.empty() && (address_.back() == '\n' || address_.back() == '\r')) address_.pop_back();
  return !address_.empty() && pid_ > 0;
}
