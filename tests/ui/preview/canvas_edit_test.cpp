// Editing display objects on the main window's canvas with the real engine:
// the drag threshold and its one checkpoint, snapping, keeping 1 % in
// frame, full-frame objects, groups, pinch scaling, and file drops.
#include <QApplication>
#include <QDropEvent>
#include <QMainWindow>
#include <QMimeData>
#include <QNativeGestureEvent>
#include <QPointingDevice>
#include <QUrl>
#include <filesystem>

#include "io/files/undo.h"
#include "model/dispobjs.h"
#include "model/inputs.h"
#include "model/project.h"
#include "support/media_fixtures.h"
#include "ui/controls/NSImageViewCustom.h"
#include "ui/controls/NameListTable.h"
#include "ui/preview/preview_fixture.h"
#include "ui/support/file_drops.h"
#include "ui/shell/wcMain.h"

namespace {

// A drag that enters the widget and is let go there; true when the entry
// was accepted.
bool dropOn(QWidget* widget, const QList<QUrl>& urls, QPoint at) {
  QStringList paths;
  for (const QUrl& url : urls) paths << url.toLocalFile();
  return DragAndDropFiles(widget, paths, Qt::CopyAction, Qt::NoModifier, at).entered;
}

// 720 x 480 canvas: (300, 216) lies inside an object at 40 %, 40 %.
const QPointF kInside(300, 216);

} // namespace

TEST_F(PreviewTest, DragStartsPastFivePixelsWithExactlyOneCheckpoint) {
  LaunchMain();
  const uint32_t text = AddText(40, 40, 20, 10);
  main->DispObjRefresh(0xFFFFFFFF);
  const std::string before = UndoSnapshotState();

  main->imageMouseDown(kInside);
  EXPECT_EQ(main->DraggedDispObj(), text);
  EXPECT_EQ(main->SelectedDispObjNames().size(), 1);
  main->imageMouseDrag(kInside + QPointF(5, -5));
  EXPECT_FALSE(main->MouseDragging());
  EXPECT_FLOAT_EQ(ObjectX(text), 40.0f);
  EXPECT_EQ(UndoSnapshotState(), before);
  EXPECT_FALSE(main->ProjectModified());

  main->imageMouseDrag(kInside + QPointF(6, 0));
  EXPECT_TRUE(main->MouseDragging());
  EXPECT_TRUE(main->ProjectModified());
  const std::string checkpoint = UndoSnapshotState();
  EXPECT_NE(checkpoint, before);
  EXPECT_FALSE(main->PreviewImage()->selectionRect().isNull());

  for (int step = 7; step <= 40; step += 3) main->imageMouseDrag(kInside + QPointF(step, step));
  main->imageMouseDrag(kInside + QPointF(20, 14));
  main->imageMouseUp(kInside + QPointF(20, 14));
  EXPECT_EQ(UndoSnapshotState(), checkpoint);
  EXPECT_EQ(main->DraggedDispObj(), 0xFFFFFFFFu);
  EXPECT_TRUE(main->PreviewImage()->selectionRect().isNull());
  // 20 px of 720 is 2.78 %, 14 px of 480 is 2.92 %: snapped to whole percent.
  EXPECT_FLOAT_EQ(ObjectX(text), 43.0f);
  EXPECT_FLOAT_EQ(ObjectY(text), 43.0f);

  // The one checkpoint holds the object where the drag began.
  ASSERT_EQ(UndoToggle(), 0);
  EXPECT_FLOAT_EQ(ObjectX(text), 40.0f);
  EXPECT_FLOAT_EQ(ObjectY(text), 40.0f);
}

