// The colour adjustments of an input picture.
#include "render/compositor/picture_adjust.h"
#include "render/compositor/pixel_ops.h"

#include <gtest/gtest.h>

namespace {

AdjustStruct neutral() {
  AdjustStruct a{};
  a.Volume = 100;
  a.Balance = 100;
  a.Brightness = a.Contrast = a.Color = a.Sharpness = 100;
  a.ChromaGreen = 255;
  a.ChromaColorRange = 16;
  a.ChromaBrightRange = 32;
  a.Colorize = 0xFFFFFF00;
  return a;
}

Layer adjust(uint32_t pixel, const AdjustStruct& a, int w = 4, int h = 4, bool opaque = true) {
  std::vector<uint32_t> src(static_cast<size_t>(w) * h, pixel);
  PictureSource s;
  s.opaque = opaque;
  s.pixels = src.data();
  s.width = w;
  s.height = h;
  s.cropW = w;
  s.cropH = h;
  Layer out;
  EXPECT_EQ(PictureAdjust(s, a, 0, &out), 0);
  return out;
}

} // namespace

TEST(PictureAdjust, NeutralNeedsNothingAndCopies) {
  EXPECT_FALSE(PictureNeedsAdjust(neutral()));
  Layer out = adjust(0xFF336699u, neutral());
  EXPECT_EQ(out.at(1, 1), 0xFF336699u);
}

TEST(PictureAdjust, BrightnessScales) {
  AdjustStruct a = neutral();
  a.Brightness = 50;
  Layer out = adjust(0xFF804020u, a);
  EXPECT_EQ(PixelR(out.at(0, 0)), 0x40);
  EXPECT_EQ(PixelG(out.at(0, 0)), 0x20);
  EXPECT_EQ(PixelB(out.at(0, 0)), 0x10);
}

TEST(PictureAdjust, ContrastPullsAwayFromMidGrey) {
  AdjustStruct a = neutral();
  a.Contrast = 200;
  Layer out = adjust(0xFFA06080u, a);
  EXPECT_EQ(PixelR(out.at(0, 0)), 192);
  EXPECT_EQ(PixelG(out.at(0, 0)), 64);
  EXPECT_EQ(PixelB(out.at(0, 0)), 128);
}

TEST(PictureAdjust, ColourZeroGivesGrey) {
  AdjustStruct a = neutral();
  a.Color = 0;
  uint32_t p = adjust(0xFFFF0000u, a).at(0, 0);
  EXPECT_EQ(PixelR(p), PixelG(p));
  EXPECT_EQ(PixelG(p), PixelB(p));
}

TEST(PictureAdjust, HueTurnsRedTowardsGreen) {
  AdjustStruct a = neutral();
  a.Hue = 120;
  uint32_t p = adjust(0xFFFF0000u, a).at(0, 0);
  EXPECT_GT(PixelG(p), PixelR(p));
  EXPECT_GT(PixelG(p), PixelB(p));
}

TEST(PictureAdjust, SharpnessRaisesAnEdge) {
  AdjustStruct a = neutral();
  a.Sharpness = 200;
  std::vector<uint32_t> src(8 * 4);
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 8; ++x) src[y * 8 + x] = x < 4 ? 0xFF404040u : 0xFFC0C0C0u;
  PictureSource s{src.data(), 8, 4, true, true, 0, 0, 8, 4};
  Layer out;
  ASSERT_EQ(PictureAdjust(s, a, 0, &out), 0);
  EXPECT_LT(PixelR(out.at(3, 1)), 0x40); // dark side of the edge darker
  EXPECT_GT(PixelR(out.at(4, 1)), 0xC0);
  EXPECT_EQ(PixelR(out.at(0, 1)), 0x40); // flat areas unchanged
}

TEST(PictureAdjust, ChromaKeyClearsTheKeyColour) {
  AdjustStruct a = neutral();
  a.ChromaOn = 1;
  EXPECT_EQ(adjust(0xFF00FF00u, a).at(2, 2), 0u);
  EXPECT_EQ(adjust(0xFFFF0000u, a).at(2, 2), 0xFFFF0000u);
  a.ChromaBrightRange = 0; // a darker green is outside the brightness range
  EXPECT_NE(adjust(0xFF00C000u, a).at(2, 2), 0u);
}

TEST(PictureAdjust, ColorizeOneColourTintsByBrightness) {
  AdjustStruct a = neutral();
  a.Colorize = 0x00FF0000; // one colour: red
  uint32_t white = adjust(0xFFFFFFFFu, a).at(0, 0);
  EXPECT_EQ(white, 0xFFFF0000u);
  uint32_t grey = adjust(0xFF808080u, a).at(0, 0);
  EXPECT_NEAR(PixelR(grey), 128, 1);
  EXPECT_EQ(PixelG(grey), 0);
}

TEST(PictureAdjust, StraightAlphaIsPremultiplied) {
  EXPECT_EQ(PixelA(adjust(0x80FF0000u, neutral()).at(0, 0)), 0xFF); // video: opaque
  Layer out = adjust(0x80FF0000u, neutral(), 4, 4, false);
  EXPECT_EQ(PixelA(out.at(0, 0)), 0x80);
  EXPECT_EQ(PixelR(out.at(0, 0)), 0x80);
}

TEST(PictureAdjust, CropRectStaysInsideThePicture) {
  AdjustStruct a = neutral();
  a.CropLeft = 5000;
  a.CropRight = 5000;
  a.CropTop = -3;
  a.CropBottom = 10;
  int x, y, w, h;
  PictureCropRect(a, 100, 50, &x, &y, &w, &h);
  EXPECT_EQ(x, 99);
  EXPECT_EQ(w, 1);
  EXPECT_EQ(y, 0);
  EXPECT_EQ(h, 40);
}

TEST(PictureAdjust, BadSourcesAreRefused) {
  Layer out;
  PictureSource s;
  EXPECT_EQ(PictureAdjust(s, neutral(), 0, &out), -21);
  uint32_t px = 0;
  s = PictureSource{&px, 1, 1, true, true, 0, 0, 2, 1};
  EXPECT_EQ(PictureAdjust(s, neutral(), 0, &out), -21);
}
