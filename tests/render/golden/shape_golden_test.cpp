// Shape objects: every shape code, line sizes, outline and fill alone, the
// fill gradient and the high-resolution drawing.
#include "render/golden/golden_fixture.h"

#include <functional>

namespace {
constexpr int kTileW = 128, kTileH = 72;
} // namespace

class ShapeGolden : public GoldenTest {};

TEST_F(ShapeGolden, ShapeCodesAndLines) {
  AddPlainBackdrop(0x283038);
  const uint32_t s = AddShape(4, 0x2080E0, 0xFFFFFF, 4, 10, 10, 80, 80);
  ContactSheet sheet(4, 4, kTileW, kTileH);
  const std::vector<std::function<void(ShapeStruct&)>> cases = {
      [](ShapeStruct& p) { p.Shape = 1; }, // line NW-SE (drawn in the line colour)
      [](ShapeStruct& p) { p.Shape = 2; }, // line NE-SW
      [](ShapeStruct& p) { p.Shape = 3; },
      [](ShapeStruct& p) { p.Shape = 4; },
      [](ShapeStruct& p) { p.Shape = 5; },
      [](ShapeStruct& p) { p.Shape = 6; },
      [](ShapeStruct& p) { p.Shape = 9; }, // an unknown code draws a rectangle
      [](ShapeStruct& p) { p.Shape = 1, p.LineColor = 0xFF000000, p.LineSize = 1; }, // fill colour, thin
      [](ShapeStruct& p) { p.Shape = 2, p.LineColor = 0xFFC000, p.LineSize = 20; },  // thick
      [](ShapeStruct& p) { p.Shape = 3, p.FillColor = 0xFF000000, p.LineSize = 10; }, // outline only
      [](ShapeStruct& p) { p.Shape = 5, p.LineColor = 0xFF000000; },                  // fill only
      [](ShapeStruct& p) { p.Shape = 4, p.FillColor = 0xE02020, p.FillColor2 = 0x200000; },
      [](ShapeStruct& p) { p.Shape = 6, p.FillColor = 0x20C040, p.FillColor2 = 0xE0E040, p.LineSize = 0; },
      [](ShapeStruct& p) { p.Shape = 3, p.Options = 0x80; }, // drawn at 1440 x 960
      [](ShapeStruct& p) { p.Shape = 6, p.Options = 0x80, p.LineSize = 12; },
      [](ShapeStruct& p) { p.Shape = 4, p.LineSize = 30; }, // the outline stays inside the box
  };
  for (size_t i = 0; i < cases.size(); ++i) {
    EditParam<ShapeStruct>(s, [&](ShapeStruct& p) {
      p.FillColor = 0x2080E0;
      p.FillColor2 = 0xFF000000;
      p.LineColor = 0xFFFFFF;
      p.LineSize = 4;
      p.Options = 0;
      cases[i](p);
    });
    Shoot(sheet, static_cast<int>(i));
  }
  ExpectSheet("shape_codes", sheet);
}
