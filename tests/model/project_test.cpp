// Project settings: length, speed unit, user text and the wizard's options.
#include <cstring>

#include "io/files/project_files.h"
#include "model/dispobj_table.h"
#include "model/dispobjs.h"
#include "model/input_table.h"
#include "model/inputs.h"
#include "model/project.h"
#include "media/datalog/datalog_queries.h"
#include "model_fixture.h"

namespace {

class ProjectTest : public ModelTest {};

uint32_t AddFiller(float start, float seconds) {
  const uint32_t input = InputAddSpecial(kSpecialFiller);
  InputTableMain(input)->StartTime = start;
  InputTableMain(input)->TrimEnd = seconds;
  return input;
}

TEST_F(ProjectTest, EmptyProjectHasNoLength) {
  EXPECT_FLOAT_EQ(ProjectGetLength(0), 0);
  EXPECT_FLOAT_EQ(ProjectGetLength(1), 0);
}

TEST_F(ProjectTest, AutomaticLengthOverObjectsSegmentsAndInputs) {
  const uint32_t text = DispObjAdd(kDispText, kNoInput);
  ASSERT_EQ(TimelineDispObjSetStart(text, kFirstSegment, 4), 0);
  EXPECT_FLOAT_EQ(ProjectGetLength(0), 4);
  ASSERT_EQ(TimelineDispObjAdd(text, 9), 0u);
  EXPECT_FLOAT_EQ(ProjectGetLength(0), 9);
  // An input nobody shows does not count.
  const uint32_t far = AddFiller(100, 50);
  EXPECT_FLOAT_EQ(ProjectGetLength(0), 9);
  const uint32_t near = AddFiller(3, 8);
  DispObjAdd(kDispVideo, near);
  EXPECT_FLOAT_EQ(ProjectGetLength(0), 11);
  // A segment that switches to the far input extends the project to its end.
  ASSERT_EQ(TimelineApply(9.5f), 0);
  ASSERT_EQ(DispObjSetInput(text, far), 0);
  EXPECT_FLOAT_EQ(ProjectGetLength(0), 150);
}

TEST_F(ProjectTest, JoinMembersCountFromTheirJoin) {
  const uint32_t join = InputAddSpecial(1);
  InputTableMain(join)->StartTime = 20;
  const uint32_t a = AddFiller(0, 5);
  const uint32_t b = AddFiller(0, 7);
  InputTableMain(a)->ParentJoin = static_cast<uint8_t>(join);
  InputTableMain(b)->ParentJoin = static_cast<uint8_t>(join);
  ASSERT_EQ(InputUpdateJoin(join), 0);
  DispObjAdd(kDispVideo, b);
  EXPECT_FLOAT_EQ(ProjectGetLength(0), 32);
  DispObjAdd(kDispVideo, join);
  EXPECT_FLOAT_EQ(ProjectGetLength(0), 32);
}

TEST_F(ProjectTest, ExplicitLength) {
  DispObjAdd(kDispVideo, AddFiller(0, 30));
  ProjectSetLength(12.5f);
  EXPECT_FLOAT_EQ(ProjectGetLength(0), 12.5f);
  EXPECT_FLOAT_EQ(ProjectGetLength(1), 12.5f);
  ProjectSetLength(0.005f); // too short to count: automatic
  EXPECT_FLOAT_EQ(ProjectGetLength(0), 30);
  EXPECT_FLOAT_EQ(ProjectGetLength(1), 0.005f);
  ProjectSetLength(-4);
  EXPECT_FLOAT_EQ(ProjectGetLength(1), 0);
  ProjectSetLength(20);
  ProjectSetLengthMatch(0);
  EXPECT_FLOAT_EQ(ProjectGetLength(1), 0);
  EXPECT_EQ(ProjectGetLengthMatch(), 255u);
}

TEST_F(ProjectTest, InputChoicesAlwaysAnswerNone) {
  AddFiller(0, 1);
  ProjectSetPrimaryInput(0);
  ProjectSetDataInput(0);
  EXPECT_EQ(ProjectGetPrimaryInput(), 255u);
  EXPECT_EQ(ProjectGetDataInput(), 255u);
}

TEST_F(ProjectTest, UserTextKeepsAtMost1023Units) {
  ProjectSetUserText(u"Round 3, Snetterton");
  EXPECT_EQ(std::u16string(ProjectGetUserText()), u"Round 3, Snetterton");
  const std::u16string longText(3000, u'w');
  ProjectSetUserText(longText.c_str());
  EXPECT_EQ(std::u16string(ProjectGetUserText()), std::u16string(1023, u'w'));
  ProjectSetUserText(nullptr);
  EXPECT_EQ(std::u16string(ProjectGetUserText()), u"");
}

TEST_F(ProjectTest, SpeedUnits) {
  EXPECT_EQ(ProjectGetSpeedUnit(), uint32_t{kSpeedMph});
  EXPECT_EQ(ProjectSetSpeedUnit(kSpeedKmh), 0);
  EXPECT_EQ(ProjectGetSpeedUnit(), uint32_t{kSpeedKmh});
  EXPECT_EQ(ProjectSetSpeedUnit(0), -21);
  EXPECT_EQ(ProjectSetSpeedUnit(5), -21);
  EXPECT_EQ(ProjectGetSpeedUnit(), uint32_t{kSpeedKmh});
  ProjectSetDefaultSpeedUnit(kSpeedKnots);
  ASSERT_EQ(ProjectNew(), 0);
  EXPECT_EQ(ProjectGetSpeedUnit(), uint32_t{kSpeedKnots});
  ProjectSetDefaultSpeedUnit(9);
  EXPECT_EQ(ErrorGetLast(), -21);
  EXPECT_EQ(ProjectGetDefaultSpeedUnit(), uint32_t{kSpeedKnots});
}

TEST_F(ProjectTest, ProjectNewEmptiesTheModel) {
  AddFiller(0, 1);
  DispObjAdd(kDispText, kNoInput);
  ProjectSetLength(5);
  ProjectSetUserText(u"x");
  ASSERT_EQ(ProjectNew(), 0);
  EXPECT_EQ(InputCount(), 0u);
  EXPECT_EQ(DispObjCount(), 0u);
  EXPECT_FLOAT_EQ(ProjectGetLength(1), 0);
  EXPECT_EQ(std::u16string(ProjectGetUserText()), u"");
}

TEST_F(ProjectTest, WizardOptionsAreStoredWhenNonZero) {
  uint32_t mask = 77;
  float speed = 1, tach = 2, red = 3;
  EXPECT_EQ(ProjectWizGetOpts(&mask, &speed, &tach, &red), -1);
  EXPECT_EQ(mask, 77u);
  ASSERT_EQ(ProjectWizSetOpts(0x021, 250, 9000, 7500), 0);
  EXPECT_EQ(ProjectWizGetOpts(&mask, &speed, nullptr, &red), 0);
  EXPECT_EQ(mask, 0x021u);
  EXPECT_FLOAT_EQ(speed, 250);
  EXPECT_FLOAT_EQ(red, 7500);
  ASSERT_EQ(ProjectWizSetOpts(0, 1, 1, 1), 0);
  EXPECT_EQ(ProjectWizGetOpts(&mask, &speed, &tach, &red), -1);
}

TEST_F(ProjectTest, WizardSwitchesTheTemplatesNamedObjects) {
  const uint32_t speedo = DispObjAdd(kDispSpeedo, kNoInput); // "Speedometer"
  const uint32_t tacho = DispObjAdd(kDispTacho, kNoInput);   // "Tachometer"
  const uint32_t map = DispObjAdd(kDispTrackMap, kNoInput);  // "Track Map"
  const uint32_t lapBack = DispObjAdd(kDispShape, kNoInput);
  ASSERT_EQ(DispObjRename(lapBack, u"Lap Background"), 0);
  const uint32_t best = DispObjAdd(kDispTextData, kNoInput);
  ASSERT_EQ(DispObjRename(best, u"Best Lap Time"), 0);
  ASSERT_EQ(DispObjSetDataField(best, u"(Best Lap Time)"), 0);
  const uint32_t other = DispObjAdd(kDispText, kNoInput);
  ASSERT_EQ(ProjectWizSetOpts(0x001 | 0x080 | 0x200, 200, 9000, 7000), 0);
  EXPECT_EQ(DispObjGet(speedo)->Active, 1);
  EXPECT_EQ(DispObjGet(tacho)->Active, 0);
  EXPECT_EQ(DispObjGet(map)->Active, 0);
  EXPECT_EQ(DispObjGet(lapBack)->Active, 1); // bit 7 is enough
  EXPECT_EQ(DispObjGet(best)->Active, 1);
  EXPECT_EQ(DispObjGet(other)->Active, 1); // not a template name
  const GaugeParam* s = static_cast<const GaugeParam*>(DispObjGetParam(speedo));
  EXPECT_DOUBLE_EQ(s->Max, 200);
  const GaugeParam* t = static_cast<const GaugeParam*>(DispObjGetParam(tacho));
  EXPECT_DOUBLE_EQ(t->Max, 9000);
  EXPECT_DOUBLE_EQ(t->ChangeColorValue, 7000);
  const TextStruct* text = static_cast<const TextStruct*>(DispObjGetParam(best));
  EXPECT_EQ(std::u16string(text->Field), u"(Cur Best Lap Time)");
  ASSERT_EQ(ProjectWizSetOpts(0x002 | 0x100, 200, 9000, 7000), 0);
  EXPECT_EQ(DispObjGet(speedo)->Active, 0);
  EXPECT_EQ(DispObjGet(tacho)->Active, 1);
  EXPECT_EQ(DispObjGet(lapBack)->Active, 0);
  text = static_cast<const TextStruct*>(DispObjGetParam(best));
  EXPECT_EQ(std::u16string(text->Field), u"(Best Lap Time)");
}

TEST_F(ProjectTest, ScanOfABadInputIsZero) {
  EXPECT_EQ(ProjectWizScanInput(0), 0u);
  EXPECT_EQ(ProjectWizScanInput(255), 0u);
}

} // namespace
