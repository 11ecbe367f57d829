// Embedded images: the picture alone, flashing, keeping its ratio, and a
// data channel driving rotation, transparency, brightness or hue, mapped
// or by threshold.
#include "render/golden/golden_fixture.h"

#include "base/text.h"
#include "render/objects/background_bitmap.h"

#include <cstring>
#include <fstream>
#include <functional>

namespace {
constexpr int kTileW = 128, kTileH = 72;
} // namespace

class EmbeddedImageGolden : public GoldenTest {};

TEST_F(EmbeddedImageGolden, ModesOutputsAndFlashing) {
  // A log whose "Temp" channel climbs 50 a second: 0 at 0 s, 300 at 6 s.
  const std::string log = TempPath("temp.csv");
  {
    std::ofstream f(log);
    f << "Time (ms),X,Y,Temp\n";
    for (int ms = 0; ms <= 7000; ms += 100) f << ms << "," << ms / 100 << ",0," << ms / 20 << "\n";
  }
  const uint32_t data = AddPictureInput(log);
  AddCheckerBackdrop();
  const std::wstring card = Utf8ToWide(WriteTestCard("card"));
  const int32_t created = DispObjAddEImageFromFile(card.c_str());
  ASSERT_GE(created, 0);
  const uint32_t e = static_cast<uint32_t>(created);
  ASSERT_EQ(DispObjSetInput(e, data), 0);

  struct Case {
    float time;
    std::function<void(EImageParam&)> param;
    std::function<void(DispStruct&)> record = [](DispStruct&) {};
    uint8_t bitmapOptions = 0;
  };
  auto mapped = [](uint8_t output, double lo, double hi) {
    return [=](EImageParam& p) {
      p.Mode = 1;
      p.OutputType = output;
      p.MinInput = 0;
      p.MaxInput = 300;
      p.MinOutput = lo;
      p.MaxOutput = hi;
    };
  };
  const std::vector<Case> cases = {
      {0.2f, [](EImageParam&) {}},                                  // the picture as it is
      {0.2f, [](EImageParam& p) { p.FlashInterval = 5; }},          // flashing: on
      {0.7f, [](EImageParam& p) { p.FlashInterval = 5; }},          // flashing: off
      {0.2f, [](EImageParam&) {}, [](DispStruct& r) { r.X = 30, r.Y = 5, r.Width = 40, r.Height = 90; }, 1},
      {2.0f, mapped(2, 0, 90)},     // 100 of 300: turned 30 degrees
      {3.0f, mapped(3, 0, 100)},    // 150: half transparent
      {1.5f, mapped(4, 0, 200)},    // 75: brightness 50
      {4.0f, mapped(5, -180, 180)}, // 200: hue turned 60 degrees
      {2.0f, [](EImageParam& p) {   // 100 below the threshold of 150: solid
         p.Mode = 2, p.OutputType = 3, p.MaxInput = 150, p.MinOutput = 0, p.MaxOutput = 100;
       }},
      {4.0f, [](EImageParam& p) {   // 200 above it: gone
         p.Mode = 2, p.OutputType = 3, p.MaxInput = 150, p.MinOutput = 0, p.MaxOutput = 100;
       }},
      {3.0f, [](EImageParam& p) {   // 150 above the lower threshold of 100: upside down
         p.Mode = 3, p.OutputType = 2, p.MinInput = 100, p.MinOutput = 0, p.MaxOutput = 180;
       }},
      {0.2f, [](EImageParam&) {}, [](DispStruct& r) { r.Transparency = 40, r.Mirroring = 1; }},
  };
  ContactSheet sheet(4, 3, kTileW, kTileH);
  for (size_t i = 0; i < cases.size(); ++i) {
    const Case& c = cases[i];
    Edit(e, [&](DispStruct& r) {
      r.X = 10, r.Y = 10, r.Width = 80, r.Height = 80;
      r.OffsetTime = 0;
      r.Active = 1;
      r.Transparency = 0;
      r.Mirroring = 0;
      c.record(r);
    });
    EditParam<EImageParam>(e, [&](EImageParam& p) {
      std::memset(p.Field, 0, sizeof p.Field);
      const char16_t field[] = u"Temp";
      std::memcpy(p.Field, field, sizeof field);
      p.Mode = 0;
      p.OutputType = 0;
      p.FlashInterval = 0;
      p.MinInput = p.MaxInput = p.MinOutput = p.MaxOutput = 0;
      c.param(p);
    });
    ASSERT_EQ(DispObjBitmapSetOptions(e, c.bitmapOptions), 0);
    Shoot(sheet, static_cast<int>(i), c.time);
  }
  ExpectSheet("embedded_image", sheet);
}
