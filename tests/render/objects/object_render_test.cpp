// Each object type's drawing: shapes, text boxes, pictures with their
// input's adjustments, background bitmaps and embedded images.
#include "render/render_fixture.h"

#include "base/access_lock.h"
#include "model/dispobj_table.h"
#include "model/inputs.h"
#include "render/loop/frame_render.h"

#include <cmath>
#include <cstring>
#include <fstream>

#include "base/text.h"

namespace {
constexpr int kW = 360, kH = 240; // half the 720 x 480 grid
constexpr uint32_t kRed = 0xE00000, kGreen = 0x00C000, kBlue = 0x0000E0, kWhite = 0xFFFFFF;
} // namespace

class ObjectRenderTest : public RenderTest {
protected:
  std::vector<uint32_t> Frame(float time = 0) { return RenderAt(time, kW, kH); }
  uint32_t At(const std::vector<uint32_t>& f, int x, int y) { return FramePixel(f, kW, kH, x, y); }
  // Puts a bitmap block (bottom-up straight-alpha pixels) on the object.
  void SetBitmap(uint32_t object, uint32_t width, uint32_t height,
                 const std::vector<uint32_t>& pixels, uint8_t options = 0) {
    DispObjEntry* e = DispTableEntry(object);
    ASSERT_NE(e, nullptr);
    DispBitmapHeader head{};
    head.Width = width;
    head.Height = height;
    head.Options = options;
    e->Bitmap.resize(sizeof head + pixels.size() * 4);
    std::memcpy(e->Bitmap.data(), &head, sizeof head);
    std::memcpy(e->Bitmap.data() + sizeof head, pixels.data(), pixels.size() * 4);
    DispTableSync(object);
  }
};

TEST_F(ObjectRenderTest, ShapeCodes) {
  // Line NW-SE across the left third, circle in the middle, rounder rect right.
  AddShape(1, kRed, kRed, 4, 0, 0, 30, 100);
  AddShape(3, kGreen, 0xFF000000, 0, 35, 25, 30, 50);
  AddShape(6, kBlue, 0xFF000000, 0, 70, 0, 30, 100);
  std::vector<uint32_t> f = Frame();
  EXPECT_LE(ColourDiff(At(f, 54, 120), kRed), 30); // on the diagonal
  EXPECT_GT(ColourDiff(At(f, 100, 20), kRed), 100);
  EXPECT_LE(ColourDiff(At(f, 180, 120), kGreen), 2);
  EXPECT_GT(ColourDiff(At(f, 128, 62), kGreen), 100); // the circle's corner stays clear
  EXPECT_LE(ColourDiff(At(f, 306, 120), kBlue), 2);
  EXPECT_GT(ColourDiff(At(f, 253, 1), kBlue), 100); // the round corner
}

TEST_F(ObjectRenderTest, ShapeOutlineAndGradient) {
  const uint32_t s = AddShape(4, kBlue, kWhite, 8, 10, 10, 80, 80);
  EditParam<ShapeStruct>(s, [](ShapeStruct& p) { p.FillColor2 = 0x000000; });
  std::vector<uint32_t> f = Frame();
  EXPECT_LE(ColourDiff(At(f, 37, 120), kWhite), 2); // the outline on the left edge
  const uint32_t top = At(f, 180, 40), bottom = At(f, 180, 200);
  EXPECT_GT(top & 0xFF, (bottom & 0xFF) + 80); // blue fading towards black
}

TEST_F(ObjectRenderTest, TextWithAutomaticBoxFollowsItsSize) {
  // A small box with the automatic size bit: the text still shows whole.
  const uint32_t t = AddText("WIDE TEXT", kWhite, 40, 10, 40, 5, 5, 0x80);
  std::vector<uint32_t> f = Frame();
  EXPECT_GT(CountColour(f, kW, kH, 36, 96, 360, 240, kWhite, 10), 100);
  EXPECT_EQ(CountColour(f, kW, kH, 0, 0, 30, 90, kWhite, 10), 0);
  // Without it the text is clipped to the box.
  EditParam<TextStruct>(t, [](TextStruct& p) { p.Options = 0; });
  f = Frame();
  EXPECT_EQ(CountColour(f, kW, kH, 60, 0, 360, 240, kWhite, 10), 0);
}

