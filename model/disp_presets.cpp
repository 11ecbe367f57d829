// Records of a new display object of each type.
#include <algorithm>
#include <cstring>

#include "model/disp_presets.h"
#include "model/disp_types.h"
#include "model/dispobjs.h"
#include "model/model_text.h"

namespace {

constexpr double kAutoMin = kRangeAutoMin;
constexpr double kAutoMax = kRangeAutoMax;
constexpr uint32_t kOff = kColorOff;

void ShapeInit(ShapeStruct* p) {
  p->Shape = kShapeRectangle;
  p->FillColor = 0x0000F0;
  p->LineColor = 0xFFFFFF;
  p->LineSize = 2;
  p->FillColor2 = kOff;
  p->Options = kShapeHighRes;
}

void TextInit(TextStruct* p, uint32_t type) {
  p->Color = 0xFFFFFF;
  FieldCopy(p->Text, 256, u"Text");
  FieldCopy(p->Font, kNameLength, u"Microsoft Sans Serif");
  p->Size = 32;
  p->Options = kTextAutoSize | kTextAlignCenter;
  p->Digits = 1;
  p->MinRange = kTextNoMinRange;
  p->MaxRange = kTextNoMaxRange;
  p->OutlineColor = kOff;
  switch (type) {
  case kDispTextData:
  case kDispGear:
    p->DataMode = kTextDataNumberOnly;
    break;
  case kDispLapCount:
    FieldCopy(p->Text, 256, u"LAP ");
    p->DataMode = kTextDataTextNumber;
    p->Options = kTextAutoSize | kTextAlignLeft;
    p->DataOptions = kTextTotalLaps;
    break;
  case kDispLapTimer:
    p->DataMode = kTextDataNumberOnly;
    p->Options = kTextAutoSize | kTextAlignLeft;
    p->DecimalPlaces = 2;
    p->DataParam = 100; // hold 10.0 s
    break;
  default:
    break;
  }
}

void BarInit(BarParam* p) {
  p->Min = kAutoMin;
  p->Max = kAutoMax;
  p->BackColor = 0xF7F7F7;
  p->FillColor = 0x0000D0;
  // Derived, not chosen: it follows the fill colour until the user picks one.
  p->FillColor2 = ColorSwitched(ColorDerivedSecond(p->FillColor), false);
  p->TrimColor = 0x303030;
  p->TrimSize = 3;
  p->Thickness = 50;
  p->NumberColor = 0x00DC00;
  p->NumberSize = 36;
  p->LabelColor = 0;
  p->LabelSize = 34;
  p->Options = kBarRounded | kBarHighRes;
  p->ChangeColorValue = 100.0;
  p->ChangeColor2Value = 75.0;
  p->IconColor = p->MarkColor = p->ChangeColor = p->ChangeColor2 = kOff;
  p->IconX = p->IconY = p->LabelX = p->LabelY = p->NumberX = p->NumberY = 1000;
  FieldCopy(p->LabelFont, kNameLength, u"Arial Black");
  FieldCopy(p->NumberFont, kNameLength, u"Arial");
  p->LabelStyle = 1;
}

void TimeGraphInit(TimeGraphParam* p) {
  p->Min = kAutoMin;
  p->Max = kAutoMax;
  p->TimeSpan = 10;
  p->ValueColor = 0x00D000;
  p->BackColor = 0xF7F7F7;
  p->TrimColor = 0x303030;
  p->LineColor = 0xD00000;
  p->LabelColor = 0x000000;
  FieldCopy(p->LabelFont, kNameLength, u"Arial");
  p->LabelSize = 34;
  p->LabelStyle = 1;
  p->Options = kTimeGraphHighRes;
  p->TrimSize = 3;
  p->LineSize = 3;
  p->AxisColor = 0xFF0080C0;
  p->AxisInterval = 10;
  p->AxisSize = 2;
  p->Thickness = 50;
  p->StartTime = 0;
  p->EndTime = -1;
}

void GForceInit(GForceParam* p) {
  p->RangeX = p->RangeY = 2.0f;
  p->LineColor = 0xD00000;
  p->AxisColor = 0xC0C0C0;
  p->ShadowColor = 0xFF707070;
  p->Options = kGForceBall | kGForceCirclesAxis;
  p->LineSize = 10;
  p->AxisSize = 6;
  p->BackColor = 0xFF303030;
}

void EImageInit(EImageParam* p) {
  p->MinInput = p->MinOutput = 0;
  p->MaxInput = p->MaxOutput = 100;
}

void TrackMapInit(TrackMapParam* p) {
  p->MinX = p->MinY = 9999999.9;
  p->MaxX = p->MaxY = -9999999.9;
  p->MapColor = 0x505050;
  p->MapLowColor = kOff;
  p->MapEdgeColor = 0xFFFFFF;
  p->StartColor = 0x00D000;
  p->PosColor = 0xD00000;
  p->GhostColor = 0xFFFFB000;
  p->Options = kMapHighRes | kMapBestLap;
  p->MapLineSize = 14;
  p->StartSize = 12;
  p->PosSize = 18;
  p->StartLineAngle = kMapAutoStartLine;
  p->PosIcon = 2;
}

} // namespace

