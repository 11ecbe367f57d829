#include "support/program_child.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <sstream>
#include <thread>
#include <utility>

namespace {

// The parent's environment with the given variables replaced.
std::vector<std::string> childEnvironment(const ChildEnvironment& own) {
  std::vector<std::string> env;
  for (char** e = environ; *e != nullptr; ++e) {
    const std::string entry = *e;
    bool replaced = false;
    for (const auto& [name, value] : own) replaced = replaced || entry.rfind(name + "=", 0) == 0;
    if (!replaced) env.push_back(entry);
  }
  for (const auto& [name, value] : own) env.push_back(name + "=" + value);
  return env;
}

std::string thisProgram() {
  char buffer[4096];
  const ssize_t n = readlink("/proc/self/exe", buffer, sizeof buffer - 1);
  return n > 0 ? std::string(buffer, static_cast<size_t>(n)) : std::string();
}

// The child's own folders, drawing offscreen unless told otherwise.
ChildEnvironment ownFolders(const std::string& home, const std::string& tmp, const ChildEnvironment& extra) {
  ChildEnvironment own = {{"QT_QPA_PLATFORM", "offscreen"}, {"HOME", home}, {"TMPDIR", tmp},
                          {"XDG_CONFIG_HOME", home + "/.config"}, {"XDG_RUNTIME_DIR", tmp},
                          {"SDL_AUDIODRIVER", "dummy"}};
  for (const auto& [name, value] : extra) {
    std::erase_if(own, [&name](const auto& entry) { return entry.first == name; });
    own.emplace_back(name, value);
  }
  return own;
}

} // namespace

std::string ProgramPath() {
  const std::string exe = thisProgram();
  if (exe.empty()) return {};
  // The test programs sit in <build>/tests, the application in <build>.
  const std::string path = exe.substr(0, exe.find_last_of('/')) + "/../quelvatron";
  return access(path.c_str(), X_OK) == 0 ? path : std::string();
}

pid_t StartProgram(const std::vector<std::string>& args, const std::string& home, const std::string& tmp,
                   const std::string& output, const ChildEnvironment& extra) {
  const std::string program = ProgramPath();
  if (program.empty()) return -1;
  return StartChild(program, args, ownFolders(home, tmp, extra), tmp + "/" + output);
}

pid_t StartTestInChild(const std::string& test, const std::string& home, const std::string& tmp,
                       const std::string& output) {
  const std::string program = thisProgram();
  if (program.empty()) return -1;
  return StartChild(program, {"--gtest_filter=" + test}, ownFolders(home, tmp, {{kChildTestTmpDir, tmp}}),
                    tmp + "/" + output);
}

pid_t StartChild(const std::string& program, const std::vector<std::string>& args, const ChildEnvironment& extra,
                 const std::string& output) {
  std::vector<std::string> env = childEnvironment(extra);
  std::vector<char*> envp;
  for (std::string& entry : env) envp.push_back(entry.data());
  envp.push_back(nullptr);
  std::vector<std::string> all = args;
  all.insert(all.begin(), program);
  std::vector<char*> argv;
  for (std::string& arg : all) argv.push_back(arg.data());
  argv.push_back(nullptr);
  const int out = open(output.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
  if (out < 0) return -1;
  const pid_t child = fork();
  if (child == 0) {
    dup2(out, 1);
    dup2(out, 2);
    execve(program.c_str(), argv.data(), envp.data());
    _exit(127);
  }
  close(out);
  return child;
}

int WaitChild(pid_t child, int seconds) {
  int status = 0;
  for (int waited = 0; waited < seconds * 20; ++waited) {
    if (waitpid(child, &status, WNOHANG) == child) return status;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  kill(child, SIGKILL);
  waitpid(child, &status, 0);
  return -1;
}

std::string ProgramSessionLog(const std::string& tmp) {
  std::ifstream in(tmp + "/quelvatron-" + std::to_string(geteuid()) + "/QV2-log.csv", std::ios::binary);
  std::stringstream data;
  data << in.rdbuf();
  return data.str();
}

bool WaitForProgramLog(const std::string& tmp, const std::string& text, int seconds) {
  for (int waited = 0; waited < seconds * 20; ++waited) {
    if (ProgramSessionLog(tmp).find(text) != std::string::npos) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  return false;
}
