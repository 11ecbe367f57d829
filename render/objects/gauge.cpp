// Gauges (type 30; speedometers and tachometers are gauges with presets):
// a round dial with marks, numbers, label and readout, and a needle, a
// graph arc or two needles following the channel's value.
#include "base/error.h"
#include "media/datalog/query.h"
#include "render/draw/data_channel.h"
#include "render/draw/layer_cache.h"
#include "render/objects/data_object.h"
#include "render/objects/gauge.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double kSmoothAhead = 1.0 / 6;
constexpr int kGaugeDial = 1;

int automaticQuery(uint8_t type) {
  if (type == kGaugeSpeedometer) return kQuerySpeed;
  if (type == kGaugeTachometer) return kQueryRpm;
  return -1;
}

double gaugeValue(const GaugeParam& p, const DataChannel& channel, double time) {
  const double now = DataChannelValue(channel, time);
  if (!(p.Options & kGaugeSmooth)) return now;
  const double ahead = DataChannelValue(channel, time + kSmoothAhead);
  return std::isfinite(ahead) && std::isfinite(now) ? (now + ahead) / 2 : now;
}

GaugeGeom geometry(const GaugeParam& p, const DataChannel& channel, double time) {
  GaugeGeom g;
  g.p = &p;
  ScaleRange(p.Min, p.Max, kRangeAutoLimit, channel, &g.lo, &g.hi);
  g.dual = (p.Options & kGaugeDual) != 0;
  g.graph = !g.dual && (p.Options & kGaugeGraph) != 0;
  g.ccw = (p.Options & kGaugeCcw) != 0;
  g.sweep = g.dual ? 360 : std::clamp<double>(p.SweepDeg, 1, 360);
  // A full dial reads from the top; a partial arc is centred on the gap.
  if (p.StartDeg >= kGaugeAutoStart) g.start = g.dual ? 180 : (360 - g.sweep) / 2;
  else g.start = p.StartDeg;
  g.twoPart = p.StepMidValue > g.lo && p.StepMidValue < g.hi && p.StepMidAngle > 0 &&
              p.StepMidAngle < g.sweep;
  g.midValue = p.StepMidValue;
  g.midAngle = p.StepMidAngle;
  g.value = gaugeValue(p, channel, time);
  g.span = p.DualInterval > 0.00001 ? p.DualInterval : p.MarkInterval;
  if (!(g.span > 1e-9) || !std::isfinite(g.span)) g.span = g.hi - g.lo;
  g.change.color = p.ChangeColor;
  g.change.value = p.ChangeColorValue;
  g.change.color2 = p.ChangeColor2;
  g.change.value2 = p.ChangeColor2Value;
  g.markRadius = kGaugeCentre - std::min<double>(p.TrimSize, 60) - 5;
  return g;
}

} // namespace

double GaugeGeom::angleOf(double v) const {
  if (!std::isfinite(v)) return 0;
  v = std::clamp(v, lo, hi);
  if (twoPart) {
    if (v <= midValue) return (v - lo) / (midValue - lo) * midAngle;
    return midAngle + (v - midValue) / (hi - midValue) * (sweep - midAngle);
  }
  return (v - lo) / (hi - lo) * sweep;
}

double GaugeGeom::screenAngle(double scaleAngle) const {
  const double deg = ccw ? 90 - (start + scaleAngle) : 90 + (start + scaleAngle);
  return deg * M_PI / 180;
}

double GaugeShownValue(const DispStruct* obj, float time) {
  const GaugeParam* p = ObjectParam<GaugeParam>(obj);
  if (!p) return NAN;
  return gaugeValue(*p, DataChannelFor(obj->InputID, p->Field, automaticQuery(p->Type)), time);
}

int RenderGaugeObject(const ObjectContext& ctx) {
  const GaugeParam* p = ObjectParam<GaugeParam>(ctx.obj);
  if (!p) return ErrorSet(kErrBadArg, "RenderGaugeObject");
  DataLayer dl;
  if (!DataLayerFor(ctx, (p->Options & kGaugeHighRes) != 0, &dl)) return 0;
  const DataChannel channel = DataChannelFor(ctx.obj->InputID, p->Field, automaticQuery(p->Type));
  const GaugeGeom g = geometry(*p, channel, ctx.time);
  // The dial (face, marks, numbers, label) changes only with the record,
  // except for a face that takes the warning colour or a graph under the
  // marks; it is drawn once and kept.
  std::string key;
  const bool keep = !g.graph && !(p->ChangeColorOptions & (kGaugeChangeFace | kGaugeChangeFaceSolid));
  if (keep) {
    LayerKeyAdd(&key, *p);
    LayerKeyAdd(&key, g.lo);
    LayerKeyAdd(&key, g.hi);
    LayerKeyAdd(&key, dl.layer.width);
    LayerKeyAdd(&key, dl.layer.height);
  }
  const bool kept = keep && LayerCacheGet(ctx.index, kGaugeDial, key, &dl.layer);
  {
    Canvas canvas(dl.layer);
    if (!canvas.ok()) return ErrorSet(kErrNoMemory, "RenderGaugeObject");
    cairo_t* cr = canvas.cr();
    // The dial keeps its shape: the square design fits the box, centred.
    const double side = std::min(dl.layer.width, dl.layer.height);
    cairo_translate(cr, (dl.layer.width - side) / 2, (dl.layer.height - side) / 2);
    cairo_scale(cr, side / kGaugeSize, side / kGaugeSize);
    LayerCacheDrawUnder(cr, kept, keep, ctx.index, kGaugeDial, key, dl.layer, [&](cairo_t* c) {
      GaugeDrawFace(c, g);
      if (g.graph) GaugeDrawGraph(c, g);
      GaugeDrawMarks(c, g);
      GaugeDrawNumbers(c, g);
      GaugeDrawLabel(c, g);
    });
    GaugeDrawReadout(cr, g);
    if (!g.graph) GaugeDrawNeedles(cr, g);
  }
  return DataLayerPlace(ctx, dl);
}
