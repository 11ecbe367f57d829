// Recovery after a session killed outright: a child process starts the
// engine, builds a project, takes an undo checkpoint and is killed with
// SIGKILL; the next start finds the session crashed and reopens its
// snapshot.
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include "engine/app/app.h"
#include "engine/app/recovery.h"
#include "engine/base/identity.h"
#include "engine/files/project_files.h"
#include "engine/files/project_format.h"
#include "engine/files/undo.h"
#include "engine/model/inputs.h"
#include "files_fixture.h"

namespace {

class RecoveryFilesTest : public FilesTest {
protected:
  void TearDown() override {
    AppEnd();
    FilesTest::TearDown();
  }
};

TEST_F(RecoveryFilesTest, KilledSessionIsRecoveredFromItsSnapshot) {
  AppInitIdentity();
  const std::wstring expected = WPath("expected.qvp");
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    if (AppInit(0) != 1) _exit(2);
    BuildSmallProject();
    if (UndoSave() != 0 || ProjectSave(expected.c_str()) != 0) _exit(3);
    kill(getpid(), SIGKILL);
    _exit(4);
  }
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFSIGNALED(status)) << "child exited with " << WEXITSTATUS(status);
  ASSERT_EQ(WTERMSIG(status), SIGKILL);

  ASSERT_EQ(AppInit(0), 1);
  EXPECT_EQ(InputCount(), 0u);
  ASSERT_EQ(RecoveryStatus(), 1000);
  ASSERT_EQ(RecoveryApply(), 0);
  const std::vector<uint8_t> bytes = ReadFileBytes(Path("expected.qvp"));
  ProjectImage saved;
  ASSERT_EQ(ProjectDecode(bytes.data(), bytes.size(), saved), 0);
  ASSERT_EQ(ProjectValidate(saved), 0);
  EXPECT_EQ(InputCount(), 2u);
  ExpectSameProject(saved, CaptureModel());
}

TEST_F(RecoveryFilesTest, CleanEndOffersNothing) {
  AppInitIdentity();
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    if (AppInit(0) != 1) _exit(2);
    BuildSmallProject();
    UndoSave();
    AppEnd();
    _exit(0);
  }
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  ASSERT_EQ(AppInit(0), 1);
  EXPECT_EQ(RecoveryStatus(), 0);
  EXPECT_EQ(RecoveryApply(), -1);
  EXPECT_EQ(InputCount(), 0u);
}

} // namespace