uint32_t ColorAddRGB(uint32_t color, int32_t red, int32_t green, int32_t blue) {
  auto channel = [color](int shift, int32_t offset) {
    const int64_t value = static_cast<int64_t>((color >> shift) & 0xFF) + offset;
    return static_cast<uint32_t>(std::clamp<int64_t>(value, 0, 255)) << shift;
  };
  return (color & 0xFF000000) | channel(16, red) | channel(8, green) | channel(0, blue);
}

void DispObjGaugeInit(GaugeParam* p, uint32_t gaugeType) {
  std::memset(p, 0, sizeof(*p));
  p->Min = kAutoMin;
  p->Max = kAutoMax;
  p->SweepDeg = 235;
  p->StartDeg = kGaugeAutoStart;
  p->StepMidValue = kGaugeNoStepMid;
  p->StepMidAngle = 117;
  p->FaceColor = 0x00FFFFFF;
  p->FaceColor2 = 0xFFD8D8D8;
  p->IconColor = 0;
  p->NeedleColor = p->DualNeedleColor = 0x00D00000;
  p->NeedleBackColor = 0x00505050;
  p->TrimColor = 0x00808080;
  p->MarkColor = 0;
  p->MarkColor2 = p->MarkPinColor = 0xFF000000;
  p->ChangeColor = 0x00D00000;
  p->ChangeColor2 = 0xFFC08000;
  p->LabelColor = 0;
  p->NumberColor = 0x000000D0;
  p->IconX = p->IconY = p->LabelX = p->LabelY = p->NumberX = p->NumberY = kGaugeAutoPos;
  FieldCopy(p->LabelFont, kNameLength, u"Arial Black");
  p->LabelStyle = 1; // bold
  FieldCopy(p->NumberFont, kNameLength, u"Arial");
  p->NumberStyle = 0;
  p->LabelSize = 30;
  p->IntervalSize = 30;
  p->NumberSize = 34;
  p->Options = kGaugeHighRes | kGaugeSmooth;
  p->IconID = 0;
  p->IconSize = 32;
  p->TrimSize = 2;
  p->NeedleSize = 5;
  p->NeedleTipLen = 146;
  p->NeedleTailLen = -20;
  p->NeedleCenterSize = 24;
  p->TaperShape = 1;
  p->DualInterval = 0;
  p->DualNeedleSize = 7;
  p->DualNeedleTipLen = 82;
  p->DualNeedleTailLen = -20;
  p->MarkType = GaugeMarkTypeOf(kGaugeMarkDash, kGaugeMarkDash, false);
  p->MarkPinSize = 6;
  p->MarkSize = 7;
  p->MarkSmallSize = 6;
  p->MarkInterval = 10;
  p->MarkSmallInterval = 5;
  p->MarkCount = 3;
  p->MarkSmallCount = 7;
  p->MarkNumberType = kGaugeNumbersLimitClutter;
  p->ChangeColorOptions = kGaugeChangeFaceBand;
  p->ChangeColorValue = 100;
  p->ChangeColor2Value = 75;
  p->ChangeFaceOffset = 130;
  p->ChangeFaceShade = 40;
  p->Type = gaugeType <= kGaugeTachometer ? static_cast<uint8_t>(gaugeType) : uint8_t{kGaugeGeneric};
  switch (p->Type) {
  case kGaugeGeneric:
    p->SweepDeg = 130;
    p->MarkSize = p->MarkSmallSize = 9;
    p->MarkCount = 3;
    p->MarkSmallCount = 15;
    p->Options = kGaugeHighRes | kGaugeTwoDecimals | kGaugeSmooth;
    p->LabelSize = 36;
    p->NumberSize = 42;
    p->IntervalSize = 36;
    break;
  case kGaugeSpeedometer:
    FieldCopy(p->Label, kNameLength, u"Speed");
    p->MarkInterval = 10;
    p->MarkSmallInterval = 2;
    p->MarkType |= kGaugeMarkByInterval;
    p->MarkNumberType |= kGaugeNumbersOn | kGaugeNumbersEverySecond | kGaugeNumbersEnds;
    p->Min = 0;
    p->Max = 160;
    break;
  default:
    FieldCopy(p->Label, kNameLength, u"RPM");
    p->MarkInterval = 500;
    p->MarkSmallInterval = 100;
    p->MarkType |= kGaugeMarkByInterval;
    p->MarkNumberType |= kGaugeNumbersOn | kGaugeNumbersEverySecond | kGaugeNumbersEnds | kGaugeNumbersX1000;
    p->Min = 0;
    p->Max = 8000;
    p->ChangeColor = 0x00D00000;
    p->ChangeColorValue = 6500;
    p->ChangeColor2Value = 6000;
    p->ChangeColorOptions = kGaugeChangeMarks;
    break;
  }
}