TEST_F(ObjectRenderTest, TextOutlineColour) {
  const uint32_t t = AddText("OOO", kWhite, 60, 0, 0, 100, 100);
  EditParam<TextStruct>(t, [](TextStruct& p) { p.OutlineColor = 0x00FF0000; });
  std::vector<uint32_t> f = Frame();
  EXPECT_GT(CountColour(f, kW, kH, 0, 0, kW, kH, 0xFF0000, 10), 100);
  EXPECT_GT(CountColour(f, kW, kH, 0, 0, kW, kH, kWhite, 10), 50);
}

TEST_F(ObjectRenderTest, KeptShapeAndTextDrawingsFollowTheirRecords) {
  const uint32_t s = AddShape(4, kRed, 0xFF000000, 0, 0, 0, 50, 100);
  const uint32_t t = AddText("OOO", kWhite, 60, 50, 0, 50, 100);
  const std::vector<uint32_t> first = Frame();
  EXPECT_LE(ColourDiff(At(first, 90, 120), kRed), 2);
  EXPECT_GT(CountColour(first, kW, kH, 180, 0, kW, kH, kWhite, 10), 100);
  EXPECT_EQ(Frame(), first); // the kept drawings give the same bits
  EditParam<ShapeStruct>(s, [](ShapeStruct& p) { p.FillColor = kBlue; });
  EditParam<TextStruct>(t, [](TextStruct& p) { p.Color = kGreen; });
  const std::vector<uint32_t> changed = Frame();
  EXPECT_LE(ColourDiff(At(changed, 90, 120), kBlue), 2);
  EXPECT_GT(CountColour(changed, kW, kH, 180, 0, kW, kH, kGreen, 10), 100);
  EXPECT_EQ(CountColour(changed, kW, kH, 180, 0, kW, kH, kWhite, 10), 0);
  // A new size draws anew.
  Edit(s, [](DispStruct& r) { r.Width = 25; });
  const std::vector<uint32_t> narrow = Frame();
  EXPECT_LE(ColourDiff(At(narrow, 45, 120), kBlue), 2);
  EXPECT_GT(ColourDiff(At(narrow, 135, 120), kBlue), 100);
}

TEST_F(ObjectRenderTest, PictureKeepsItsRatioAndMirrors) {
  // A 2:1 picture, left half red and right half blue, in a square box.
  const uint32_t image = AddSolidImage(kRed, 40, 20);
  const uint32_t pic = AddObject(kDispVideo, image, 0, 0, 100, 100);
  Edit(pic, [](DispStruct& r) { r.KeepRatio = 1; });
  std::vector<uint32_t> f = Frame();
  EXPECT_LE(ColourDiff(At(f, 180, 120), kRed), 2);
  EXPECT_EQ(At(f, 180, 10) & 0xFFFFFF, 0u); // letterbox above: 360 x 180 picture
  EXPECT_LE(ColourDiff(At(f, 180, 40), kRed), 2);
}

TEST_F(ObjectRenderTest, InputAdjustmentsApplyToThePicture) {
  const uint32_t image = AddSolidImage(0x808080, 16, 16);
  AddObject(kDispVideo, image, 0, 0, 100, 100);
  AdjustStruct adjust = *InputGetAdjust(image);
  adjust.Brightness = 50;
  ASSERT_EQ(InputSetAdjust(image, &adjust), 0);
  std::vector<uint32_t> f = Frame();
  EXPECT_LE(ColourDiff(At(f, 100, 100), 0x404040), 2);
  adjust.Brightness = 100;
  adjust.Colorize = 0x0000FF00; // one colour: green
  ASSERT_EQ(InputSetAdjust(image, &adjust), 0);
  f = Frame();
  EXPECT_LE(ColourDiff(At(f, 100, 100), 0x008000), 2);
  adjust.Colorize = 0xFFFFFF00;
  adjust.CropLeft = 8; // half the picture, stretched over the box
  adjust.ChromaOn = 1;
  adjust.ChromaRed = 0x80;
  adjust.ChromaGreen = 0x80;
  adjust.ChromaBlue = 0x80;
  ASSERT_EQ(InputSetAdjust(image, &adjust), 0);
  f = Frame();
  EXPECT_EQ(At(f, 100, 100) & 0xFFFFFF, 0u); // keyed out: the black frame shows
}

