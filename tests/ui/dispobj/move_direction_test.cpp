// The picture panel's arrows and a drag on the canvas move an object the
// way they show: found in the frame the engine renders and in the picture
// the canvas shows, higher after up, lower after down, each press twice.
#include <QPushButton>
#include <QTest>
#include <cstdlib>

#include "render/preview/main_preview.h"
#include "ui/controls/NSImageViewCustom.h"
#include "ui/controls/text_field.h"
#include "ui/dispobj/dispobj_fixture.h"
#include "ui/dispobj/vcDispObjPicture.h"
#include "ui/support/rendered_frame.h"

class MoveDirectionTest : public DispObjTest {
protected:
  void SetUp() override {
    DispObjTest::SetUp();
    object = DispObjAdd(kDispShape, kNoInput);
    Place(object, 40, 40, 20, 20);
    main->DispObjRefresh(kNoDispObj);
    main->PreviewRefresh();
  }
  // Where the object stands in the engine's frame and on the canvas; both
  // must agree on the direction of every move.
  QRect Rendered() const { return DrawnBox(RenderedFrame(0)); }
  QRect OnCanvas() const {
    WaitIdle();
    // The canvas gets its picture from the redraw thread: wait for the
    // frame of the last move to be handed over, however busy the machine.
    EXPECT_TRUE(MainPreviewWaitIdle(10000));
    Settle();
    return DrawnBox(main->PreviewImage()->image());
  }
  // The box moved by dx, dy from the earlier one (signs only).
  static void ExpectMoved(const QRect& before, const QRect& after, int dx, int dy) {
    ASSERT_FALSE(before.isEmpty());
    ASSERT_FALSE(after.isEmpty());
    const QPoint moved = after.topLeft() - before.topLeft();
    EXPECT_LE(std::abs(after.width() - before.width()), 1) << after.width() << " after " << before.width();
    EXPECT_LE(std::abs(after.height() - before.height()), 1) << after.height() << " after " << before.height();
    EXPECT_EQ((moved.x() > 0) - (moved.x() < 0), dx) << moved.x() << "," << moved.y();
    EXPECT_EQ((moved.y() > 0) - (moved.y() < 0), dy) << moved.x() << "," << moved.y();
  }

  uint32_t object = 0;
};

TEST_F(MoveDirectionTest, ThePicturePanelsArrowsMoveTheObjectTheWayTheyPoint) {
  ASSERT_TRUE(Editor()->SetDisplayObject(static_cast<int>(object)));
  Editor()->showWindow();
  auto* picture = static_cast<vcDispObjPicture*>(Editor()->Panel(kPanelPicture));
  picture->MoveAmountText->setText("12");
  emit picture->MoveAmountText->changed();
  const struct {
    QPushButton* button;
    int dx, dy;
  } arrows[] = {{picture->MoveUpButton, 0, -1},
                {picture->MoveDownButton, 0, 1},
                {picture->MoveLeftButton, -1, 0},
                {picture->MoveRightButton, 1, 0}};
  for (const auto& arrow : arrows) {
    SCOPED_TRACE(arrow.button->text().toStdString());
    for (int press = 0; press < 2; ++press) {
      const QRect frameBefore = Rendered(), canvasBefore = OnCanvas();
      QTest::mouseClick(arrow.button, Qt::LeftButton);
      ExpectMoved(frameBefore, Rendered(), arrow.dx, arrow.dy);
      ExpectMoved(canvasBefore, OnCanvas(), arrow.dx, arrow.dy);
    }
  }
  // Stored Y still counts from the top: two presses up and two down cancel.
  EXPECT_NEAR(ObjectY(object), 40, 0.001);
}

TEST_F(MoveDirectionTest, ADragOnTheCanvasCarriesTheObjectWithThePointer) {
  NSImageViewCustom* canvas = main->PreviewImage();
  for (const QPoint pull : {QPoint(0, -40), QPoint(0, 60), QPoint(-50, 0), QPoint(30, -30)}) {
    SCOPED_TRACE(std::to_string(pull.x()) + "," + std::to_string(pull.y()));
    const QRect frameBefore = Rendered(), canvasBefore = OnCanvas();
    const QImage shown = canvas->image();
    ASSERT_LE(shown.width(), canvas->width());
    // The picture is centred in the view, unscaled when it fits.
    const QPoint origin((canvas->width() - shown.width()) / 2, (canvas->height() - shown.height()) / 2);
    const QPoint start = origin + canvasBefore.center();
    QTest::mousePress(canvas, Qt::LeftButton, {}, start);
    for (int step = 1; step <= 4; ++step) QTest::mouseMove(canvas, start + pull * step / 4);
    QTest::mouseRelease(canvas, Qt::LeftButton, {}, start + pull);
    const int dx = (pull.x() > 0) - (pull.x() < 0), dy = (pull.y() > 0) - (pull.y() < 0);
    ExpectMoved(frameBefore, Rendered(), dx, dy);
    ExpectMoved(canvasBefore, OnCanvas(), dx, dy);
  }
}
