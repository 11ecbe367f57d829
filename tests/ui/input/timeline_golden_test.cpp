// A segment made in the timeline window that moves a shape: the user adds
// the segment, the property window opens at it, the user types a new X,
// and the renderer draws the shape at its first place before the segment
// and at the new one after it (golden frames under tests/golden/ui).
#include "base/access_lock.h"
#include "model/timeline.h"
#include "render/loop/frame_render.h"
#include "support/golden.h"
#include "ui/dispobj/vcDispObjPicture.h"
#include "ui/input/timeline_fixture.h"

namespace {

constexpr int kWidth = 320, kHeight = 180;
constexpr uint32_t kFill = 0x2080E0;

std::vector<uint32_t> RenderAt(float time) {
  std::vector<uint32_t> frame(static_cast<size_t>(kWidth) * kHeight, 0);
  const auto applied = TimelineApplyForDraw(time); // the preview may be drawing too
  ReadAccess access("TimelineGoldenTest");
  EXPECT_EQ(RenderProjectFrame(time, FrameTarget{frame.data(), kWidth, kHeight, true}, FrameRenderOptions{}), 0);
  return frame;
}

// Whether the pixel at (x, y) from the top is the shape's fill.
bool Filled(const std::vector<uint32_t>& frame, int x, int y) {
  const uint32_t pixel = frame[static_cast<size_t>(kHeight - 1 - y) * kWidth + x] & 0xFFFFFF;
  auto near = [](uint32_t a, uint32_t b) { return a > b ? a - b < 24 : b - a < 24; };
  return near(pixel >> 16, kFill >> 16) && near((pixel >> 8) & 0xFF, (kFill >> 8) & 0xFF) &&
         near(pixel & 0xFF, kFill & 0xFF);
}

} // namespace

TEST_F(TimelineTest, ASegmentThatMovesAShapeDrawsItAtBothPlaces) {
  const uint32_t shape = DispObjAdd(kDispShape, kNoInput);
  Place(shape, 10, 35, 25, 30);
  EditParam<ShapeStruct>(shape, [](ShapeStruct& p) {
    p.Shape = 4;
    p.FillColor = kFill;
    p.LineColor = 0xFFFFFF;
    p.LineSize = 3;
  });
  ProjectSetLength(10);
  main->DispObjRefresh(kNoDispObj);
  wcTimeline* timeline = OpenTimeline();
  ClickAt(1, 0);
  ASSERT_EQ(timeline->SelectedDispObjID(), shape);
  inputAnswers = {std::wstring(L"5")};
  Button("SegmentAddButton")->click();
  ASSERT_EQ(TimelineDispObjGetCount(shape), 1u);
  ASSERT_TRUE(Editor()->window()->isVisible());
  auto* picture = static_cast<vcDispObjPicture*>(Editor()->Panel(kPanelPicture));
  // Edits land at the time applied last: let the repaint at the segment's
  // start finish before typing, as a user's first keystroke comes after it.
  ASSERT_TRUE(WaitIdle());
  Type(picture->PosXText, "60");
  EXPECT_EQ(TimelineDispObjGetChanged(shape, 0) & kSegPosition, uint32_t{kSegPosition});

  const std::vector<uint32_t> before = RenderAt(2);
  const std::vector<uint32_t> after = RenderAt(7);
  // 10 % + 12.5 % and 60 % + 12.5 % of 320 pixels, half-way down.
  EXPECT_TRUE(Filled(before, 72, 90));
  EXPECT_FALSE(Filled(before, 232, 90));
  EXPECT_TRUE(Filled(after, 232, 90));
  EXPECT_FALSE(Filled(after, 72, 90));
  EXPECT_EQ(CompareGoldenIn("ui", "timeline_segment_before", before, kWidth, kHeight), "");
  EXPECT_EQ(CompareGoldenIn("ui", "timeline_segment_after", after, kWidth, kHeight), "");
}