TEST_F(ObjectRenderTest, InputRotationTurnsThePictureInItsBox) {
  // 2:1 picture turned a quarter: it stands upright in the box.
  const uint32_t image = AddSolidImage(kGreen, 40, 20);
  const uint32_t pic = AddObject(kDispVideo, image, 0, 0, 100, 100);
  Edit(pic, [](DispStruct& r) { r.KeepRatio = 1; });
  AdjustStruct adjust = *InputGetAdjust(image);
  adjust.Rotation = 90;
  ASSERT_EQ(InputSetAdjust(image, &adjust), 0);
  std::vector<uint32_t> f = Frame();
  EXPECT_LE(ColourDiff(At(f, 180, 120), kGreen), 2);
  EXPECT_LE(ColourDiff(At(f, 180, 5), kGreen), 2); // full height
  EXPECT_EQ(At(f, 100, 120) & 0xFFFFFF, 0u);        // narrow: 120 wide at 360 x 240
}

TEST_F(ObjectRenderTest, BackgroundBitmapWithChromaKey) {
  const uint32_t s = AddShape(4, 0xFF000000, 0xFF000000, 0, 0, 0, 100, 100); // nothing drawn itself
  std::vector<uint32_t> pixels(4 * 4, 0xFF00FF00u);
  for (int i = 0; i < 8; ++i) pixels[i] = 0xFFFF0000u; // bottom half red
  SetBitmap(s, 4, 4, pixels);
  std::vector<uint32_t> f = Frame();
  EXPECT_LE(ColourDiff(At(f, 100, 200), 0xFF0000), 2);
  EXPECT_LE(ColourDiff(At(f, 100, 40), 0x00FF00), 2);
  Edit(s, [](DispStruct& r) {
    r.BitmapChroma = 0x0000FF00;
    r.BitmapChromaCRange = 10;
    r.BitmapChromaBRange = 10;
  });
  f = Frame();
  EXPECT_EQ(At(f, 100, 40) & 0xFFFFFF, 0u);
  EXPECT_LE(ColourDiff(At(f, 100, 200), 0xFF0000), 2);
}

TEST_F(ObjectRenderTest, BitmapBlockThatLiesAboutItsSizeIsRefused) {
  const uint32_t s = AddShape(4, 0xFF000000, 0xFF000000, 0, 0, 0, 100, 100);
  SetBitmap(s, 4, 4, std::vector<uint32_t>(16, 0xFFFFFFFFu));
  DispObjEntry* e = DispTableEntry(s);
  DispBitmapHeader head{};
  head.Width = 100000;
  head.Height = 100000;
  std::memcpy(e->Bitmap.data(), &head, sizeof head);
  DispTableSync(s);
  std::vector<uint32_t> f = Frame(); // must not read past the block
  EXPECT_EQ(CountColour(f, kW, kH, 0, 0, kW, kH, kWhite, 0), 0);
}

TEST_F(ObjectRenderTest, EmbeddedImageFlashes) {
  const uint32_t e = AddObject(kDispEImage, 255, 0, 0, 100, 100);
  SetBitmap(e, 2, 2, std::vector<uint32_t>(4, 0xFF0000FFu));
  EditParam<EImageParam>(e, [](EImageParam& p) {
    p.Mode = 0;
    p.FlashInterval = 5; // half a second on, half off
  });
  EXPECT_LE(ColourDiff(At(Frame(0.2f), 180, 120), 0x0000FF), 2);
  EXPECT_EQ(At(Frame(0.7f), 180, 120) & 0xFFFFFF, 0u);
  EXPECT_LE(ColourDiff(At(Frame(1.2f), 180, 120), 0x0000FF), 2);
}

