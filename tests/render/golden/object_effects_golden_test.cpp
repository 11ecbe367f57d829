// The effects every display object carries (position and size, keeping the
// ratio, transparency, mirroring, colour channels, the fast quality) and
// the background bitmap with its rotation, zoom, offset and chroma key.
#include "render/golden/golden_fixture.h"

#include "base/text.h"
#include "render/objects/background_bitmap.h"

#include <functional>

namespace {
constexpr int kTileW = 128, kTileH = 72;

void box(DispStruct& r, float x, float y, float w, float h) {
  r.X = x;
  r.Y = y;
  r.Width = w;
  r.Height = h;
}

// Back to the plain object in the middle of the frame.
void plain(DispStruct& r) {
  box(r, 10, 10, 80, 80);
  r.KeepRatio = 0;
  r.Transparency = 0;
  r.Mirroring = 0;
  r.ColorChans = 7;
  r.BitmapRotate = 0;
  r.BitmapZoom = 1;
  r.BitmapOffsetX = 0;
  r.BitmapOffsetY = 0;
  r.BitmapChroma = 0xFF000000;
}

} // namespace

class ObjectEffectsGolden : public GoldenTest {};

TEST_F(ObjectEffectsGolden, PictureObjectEffects) {
  AddCheckerBackdrop();
  const uint32_t card = AddPictureInput(WriteTestCard("card"));
  const uint32_t picture = AddObject(kDispVideo, card, 10, 10, 80, 80);
  ContactSheet sheet(4, 4, kTileW, kTileH);
  const std::vector<std::function<void(DispStruct&)>> cases = {
      [](DispStruct&) {},
      [](DispStruct& r) { box(r, 50, 45, 40, 40); },           // smaller, lower right
      [](DispStruct& r) { box(r, -20, 55, 60, 60); },          // partly outside the frame
      [](DispStruct& r) { box(r, 35, 5, 30, 90); },            // stretched into a tall box
      [](DispStruct& r) { box(r, 35, 5, 30, 90), r.KeepRatio = 1; }, // letterboxed
      [](DispStruct& r) { box(r, 5, 25, 90, 50), r.KeepRatio = 2; }, // pillarboxed
      [](DispStruct& r) { r.Transparency = 50; },
      [](DispStruct& r) { r.Transparency = 85; },
      [](DispStruct& r) { r.Mirroring = 1; },
      [](DispStruct& r) { r.Mirroring = 2; },
      [](DispStruct& r) { r.Mirroring = 3; },
      [](DispStruct& r) { r.ColorChans = 1; }, // red only: green and blue from behind
      [](DispStruct& r) { r.ColorChans = 6; }, // green and blue
      [](DispStruct& r) { r.ColorChans = 4; }, // blue only
      [](DispStruct& r) { r.Mirroring = 1, r.Transparency = 40, r.ColorChans = 3; },
      [](DispStruct&) {}, // drawn at the fastest quality
  };
  for (size_t i = 0; i < cases.size(); ++i) {
    Edit(picture, [&](DispStruct& r) {
      plain(r);
      cases[i](r);
    });
    Shoot(sheet, static_cast<int>(i), 0, i == 15 ? 5 : 0);
  }
  ExpectSheet("object_effects", sheet);
}

TEST_F(ObjectEffectsGolden, BackgroundBitmap) {
  AddPlainBackdrop(0x283038);
  // A rectangle with no fill and a thin white outline shows the object's box
  // over its bitmap.
  const uint32_t s = AddShape(4, 0xFF000000, 0xFFFFFF, 2, 10, 10, 80, 80);
  const std::wstring card = Utf8ToWide(WriteTestCard("card"));
  ASSERT_EQ(DispObjBitmapImport(s, card.c_str()), 0);
  ContactSheet sheet(4, 4, kTileW, kTileH);
  const std::vector<std::function<void(DispStruct&)>> cases = {
      [](DispStruct&) {},
      [](DispStruct& r) { box(r, 30, 5, 40, 90); }, // stretched into a tall box
      [](DispStruct& r) { box(r, 30, 5, 40, 90); }, // the same keeping the bitmap's ratio
      [](DispStruct& r) { r.BitmapRotate = 30; },
      [](DispStruct& r) { r.BitmapRotate = 90; },
      [](DispStruct& r) { r.BitmapZoom = 0.5f; },
      [](DispStruct& r) { r.BitmapZoom = 1.6f; }, // clipped to the box
      [](DispStruct& r) { r.BitmapOffsetX = 25, r.BitmapOffsetY = 15; },
      [](DispStruct& r) { r.BitmapOffsetX = -30, r.BitmapOffsetY = -20; },
      [](DispStruct& r) { r.BitmapRotate = 45, r.BitmapZoom = 0.7f, r.BitmapOffsetX = 10; },
      [](DispStruct& r) { // key out the green bar
        r.BitmapChroma = 0x0000BF00;
        r.BitmapChromaCRange = 10;
        r.BitmapChromaBRange = 10;
      },
      [](DispStruct& r) { // wider ranges take the green ramp too
        r.BitmapChroma = 0x0000BF00;
        r.BitmapChromaCRange = 40;
        r.BitmapChromaBRange = 150;
      },
      [](DispStruct& r) { r.Transparency = 50; },
      [](DispStruct& r) { r.Mirroring = 1; },
      [](DispStruct& r) { r.ColorChans = 5; },
      [](DispStruct& r) { r.BitmapZoom = 0.6f, r.Mirroring = 2, r.BitmapRotate = -20; },
  };
  for (size_t i = 0; i < cases.size(); ++i) {
    Edit(s, [&](DispStruct& r) {
      plain(r);
      cases[i](r);
    });
    ASSERT_EQ(DispObjBitmapSetOptions(s, i == 2 ? 1 : 0), 0);
    Shoot(sheet, static_cast<int>(i));
  }
  ExpectSheet("background_bitmap", sheet);
}

TEST_F(ObjectEffectsGolden, BackgroundBitmapBehindShapeAndText) {
  AddPlainBackdrop(0x283038);
  const std::wstring card = Utf8ToWide(WriteTestCard("card"));
  ContactSheet sheet(2, 1, kTileW, kTileH);
  // The object's own drawing lies over its bitmap.
  const uint32_t circle = AddShape(3, 0xFF000000, 0xFFFF00, 6, 20, 10, 60, 80);
  ASSERT_EQ(DispObjBitmapImport(circle, card.c_str()), 0);
  Shoot(sheet, 0);
  Edit(circle, [](DispStruct& r) { r.Active = 0; });
  const uint32_t text = AddText("Lap 12", 0xFFFFFF, 140, 10, 10, 80, 80, 1);
  ASSERT_EQ(DispObjBitmapImport(text, card.c_str()), 0);
  EditParam<TextStruct>(text, [](TextStruct& t) { t.OutlineColor = 0x000000; });
  Shoot(sheet, 1);
  ExpectSheet("background_bitmap_under", sheet);
}
