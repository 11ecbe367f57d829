// Compositing order and groups: objects drawn in list order, reordered,
// see-through objects over a picture, a group with its members moved in
// the order, moved and scaled with the group, and drawn alone; inactive
// and not yet started objects stay out of the frame.
#include "render/golden/golden_fixture.h"

#include "base/access_lock.h"
#include "model/timeline.h"
#include "render/loop/frame_render.h"

#include <string>

namespace {
constexpr int kTileW = 128, kTileH = 72;
} // namespace

class CompositingGolden : public GoldenTest {
protected:
  // The object's index by its name: reordering renumbers objects.
  static uint32_t Find(const char16_t* name) {
    const uint32_t i = DispObjFind(name);
    EXPECT_NE(i, kNoDispObj) << "no object named so";
    return i;
  }
  void Name(uint32_t object, const char16_t* name) { ASSERT_EQ(DispObjRename(object, name), 0); }
  void Show(const std::initializer_list<const char16_t*>& names, bool on) {
    for (const char16_t* n : names) Edit(Find(n), [&](DispStruct& r) { r.Active = on ? 1 : 0; });
  }
};

TEST_F(CompositingGolden, ListOrderAndGroups) {
  ContactSheet sheet(3, 3, kTileW, kTileH);
  AddPlainBackdrop(0x283038);

  // Three overlapping shapes, drawn in list order: red, green, blue.
  Name(AddShape(4, 0xD02020, 0xFFFFFF, 3, 10, 10, 45, 55), u"red");
  Name(AddShape(3, 0x20B040, 0xFFFFFF, 3, 30, 25, 40, 50), u"green");
  Name(AddShape(5, 0x2050D0, 0xFFFFFF, 3, 50, 40, 40, 50), u"blue");
  Shoot(sheet, 0);
  ASSERT_EQ(DispObjChangeOrder(Find(u"red"), 1, 1), 0); // red to the top
  Shoot(sheet, 1);
  ASSERT_EQ(DispObjChangeOrder(Find(u"blue"), -1, 0), 0); // blue one step down, under green
  Shoot(sheet, 2);
  Show({u"red", u"green", u"blue"}, false);

  // See-through objects over a picture.
  const uint32_t card = AddPictureInput(WriteTestCard("card"));
  Name(AddObject(kDispVideo, card, 5, 5, 90, 90), u"picture");
  const uint32_t veil = AddShape(6, 0xFFE000, 0xFF000000, 0, 40, 20, 55, 60);
  Edit(veil, [](DispStruct& r) { r.Transparency = 50; });
  Name(veil, u"veil");
  const uint32_t label = AddText("P1", 0xFFFFFF, 200, 5, 20, 50, 60, 1);
  EditParam<TextStruct>(label, [](TextStruct& t) { t.OutlineColor = 0x000000; });
  Name(label, u"label");
  Shoot(sheet, 3);
  Show({u"picture", u"veil", u"label"}, false);

  // A group of a circle and a text, then a white bar over both.
  const uint32_t group = AddObject(kDispGroup, 255, 0, 0, 10, 10);
  Name(group, u"group");
  Name(AddShape(3, 0xFF8000, 0xFFFFFF, 4, 15, 15, 35, 60), u"member circle");
  Name(AddText("G", 0x000000, 150, 15, 15, 35, 60, 1), u"member text");
  for (const char16_t* m : {u"member circle", u"member text"})
    Edit(Find(m), [&](DispStruct& r) { r.ParentObject = Find(u"group"); });
  ASSERT_EQ(DispObjGroupCalcPosSize(Find(u"group")), 0);
  Name(AddShape(4, 0xF0F0F0, 0xFF000000, 0, 5, 40, 90, 20), u"bar");
  Shoot(sheet, 4);
  // The group with its members above the bar.
  ASSERT_EQ(DispObjChangeOrder(Find(u"group"), 1, 1), 0);
  Shoot(sheet, 5);
  // The group moved right and made smaller: its members follow.
  Edit(Find(u"group"), [](DispStruct& r) {
    r.X = 55;
    r.Y = 30;
    r.Width = 35;
    r.Height = 50;
  });
  ASSERT_EQ(DispObjGroupChangePosSize(Find(u"group")), 0);
  Shoot(sheet, 6);
  // The group drawn alone: its members fill the frame.
  {
    std::vector<uint32_t> alone(static_cast<size_t>(kTileW) * kTileH, 0);
    TimelineApply(0);
    ReadAccess access("CompositingGolden");
    FrameTarget target{alone.data(), kTileW, kTileH, true};
    ASSERT_EQ(RenderObjectAlone(Find(u"group"), 0, target, FrameRenderOptions{}), 0);
    sheet.Put(7, alone);
  }
  Show({u"group", u"member circle", u"member text", u"bar"}, false);

  // Of three circles only the active, started one shows.
  Name(AddShape(3, 0x20C0C0, 0xFF000000, 0, 5, 20, 25, 45), u"shown");
  const uint32_t inactive = AddShape(3, 0xC020C0, 0xFF000000, 0, 37, 20, 25, 45);
  Edit(inactive, [](DispStruct& r) { r.Active = 0; });
  const uint32_t later = AddShape(3, 0xC0C020, 0xFF000000, 0, 70, 20, 25, 45);
  Edit(later, [](DispStruct& r) { r.OffsetTime = 5; });
  Shoot(sheet, 8, 1.0f);
  ExpectSheet("compositing_order_groups", sheet);
}
