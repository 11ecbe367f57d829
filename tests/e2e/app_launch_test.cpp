// The real program started as a child process with a project saved by this
// test: it must open the project, finish its launch, end the engine and
// exit with 0 by itself.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "e2e/e2e_support.h"
#include "support/media_fixtures.h"
#include "support/scoped_env.h"
#include "engine/app/app.h"
#include "engine/app/recovery.h"
#include "engine/base/identity.h"
#include "engine/base/text.h"
#include "engine/files/project_files.h"
#include "engine/model/dispobjs.h"
#include "engine/model/inputs.h"
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
// output going to the named file in tmp; the child's pid, or -1.
pid_t StartChild(const std::string& program, std::vector<std::string> args, const std::string& home,
                 const std::string& tmp, const std::string& output = "child-output.txt") {
  std::vector<std::string> env = ChildEnvironment(home, tmp);
  std::vector<char*> envp;
  for (std::string& entry : env) envp.push_back(entry.data());
  envp.push_back(nullptr);
  args.insert(args.begin(), program);
  std::vector<char*> argv;
  for (std::string& arg : args) argv.push_back(arg.data());
  argv.push_back(nullptr);
  const int out = open((tmp + "/" + output).c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
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

size_t Count(const std::string& text, const std::string& part) {
  size_t n = 0;
  for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
  return n;
}

bool Contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

// Waits until the text appears in the child's session log.
bool WaitForLog(const std::string& tmp, const std::string& text, int seconds) {
  for (int waited = 0; waited < seconds * 20; ++waited) {
    if (SessionLog(tmp).find(text) != std::string::npos) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  return false;
}

// Waits for the child's exit after SIGTERM: it must end as Quit ends it,
// with 0, whatever window it had open.
void ExpectEndsOnSigterm(pid_t child, const std::string& output) {
  kill(child, SIGTERM);
  const int status = WaitChild(child, 60);
  ASSERT_NE(status, -1) << "still running 60 s after SIGTERM; output:\n" << E2eReadFile(output);
  ASSERT_TRUE(WIFEXITED(status)) << "ended by signal " << WTERMSIG(status) << "; output:\n" << E2eReadFile(output);
  EXPECT_EQ(WEXITSTATUS(status), 0);
}

// The desktop session logging out sends SIGTERM: with the start-up
// template menu open and nothing changed, the program ends cleanly and the
// next start offers no recovery.
TEST(AppLaunchTest, SigtermEndsACleanProjectCleanly) {
  const std::string program = ProgramPath();
  if (program.empty()) GTEST_SKIP() << "built without the application (QV_BUILD_UI off)";
  const std::string home = E2eFolder("home-terminated");
  const std::string tmp = E2eFolder("child-tmp-terminated");
  const pid_t child = StartChild(program, {}, home, tmp);
  ASSERT_GT(child, 0);
  // The preview (and with it the sound output) is set up last.
  const bool launched = WaitForLog(tmp, "Main preview ", kTimeoutSeconds);
  if (!launched) kill(child, SIGKILL);
  ASSERT_TRUE(launched) << E2eReadFile(tmp + "/child-output.txt");
  ASSERT_NO_FATAL_FAILURE(ExpectEndsOnSigterm(child, tmp + "/child-output.txt"));
  const std::string log = SessionLog(tmp);
  EXPECT_NE(log.find("Ending on signal 15"), std::string::npos) << log;
  EXPECT_NE(log.find("[App End] Complete"), std::string::npos) << log;

  const pid_t next = StartChild(program, {}, home, tmp, "next-output.txt");
  ASSERT_GT(next, 0);
  // The scan's line is the new log's own (the old one also names the preview).
  const bool scanned = WaitForLog(tmp, "ended cleanly", kTimeoutSeconds) && WaitForLog(tmp, "Main preview ", 60);
  const std::string nextLog = SessionLog(tmp);
  ASSERT_NO_FATAL_FAILURE(ExpectEndsOnSigterm(next, tmp + "/next-output.txt"));
  ASSERT_TRUE(scanned) << nextLog;
  EXPECT_NE(nextLog.find("ended cleanly"), std::string::npos) << nextLog;
  EXPECT_EQ(nextLog.find("recoverable"), std::string::npos) << nextLog;
}

// SIGTERM with unsaved changes (a data log just added to the project, its
// template menu open): nothing is asked, the changes stay for recovery and
// the next start offers them. Starts killed or ended by SIGTERM under the
// recovery question lose nothing: the start after each offers the changes
// again, and Yes brings the data log back.
TEST(AppLaunchTest, SigtermKeepsUnsavedChangesForRecovery) {
  const std::string program = ProgramPath();
  if (program.empty()) GTEST_SKIP() << "built without the application (QV_BUILD_UI off)";
  const std::string project = SaveProject(E2eFolder("projects-terminated"));
  ASSERT_FALSE(project.empty());
  const std::string datalog = E2eCircuit().write(E2eFolder("logs-terminated") + "/Heat Two.csv");
  ASSERT_FALSE(datalog.empty());
  const std::string home = E2eFolder("home-unsaved");
  const std::string tmp = E2eFolder("child-tmp-unsaved");
  const pid_t child = StartChild(program, {project, datalog}, home, tmp);
  ASSERT_GT(child, 0);
  const bool added = WaitForLog(tmp, "Data log '" + datalog + "'", kTimeoutSeconds);
  if (!added) kill(child, SIGKILL);
  ASSERT_TRUE(added) << E2eReadFile(tmp + "/child-output.txt");
  ASSERT_NO_FATAL_FAILURE(ExpectEndsOnSigterm(child, tmp + "/child-output.txt"));
  const std::string log = SessionLog(tmp);
  EXPECT_NE(log.find("Ending on signal 15 with unsaved changes"), std::string::npos) << log;
  EXPECT_NE(log.find("[App End] Unsaved changes kept for recovery"), std::string::npos) << log;
  EXPECT_EQ(log.find("[App End] Complete"), std::string::npos) << log;

  for (int start = 1; start <= 2; ++start) {
    const bool killed = start == 1;
    SCOPED_TRACE("start " + std::to_string(start) + " after the change");
    const std::string output = "next-output-" + std::to_string(start) + ".txt";
    const pid_t next = StartChild(program, {}, home, tmp, output);
    ASSERT_GT(next, 0);
    // In this start's own log, the main window's check logs the status, and
    // so does the question as it opens.
    const std::string recoverable = "Previous session appears to have crashed and is recoverable";
    bool offered = WaitForLog(tmp, "Process ID: " + std::to_string(next) + "\"", kTimeoutSeconds);
    const std::string asking = "Recovery question open for session ";
    for (int waited = 0; offered && (Count(SessionLog(tmp), recoverable) < 2 || !Contains(SessionLog(tmp), asking));
         ++waited) {
      offered = waited < kTimeoutSeconds * 20;
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    if (!offered) kill(next, SIGKILL);
    ASSERT_TRUE(offered) << SessionLog(tmp) << E2eReadFile(tmp + "/" + output);
    if (killed) {
      kill(next, SIGKILL);
      const int status = WaitChild(next, 60);
      ASSERT_TRUE(status != -1 && WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL);
      EXPECT_EQ(SessionLog(tmp).find("[App End]"), std::string::npos) << SessionLog(tmp);
      continue;
    }
    ASSERT_NO_FATAL_FAILURE(ExpectEndsOnSigterm(next, tmp + "/" + output));
    const std::string nextLog = SessionLog(tmp);
    EXPECT_NE(nextLog.find("It was asking whether to recover session "), std::string::npos) << nextLog;
    EXPECT_NE(nextLog.find("Recovery question unanswered"), std::string::npos) << nextLog;
    EXPECT_EQ(nextLog.find("[App End] Complete"), std::string::npos) << nextLog;
  }

  // The next start answers Yes: the engine reopens the kept snapshot.
  const ScopedEnv childTmp("TMPDIR", tmp);
  AppInitIdentity();
  ASSERT_EQ(AppInit(0), 1);
  EXPECT_EQ(RecoveryStatus(), kRecoveryCrashed);
  EXPECT_EQ(RecoveryApply(), 0);
  std::vector<std::u16string> inputs;
  for (uint32_t i = 0; i < InputCount(); ++i) inputs.emplace_back(InputGetName(i));
  AppEnd();
  EXPECT_EQ(inputs, std::vector<std::u16string>{u"Heat Two.csv"});
}

// Files opened from the file manager while the program runs open in the
// running window: a second launch hands them over and ends at once without
// starting an engine of its own; the first file opens as the project's, the
// second joins that project. A socket left by a program that was killed
// does not stop the next one.
TEST(AppLaunchTest, SecondLaunchHandsItsFilesToTheRunningWindow) {
  const std::string program = ProgramPath();
  if (program.empty()) GTEST_SKIP() << "built without the application (QV_BUILD_UI off)";
  const std::string home = E2eFolder("home-handover");
  const std::string tmp = E2eFolder("child-tmp-handover"); // the children's private runtime folder
  const std::string files = E2eFolder("handover-files");
  const std::string video = files + "/Lap One.mp4";
  ASSERT_TRUE(MakeIndexVideo(files + "/lap.mp4", 25, 96, 64, "25", "-c:v libx264 -preset ultrafast -pix_fmt yuv420p"));
  ASSERT_EQ(std::rename((files + "/lap.mp4").c_str(), video.c_str()), 0); // a name as users give them
  const std::string datalog = E2eCircuit().write(files + "/Lap One.csv");
  ASSERT_FALSE(datalog.empty());

  // No start-up template menu: the running window waits with nothing open.
  std::filesystem::create_directories(home + "/.config/Quelvatron");
  std::ofstream(home + "/.config/Quelvatron/Quelvatron.conf") << "[General]\nShowMenuAtStart=false\n";
  const pid_t first = StartChild(program, {}, home, tmp, "first-output.txt");
  ASSERT_GT(first, 0);
  const bool launched = WaitForLog(tmp, "Main preview ", kTimeoutSeconds);
  if (!launched) kill(first, SIGKILL);
  ASSERT_TRUE(launched) << E2eReadFile(tmp + "/first-output.txt");

  const auto start = std::chrono::steady_clock::now();
  const pid_t second = StartChild(program, {video, datalog}, home, tmp, "second-output.txt");
  ASSERT_GT(second, 0);
  const int status = WaitChild(second, kTimeoutSeconds);
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  ASSERT_NE(status, -1) << E2eReadFile(tmp + "/second-output.txt");
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);
  EXPECT_LT(seconds, 20.0) << "the second launch did not end at once";

  const bool opened = WaitForLog(tmp, "Data log '" + datalog + "'", 60);
  std::string log = SessionLog(tmp);
  kill(first, SIGTERM);
  WaitChild(first, 30);
  ASSERT_TRUE(opened) << log;
  EXPECT_NE(log.find("Opening project '" + video + "'"), std::string::npos) << log;
  EXPECT_NE(log.find("Attempting MediaMacAvOpen('" + video + "')"), std::string::npos) << log;
  // The log joined the video's project: it was never opened as a project.
  EXPECT_EQ(log.find("Opening project '" + datalog + "'"), std::string::npos) << log;
  // Only the first launch started an engine (and no recovery scan ran twice).
  EXPECT_EQ(Count(log, "Launch complete"), 1u) << log;

  // The killed program left its socket behind: the next launch opens the
  // file itself (its log alone tells it).
  std::remove((tmp + "/quelvatron-" + std::to_string(geteuid()) + "/QV2-log.csv").c_str());
  const pid_t third = StartChild(program, {video}, home, tmp, "third-output.txt");
  ASSERT_GT(third, 0);
  const bool reopened = WaitForLog(tmp, "Opening project '" + video + "'", kTimeoutSeconds);
  kill(third, SIGTERM);
  WaitChild(third, 30);
  EXPECT_TRUE(reopened) << E2eReadFile(tmp + "/third-output.txt");
}

} // namespace
