// Text objects: fonts, bold and italic faces, underline, strike-through,
// the three alignments, the outline colour and the automatic box. A thin
// grey rectangle shows each text object's box.
#include "render/golden/golden_fixture.h"

#include <cstring>
#include <functional>

namespace {
constexpr int kTileW = 192, kTileH = 108;

void setFont(TextStruct& t, const char16_t* font) {
  std::memset(t.Font, 0, sizeof t.Font);
  for (size_t i = 0; font[i] && i + 1 < kNameLength; ++i) t.Font[i] = font[i];
}

void setText(TextStruct& t, const char16_t* text) {
  std::memset(t.Text, 0, sizeof t.Text);
  for (size_t i = 0; text[i] && i < 255; ++i) t.Text[i] = text[i];
}

} // namespace

class TextGolden : public GoldenTest {};

TEST_F(TextGolden, FacesAlignmentOutlineAndBox) {
  AddPlainBackdrop(0x203040);
  const uint32_t frame = AddShape(4, 0xFF000000, 0x586070, 8, 5, 15, 90, 70);
  const uint32_t t = AddText("Apex 7", 0xFFFFFF, 110, 5, 15, 90, 70, 0);
  ContactSheet sheet(4, 4, kTileW, kTileH);
  struct Case {
    std::function<void(TextStruct&)> text;
    float x = 5, y = 15, w = 90, h = 70;
  };
  const std::vector<Case> cases = {
      {[](TextStruct&) {}},                                   // stock font, left
      {[](TextStruct& p) { p.Options = 1; }},                 // centred
      {[](TextStruct& p) { p.Options = 2; }},                 // right
      {[](TextStruct& p) { p.Style = 1; }},                   // bold
      {[](TextStruct& p) { p.Style = 2; }},                   // italic
      {[](TextStruct& p) { p.Style = 3; }},                   // bold italic
      {[](TextStruct& p) { p.Style = 4; }},                   // underline
      {[](TextStruct& p) { p.Style = 8; }},                   // strike-through
      {[](TextStruct& p) { p.Style = 1 | 4 | 8, p.Color = 0xFFD040; }},
      {[](TextStruct& p) { p.OutlineColor = 0xE00000, p.Size = 130; }},
      {[](TextStruct& p) { setFont(p, u"Times New Roman"); }},
      {[](TextStruct& p) { setFont(p, u"Courier New"), p.Color = 0x60E060; }},
      {[](TextStruct& p) { setFont(p, u"Arial Black"), p.Options = 1; }},
      // Automatic box, centred on a small stored box: the text shows whole.
      {[](TextStruct& p) { p.Options = 0x81; }, 40, 30, 20, 20},
      // The same box without it: the text is cut at the box.
      {[](TextStruct& p) { p.Options = 1; }, 40, 30, 20, 20},
      {[](TextStruct& p) { setText(p, u"Lap\nTime"), p.Options = 1, p.Size = 80; }},
  };
  for (size_t i = 0; i < cases.size(); ++i) {
    const Case& c = cases[i];
    for (uint32_t object : {frame, t})
      Edit(object, [&](DispStruct& r) {
        r.X = c.x;
        r.Y = c.y;
        r.Width = c.w;
        r.Height = c.h;
      });
    EditParam<TextStruct>(t, [&](TextStruct& p) {
      setText(p, u"Apex 7");
      setFont(p, u"");
      p.Color = 0xFFFFFF;
      p.Size = 110;
      p.Style = 0;
      p.Options = 0;
      p.OutlineColor = 0xFF000000;
      c.text(p);
    });
    Shoot(sheet, static_cast<int>(i));
  }
  ExpectSheet("text_objects", sheet);
}

TEST_F(TextGolden, TextObjectEffects) {
  // Mirroring, transparency and colour channels act on text like on any
  // object; the text's own rotation turns it in its box.
  AddCheckerBackdrop();
  const uint32_t t = AddText("Apex 7", 0xFFE040, 120, 5, 15, 90, 70, 1);
  ContactSheet sheet(4, 1, kTileW, kTileH);
  const std::vector<std::function<void(DispStruct&, TextStruct&)>> cases = {
      [](DispStruct& r, TextStruct&) { r.Mirroring = 1; },
      [](DispStruct& r, TextStruct&) { r.Transparency = 60; },
      [](DispStruct& r, TextStruct&) { r.ColorChans = 1; },
      [](DispStruct&, TextStruct& p) { p.RotateAngle = 20; },
  };
  for (size_t i = 0; i < cases.size(); ++i) {
    DispStruct record = *DispObjGet(t);
    TextStruct param;
    std::memcpy(&param, DispObjGetParam(t), sizeof param);
    record.Mirroring = 0;
    record.Transparency = 0;
    record.ColorChans = 7;
    param.RotateAngle = 0;
    cases[i](record, param);
    ASSERT_EQ(DispObjSet(t, &record), 0);
    ASSERT_EQ(DispObjSetParam(t, &param), 0);
    Shoot(sheet, static_cast<int>(i));
  }
  ExpectSheet("text_effects", sheet);
}
