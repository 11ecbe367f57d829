// A project drawn at a time: shapes and text over a picture input, in list
// order, with the object effects.
#include "render/render_fixture.h"

#include "model/dispobjs.h"
#include "model/timeline.h"

namespace {
constexpr int kW = 320, kH = 240;
constexpr uint32_t kBlue = 0x2040C0, kRed = 0xF00000, kWhite = 0xFFFFFF, kGreen = 0x00FF00;
} // namespace

class FrameRenderTest : public RenderTest {};

TEST_F(FrameRenderTest, ShapeAndTextOverAPictureInput) {
  const uint32_t image = AddSolidImage(kBlue, 64, 48);
  AddObject(kDispVideo, image, 0, 0, 100, 100);
  AddShape(4, kRed, 0xFF000000, 0, 10, 10, 30, 30); // rectangle, no outline
  AddText("HHHH", kWhite, 48, 50, 50, 45, 40, 1);
  std::vector<uint32_t> frame = RenderAt(1.0f, kW, kH);
  // The picture fills the frame.
  EXPECT_LE(ColourDiff(FramePixel(frame, kW, kH, 300, 10), kBlue), 2);
  EXPECT_LE(ColourDiff(FramePixel(frame, kW, kH, 5, 230), kBlue), 2);
  // The rectangle covers 10..40 % of each side.
  EXPECT_LE(ColourDiff(FramePixel(frame, kW, kH, 80, 60), kRed), 2);
  EXPECT_LE(ColourDiff(FramePixel(frame, kW, kH, 34, 26), kRed), 2);
  EXPECT_LE(ColourDiff(FramePixel(frame, kW, kH, 28, 20), kBlue), 2);
  EXPECT_LE(ColourDiff(FramePixel(frame, kW, kH, 132, 100), kBlue), 2);
  // White glyph pixels inside the text box only.
  const int inside = CountColour(frame, kW, kH, 160, 120, 304, 216, kWhite, 10);
  EXPECT_GT(inside, 200);
  EXPECT_EQ(CountColour(frame, kW, kH, 0, 0, 150, 115, kWhite, 10), 0);
}

TEST_F(FrameRenderTest, ListOrderPutsLaterObjectsOnTop) {
  AddShape(4, kRed, 0xFF000000, 0, 0, 0, 60, 60);
  AddShape(4, kGreen, 0xFF000000, 0, 40, 40, 60, 60);
  std::vector<uint32_t> frame = RenderAt(0, kW, kH);
  EXPECT_LE(ColourDiff(FramePixel(frame, kW, kH, 160, 120), kGreen), 2); // overlap
  EXPECT_LE(ColourDiff(FramePixel(frame, kW, kH, 20, 20), kRed), 2);
  EXPECT_EQ(FramePixel(frame, kW, kH, 300, 10), 0xFF000000u); // black background
}

TEST_F(FrameRenderTest, InactiveLateTransparentAndChannelLessObjectsAreSkipped) {
  const uint32_t a = AddShape(4, kRed, 0xFF000000, 0, 0, 0, 25, 50);
  const uint32_t b = AddShape(4, kRed, 0xFF000000, 0, 25, 0, 25, 50);
  const uint32_t c = AddShape(4, kRed, 0xFF000000, 0, 50, 0, 25, 50);
  const uint32_t d = AddShape(4, kRed, 0xFF000000, 0, 75, 0, 25, 50);
  Edit(a, [](DispStruct& r) { r.Active = 0; });
  Edit(b, [](DispStruct& r) { r.OffsetTime = 5; });
  Edit(c, [](DispStruct& r) { r.Transparency = 100; });
  Edit(d, [](DispStruct& r) { r.ColorChans = 0; });
  std::vector<uint32_t> frame = RenderAt(1.0f, kW, kH);
  EXPECT_EQ(CountColour(frame, kW, kH, 0, 0, kW, kH, kRed, 40), 0);
  frame = RenderAt(6.0f, kW, kH); // b has started
  EXPECT_LE(ColourDiff(FramePixel(frame, kW, kH, 120, 50), kRed), 2);
}

TEST_F(FrameRenderTest, TransparencyAndChannelsOfAnObject) {
  const uint32_t image = AddSolidImage(0x000000, 32, 32);
  AddObject(kDispVideo, image, 0, 0, 100, 100);
  const uint32_t shape = AddShape(4, kWhite, 0xFF000000, 0, 0, 0, 100, 100);
  Edit(shape, [](DispStruct& r) { r.Transparency = 50; });
  std::vector<uint32_t> frame = RenderAt(0, kW, kH);
  uint32_t p = FramePixel(frame, kW, kH, 100, 100);
  EXPECT_NEAR(static_cast<int>((p >> 16) & 0xFF), 127, 3);
  Edit(shape, [](DispStruct& r) {
    r.Transparency = 0;
    r.ColorChans = 1; // red only
  });
  frame = RenderAt(0, kW, kH);
  EXPECT_LE(ColourDiff(FramePixel(frame, kW, kH, 100, 100), 0xFF0000), 2);
}

TEST_F(FrameRenderTest, TimelineSegmentMovesAnObject) {
  const uint32_t shape = AddShape(4, kRed, 0xFF000000, 0, 0, 0, 20, 20);
  ASSERT_NE(TimelineDispObjAdd(shape, 2.0f), kNoDispObj);
  ASSERT_EQ(TimelineApply(2.5f), 0);
  Edit(shape, [](DispStruct& r) { r.X = 80; });
  std::vector<uint32_t> frame = RenderAt(1.0f, kW, kH);
  EXPECT_LE(ColourDiff(FramePixel(frame, kW, kH, 30, 20), kRed), 2);
  frame = RenderAt(3.0f, kW, kH);
  EXPECT_GT(ColourDiff(FramePixel(frame, kW, kH, 30, 20), kRed), 100);
  EXPECT_LE(ColourDiff(FramePixel(frame, kW, kH, 290, 20), kRed), 2);
}

TEST_F(FrameRenderTest, TypesWithoutRendererDrawNothing) {
  AddObject(kDispEnhanced, 255, 0, 0, 100, 100);
  AddObject(kDispGroup, 255, 0, 0, 100, 100);
  std::vector<uint32_t> frame = RenderAt(0, kW, kH);
  EXPECT_EQ(CountColour(frame, kW, kH, 0, 0, kW, kH, 0x000000, 0), kW * kH);
}