TEST_F(PreviewTest, SnappingMovesInWholePercentSteps) {
  LaunchMain();
  const uint32_t text = AddText(40, 40, 20, 10);
  main->imageMouseDown(kInside);
  main->imageMouseDrag(kInside + QPointF(-7.2 * 3, 0));
  EXPECT_FLOAT_EQ(ObjectX(text), 37.0f);
  main->imageMouseDrag(kInside + QPointF(-10, 0)); // 1.39 %
  EXPECT_FLOAT_EQ(ObjectX(text), 39.0f);
  main->imageMouseUp(kInside);

  main->SetSnapToGrid(false);
  Place(text, 40, 40, 20, 10);
  main->imageMouseDown(kInside);
  main->imageMouseDrag(kInside + QPointF(-10, 0));
  EXPECT_NEAR(ObjectX(text), 40.0f - 1000.0f / 720.0f, 1e-4);
  main->imageMouseUp(kInside);
}

TEST_F(PreviewTest, DraggedObjectKeepsOnePercentInTheFrame) {
  LaunchMain();
  const uint32_t text = AddText(40, 40, 20, 10);
  main->imageMouseDown(kInside);
  main->imageMouseDrag(kInside + QPointF(-5000, -5000));
  EXPECT_FLOAT_EQ(ObjectX(text), -19.0f);
  EXPECT_FLOAT_EQ(ObjectY(text), -9.0f);
  // The outline is cut at the picture's edge.
  const QRect outline = main->PreviewImage()->selectionRect();
  EXPECT_EQ(outline.topLeft(), QPoint(0, 0));
  main->imageMouseDrag(kInside + QPointF(5000, 5000));
  EXPECT_FLOAT_EQ(ObjectX(text), 99.0f);
  EXPECT_FLOAT_EQ(ObjectY(text), 99.0f);
  main->imageMouseUp(kInside);
}

TEST_F(PreviewTest, FullFrameObjectIsSelectedButNeitherMovedNorScaled) {
  LaunchMain();
  const uint32_t text = AddText(0, 0, 100, 100);
  main->DispObjRefresh(0xFFFFFFFF);
  const std::string before = UndoSnapshotState();
  main->imageMouseDown(kInside);
  EXPECT_EQ(main->DraggedDispObj(), 0xFFFFFFFFu);
  EXPECT_EQ(main->SelectedDispObjNames().size(), 1);
  main->imageMouseDrag(kInside + QPointF(50, 50));
  main->imageMouseUp(kInside + QPointF(50, 50));
  main->imageMouseMagnify(kInside, 0.5, true);
  EXPECT_EQ(main->PinchedDispObj(), 0xFFFFFFFFu);
  main->imageMouseMagnify(kInside, 0.5, false);
  EXPECT_FLOAT_EQ(ObjectX(text), 0.0f);
  EXPECT_FLOAT_EQ(ObjectWidth(text), 100.0f);
  EXPECT_EQ(UndoSnapshotState(), before);
  EXPECT_FALSE(main->ProjectModified());
}

TEST_F(PreviewTest, PinchScalesFromTheCornerWithinItsClamps) {
  LaunchMain();
  const uint32_t text = AddText(10, 10, 50, 20);
  const QPointF inside(200, 80);
  const std::string before = UndoSnapshotState();
  main->imageMouseMagnify(inside, 0.1, true);
  EXPECT_EQ(main->PinchedDispObj(), text);
  EXPECT_FLOAT_EQ(ObjectWidth(text), 55.0f);
  EXPECT_FLOAT_EQ(DispObjGet(text)->Height, 22.0f);
  EXPECT_FLOAT_EQ(ObjectX(text), 10.0f);
  EXPECT_TRUE(main->previewTicks().updateRequest);
  const std::string checkpoint = UndoSnapshotState();
  EXPECT_NE(checkpoint, before);
  for (int i = 0; i < 20; ++i) main->imageMouseMagnify(inside, 0.1, false);
  EXPECT_FLOAT_EQ(ObjectWidth(text), 100.0f);
  EXPECT_FLOAT_EQ(DispObjGet(text)->Height, 100.0f);
  for (int i = 0; i < 20; ++i) main->imageMouseMagnify(inside, -0.5, false);
  EXPECT_FLOAT_EQ(ObjectWidth(text), 1.0f);
  EXPECT_FLOAT_EQ(DispObjGet(text)->Height, 1.0f);
  EXPECT_FLOAT_EQ(ObjectY(text), 10.0f);
  EXPECT_EQ(UndoSnapshotState(), checkpoint); // one checkpoint per gesture

  // Without gestures nothing changes.
  Place(text, 10, 10, 50, 20);
  main->SetGestures(false);
  main->imageMouseMagnify(inside, 0.1, true);
  EXPECT_EQ(main->PinchedDispObj(), 0xFFFFFFFFu);
  EXPECT_FLOAT_EQ(ObjectWidth(text), 50.0f);
}

