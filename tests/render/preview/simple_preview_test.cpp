// Simple previews: objects, inputs and bitmaps drawn into their views over
// a checkerboard; slots, redraw and close.
#include "render/render_fixture.h"

#include "base/error.h"
#include "base/text.h"
#include "model/dispobj_table.h"
#include "model/inputs.h"
#include "render/preview/simple_preview.h"
#include "support/media_fixtures.h"

namespace {

struct Sink {
  std::vector<ViewImage> images;
};

uint32_t ViewPixel(const ViewImage& image, uint32_t x, uint32_t y) {
  const uint8_t* p = image.rgba.data() + (static_cast<size_t>(y) * image.width + x) * 4;
  return (uint32_t(p[0]) << 16) | (uint32_t(p[1]) << 8) | p[2];
}

} // namespace

class SimplePreviewTest : public RenderTest {
protected:
  void SetUp() override {
    RenderTest::SetUp();
    ViewRegister(&sink_, [this](const ViewImage& image) { sink_.images.push_back(image); });
  }
  void TearDown() override {
    ViewUnregister(&sink_);
    RenderTest::TearDown();
  }
  Sink sink_;
};

TEST_F(SimplePreviewTest, ObjectFillsTheViewOverTheCheckerboard) {
  const uint32_t circle = AddShape(3, 0x0000E0, 0xFF000000, 0, 40, 40, 20, 20);
  const int slot = SimplePreviewCreateForDispObj(circle, &sink_, 64, 64, 0);
  ASSERT_GE(slot, 0);
  ASSERT_EQ(SimplePreviewDraw(slot, 0, 0, 0.0f), 0);
  ASSERT_EQ(sink_.images.size(), 1u);
  const ViewImage& image = sink_.images[0];
  EXPECT_LE(ColourDiff(ViewPixel(image, 32, 32), 0x0000E0), 2);
  // Outside the circle the checkerboard shows: white and light grey squares.
  EXPECT_EQ(ViewPixel(image, 1, 1), 0xFFFFFFu);
  EXPECT_EQ(ViewPixel(image, 9, 1), 0xCCCCCCu);
  EXPECT_EQ(SimplePreviewRedraw(slot), 0);
  EXPECT_EQ(sink_.images.size(), 2u);
  EXPECT_EQ(sink_.images[1].rgba, sink_.images[0].rgba);
  EXPECT_EQ(SimplePreviewClose(slot), 0);
  EXPECT_EQ(SimplePreviewDraw(slot, 0, 0, 0.0f), -21);
}

TEST_F(SimplePreviewTest, KeepRatioLetterboxesAWideObject) {
  const uint32_t bar = AddShape(4, 0xE00000, 0xFF000000, 0, 0, 0, 100, 25); // 720 x 120 grid
  const int slot = SimplePreviewCreateForDispObj(bar, &sink_, 60, 60, 1);
  ASSERT_GE(slot, 0);
  ASSERT_EQ(SimplePreviewDraw(slot, 0, 0, 0.0f), 0);
  const ViewImage& image = sink_.images.back();
  EXPECT_LE(ColourDiff(ViewPixel(image, 30, 30), 0xE00000), 2);
  EXPECT_GT(ColourDiff(ViewPixel(image, 30, 5), 0xE00000), 100); // above the bar
  SimplePreviewClose(slot);
}

TEST_F(SimplePreviewTest, InputShownThroughTheTemporaryObject) {
  const uint32_t image = AddSolidImage(0x10A050, 20, 10);
  const int slot = SimplePreviewCreateForInput(image, &sink_, 40, 40, 1, 0);
  ASSERT_GE(slot, 0);
  ASSERT_EQ(SimplePreviewDraw(slot, 1, 0, 0.0f), 0);
  const ViewImage& shown = sink_.images.back();
  EXPECT_LE(ColourDiff(ViewPixel(shown, 20, 20), 0x10A050), 2);
  // Kept ratio 2:1: the top rows show the checkerboard.
  EXPECT_GT(ColourDiff(ViewPixel(shown, 20, 2), 0x10A050), 50);
  EXPECT_EQ(SimplePreviewClose(slot), 0);
  EXPECT_EQ(SimplePreviewCreateForInput(99, &sink_, 40, 40, 1, 0), -1);
  EXPECT_EQ(ErrorGetLast(), -41);
}

