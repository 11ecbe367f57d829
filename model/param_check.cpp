#include "model/param_check.h"

#include <cmath>
#include <cstring>
#include <span>

namespace {

struct Number {
  const char* key;
  size_t offset;
  bool wide; // double, else float
};

#define QV_F32(T, F) Number{#T "." #F, offsetof(T, F), false}
#define QV_F64(T, F) Number{#T "." #F, offsetof(T, F), true}
#define QV_F64_AT(T, F, i) Number{#T "." #F "[" #i "]", offsetof(T, F) + (i) * sizeof(double), true}
#define QV_F64_ALL(T, F)                                                                           \
  QV_F64_AT(T, F, 0), QV_F64_AT(T, F, 1), QV_F64_AT(T, F, 2), QV_F64_AT(T, F, 3), QV_F64_AT(T, F, 4), \
      QV_F64_AT(T, F, 5), QV_F64_AT(T, F, 6), QV_F64_AT(T, F, 7)

const Number kText[] = {
    QV_F32(TextStruct, Size), QV_F64(TextStruct, MinRange), QV_F64(TextStruct, MaxRange),
    QV_F32(TextStruct, RotateAngle),
};
const Number kBar[] = {
    QV_F64(BarParam, Min),        QV_F64(BarParam, Max),
    QV_F64(BarParam, MarkInterval), QV_F64(BarParam, MarkSmallInterval),
    QV_F64(BarParam, ChangeColorValue), QV_F64(BarParam, ChangeColor2Value),
    QV_F32(BarParam, LabelSize),  QV_F32(BarParam, NumberSize),
};
const Number kGauge[] = {
    QV_F64(GaugeParam, Min),           QV_F64(GaugeParam, Max),
    QV_F64(GaugeParam, MarkInterval),  QV_F64(GaugeParam, MarkSmallInterval),
    QV_F64(GaugeParam, ChangeColorValue), QV_F32(GaugeParam, LabelSize),
    QV_F32(GaugeParam, NumberSize),    QV_F64(GaugeParam, ChangeColor2Value),
    QV_F64(GaugeParam, StepMidValue),  QV_F32(GaugeParam, IntervalSize),
    QV_F64(GaugeParam, DualInterval),
};
const Number kGForce[] = {QV_F32(GForceParam, RangeX), QV_F32(GForceParam, RangeY)};
const Number kTrackMap[] = {
    QV_F64(TrackMapParam, MinX), QV_F64(TrackMapParam, MinY),
    QV_F64(TrackMapParam, MaxX), QV_F64(TrackMapParam, MaxY),
};
const Number kTimeGraph[] = {
    QV_F64(TimeGraphParam, Min),       QV_F64(TimeGraphParam, Max),
    QV_F32(TimeGraphParam, TimeSpan),  QV_F32(TimeGraphParam, LabelSize),
    QV_F32(TimeGraphParam, AxisInterval), QV_F32(TimeGraphParam, StartTime),
    QV_F32(TimeGraphParam, EndTime),
};
const Number kEImage[] = {
    QV_F64(EImageParam, MinInput),  QV_F64(EImageParam, MaxInput),
    QV_F64(EImageParam, MinOutput), QV_F64(EImageParam, MaxOutput),
};
const Number kEnhanced[] = {
    QV_F64(EnhParam, Min),         QV_F64(EnhParam, Max),        QV_F64(EnhParam, TriggerValue),
    QV_F32(EnhParam, LabelSize),   QV_F32(EnhParam, NumberSize), QV_F64_ALL(EnhParam, Param),
    QV_F64_ALL(EnhParam, ParamMin), QV_F64_ALL(EnhParam, ParamMax), QV_F64_ALL(EnhParam, ParamStep),
};

#undef QV_F64_ALL
#undef QV_F64_AT
#undef QV_F64
#undef QV_F32

// Shapes, pictures, sound and groups keep no numbers of this kind.
std::span<const Number> NumbersOf(uint32_t type) {
  switch (type) {
  case kDispText:
  case kDispTextData:
  case kDispGear:
  case kDispLapCount:
  case kDispLapTimer: return kText;
  case kDispGauge:
  case kDispSpeedo:
  case kDispTacho: return kGauge;
  case kDispBar: return kBar;
  case kDispTimeGraph: return kTimeGraph;
  case kDispTrackMap: return kTrackMap;
  case kDispGForce: return kGForce;
  case kDispEImage: return kEImage;
  case kDispEnhanced: return kEnhanced;
  default: return {};
  }
}

size_t Width(const Number& n) { return n.wide ? sizeof(double) : sizeof(float); }

double Load(const uint8_t* at, bool wide) {
  if (wide) {
    double v;
    std::memcpy(&v, at, sizeof(v));
    return v;
  }
  float v;
  std::memcpy(&v, at, sizeof(v));
  return v;
}

} // namespace

RecordFault ParamCheck(uint32_t type, const uint8_t* block, size_t size) {
  if (block == nullptr) return RecordFault{};
  for (const Number& n : NumbersOf(type)) {
    if (n.offset + Width(n) > size) continue;
    const double value = Load(block + n.offset, n.wide);
    if (!std::isfinite(value)) return RecordFault{n.key, value, -kRecordAnyNumber, kRecordAnyNumber};
  }
  return RecordFault{};
}

void ParamClamp(uint32_t type, uint8_t* block, size_t size) {
  if (block == nullptr) return;
  for (const Number& n : NumbersOf(type)) {
    if (n.offset + Width(n) > size || std::isfinite(Load(block + n.offset, n.wide))) continue;
    std::memset(block + n.offset, 0, Width(n)); // 0 in either width
  }
}
