#pragma once
// The rules the gauge panel and the gauge designer share: how a gauge
// record's values show in the editors' lists and boxes, and how a choice
// made there becomes record values again.
#include <QString>
#include <QStringList>
#include <cstdint>
#include <functional>

#include "model/disp_records.h"
#include "ui/dispobj/dispobj_fwd.h"

class QObject;

// Display modes, as the mode lists name them.
QStringList GaugeModeNames(); // "Needle", "Graph", "Dual"
QString GaugeModeName(uint8_t options);
// Options with the mode bits of the named mode ("Needle" or any other text: neither).
uint8_t GaugeOptionsWithMode(uint8_t options, const QString& mode);

// Kinds, as the designer's type list names them.
QStringList GaugeKindNames(); // "Generic", "Speedometer", "Tachometer"
QString GaugeKindName(uint8_t type);
uint8_t GaugeKindCode(const QString& name);

// Mark shapes: the list offers five names; a loaded code shows as the item
// of its code with the lowest bit set, and typed names outside the list
// ("Drop", "Dash 1", "Dash 2") are accepted too.
QStringList GaugeMarkShapeNames(); // "None", "Dot", "Diamond", "Square", "Dash"
QString GaugeMarkShapeShown(uint8_t code);
uint8_t GaugeMarkShapeCode(const QString& name); // unknown names: none

// Units of the scale numbers.
QStringList GaugeNumberUnitNames(); // "Normal", "x1000", "x100", "x10"
QString GaugeNumberUnitName(uint8_t markNumberType);
// The unit bits of the named unit ("Normal" or any other text: none).
uint8_t GaugeNumberUnitBits(const QString& name);

// The element switches of the gauge editors: each on/off box stands for
// the top byte of one colour, copied into the record before every write.
struct GaugeSwitches {
  bool changeColor2, label, number, face, faceGradient, trim, markColor2, pins;
};
void GaugeApplySwitches(GaugeParam& p, const GaugeSwitches& on);

// The gradient colour a face without a gradient carries: the face colour
// darkened as the editors derive second colours, the gradient left off.
uint32_t GaugeDerivedFaceColor2(uint32_t faceColor);

// The face's controls, as the panel and the designer both show them.
struct GaugeFaceControls {
  QCheckBox* face;
  NSColorWellCustom* color;
  QCheckBox* gradient;
  NSColorWellCustom* color2;
};
// Binds them to the record: a face colour switches the face on and, while
// there is no gradient, keeps a matching darker second colour for the
// moment the gradient is switched on; the gradient and its colour switch
// the face on too. Every edit ends in written.
void BindGaugeFace(QObject* owner, GaugeParam& gauge, const GaugeFaceControls& c, const std::function<void()>& written);

// The two-part scale: the midpoint of the stored range (0 for two
// automatic ends), and whether the joint lies strictly inside the range.
double GaugeScaleMidpoint(const GaugeParam& p);
bool GaugeTwoPartOn(const GaugeParam& p);
