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

#include "app/app.h"
#include "base/identity.h"
#include "base/text.h"
#include "e2e/e2e_support.h"
#include "io/files/project_files.h"
#include "model/dispobjs.h"
#include "model/inputs.h"
#include "model/project.h"
#include "io/session/recovery.h"
#include "support/media_fixtures.h"
#include "support/program_child.h"
#include "support/scoped_env.h"

namespace {

constexpr int kTimeoutSeconds = 90; // a sanitizer build starts slowly

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

std::string SessionLog(const std::string& tmp) { return ProgramSessionLog(tmp); }

TEST(AppLaunchTest, OpensTheProjectGivenAndEndsCleanly) {
  if (ProgramPath().empty()) GTEST_SKIP() << "built without the application (QV_BUILD_UI off)";
  const std::string project = SaveProject(E2eFolder("projects"));
  ASSERT_FALSE(project.empty());
  const std::string home = E2eFolder("home");
  const std::string tmp = E2eFolder("child-tmp");

  const pid_t child = StartProgram({"--quit-after-launch", project}, home, tmp);
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

bool WaitForLog(const std::string& tmp, const std::string& text, int seconds) {
  return WaitForProgramLog(tmp, text, seconds);
}

// The program started with no start-up template menu, its window waiting
// with nothing open; its pid, or -1 when it did not get that far.
pid_t StartIdleProgram(const std::string& home, const std::string& tmp) {
  std::filesystem::create_directories(home + "/.config/Quelvatron");
  std::ofstream(home + "/.config/Quelvatron/Quelvatron.conf") << "[General]\nShowMenuAtStart=false\n";
  const pid_t child = StartProgram({}, home, tmp, "first-output.txt");
  if (child > 0 && WaitForLog(tmp, "Main preview ", kTimeoutSeconds)) return child;
  if (child > 0) {
    kill(child, SIGKILL);
    WaitChild(child, 10);
  }
  return -1;
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
  if (ProgramPath().empty()) GTEST_SKIP() << "built without the application (QV_BUILD_UI off)";
  const std::string home = E2eFolder("home-terminated");
  const std::string tmp = E2eFolder("child-tmp-terminated");
  const pid_t child = StartProgram({}, home, tmp);
  ASSERT_GT(child, 0);
  // The preview (and with it the sound output) is set up last.
  const bool launched = WaitForLog(tmp, "Main preview ", kTimeoutSeconds);
  if (!launched) kill(child, SIGKILL);
  ASSERT_TRUE(launched) << E2eReadFile(tmp + "/child-output.txt");
  ASSERT_NO_FATAL_FAILURE(ExpectEndsOnSigterm(child, tmp + "/child-output.txt"));
  const std::string log = SessionLog(tmp);
  EXPECT_NE(log.find("Ending on signal 15"), std::string::npos) << log;
  EXPECT_NE(log.find("[App End] Complete"), std::string::npos) << log;

  const pid_t next = StartProgram({}, home, tmp, "next-output.txt");
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
  if (ProgramPath().empty()) GTEST_SKIP() << "built without the application (QV_BUILD_UI off)";
  const std::string project = SaveProject(E2eFolder("projects-terminated"));
  ASSERT_FALSE(project.empty());
  const std::string datalog = E2eCircuit().write(E2eFolder("logs-terminated") + "/Heat Two.csv");
  ASSERT_FALSE(datalog.empty());
  const std::string home = E2eFolder("home-unsaved");
  const std::string tmp = E2eFolder("child-tmp-unsaved");
  const pid_t child = StartProgram({project, datalog}, home, tmp);
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
    const pid_t next = StartProgram({}, home, tmp, output);
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
  if (ProgramPath().empty()) GTEST_SKIP() << "built without the application (QV_BUILD_UI off)";
  const std::string home = E2eFolder("home-handover");
  const std::string tmp = E2eFolder("child-tmp-handover"); // the children's private runtime folder
  const std::string files = E2eFolder("handover-files");
  const std::string video = files + "/Lap One.mp4";
  ASSERT_TRUE(MakeIndexVideo(files + "/lap.mp4", 25, 96, 64, "25", "-c:v libx264 -preset ultrafast -pix_fmt yuv420p"));
  ASSERT_EQ(std::rename((files + "/lap.mp4").c_str(), video.c_str()), 0); // a name as users give them
  const std::string datalog = E2eCircuit().write(files + "/Lap One.csv");
  ASSERT_FALSE(datalog.empty());

  const pid_t first = StartIdleProgram(home, tmp);
  ASSERT_GT(first, 0) << E2eReadFile(tmp + "/first-output.txt");

  const auto start = std::chrono::steady_clock::now();
  const pid_t second = StartProgram({video, datalog}, home, tmp, "second-output.txt");
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
  const pid_t third = StartProgram({video}, home, tmp, "third-output.txt");
  ASSERT_GT(third, 0);
  const bool reopened = WaitForLog(tmp, "Opening project '" + video + "'", kTimeoutSeconds);
  kill(third, SIGTERM);
  WaitChild(third, 30);
  EXPECT_TRUE(reopened) << E2eReadFile(tmp + "/third-output.txt");
}

bool RecoverySnapshotKept(const std::string& tmp) {
  for (const std::string& name : E2eListFolder(tmp + "/quelvatron-" + std::to_string(geteuid())))
    if (name.rfind("QV-Recover-", 0) == 0 && name.size() > 4 && name.substr(name.size() - 4) == ".qvp") return true;
  return false;
}

// The exit of one of two children: the pid that ended (with its status), or
// -1 when neither did in time.
pid_t WaitEither(pid_t a, pid_t b, int seconds, int& status) {
  for (int waited = 0; waited < seconds * 20; ++waited) {
    for (pid_t child : {a, b})
      if (waitpid(child, &status, WNOHANG) == child) return child;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  return -1;
}

// A launch while the program runs hands over and ends, whether it names
// files or not, and never touches the running session's files: the log is
// neither rotated nor ended, so a crash of the running program still
// offers its work. Of two launches at the same instant, one runs.
TEST(AppLaunchTest, ALaunchWhileTheProgramRunsHandsOverAndTouchesNothing) {
  if (ProgramPath().empty()) GTEST_SKIP() << "built without the application (QV_BUILD_UI off)";
  const std::string home = E2eFolder("home-single");
  const std::string tmp = E2eFolder("child-tmp-single");
  // A sound file: a data log would open its template menu and wait there.
  const std::string sound = E2eFolder("sound-single") + "/Pit Radio.wav";
  ASSERT_TRUE(WriteWav16(sound, 22050, 1, MakeRampPcm16(11025, 1)));
  const pid_t first = StartIdleProgram(home, tmp);
  ASSERT_GT(first, 0) << E2eReadFile(tmp + "/first-output.txt");

  for (int launch = 1; launch <= 2; ++launch) {
    SCOPED_TRACE("launch without files " + std::to_string(launch));
    const std::string before = SessionLog(tmp);
    const auto start = std::chrono::steady_clock::now();
    const pid_t second = StartProgram({}, home, tmp, "second-output.txt");
    const int status = WaitChild(second, kTimeoutSeconds);
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    ASSERT_TRUE(status != -1 && WIFEXITED(status)) << E2eReadFile(tmp + "/second-output.txt");
    EXPECT_EQ(WEXITSTATUS(status), 0) << E2eReadFile(tmp + "/second-output.txt");
    EXPECT_LT(seconds, 20.0) << "the launch did not end at once";
    // The running window was asked to the front: its log goes on.
    EXPECT_TRUE(WaitForLog(tmp, "A later launch asked for the window", 30));
    const std::string log = SessionLog(tmp);
    EXPECT_EQ(log.rfind(before, 0), 0u) << "the running session's log was replaced:\n" << log;
    EXPECT_EQ(Count(log, "asked for the window"), static_cast<size_t>(launch));
  }
  const std::string folder = tmp + "/quelvatron-" + std::to_string(geteuid());
  EXPECT_FALSE(std::filesystem::exists(folder + "/QV2-log-old.csv"));
  EXPECT_EQ(Count(SessionLog(tmp), "Process ID: "), 1u);
  EXPECT_FALSE(Contains(SessionLog(tmp), "[App End]"));

  // A change (a file handed over), then the running program dies.
  const pid_t third = StartProgram({sound}, home, tmp, "third-output.txt");
  const int handed = WaitChild(third, kTimeoutSeconds);
  EXPECT_TRUE(handed != -1 && WIFEXITED(handed) && WEXITSTATUS(handed) == 0);
  bool changed = WaitForLog(tmp, "Handed-over files taken", kTimeoutSeconds);
  for (int waited = 0; changed && !RecoverySnapshotKept(tmp); ++waited) {
    changed = waited < 200;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  kill(first, SIGKILL);
  WaitChild(first, 30);
  ASSERT_TRUE(changed) << SessionLog(tmp);

  // Two launches at once: one runs and offers the killed session's work,
  // the other hands over to it and ends.
  const pid_t a = StartProgram({}, home, tmp, "a-output.txt");
  const pid_t b = StartProgram({}, home, tmp, "b-output.txt");
  int status = 0;
  const pid_t ended = WaitEither(a, b, kTimeoutSeconds, status);
  const pid_t runner = ended == a ? b : a;
  const bool offered = ended != -1 && WaitForLog(tmp, "Recovery question open for session ", kTimeoutSeconds);
  const std::string log = SessionLog(tmp);
  if (ended == -1) {
    for (pid_t child : {a, b}) {
      kill(child, SIGKILL);
      WaitChild(child, 10);
    }
    FAIL() << "neither launch ended:\n" << log;
  }
  ASSERT_NO_FATAL_FAILURE(ExpectEndsOnSigterm(runner, tmp + "/a-output.txt"));
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
  ASSERT_TRUE(offered) << log;
  EXPECT_EQ(Count(log, "Process ID: "), 1u) << log;
  EXPECT_TRUE(Contains(log, "Process ID: " + std::to_string(runner) + "\"")) << log;
  EXPECT_TRUE(Contains(log, "did not end cleanly")) << log;
}

} // namespace
