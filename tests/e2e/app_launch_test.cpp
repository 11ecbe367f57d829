// The real program started as a child process with a project saved by this
// test: it must open the project, finish its launch, end the engine and
// exit with 0 by itself.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "e2e/e2e_support.h"
#include "engine/app/app.h"
#include "engine/base/identity.h"
#include "engine/base/text.h"
#include "engine/files/project_files.h"
#include "engine/model/dispobjs.h"
#include "engine/model/project.h"

namespace {

constexpr int kTimeoutSeconds = 90; // a sanitizer build starts slowly

std::string ProgramPath() {
  // The test program sits in <build>/tests, the application in <build>.
  const std::string path = E2eProgramDir() + "/../quelvatron";
  return access(path.c_str(), X_OK) == 0 ? path : std::string();
}

// A project with user text and a shape, saved by an engine in this process.
std::string SaveProject(const std::string& folder) {
  AppInitIdentity();
  if (AppInit(0) != 1) return {};
  ProjectSetUserText(u"Sunday final");
  DispObjAdd(kDispShape, 255);
  const std::string path = folder + "/Final Heat.qvp";
  const int saved = ProjectSave(Utf8ToWide(path).c_str());
  AppEnd();
  return saved == 0 ? path : std::string();
}

// The parent's environment with the child's own folders and display.
std::vector<std::string> ChildEnvironment(const std::string& home, const std::string& tmp) {
  const std::vector<std::pair<std::string, std::string>> own = {
      {"QT_QPA_PLATFORM", "offscreen"}, {"HOME", home}, {"TMPDIR", tmp},
      {"XDG_CONFIG_HOME", home + "/.config"}, {"XDG_RUNTIME_DIR", tmp}, {"SDL_AUDIODRIVER", "dummy"}};
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

// Starts the program in its own environment with the given arguments, its
// output going to child-output.txt in tmp; the child's pid, or -1.
pid_t StartChild(const std::string& program, std::vector<std::string> args, const std::string& home,
                 const std::string& tmp) {
  std::vector<std::string> env = ChildEnvironment(home, tmp);
  std::vector<char*> envp;
  for (std::string& entry : env) envp.push_back(entry.data());
  envp.push_back(nullptr);
  args.insert(args.begin(), program);
  std::vector<char*> argv;
  for (std::string& arg : args) argv.push_back(arg.data());
  argv.push_back(nullptr);
  const int out = open((tmp + "/child-output.txt").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
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

// The wait status, or -1 when the child had to be killed after the time-out.
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

std::string SessionLog(const std::string& tmp) {
  return E2eReadFile(tmp + "/quelvatron-" + std::to_string(geteuid()) + "/QV2-log.csv");
}

TEST(AppLaunchTest, OpensTheProjectGivenAndEndsCleanly) {
  const std::string program = ProgramPath();
  if (program.empty()) GTEST_SKIP() << "built without the application (QV_BUILD_UI off)";
  const std::string project = SaveProject(E2eFolder("projects"));
  ASSERT_FALSE(project.empty());
  const std::string home = E2eFolder("home");
  const std::string tmp = E2eFolder("child-tmp");

  const pid_t child = StartChild(program, {"--quit-after-launch", project}, home, tmp);
  ASSERT_GT(child, 0);
  const int status = WaitChild(child, kTimeoutSeconds);
  const std::string output = E2eReadFile(tmp + "/child-output.txt");
  ASSERT_NE(status, -1) << "no exit within " << kTimeoutSeconds << " s; output:\n" << output;
  ASSERT_TRUE(WIFEXITED(status)) << "ended by signal " << WTERMSIG(status) << "; output:\n" << output;
  EXPECT_EQ(WEXITSTATUS(status), 0) << output;

  const std::string log = SessionLog(tmp);
  ASSERT_FALSE(log.empty()) << "no session log; output:\n" << output;
  EXPECT_NE(log.find("Opening project '" + project + "'"), std::string::npos) << log;
  const size_t launched = log.find("Launch complete");
  const size_t ended = log.find("[App End] Complete");
  EXPECT_NE(launched, std::string::npos) << log;
  ASSERT_NE(ended, std::string::npos) << log;
  EXPECT_LT(launched, ended);
  EXPECT_EQ(log.find("[App End] Complete", ended + 1), std::string::npos);
}

// A running program must end when the system or the user sends it SIGTERM
// (no library may swallow the signal); the next start then offers recovery.
TEST(AppLaunchTest, EndsOnTerminateSignal) {
  const std::string program = ProgramPath();
  if (program.empty()) GTEST_SKIP() << "built without the application (QV_BUILD_UI off)";
  const std::string home = E2eFolder("home-terminated");
  const std::string tmp = E2eFolder("child-tmp-terminated");
  const pid_t child = StartChild(program, {}, home, tmp);
  ASSERT_GT(child, 0);
  bool launched = false;
  for (int waited = 0; waited < kTimeoutSeconds * 20 && !launched; ++waited) {
    // The preview (and with it the sound output) is set up last.
    launched = SessionLog(tmp).find("Main preview ") != std::string::npos;
    if (!launched) std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  if (!launched) kill(child, SIGKILL);
  ASSERT_TRUE(launched) << E2eReadFile(tmp + "/child-output.txt");

  kill(child, SIGTERM);
  const int status = WaitChild(child, 30);
  ASSERT_NE(status, -1) << "still running 30 s after SIGTERM";
  ASSERT_TRUE(WIFSIGNALED(status));
  EXPECT_EQ(WTERMSIG(status), SIGTERM);
}

} // namespace
