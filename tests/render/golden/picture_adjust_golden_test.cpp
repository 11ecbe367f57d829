// The adjustments of an input picture as they reach the frame: the test
// card on a picture object over a checkerboard, one tile per setting.
#include "render/golden/golden_fixture.h"

#include "model/inputs.h"

#include <functional>

namespace {
constexpr int kTileW = 128, kTileH = 72;
} // namespace

class PictureAdjustGolden : public GoldenTest {
protected:
  void SetUp() override {
    GoldenTest::SetUp();
    AddCheckerBackdrop();
    card = AddPictureInput(WriteTestCard("card"));
    picture = AddObject(kDispVideo, card, 10, 10, 80, 80);
    base = *InputGetAdjust(card);
  }
  // Sets the card's adjustments to the stored ones changed by `change`.
  void Adjust(const std::function<void(AdjustStruct&)>& change) {
    AdjustStruct a = base;
    change(a);
    ASSERT_EQ(InputSetAdjust(card, &a), 0);
  }

  uint32_t card = 255, picture = 0;
  AdjustStruct base{};
};

TEST_F(PictureAdjustGolden, CropRotationAndMirroring) {
  ContactSheet sheet(4, 3, kTileW, kTileH);
  const std::vector<std::function<void(AdjustStruct&)>> cases = {
      [](AdjustStruct&) {}, // as stored
      [](AdjustStruct& a) { // crop: the orange mark and the green ramp go
        a.CropLeft = 12;
        a.CropTop = 8;
        a.CropRight = 6;
        a.CropBottom = 6;
      },
      [](AdjustStruct& a) { a.Rotation = 90; },
      [](AdjustStruct& a) { a.Rotation = 270; },
      [](AdjustStruct& a) { a.Rotation = 180; },
      [](AdjustStruct& a) { a.Rotation = 30; },
      [](AdjustStruct& a) { a.Mirroring = 1; },
      [](AdjustStruct& a) { a.Mirroring = 2; },
      [](AdjustStruct& a) { a.Mirroring = 3; },
      [](AdjustStruct& a) { // crop then a quarter turn
        a.CropLeft = 48;
        a.Rotation = 90;
      },
      [](AdjustStruct& a) { a.Rotation = 90; }, // with the object keeping the ratio
      [](AdjustStruct& a) { a.Mirroring = 1; }, // cancelled by the object's own mirroring
  };
  for (size_t i = 0; i < cases.size(); ++i) {
    Adjust(cases[i]);
    Edit(picture, [&](DispStruct& r) {
      // The turned picture gets a smaller box so that it stays in the frame.
      const bool turned = i == 5;
      r.X = turned ? 25 : 10;
      r.Y = turned ? 20 : 10;
      r.Width = turned ? 50 : 80;
      r.Height = turned ? 60 : 80;
      r.KeepRatio = i == 10 ? 1 : 0;
      r.Mirroring = i == 11 ? 1 : 0;
    });
    Shoot(sheet, static_cast<int>(i));
  }
  ExpectSheet("picture_adjust_geometry", sheet);
}

TEST_F(PictureAdjustGolden, ColourSharpnessChromaKeyAndColorize) {
  ContactSheet sheet(4, 5, kTileW, kTileH);
  // Sharpness shows on the bar edges: those tiles crop to the middle bars.
  auto zoomed = [](AdjustStruct& a) {
    a.CropLeft = 30;
    a.CropRight = 42;
    a.CropTop = 16;
    a.CropBottom = 26;
  };
  const std::vector<std::function<void(AdjustStruct&)>> cases = {
      [](AdjustStruct& a) { a.Brightness = 50; },
      [](AdjustStruct& a) { a.Brightness = 160; },
      [](AdjustStruct& a) { a.Contrast = 40; },
      [](AdjustStruct& a) { a.Contrast = 180; },
      [](AdjustStruct& a) { a.Color = 0; },
      [](AdjustStruct& a) { a.Color = 200; },
      [](AdjustStruct& a) { a.Hue = 120; },
      [](AdjustStruct& a) { a.Hue = -90; },
      [](AdjustStruct& a) { a.Hue = 180; },
      [&](AdjustStruct& a) { zoomed(a); },
      [&](AdjustStruct& a) {
        zoomed(a);
        a.Sharpness = 0;
      },
      [&](AdjustStruct& a) {
        zoomed(a);
        a.Sharpness = 200;
      },
      [](AdjustStruct& a) { // key on the green bar, stock ranges
        a.ChromaOn = 1;
        a.ChromaRed = 0x00;
        a.ChromaGreen = 0xBF;
        a.ChromaBlue = 0x00;
        a.ChromaColorRange = 16;
        a.ChromaBrightRange = 32;
      },
      [](AdjustStruct& a) { // wide colour range: neighbouring hues too
        a.ChromaOn = 1;
        a.ChromaRed = 0x00;
        a.ChromaGreen = 0xBF;
        a.ChromaBlue = 0x00;
        a.ChromaColorRange = 120;
        a.ChromaBrightRange = 60;
      },
      [](AdjustStruct& a) { // mid grey, narrow brightness range: a band of the grey ramp
        a.ChromaOn = 1;
        a.ChromaRed = a.ChromaGreen = a.ChromaBlue = 0x80;
        a.ChromaColorRange = 8;
        a.ChromaBrightRange = 12;
      },
      [](AdjustStruct& a) { // mid grey, wide brightness range: most greys and the white bar
        a.ChromaOn = 1;
        a.ChromaRed = a.ChromaGreen = a.ChromaBlue = 0x80;
        a.ChromaColorRange = 8;
        a.ChromaBrightRange = 70;
      },
      [](AdjustStruct& a) { a.Colorize = 0x00FF8000; }, // one colour: orange
      [](AdjustStruct& a) { a.Colorize = 0x003070FF; }, // one colour: sky blue
      [](AdjustStruct& a) { a.Color = 50; },
      [](AdjustStruct& a) { // adjustments together: darker, stronger, tinted
        a.Brightness = 80;
        a.Contrast = 150;
        a.Colorize = 0x0040FF40;
      },
  };
  for (size_t i = 0; i < cases.size(); ++i) {
    Adjust(cases[i]);
    Shoot(sheet, static_cast<int>(i));
  }
  ExpectSheet("picture_adjust_colour", sheet);
}

TEST_F(PictureAdjustGolden, RainbowColorizeFollowsTheTime) {
  // The tint goes round the colour wheel, 60 degrees a second.
  ContactSheet sheet(3, 2, kTileW, kTileH);
  Adjust([](AdjustStruct& a) { a.Colorize = 0x01000000; });
  for (int i = 0; i < 6; ++i) Shoot(sheet, i, static_cast<float>(i) + 0.5f);
  ExpectSheet("picture_adjust_rainbow", sheet);
}
