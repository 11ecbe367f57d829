// New display objects of every type carry their presets.
#include <cstring>

#include "model/dispobj_table.h"
#include "model/dispobjs.h"
#include "model_fixture.h"

namespace {

class DispObjPresetsTest : public ModelTest {};

template <typename T> T ParamOf(uint32_t object) {
  T record;
  const DispStruct* disp = DispObjGet(object);
  EXPECT_NE(disp, nullptr);
  EXPECT_EQ(disp->ParamSize, sizeof(T));
  std::memcpy(&record, DispObjGetParam(object), sizeof(T));
  return record;
}

TEST_F(DispObjPresetsTest, ColorAddRGBClampsAndKeepsTheTopByte) {
  EXPECT_EQ(ColorAddRGB(0x0000D0, -60, -64, -56), 0x000098u);
  EXPECT_EQ(ColorAddRGB(0xFF102030, 0x100, -0x100, 5), 0xFFFF0035u);
  EXPECT_EQ(ColorAddRGB(0x7F808080, 0, 0, 0), 0x7F808080u);
}

TEST_F(DispObjPresetsTest, CommonRecordOfANewObject) {
  const uint32_t object = DispObjAdd(kDispShape, kNoInput);
  ASSERT_EQ(object, 0u);
  const DispStruct* disp = DispObjGet(object);
  EXPECT_EQ(std::u16string(disp->Name), u"Shape");
  EXPECT_EQ(disp->Type, kDispShape);
  EXPECT_EQ(disp->Active, 1);
  EXPECT_EQ(disp->InputID, kNoInput);
  EXPECT_EQ(disp->ParentObject, kNoDispObj);
  EXPECT_EQ(disp->AudioVolume, 100);
  EXPECT_EQ(disp->AudioBalance, 100);
  EXPECT_EQ(disp->ColorChans, 7);
  EXPECT_EQ(disp->BitmapChroma >> 24, 0xFFu);
  EXPECT_EQ(disp->BitmapSize, 0u);
  EXPECT_EQ(DispObjCount(), 1u);
  EXPECT_EQ(std::u16string(DispObjGetName(DispObjAdd(kDispShape, kNoInput))), u"Shape - 001");
}

TEST_F(DispObjPresetsTest, SpeedometerIsAGaugeWithItsPreset) {
  const uint32_t object = DispObjAdd(kDispSpeedo, kNoInput);
  EXPECT_EQ(DispObjGetType(object), kDispGauge);
  const GaugeParam g = ParamOf<GaugeParam>(object);
  EXPECT_EQ(g.Type, 1);
  EXPECT_EQ(std::u16string(g.Label), u"Speed");
  EXPECT_EQ(g.Field[0], 0);
  EXPECT_DOUBLE_EQ(g.Min, 0);
  EXPECT_DOUBLE_EQ(g.Max, 160);
  EXPECT_DOUBLE_EQ(g.MarkInterval, 10);
  EXPECT_DOUBLE_EQ(g.MarkSmallInterval, 2);
  EXPECT_EQ(g.MarkType, 63 | 0x80);
  EXPECT_EQ(g.MarkNumberType, 32 | 1 | 2 | 4);
  EXPECT_EQ(g.SweepDeg, 235);
  EXPECT_EQ(g.StartDeg, 360);
  EXPECT_EQ(g.Options, 130);
  EXPECT_EQ(g.NeedleTailLen, -20);
  EXPECT_EQ(g.FaceColor2, 0xFFD8D8D8u);
  EXPECT_EQ(g.NumberColor, 0x000000D0u);
  EXPECT_EQ(g.LabelX, 1000);
  EXPECT_EQ(std::u16string(g.LabelFont), u"Arial Black");
  EXPECT_DOUBLE_EQ(g.StepMidValue, -99999999.9);
}

TEST_F(DispObjPresetsTest, TachometerPreset) {
  const GaugeParam g = ParamOf<GaugeParam>(DispObjAdd(kDispTacho, kNoInput));
  EXPECT_EQ(g.Type, 2);
  EXPECT_EQ(std::u16string(g.Label), u"RPM");
  EXPECT_DOUBLE_EQ(g.Max, 8000);
  EXPECT_DOUBLE_EQ(g.MarkInterval, 500);
  EXPECT_DOUBLE_EQ(g.MarkSmallInterval, 100);
  EXPECT_EQ(g.MarkNumberType, 32 | 1 | 2 | 4 | 8);
  EXPECT_DOUBLE_EQ(g.ChangeColorValue, 6500);
  EXPECT_DOUBLE_EQ(g.ChangeColor2Value, 6000);
  EXPECT_EQ(g.ChangeColorOptions, 1);
  EXPECT_EQ(std::u16string(DispObjGetName(0)), u"Tachometer");
}

TEST_F(DispObjPresetsTest, GenericGaugePreset) {
  const GaugeParam g = ParamOf<GaugeParam>(DispObjAdd(kDispGauge, kNoInput));
  EXPECT_EQ(g.Type, 0);
  EXPECT_EQ(g.SweepDeg, 130);
  EXPECT_EQ(g.MarkSize, 9);
  EXPECT_EQ(g.MarkSmallCount, 15);
  EXPECT_EQ(g.Options, 134);
  EXPECT_FLOAT_EQ(g.NumberSize, 42);
  EXPECT_GE(g.Min, 99999999.0);
  EXPECT_LE(g.Max, -99999999.0);
}

TEST_F(DispObjPresetsTest, BarGraphPreset) {
  const BarParam b = ParamOf<BarParam>(DispObjAdd(kDispBar, kNoInput));
  EXPECT_EQ(b.BackColor, 0xF7F7F7u);
  EXPECT_EQ(b.FillColor, 0x0000D0u);
  // Derived from the fill and marked as not chosen, so it keeps following it.
  EXPECT_EQ(b.FillColor2, 0xFF000098u);
  EXPECT_EQ(b.TrimColor, 0x303030u);
  EXPECT_EQ(b.TrimSize, 3);
  EXPECT_EQ(b.Thickness, 50);
  EXPECT_EQ(b.NumberColor, 0x00DC00u);
  EXPECT_EQ(b.Options, 0xA0);
  EXPECT_DOUBLE_EQ(b.ChangeColorValue, 100);
  EXPECT_DOUBLE_EQ(b.ChangeColor2Value, 75);
}

TEST_F(DispObjPresetsTest, TextKinds) {
  const TextStruct text = ParamOf<TextStruct>(DispObjAdd(kDispText, kNoInput));
  EXPECT_EQ(std::u16string(text.Text), u"Text");
  EXPECT_EQ(std::u16string(text.Font), u"Microsoft Sans Serif");
  EXPECT_FLOAT_EQ(text.Size, 32);
  EXPECT_EQ(text.Options, 0x81);
  EXPECT_EQ(text.DataMode, 0);
  EXPECT_EQ(text.Digits, 1);
  EXPECT_DOUBLE_EQ(text.MinRange, -999999999.9);
  const TextStruct data = ParamOf<TextStruct>(DispObjAdd(kDispTextData, kNoInput));
  EXPECT_EQ(data.DataMode, 1);
  const TextStruct lap = ParamOf<TextStruct>(DispObjAdd(kDispLapCount, kNoInput));
  EXPECT_EQ(std::u16string(lap.Text), u"LAP ");
  EXPECT_EQ(lap.DataMode, 3);
  EXPECT_EQ(lap.Options & 3, 0);
  EXPECT_EQ(lap.DataOptions & 1, 1);
  const TextStruct timer = ParamOf<TextStruct>(DispObjAdd(kDispLapTimer, kNoInput));
  EXPECT_EQ(timer.DataMode, 1);
  EXPECT_EQ(timer.DecimalPlaces, 2);
  EXPECT_EQ(timer.DataParam, 100);
}

TEST_F(DispObjPresetsTest, OtherParameterRecords) {
  const ShapeStruct shape = ParamOf<ShapeStruct>(DispObjAdd(kDispShape, kNoInput));
  EXPECT_EQ(shape.Shape, 4);
  EXPECT_EQ(shape.FillColor, 0x0000F0u);
  EXPECT_EQ(shape.LineSize, 2);
  EXPECT_EQ(shape.FillColor2 >> 24, 0xFFu);
  const TimeGraphParam graph = ParamOf<TimeGraphParam>(DispObjAdd(kDispTimeGraph, kNoInput));
  EXPECT_FLOAT_EQ(graph.TimeSpan, 10);
  EXPECT_EQ(graph.AxisColor, 0xFF0080C0u);
  EXPECT_FLOAT_EQ(graph.EndTime, -1);
  const GForceParam g = ParamOf<GForceParam>(DispObjAdd(kDispGForce, kNoInput));
  EXPECT_FLOAT_EQ(g.RangeX, 2);
  EXPECT_EQ(g.Options, 0xC0);
  EXPECT_EQ(g.ShadowColor, 0xFF707070u);
  const TrackMapParam map = ParamOf<TrackMapParam>(DispObjAdd(kDispTrackMap, kNoInput));
  EXPECT_EQ(map.Options, 0x81);
  EXPECT_EQ(map.StartLineAngle, 360);
  EXPECT_EQ(map.GhostColor, 0xFFFFB000u);
  EXPECT_DOUBLE_EQ(map.MinX, 9999999.9);
  const EImageParam image = ParamOf<EImageParam>(DispObjAdd(kDispEImage, kNoInput));
  EXPECT_DOUBLE_EQ(image.MaxInput, 100);
}

TEST_F(DispObjPresetsTest, EmbeddedImageStartsWithA32By32Bitmap) {
  const DispStruct* disp = DispObjGet(DispObjAdd(kDispEImage, kNoInput));
  ASSERT_NE(disp->Bitmap, nullptr);
  DispBitmapHeader header;
  std::memcpy(&header, disp->Bitmap, sizeof(header));
  EXPECT_EQ(header.Width, 32u);
  EXPECT_EQ(header.Height, 32u);
  EXPECT_EQ(disp->BitmapSize, sizeof(header) + 32u * 32u * 4u);
}

TEST_F(DispObjPresetsTest, ScriptedObjectHasNameButNoBlock) {
  const uint32_t object = DispObjAdd(kDispEnhanced, kNoInput);
  EXPECT_EQ(std::u16string(DispObjGetName(object)), u"Enhanced Obj");
  EXPECT_EQ(DispObjGet(object)->ParamSize, 0u);
  // The shared buffer comes back with nothing of this object in it, and is
  // large enough for an editor that copies a whole scripted record.
  const uint8_t* buffer = static_cast<const uint8_t*>(DispObjGetParam(object));
  ASSERT_NE(buffer, nullptr);
  EXPECT_EQ(buffer[sizeof(EnhParam) - 1], 0);
  EXPECT_EQ(DispObjSetParam(object, buffer), -21);
  EXPECT_EQ(DispObjEnhancedGetLog(object, 0), nullptr);
  EXPECT_EQ(ErrorGetLast(), -1);
}

TEST_F(DispObjPresetsTest, UnknownTypeAndBadInputAreRefused) {
  EXPECT_EQ(DispObjAdd(99, kNoInput), kNoDispObj);
  EXPECT_EQ(ErrorGetLast(), -21);
  EXPECT_EQ(DispObjAdd(kDispVideo, 3), kNoDispObj);
  EXPECT_EQ(ErrorGetLast(), -41);
  EXPECT_EQ(DispObjCount(), 0u);
}

TEST_F(DispObjPresetsTest, TableHolds256Objects) {
  for (uint32_t i = 0; i < kMaxDispObjs; ++i) ASSERT_EQ(DispObjAdd(kDispText, kNoInput), i);
  EXPECT_EQ(DispObjAdd(kDispText, kNoInput), kNoDispObj);
  EXPECT_EQ(ErrorGetLast(), -40);
  EXPECT_EQ(DispObjCount(), 256u);
}

TEST_F(DispObjPresetsTest, TemporaryObjectLivesBesideTheTable) {
  EXPECT_EQ(DispObjTempInit(kDispSpeedo, kNoInput), kTempDispObj);
  const DispStruct* temp = DispObjGet(kTempDispObj);
  ASSERT_NE(temp, nullptr);
  EXPECT_EQ(temp->Type, kDispGauge);
  EXPECT_EQ(DispObjCount(), 0u);
  EXPECT_EQ(DispObjGet(257), nullptr);
  EXPECT_EQ(ErrorGetLast(), -41);
}

} // namespace