// Presets of each kind's block, as the type table names them.
void DispInitShape(void* b) { ShapeInit(static_cast<ShapeStruct*>(b)); }
void DispInitText(void* b) { TextInit(static_cast<TextStruct*>(b), kDispText); }
void DispInitTextData(void* b) { TextInit(static_cast<TextStruct*>(b), kDispTextData); }
void DispInitGear(void* b) { TextInit(static_cast<TextStruct*>(b), kDispGear); }
void DispInitLapCount(void* b) { TextInit(static_cast<TextStruct*>(b), kDispLapCount); }
void DispInitLapTimer(void* b) { TextInit(static_cast<TextStruct*>(b), kDispLapTimer); }
void DispInitEImage(void* b) { EImageInit(static_cast<EImageParam*>(b)); }
void DispInitGauge(void* b) { DispObjGaugeInit(static_cast<GaugeParam*>(b), 0); }
void DispInitSpeedo(void* b) { DispObjGaugeInit(static_cast<GaugeParam*>(b), 1); }
void DispInitTacho(void* b) { DispObjGaugeInit(static_cast<GaugeParam*>(b), 2); }
void DispInitBar(void* b) { BarInit(static_cast<BarParam*>(b)); }
void DispInitTimeGraph(void* b) { TimeGraphInit(static_cast<TimeGraphParam*>(b)); }
void DispInitTrackMap(void* b) { TrackMapInit(static_cast<TrackMapParam*>(b)); }
void DispInitGForce(void* b) { GForceInit(static_cast<GForceParam*>(b)); }

uint32_t DispParamSizeForType(uint32_t type) {
  const DispTypeInfo* info = DispTypeFind(type);
  return info != nullptr ? info->paramSize : 0;
}

// Fills a zeroed block of DispParamSizeForType(type) bytes with the type's
// presets. Scripted objects get no block at creation, so none here.
void DispParamInit(void* block, uint32_t type) {
  const DispTypeInfo* info = DispTypeFind(type);
  if (info != nullptr && info->initParam != nullptr) info->initParam(block);
}
