#include "ui/dispobj/gauge_edit.h"

#include <QCheckBox>

#include "model/dispobjs.h"
#include "ui/controls/NSColorWellCustom.h"
#include "ui/dispobj/DispObjPanel.h"

QStringList GaugeModeNames() { return {"Needle", "Graph", "Dual"}; }

QString GaugeModeName(uint8_t options) {
  if (options & kGaugeDual) return "Dual";
  if (options & kGaugeGraph) return "Graph";
  return "Needle";
}

uint8_t GaugeOptionsWithMode(uint8_t options, const QString& mode) {
  options &= static_cast<uint8_t>(~kGaugeModeMask);
  if (mode == "Dual") options |= kGaugeDual;
  else if (mode == "Graph") options |= kGaugeGraph;
  return options;
}

QStringList GaugeKindNames() { return {"Generic", "Speedometer", "Tachometer"}; }

QString GaugeKindName(uint8_t type) {
  if (type == kGaugeSpeedometer) return "Speedometer";
  if (type == kGaugeTachometer) return "Tachometer";
  return "Generic";
}

uint8_t GaugeKindCode(const QString& name) {
  if (name == "Speedometer") return kGaugeSpeedometer;
  if (name == "Tachometer") return kGaugeTachometer;
  return kGaugeGeneric;
}

QStringList GaugeMarkShapeNames() { return {"None", "Dot", "Diamond", "Square", "Dash"}; }

QString GaugeMarkShapeShown(uint8_t code) {
  switch (code == kGaugeMarkNone ? code : code | 1) {
  case kGaugeMarkDot: return "Dot";
  case kGaugeMarkDiamond: return "Diamond";
  case kGaugeMarkSquare: return "Square";
  case kGaugeMarkDash: return "Dash";
  default: return "None";
  }
}

uint8_t GaugeMarkShapeCode(const QString& name) {
  struct Entry {
    const char* name;
    GaugeMarkShape code;
  };
  static const Entry kNames[] = {
      {"Dot", kGaugeMarkDot},       {"Drop", kGaugeMarkDrop},   {"Diamond", kGaugeMarkDiamond},
      {"Square", kGaugeMarkSquare}, {"Dash 2", kGaugeMarkDash2}, {"Dash", kGaugeMarkDash},
      {"Dash 1", kGaugeMarkDash},
  };
  for (const Entry& entry : kNames)
    if (name == entry.name) return entry.code;
  return kGaugeMarkNone;
}

QStringList GaugeNumberUnitNames() { return {"Normal", "x1000", "x100", "x10"}; }

QString GaugeNumberUnitName(uint8_t markNumberType) {
  switch (markNumberType & kGaugeNumbersUnitMask) {
  case kGaugeNumbersX1000: return "x1000";
  case kGaugeNumbersX100: return "x100";
  case kGaugeNumbersX10: return "x10";
  default: return "Normal";
  }
}

uint8_t GaugeNumberUnitBits(const QString& name) {
  if (name == "x1000") return kGaugeNumbersX1000;
  if (name == "x100") return kGaugeNumbersX100;
  if (name == "x10") return kGaugeNumbersX10;
  return 0;
}

uint32_t GaugeDerivedFaceColor2(uint32_t faceColor) { return ColorAddRGB(faceColor, -60, -64, -56) | kColorOff; }

double GaugeScaleMidpoint(const GaugeParam& p) { return p.Min + (p.Max - p.Min) * 0.5; }

bool GaugeTwoPartOn(const GaugeParam& p) { return p.Min < p.StepMidValue && p.StepMidValue < p.Max; }

void GaugeApplySwitches(GaugeParam& p, const GaugeSwitches& on) {
  p.ChangeColor2 = ColorSwitched(p.ChangeColor2, on.changeColor2);
  p.LabelColor = ColorSwitched(p.LabelColor, on.label);
  p.NumberColor = ColorSwitched(p.NumberColor, on.number);
  p.FaceColor = ColorSwitched(p.FaceColor, on.face);
  p.FaceColor2 = ColorSwitched(p.FaceColor2, on.faceGradient);
  p.TrimColor = ColorSwitched(p.TrimColor, on.trim);
  p.MarkColor2 = ColorSwitched(p.MarkColor2, on.markColor2);
  p.MarkPinColor = ColorSwitched(p.MarkPinColor, on.pins);
}

void BindGaugeFace(QObject* owner, GaugeParam& gauge, const GaugeFaceControls& c, const std::function<void()>& written) {
  QObject::connect(c.color, &NSColorWellCustom::changed, owner, [&gauge, c, written]() {
    gauge.FaceColor = DispObjPanel::wellColor(c.color);
    c.face->setChecked(true);
    if (!c.gradient->isChecked()) {
      gauge.FaceColor2 = GaugeDerivedFaceColor2(gauge.FaceColor);
      DispObjPanel::showColor(c.color2, gauge.FaceColor2);
    }
    written();
  });
  QObject::connect(c.gradient, &QCheckBox::clicked, owner, [c, written]() {
    c.face->setChecked(true);
    written();
  });
  QObject::connect(c.color2, &NSColorWellCustom::changed, owner, [&gauge, c, written]() {
    gauge.FaceColor2 = DispObjPanel::wellColor(c.color2);
    c.face->setChecked(true);
    c.gradient->setChecked(true);
    written();
  });
}