TEST_F(SimplePreviewTest, InputAtItsOwnTimeShowsThatFrameWhereverItIsPlaced) {
  const std::string source = TempPath("index.mp4");
  ASSERT_TRUE(MakeIndexVideo(source, 40, 64, 32, "10", "-c:v libx264 -preset ultrafast -pix_fmt yuv420p -g 5"));
  const uint32_t input = InputAdd(WideToUtf16(Utf8ToWide(source)).c_str());
  ASSERT_NE(input, 255u);
  // Trimmed to start 2.5 s in, twice as fast, from 1 s into the project.
  MainStruct main = *InputGetMain(input);
  main.TrimStart = 2.5f;
  main.StartTime = 1.0f;
  main.PlayRate = 2.0f;
  ASSERT_EQ(InputSetMain(input, &main), 0);
  const int slot = SimplePreviewCreateForInput(input, &sink_, 64, 32, 0, 0);
  ASSERT_GE(slot, 0);
  auto shownFrame = [&](uint32_t inputTime, float time) {
    EXPECT_EQ(SimplePreviewDraw(static_cast<uint32_t>(slot), inputTime, 0, time), 0);
    std::vector<uint8_t> bgra(sink_.images.back().rgba);
    for (size_t i = 0; i < bgra.size(); i += 4) std::swap(bgra[i], bgra[i + 2]);
    return ReadFrameIndex(bgra.data(), 64, 32, false);
  };
  // Before the trim start, and past it, the input's own frame.
  EXPECT_EQ(shownFrame(1, 0.5f), 5);
  EXPECT_EQ(shownFrame(1, 3.0f), 30);
  // Project time 1.5 plays input time 2.5 + 0.5 x 2.
  EXPECT_EQ(shownFrame(0, 1.5f), 35);
  SimplePreviewClose(static_cast<uint32_t>(slot));
}

TEST_F(SimplePreviewTest, BitmapShownScaled) {
  std::vector<uint32_t> bitmap(4 * 2, 0xFF00FF00u);
  bitmap[0] = bitmap[1] = bitmap[2] = bitmap[3] = 0xFFFF0000u; // bottom row red
  const int slot = SimplePreviewCreateForBitmap(&sink_, 40, 20, bitmap.data(), 4, 2, true);
  ASSERT_GE(slot, 0);
  ASSERT_EQ(sink_.images.size(), 1u);
  EXPECT_EQ(ViewPixel(sink_.images[0], 20, 2), 0x00FF00u);
  EXPECT_EQ(ViewPixel(sink_.images[0], 20, 18), 0xFF0000u);
  EXPECT_EQ(SimplePreviewDraw(slot, 0, 0, 0), 0); // shown again
  EXPECT_EQ(sink_.images.size(), 2u);
  EXPECT_EQ(SimplePreviewCreateForBitmap(&sink_, 40, 20, nullptr, 4, 2, true), -1);
  SimplePreviewClose(slot);
}

TEST_F(SimplePreviewTest, ThirtyTwoSlotsThenNone) {
  const uint32_t shape = AddShape(4, 0x000000, 0xFF000000, 0, 0, 0, 10, 10);
  std::vector<int> slots;
  for (uint32_t i = 0; i < kSimplePreviewSlots; ++i) {
    slots.push_back(SimplePreviewCreateForDispObj(shape, &sink_, 8, 8, 0));
    ASSERT_EQ(slots.back(), static_cast<int>(i));
  }
  EXPECT_EQ(SimplePreviewCreateForDispObj(shape, &sink_, 8, 8, 0), -1);
  EXPECT_EQ(ErrorGetLast(), -40);
  EXPECT_EQ(SimplePreviewClose(5), 0);
  EXPECT_EQ(SimplePreviewCreateForDispObj(shape, &sink_, 8, 8, 0), 5);
  EXPECT_EQ(SimplePreviewDraw(32, 0, 0, 0), -41);
  EXPECT_EQ(SimplePreviewClose(40), -41);
  EXPECT_EQ(SimplePreviewCreateForDispObj(200, &sink_, 8, 8, 0), -1);
  EXPECT_EQ(ErrorGetLast(), -41);
  for (int slot : slots) SimplePreviewClose(static_cast<uint32_t>(slot));
}