TEST_F(ObjectRenderTest, OverscanKeepsObjectsInsideTheSafeArea) {
  AddShape(4, kRed, 0xFF000000, 0, 0, 0, 100, 100);
  std::vector<uint32_t> frame(static_cast<size_t>(kW) * kH, 0);
  FrameTarget target{frame.data(), kW, kH, true};
  FrameRenderOptions options;
  options.overscan = 10; // 5 % each side
  {
    ReadAccess access("test");
    ASSERT_EQ(RenderProjectFrame(0, target, options), 0);
  }
  EXPECT_EQ(FramePixel(frame, kW, kH, 5, 5) & 0xFFFFFF, 0u);
  EXPECT_LE(ColourDiff(FramePixel(frame, kW, kH, 20, 20), kRed), 2);
  EXPECT_EQ(FramePixel(frame, kW, kH, 350, 235) & 0xFFFFFF, 0u);
}

TEST_F(ObjectRenderTest, EmbeddedImageDrivenByADataChannel) {
  const std::string log = TempPath("temp.csv");
  {
    std::ofstream f(log);
    f << "Time (ms),X,Y,Temp\n";
    for (int ms = 0; ms <= 3000; ms += 100) f << ms << "," << ms / 100 << ",0," << ms / 10 << "\n";
  }
  const uint32_t data = InputAdd(WideToUtf16(Utf8ToWide(log)).c_str());
  ASSERT_NE(data, 255u);
  const uint32_t e = AddObject(kDispEImage, data, 0, 0, 100, 100);
  SetBitmap(e, 2, 2, std::vector<uint32_t>(4, 0xFF00FF00u));
  EditParam<EImageParam>(e, [](EImageParam& p) {
    const char16_t field[] = u"Temp";
    std::memcpy(p.Field, field, sizeof field);
    p.Mode = 2; // threshold on MaxInput
    p.MaxInput = 150;
    p.MinOutput = 0;
    p.MaxOutput = 100;
    p.OutputType = 3; // transparency
    p.FlashInterval = 0;
  });
  EXPECT_LE(ColourDiff(At(Frame(1.0f), 180, 120), 0x00FF00), 2); // 100: solid
  EXPECT_EQ(At(Frame(2.0f), 180, 120) & 0xFFFFFF, 0u);            // 200: fully clear
  EditParam<EImageParam>(e, [](EImageParam& p) {
    p.Mode = 1; // mapped: 0..300 onto 0..100 % transparency
    p.MinInput = 0;
    p.MaxInput = 300;
  });
  const uint32_t half = At(Frame(1.5f), 180, 120);
  EXPECT_NEAR(static_cast<int>((half >> 8) & 0xFF), 127, 4);
  // "Less or equal": a value standing on the threshold is at or below it.
  EditParam<EImageParam>(e, [](EImageParam& p) {
    p.Mode = kEImageAtOrBelow;
    p.MinInput = 150;
  });
  EXPECT_LE(ColourDiff(At(Frame(1.5f), 180, 120), 0x00FF00), 2); // 150: the minimum output, solid
  EXPECT_EQ(At(Frame(1.6f), 180, 120) & 0xFFFFFF, 0u);            // 160: the maximum, clear
}

TEST_F(ObjectRenderTest, OutlandishBoxesDrawWithoutHarm) {
  const uint32_t t = AddText("T", kWhite, 40, 0, 0, 100, 100);
  Edit(t, [](DispStruct& r) {
    r.Width = 1e9f;
    r.Height = 1e9f;
  });
  const uint32_t s = AddShape(4, kRed, 0xFF000000, 0, -50, -50, 1e7f, 1e7f);
  const uint32_t n = AddShape(4, kGreen, 0xFF000000, 0, 0, 0, 50, 50);
  Edit(n, [](DispStruct& r) { r.X = std::nanf(""); });
  std::vector<uint32_t> f = Frame();
  EXPECT_LE(ColourDiff(At(f, 180, 120), kRed), 2);
  (void)s;
}