TEST_F(PreviewTest, PressingAMemberMovesItsGroupAndDoubleClickPicksTheMember) {
  LaunchMain();
  const uint32_t group = DispObjAdd(0, 255);
  ASSERT_NE(group, 0xFFFFFFFFu);
  const uint32_t member = AddText(40, 40, 20, 10);
  DispStruct record = *DispObjGet(member);
  record.ParentObject = group;
  ASSERT_EQ(DispObjSet(member, &record), 0);
  DispObjGroupCalcPosSize(group);
  main->DispObjRefresh(0xFFFFFFFF);

  main->imageMouseDown(kInside);
  EXPECT_EQ(main->DraggedDispObj(), group);
  main->imageMouseDrag(kInside + QPointF(72, 48)); // 10 % each way
  main->imageMouseUp(kInside + QPointF(72, 48));
  EXPECT_FLOAT_EQ(ObjectX(member), 50.0f);
  EXPECT_FLOAT_EQ(ObjectY(member), 50.0f);
  EXPECT_FLOAT_EQ(ObjectX(group), 50.0f);

  main->imageMouseDoubleClick(QPointF(400, 264));
  const QStringList selected = main->SelectedDispObjNames();
  ASSERT_EQ(selected.size(), 1);
  EXPECT_EQ(DispObjFind(selected.first().toStdU16String().c_str()), member);
}

TEST_F(PreviewTest, DroppedFilesBecomeInputsUndoneTogether) {
  LaunchMain();
  QList<QUrl> urls;
  for (const char* name : {"one.wav", "two.wav", "three.wav"}) {
    const std::string path = tempDir + "/" + name;
    ASSERT_TRUE(WriteWav16(path, 22050, 2, MakeRampPcm16(22050, 2)));
    urls.push_back(QUrl::fromLocalFile(QString::fromStdString(path)));
  }
  // One file on the canvas: added with its messages on.
  EXPECT_TRUE(dropOn(main->PreviewImage(), {urls[0]}, QPoint(100, 100)));
  EXPECT_EQ(InputCount(), 1u);

  // Two more on the window beside the canvas: both, no messages, and one
  // Undo takes both back.
  EXPECT_TRUE(dropOn(main->mainWindow(), {urls[1], urls[2]}, QPoint(5, 5)));
  EXPECT_EQ(InputCount(), 3u);
  EXPECT_TRUE(messages.empty());
  EXPECT_TRUE(main->ProjectModified());
  ASSERT_EQ(UndoToggle(), 0);
  EXPECT_EQ(InputCount(), 1u);
}

