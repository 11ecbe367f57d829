// Undo and redo by snapshot files.
#include <cstring>

#include "base/error.h"
#include "base/text.h"
#include "io/files/project_files.h"
#include "io/files/session.h"
#include "io/files/undo.h"
#include "model/dispobjs.h"
#include "model/inputs.h"
#include "model/project.h"
#include "files_fixture.h"

namespace {

class UndoTest : public FilesTest {
protected:
  void TearDown() override {
    UndoEnd();
    FilesTest::TearDown();
  }
};

TEST_F(UndoTest, ToggleGoesBackAndForth) {
  BuildSmallProject();
  const ProjectImage a = CaptureModel();
  ASSERT_EQ(UndoSave(), 0);
  // The change: a renamed object, a new input and one object fewer.
  ASSERT_EQ(DispObjRename(0, u"Renamed"), 0);
  ASSERT_NE(InputAddSpecial(kSpecialJoinAudio), kNoInput);
  ASSERT_EQ(DispObjRemove(1, 0), 0);
  const ProjectImage b = CaptureModel();
  ASSERT_EQ(UndoToggle(), 0);
  ExpectSameProject(a, CaptureModel());
  ASSERT_EQ(UndoToggle(), 0);
  ExpectSameProject(b, CaptureModel());
  ASSERT_EQ(UndoToggle(), 0);
  ExpectSameProject(a, CaptureModel());
  // A new checkpoint after the undo: toggling returns to it.
  ASSERT_EQ(UndoSave(), 0);
  ProjectSetUserText(u"changed again");
  ASSERT_EQ(UndoToggle(), 0);
  ExpectSameProject(a, CaptureModel());
}

TEST_F(UndoTest, SnapshotsAreNamedBySession) {
  BuildSmallProject();
  ASSERT_EQ(UndoSave(), 0);
  const std::wstring undo = UndoSnapshotPath(SessionGetId(), 0);
  EXPECT_FALSE(ReadFileBytes(WideToUtf8(undo)).empty());
  ASSERT_EQ(UndoToggle(), 0);
  EXPECT_FALSE(ReadFileBytes(WideToUtf8(UndoSnapshotPath(SessionGetId(), 1))).empty());
  UndoEnd();
  EXPECT_TRUE(ReadFileBytes(WideToUtf8(undo)).empty());
}

TEST_F(UndoTest, NoCheckpointNoToggle) {
  BuildSmallProject();
  const ProjectImage a = CaptureModel();
  EXPECT_EQ(UndoToggle(), -1);
  ASSERT_EQ(UndoSave(), 0);
  ASSERT_EQ(ProjectSave(WPath("p.qvp").c_str()), 0);
  // Opening a project forgets the checkpoint of the one before.
  ASSERT_EQ(ProjectOpen(WPath("p.qvp").c_str()), 0);
  EXPECT_EQ(UndoToggle(), -1);
  ExpectSameProject(a, CaptureModel());
}

TEST_F(UndoTest, DamagedSnapshotLeavesTheProject) {
  BuildSmallProject();
  ASSERT_EQ(UndoSave(), 0);
  ProjectSetUserText(u"after the checkpoint");
  const ProjectImage b = CaptureModel();
  const std::string undo = WideToUtf8(UndoSnapshotPath(SessionGetId(), 0));
  std::vector<uint8_t> bytes = ReadFileBytes(undo);
  bytes[bytes.size() / 2] ^= 1;
  ASSERT_TRUE(WriteFileBytes(undo, bytes));
  EXPECT_EQ(UndoToggle(), -83);
  ExpectSameProject(b, CaptureModel());
}

} // namespace
