// A session whose process runs owns its folder: no other start rotates,
// ends or recovers its log and snapshots; once the process is gone, the
// next start offers its latest change back.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <set>
#include <string>

#include "app/app.h"
#include "base/error.h"
#include "base/identity.h"
#include "io/files/session.h"
#include "model/project.h"
#include "io/session/app_test_dir.h"
#include "io/session/recovery.h"

namespace {

std::set<std::string> folderNames(const std::string& folder) {
  std::set<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) names.insert(entry.path().filename());
  return names;
}

// A session in a child process that changed its project and then waits,
// until killed, like a program that still runs.
class RunningSession {
public:
  explicit RunningSession(const char16_t* change) {
    int ready[2];
    if (pipe(ready) != 0) return;
    pid_ = fork();
    if (pid_ == 0) {
      if (AppInit(0) != 1) _exit(3);
      ProjectSetUserText(change);
      if (write(ready[1], "k", 1) != 1) _exit(4);
      for (;;) pause();
    }
    char answer = 0;
    started_ = pid_ > 0 && read(ready[0], &answer, 1) == 1;
    close(ready[0]);
    close(ready[1]);
  }
  ~RunningSession() { kill(); }
  void kill() {
    if (pid_ > 0 && ::kill(pid_, SIGKILL) == 0) waitpid(pid_, nullptr, 0);
    pid_ = -1;
  }
  bool started() const { return started_; }
  pid_t pid() const { return pid_; }

private:
  pid_t pid_ = -1;
  bool started_ = false;
};

class SessionLockTest : public ::testing::Test {
protected:
  void SetUp() override { AppInitIdentity(); }
  void TearDown() override { AppEnd(); }

  // A start while the session runs fails and leaves every file of it alone.
  void expectRefusedWithoutTouching() {
    const std::string log = ReadWholeFile(dir.privateFile("QV2-log.csv"));
    const std::set<std::string> names = folderNames(dir.privateFolder());
    ASSERT_NE(log.find("Process ID: "), std::string::npos);
    for (int attempt = 0; attempt < 2; ++attempt) {
      EXPECT_EQ(AppInit(0), kErrAlreadyRunning);
      EXPECT_EQ(ErrorGetLast(), kErrAlreadyRunning);
      EXPECT_EQ(AppEnd(), 0);
    }
    EXPECT_EQ(ReadWholeFile(dir.privateFile("QV2-log.csv")), log) << "rotated or written to";
    EXPECT_EQ(folderNames(dir.privateFolder()), names);
  }
  // The start after the session's process died offers its latest change.
  void expectLatestChangeRecovered(const std::u16string& change) {
    ASSERT_EQ(AppInit(0), 1);
    EXPECT_EQ(RecoveryStatus(), kRecoveryCrashed);
    EXPECT_EQ(RecoveryApply(), 0);
    EXPECT_EQ(std::u16string(ProjectGetUserText()), change);
  }
  AppTestDir dir;
};

TEST_F(SessionLockTest, ARunningSessionIsLeftAloneAndRecoveredOnceItDies) {
  RunningSession running(u"Three files dropped");
  ASSERT_TRUE(running.started());
  ASSERT_NO_FATAL_FAILURE(expectRefusedWithoutTouching());
  running.kill();
  ASSERT_NO_FATAL_FAILURE(expectLatestChangeRecovered(u"Three files dropped"));
}

// Where the folder cannot be locked, the previous session's process id in
// its log decides instead.
TEST_F(SessionLockTest, AnUnlockableFolderFallsBackOnTheProcessId) {
  ASSERT_EQ(mkdir(dir.privateFolder().c_str(), 0700), 0);
  ASSERT_EQ(mkdir(dir.privateFile("QV-Session.lock").c_str(), 0700), 0);
  RunningSession running(u"Unlocked change");
  ASSERT_TRUE(running.started());
  ASSERT_NO_FATAL_FAILURE(expectRefusedWithoutTouching());
  running.kill();
  ASSERT_NO_FATAL_FAILURE(expectLatestChangeRecovered(u"Unlocked change"));
  AppEnd();
  EXPECT_NE(ReadWholeFile(dir.privateFile("QV2-log.csv")).find("could not be locked"), std::string::npos);
}

} // namespace