// A source asking for a move gets copy back (or no action when move is all
// it offers, as Qt lets a target answer only what is offered), entering,
// moving and at the drop: some file managers delete the file after a move.
// On the canvas and on both lists.
TEST_F(PreviewTest, DropsAreAnsweredAsCopiesNeverAsMoves) {
  LaunchMain();
  struct Source {
    Qt::DropActions offered;
    Qt::KeyboardModifiers modifiers; // Shift: the user asks for a move
    Qt::DropAction answer;
  };
  const Source sources[] = {{Qt::CopyAction | Qt::MoveAction, Qt::ShiftModifier, Qt::CopyAction},
                            {Qt::MoveAction | Qt::LinkAction, Qt::ShiftModifier, Qt::LinkAction},
                            {Qt::MoveAction, Qt::NoModifier, Qt::IgnoreAction}};
  QWidget* const targets[] = {main->PreviewImage(), main->InputFilesTable(), main->DispObjsTable()};
  int dropped = 0;
  for (QWidget* target : targets) {
    for (const Source& source : sources) {
      const std::string path = tempDir + "/drop" + std::to_string(dropped) + ".wav";
      ASSERT_TRUE(WriteWav16(path, 22050, 2, MakeRampPcm16(2205, 2)));
      const DropAnswer answer = DragAndDropFiles(target, {QString::fromStdString(path)}, source.offered,
                                                 source.modifiers, QPoint(20, 20));
      const std::string where = target->objectName().toStdString() + " offer " + std::to_string(source.offered);
      ASSERT_TRUE(answer.entered) << where;
      EXPECT_EQ(answer.enterAction, source.answer) << where;
      EXPECT_EQ(answer.moveAction, source.answer) << where;
      ASSERT_EQ(answer.proposed, Qt::MoveAction) << where;
      EXPECT_TRUE(answer.dropped) << where;
      EXPECT_EQ(answer.dropAction, source.answer) << where;
      EXPECT_TRUE(std::filesystem::exists(path)) << where;
      EXPECT_EQ(InputCount(), static_cast<uint32_t>(++dropped)) << where;
    }
  }
  EXPECT_TRUE(messages.empty());
}

TEST_F(PreviewTest, DraggingDuringPlaybackStopsIt) {
  LaunchMain();
  ProjectSetLength(6.0f);
  const uint32_t text = AddText(40, 40, 20, 10);
  main->PreviewRefresh();
  ASSERT_TRUE(WaitIdle());
  main->PlayButton_Pressed();
  ASSERT_TRUE(main->PreviewIsPlayingNow());
  main->imageMouseDown(kInside);
  main->imageMouseDrag(kInside + QPointF(30, 0));
  main->imageMouseDrag(kInside + QPointF(36, 0));
  main->imageMouseUp(kInside + QPointF(36, 0));
  EXPECT_FLOAT_EQ(ObjectX(text), 45.0f);
  ASSERT_TRUE(WaitIdle());
  // It stays stopped: a while in which a restarted playback would show.
  Spin(300);
  EXPECT_FALSE(main->PreviewIsPlayingNow());
}

TEST_F(PreviewTest, MouseAndTouchpadOnTheCanvasReachTheEditing) {
  LaunchMain();
  const uint32_t text = AddText(40, 40, 20, 10);
  main->DispObjRefresh(0xFFFFFFFF);
  auto send = [this](QEvent::Type type, QPointF at, Qt::MouseButton button, Qt::MouseButtons held, quint64 ms) {
    QMouseEvent event(type, at, main->PreviewImage()->mapToGlobal(at), button, held, Qt::NoModifier);
    event.setTimestamp(ms);
    QApplication::sendEvent(main->PreviewImage(), &event);
  };
  send(QEvent::MouseButtonPress, kInside, Qt::LeftButton, Qt::LeftButton, 1000);
  send(QEvent::MouseMove, kInside + QPointF(72, 0), Qt::NoButton, Qt::LeftButton, 1100);
  send(QEvent::MouseButtonRelease, kInside + QPointF(72, 0), Qt::LeftButton, Qt::NoButton, 1200);
  EXPECT_FLOAT_EQ(ObjectX(text), 50.0f);
  EXPECT_EQ(main->DraggedDispObj(), 0xFFFFFFFFu);

  const QPointF on(kInside + QPointF(72, 0));
  QNativeGestureEvent zoom(Qt::ZoomNativeGesture, QPointingDevice::primaryPointingDevice(), 2, on, on,
                           main->PreviewImage()->mapToGlobal(on), 0.5, QPointF());
  zoom.setTimestamp(5000);
  QApplication::sendEvent(main->PreviewImage(), &zoom);
  EXPECT_FLOAT_EQ(ObjectWidth(text), 30.0f);
}
