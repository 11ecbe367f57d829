// Recovery after a session killed outright: a child process starts the
// engine, builds a project, changes it after an undo checkpoint and is
// killed with SIGKILL; the next start finds the session crashed and reopens
// the project as it stood after that change.
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include "app/app.h"
#include "base/identity.h"
#include "base/text.h"
#include "io/files/project_files.h"
#include "io/files/project_format.h"
#include "io/files/recovery_snapshot.h"
#include "io/files/session.h"
#include "io/files/undo.h"
#include "model/dispobjs.h"
#include "model/inputs.h"
#include "model/project.h"
#include "io/session/recovery.h"
#include "files_fixture.h"

namespace {

class RecoveryFilesTest : public FilesTest {
protected:
  void TearDown() override {
    AppEnd();
    FilesTest::TearDown();
  }
  static bool Exists(const std::wstring& path) { return access(WideToUtf8(path).c_str(), F_OK) == 0; }
  static ProjectImage SnapshotOf(const std::wstring& path) {
    const std::vector<uint8_t> bytes = ReadFileBytes(WideToUtf8(path));
    ProjectImage image;
    EXPECT_EQ(ProjectDecode(bytes.data(), bytes.size(), image), 0);
    return image;
  }
};

// The kill comes right after a change that followed the undo checkpoint:
// the change is recovered, and so are the project's file and name.
TEST_F(RecoveryFilesTest, KilledSessionIsRecoveredWithItsLatestChangeAndName) {
  AppInitIdentity();
  const std::wstring expected = WPath("expected.qvp");
  const ProjectIdentity identity{WPath("Final Heat.qvp"), L"Final Heat"};
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    if (AppInit(0) != 1) _exit(2);
    BuildSmallProject();
    if (RecoverySetProjectIdentity(identity) != 0 || UndoSave() != 0) _exit(3);
    if (DispObjRename(0, u"Renamed just before the kill") != 0) _exit(4);
    if (ProjectSave(expected.c_str()) != 0) _exit(5);
    kill(getpid(), SIGKILL);
    _exit(6);
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
  EXPECT_EQ(RecoveryProjectIdentity().file, identity.file);
  EXPECT_EQ(RecoveryProjectIdentity().name, identity.name);
  // The recovered work is this session's own now: kept for a kill too.
  ExpectSameProject(saved, SnapshotOf(RecoverySnapshotFile(SessionGetId())));
  EXPECT_EQ(RecoveryReadProjectIdentity(SessionGetId()).name, L"Final Heat");
}

// Undo and redo work as ever; the recovery snapshot follows each step, and
// a project emptied or opened from its file leaves nothing to recover.
TEST_F(RecoveryFilesTest, SnapshotFollowsUndoAndGoesWithNewAndOpen) {
  AppInitIdentity();
  ASSERT_EQ(AppInit(0), 1);
  const std::wstring snapshot = RecoverySnapshotFile(SessionGetId());
  EXPECT_FALSE(Exists(snapshot)) << "nothing changed yet";
  BuildSmallProject();
  const ProjectImage before = CaptureModel();
  ASSERT_EQ(UndoSave(), 0);
  ASSERT_EQ(DispObjRename(0, u"After"), 0);
  const ProjectImage after = CaptureModel();
  ExpectSameProject(after, SnapshotOf(snapshot));
  for (int round = 0; round < 2; ++round) {
    ASSERT_EQ(UndoToggle(), 0);
    ExpectSameProject(before, CaptureModel());
    ExpectSameProject(before, SnapshotOf(snapshot));
    ASSERT_EQ(UndoToggle(), 0);
    ExpectSameProject(after, CaptureModel());
    ExpectSameProject(after, SnapshotOf(snapshot));
  }
  ASSERT_EQ(ProjectSave(WPath("saved.qvp").c_str()), 0);
  EXPECT_LT(ProjectOpen(WPath("missing.qvp").c_str()), 0);
  EXPECT_TRUE(Exists(snapshot)) << "a file that did not open changes nothing";
  ASSERT_EQ(ProjectOpen(WPath("saved.qvp").c_str()), 0);
  EXPECT_FALSE(Exists(snapshot));
  ProjectSetUserText(u"changed after opening");
  EXPECT_TRUE(Exists(snapshot));
  ASSERT_EQ(ProjectNew(), 0);
  EXPECT_FALSE(Exists(snapshot));
  AppEnd();
  EXPECT_FALSE(Exists(snapshot));
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
