// Display objects: names, records, removal, order and groups.
#include <cstring>
#include <vector>

#include "model/dispobj_table.h"
#include "model/dispobjs.h"
#include "model/inputs.h"
#include "model_fixture.h"

namespace {

class DispObjEditTest : public ModelTest {
protected:
  static uint32_t AddNamed(uint32_t type, const char16_t* name) {
    const uint32_t object = DispObjAdd(type, kNoInput);
    EXPECT_EQ(DispObjRename(object, name), 0);
    return object;
  }
  static std::u16string Name(uint32_t object) {
    const char16_t* name = DispObjGetName(object);
    return name ? std::u16string(name) : u"(bad)";
  }
  static void Place(uint32_t object, float x, float y, float w, float h, uint32_t parent) {
    DispStruct record = *DispObjGet(object);
    record.X = x;
    record.Y = y;
    record.Width = w;
    record.Height = h;
    record.ParentObject = parent;
    ASSERT_EQ(DispObjSet(object, &record), 0);
  }
  static std::vector<std::u16string> Order() {
    std::vector<std::u16string> names;
    for (uint32_t i = 0; i < DispObjCount(); ++i) names.push_back(Name(i));
    return names;
  }
};

TEST_F(DispObjEditTest, RenameRules) {
  const uint32_t a = AddNamed(kDispText, u"Title");
  const uint32_t b = DispObjAdd(kDispText, kNoInput);
  EXPECT_EQ(DispObjRename(b, u"TITLE"), -10);
  EXPECT_EQ(DispObjRename(b, u"(None)"), -10);
  EXPECT_EQ(DispObjRename(b, u"(none)"), -10);
  EXPECT_EQ(DispObjRename(b, u""), -10);
  EXPECT_EQ(DispObjRename(b, nullptr), -10);
  EXPECT_EQ(DispObjRename(a, u"Title"), 0);
  const std::u16string longName(80, u'q');
  EXPECT_EQ(DispObjRename(b, longName.c_str()), 0);
  EXPECT_EQ(Name(b), std::u16string(63, u'q'));
  EXPECT_EQ(std::u16string(DispObjGet(b)->Name), std::u16string(63, u'q'));
  EXPECT_EQ(DispObjFind(u"title"), a);
  EXPECT_EQ(DispObjFind(u"missing"), kNoDispObj);
  EXPECT_EQ(DispObjRename(5, u"x"), -41);
  EXPECT_EQ(DispObjRename(0xFFFFFFFF, u"x"), -21);
}

TEST_F(DispObjEditTest, BadIndexesAnswerTheirCodesAndChangeNothing) {
  DispObjAdd(kDispText, kNoInput);
  EXPECT_EQ(DispObjGet(0xFFFFFFFF), nullptr);
  EXPECT_EQ(ErrorGetLast(), -21);
  EXPECT_EQ(DispObjGet(5), nullptr); // unused slot: no error to show
  EXPECT_EQ(ErrorGetLast(), 0);
  EXPECT_EQ(DispObjGet(300), nullptr);
  EXPECT_EQ(ErrorGetLast(), -41);
  EXPECT_EQ(DispObjGetParam(0xFFFFFFFF), nullptr);
  EXPECT_EQ(ErrorGetLast(), -21);
  EXPECT_EQ(DispObjGetParam(255), nullptr);
  EXPECT_EQ(DispObjGetName(255), nullptr);
  EXPECT_EQ(DispObjGetType(255), 0xFF);
  DispStruct record = *DispObjGet(0);
  EXPECT_EQ(DispObjSet(255, &record), -41);
  EXPECT_EQ(DispObjSet(0xFFFFFFFF, &record), -21);
  EXPECT_EQ(DispObjSet(0, nullptr), -21);
  EXPECT_EQ(DispObjSetParam(1, DispObjGetParam(0)), -41);
  EXPECT_EQ(DispObjSetParam(0, nullptr), -21);
  EXPECT_EQ(DispObjRemove(1, 1), -41);
  EXPECT_EQ(DispObjRemove(0xFFFFFFFF, 1), -21);
  EXPECT_EQ(DispObjDuplicate(7), kNoDispObj);
  EXPECT_EQ(DispObjSetInput(0, 4), -41);
  EXPECT_EQ(DispObjChangeOrder(9, 1, 0), -41);
  EXPECT_EQ(DispObjCount(), 1u);
  EXPECT_EQ(DispObjGet(0)->InputID, kNoInput);
}

TEST_F(DispObjEditTest, SetKeepsNameTypeAndBlocks) {
  const uint32_t object = AddNamed(kDispShape, u"Box");
  DispStruct record = *DispObjGet(object);
  const uint8_t* block = record.Param;
  record.X = 42;
  record.Type = kDispGauge;
  for (char16_t& c : record.Name) c = u'z';
  record.Param = nullptr;
  record.ParamSize = 9999;
  ASSERT_EQ(DispObjSet(object, &record), 0);
  const DispStruct* now = DispObjGet(object);
  EXPECT_FLOAT_EQ(now->X, 42);
  EXPECT_EQ(now->Type, kDispShape);
  EXPECT_EQ(Name(object), u"Box");
  EXPECT_EQ(now->Param, block);
  EXPECT_EQ(now->ParamSize, sizeof(ShapeStruct));
}

TEST_F(DispObjEditTest, SetRefusesABadGroupOrInput) {
  const uint32_t a = DispObjAdd(kDispText, kNoInput);
  DispStruct record = *DispObjGet(a);
  record.ParentObject = a;
  EXPECT_EQ(DispObjSet(a, &record), -21);
  record.ParentObject = 17;
  EXPECT_EQ(DispObjSet(a, &record), -21);
  record.ParentObject = kNoDispObj;
  record.InputID = 3;
  EXPECT_EQ(DispObjSet(a, &record), -41);
  EXPECT_EQ(DispObjGet(a)->InputID, kNoInput);
}

TEST_F(DispObjEditTest, ParamRoundTripAndDataField) {
  const uint32_t object = DispObjAdd(kDispTextData, kNoInput);
  TextStruct text;
  std::memcpy(&text, DispObjGetParam(object), sizeof(text));
  text.Size = 50;
  for (char16_t& c : text.Font) c = u'f'; // no terminator
  ASSERT_EQ(DispObjSetParam(object, &text), 0);
  TextStruct back;
  std::memcpy(&back, DispObjGetParam(object), sizeof(back));
  EXPECT_FLOAT_EQ(back.Size, 50);
  EXPECT_EQ(back.Font[kNameLength - 1], 0);
  const std::u16string longField(90, u'c');
  ASSERT_EQ(DispObjSetDataField(object, longField.c_str()), 0);
  std::memcpy(&back, DispObjGetParam(object), sizeof(back));
  EXPECT_EQ(std::u16string(back.Field), std::u16string(63, u'c'));
  EXPECT_EQ(DispObjSetDataField(DispObjAdd(kDispShape, kNoInput), u"Speed"), -21);
}

TEST_F(DispObjEditTest, ScriptsAreClearedAfterTheirTerminator) {
  const uint32_t object = DispObjAdd(kDispEnhanced, kNoInput);
  DispObjEntry* entry = DispTableEntry(object);
  entry->Param.assign(sizeof(EnhParam), 0);
  DispTableSync(object);
  std::vector<uint8_t> bytes(sizeof(EnhParam), 'x');
  EnhParam* param = reinterpret_cast<EnhParam*>(bytes.data());
  std::memcpy(param->BackScript, "draw();", 8); // terminator, then stale text
  ASSERT_EQ(DispObjSetParam(object, param), 0);
  const EnhParam* stored = reinterpret_cast<const EnhParam*>(DispObjGet(object)->Param);
  EXPECT_STREQ(stored->BackScript, "draw();");
  for (int i = 8; i < kScriptBytes; ++i) ASSERT_EQ(stored->BackScript[i], 0) << i;
  EXPECT_EQ(stored->ForeScript[kScriptBytes - 1], 0);
  EXPECT_EQ(std::strlen(stored->ForeScript), static_cast<size_t>(kScriptBytes - 1));
  EXPECT_EQ(stored->Label[kNameLength - 1], 0);
}

TEST_F(DispObjEditTest, RemoveCompactsAndFreesMembers) {
  const uint32_t a = AddNamed(kDispText, u"A");
  const uint32_t m = AddNamed(kDispText, u"M");
  const uint32_t g = AddNamed(kDispGroup, u"G");
  const uint32_t b = AddNamed(kDispText, u"B");
  Place(m, 0, 0, 10, 10, g);
  Place(b, 0, 0, 10, 10, g);
  ASSERT_EQ(DispObjRemove(a, 0), 0);
  EXPECT_EQ(Order(), (std::vector<std::u16string>{u"M", u"G", u"B"}));
  EXPECT_EQ(DispObjGet(0)->ParentObject, 1u); // renumbered with the group
  ASSERT_EQ(DispObjRemove(1, 0), 0);
  EXPECT_EQ(Order(), (std::vector<std::u16string>{u"M", u"B"}));
  EXPECT_EQ(DispObjGet(0)->ParentObject, kNoDispObj);
  EXPECT_EQ(DispObjGet(1)->ParentObject, kNoDispObj);
}

TEST_F(DispObjEditTest, RemoveWithMembersTakesTheWholeGroup) {
  const uint32_t m1 = AddNamed(kDispText, u"M1");
  AddNamed(kDispText, u"Free");
  const uint32_t m2 = AddNamed(kDispText, u"M2");
  const uint32_t g = AddNamed(kDispGroup, u"G");
  Place(m1, 0, 0, 1, 1, g);
  Place(m2, 0, 0, 1, 1, g);
  ASSERT_EQ(DispObjRemove(g, 1), 0);
  EXPECT_EQ(Order(), (std::vector<std::u16string>{u"Free"}));
}

TEST_F(DispObjEditTest, RemoveInputSparesObjectsThatSwitchAway) {
  InputAddSpecial(8);
  InputAddSpecial(8);
  const uint32_t shows = DispObjAdd(kDispVideo, 0);
  const uint32_t switches = DispObjAdd(kDispVideo, 0);
  DispObjAdd(kDispVideo, 1);
  ASSERT_EQ(DispObjRename(shows, u"Shows"), 0);
  ASSERT_EQ(DispObjRename(switches, u"Switches"), 0);
  ASSERT_NE(TimelineDispObjAdd(switches, 5), kNoDispObj);
  ASSERT_EQ(TimelineApply(6), 0);
  ASSERT_EQ(DispObjSetInput(switches, 1), 0);
  ASSERT_EQ(DispObjRemoveInput(0, 0), 0);
  EXPECT_EQ(DispObjCount(), 2u);
  EXPECT_EQ(DispObjFind(u"Shows"), kNoDispObj);
  EXPECT_NE(DispObjFind(u"Switches"), kNoDispObj);
}

TEST_F(DispObjEditTest, RemoveInputWithWholeGroup) {
  InputAddSpecial(8);
  const uint32_t video = AddNamed(kDispText, u"V");
  const uint32_t label = AddNamed(kDispText, u"L");
  AddNamed(kDispText, u"Other");
  const uint32_t g = AddNamed(kDispGroup, u"G");
  Place(video, 0, 0, 1, 1, g);
  Place(label, 0, 0, 1, 1, g);
  ASSERT_EQ(DispObjSetInput(video, 0), 0);
  ASSERT_EQ(DispObjRemoveInput(0, 1), 0);
  EXPECT_EQ(Order(), (std::vector<std::u16string>{u"Other"}));
}

TEST_F(DispObjEditTest, DuplicateCopiesBlocksUnderAUniqueName) {
  const uint32_t object = AddNamed(kDispEImage, u"Logo");
  const uint32_t copy = DispObjDuplicate(object);
  ASSERT_EQ(copy, 1u);
  EXPECT_EQ(Name(copy), u"Logo - 001");
  const DispStruct* a = DispObjGet(object);
  const DispStruct* b = DispObjGet(copy);
  EXPECT_NE(a->Param, b->Param);
  EXPECT_NE(a->Bitmap, b->Bitmap);
  EXPECT_EQ(a->BitmapSize, b->BitmapSize);
  EXPECT_EQ(std::memcmp(a->Param, b->Param, a->ParamSize), 0);
  EXPECT_EQ(Name(DispObjDuplicate(object)), u"Logo - 002");
}

TEST_F(DispObjEditTest, ChangeOrderMovesAGroupWithItsMembers) {
  AddNamed(kDispText, u"A");
  const uint32_t m1 = AddNamed(kDispText, u"M1");
  const uint32_t m2 = AddNamed(kDispText, u"M2");
  const uint32_t g = AddNamed(kDispGroup, u"G");
  AddNamed(kDispText, u"B");
  Place(m1, 0, 0, 1, 1, g);
  Place(m2, 0, 0, 1, 1, g);
  const std::vector<std::u16string> start = Order();
  ASSERT_EQ(DispObjChangeOrder(g, 1, 0), 0);
  EXPECT_EQ(Order(), (std::vector<std::u16string>{u"A", u"B", u"M1", u"M2", u"G"}));
  EXPECT_EQ(DispObjGet(2)->ParentObject, 4u);
  ASSERT_EQ(DispObjChangeOrder(4, -1, 0), 0);
  EXPECT_EQ(Order(), start);
  EXPECT_EQ(DispObjGet(1)->ParentObject, 3u);
  ASSERT_EQ(DispObjChangeOrder(3, -1, 0), 0);
  EXPECT_EQ(Order(), (std::vector<std::u16string>{u"M1", u"M2", u"G", u"A", u"B"}));
  ASSERT_EQ(DispObjChangeOrder(0, 1, 0), 0); // a member moves among members
  EXPECT_EQ(Order(), (std::vector<std::u16string>{u"M2", u"M1", u"G", u"A", u"B"}));
  ASSERT_EQ(DispObjChangeOrder(3, 1, 1), 0); // to the end
  EXPECT_EQ(Order(), (std::vector<std::u16string>{u"M2", u"M1", u"G", u"B", u"A"}));
  ASSERT_EQ(DispObjChangeOrder(4, 1, 0), 0); // already last: nothing
  EXPECT_EQ(Order(), (std::vector<std::u16string>{u"M2", u"M1", u"G", u"B", u"A"}));
}

TEST_F(DispObjEditTest, GroupBoxAndScaleRoundTrip) {
  const uint32_t a = AddNamed(kDispText, u"A");
  const uint32_t b = AddNamed(kDispText, u"B");
  const uint32_t g = AddNamed(kDispGroup, u"G");
  Place(a, 10, 20, 10, 5, g);
  Place(b, 30, 10, 20, 30, g);
  ASSERT_EQ(DispObjGroupCalcPosSize(g), 0);
  const DispStruct box = *DispObjGet(g);
  EXPECT_FLOAT_EQ(box.X, 10);
  EXPECT_FLOAT_EQ(box.Y, 10);
  EXPECT_FLOAT_EQ(box.Width, 40);
  EXPECT_FLOAT_EQ(box.Height, 30);
  Place(g, 50, 40, 20, 60, kNoDispObj); // moved and scaled by 0.5 x 2
  ASSERT_EQ(DispObjGroupChangePosSize(g), 0);
  EXPECT_FLOAT_EQ(DispObjGet(a)->X, 50);
  EXPECT_FLOAT_EQ(DispObjGet(a)->Y, 60);
  EXPECT_FLOAT_EQ(DispObjGet(a)->Width, 5);
  EXPECT_FLOAT_EQ(DispObjGet(a)->Height, 10);
  EXPECT_FLOAT_EQ(DispObjGet(b)->X, 60);
  EXPECT_FLOAT_EQ(DispObjGet(b)->Height, 60);
  Place(g, 10, 10, 40, 30, kNoDispObj);
  ASSERT_EQ(DispObjGroupChangePosSize(g), 0);
  EXPECT_NEAR(DispObjGet(a)->X, 10, 1e-4);
  EXPECT_NEAR(DispObjGet(a)->Y, 20, 1e-4);
  EXPECT_NEAR(DispObjGet(b)->Width, 20, 1e-4);
  EXPECT_NEAR(DispObjGet(b)->Height, 30, 1e-4);
}

TEST_F(DispObjEditTest, GroupRoutinesLeaveOtherObjectsAlone) {
  const uint32_t a = DispObjAdd(kDispText, kNoInput);
  const DispStruct before = *DispObjGet(a);
  EXPECT_EQ(DispObjGroupCalcPosSize(a), 0);
  EXPECT_EQ(DispObjGroupChangePosSize(a), 0);
  EXPECT_EQ(std::memcmp(&before, DispObjGet(a), sizeof(before)), 0);
  const uint32_t empty = DispObjAdd(kDispGroup, kNoInput);
  EXPECT_EQ(DispObjGroupCalcPosSize(empty), 0);
}

} // namespace
