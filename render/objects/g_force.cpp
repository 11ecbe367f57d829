// G-force plots (type 74): the two acceleration channels as a marker over
// a round plot with axis, circles, an optional fading trail and shadow.
#include "base/error.h"
#include "media/datalog/query.h"
#include "render/draw/data_channel.h"
#include "render/draw/data_look.h"
#include "render/draw/layer_cache.h"
#include "render/objects/data_object.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double kTrailSeconds = 1.5;
constexpr int kTrailSteps = 24;
constexpr int kGForcePlot = 5; // layer cache kind: the plot without its readings

struct GPlot {
  double cx, cy, r;
  double rangeX, rangeY;
  uint8_t options;
};

// Plot position of an (x, y) reading in g; the marker stays on the plot.
std::pair<double, double> place(const GPlot& g, double x, double y) {
  if (g.options & kGForceSwapXY) std::swap(x, y);
  if (g.options & kGForceFlipX) x = -x;
  if (g.options & kGForceFlipY) y = -y;
  double px = x / g.rangeX, py = y / g.rangeY;
  const double len = std::hypot(px, py);
  if (len > 1) {
    px /= len;
    py /= len;
  }
  return {g.cx + px * g.r, g.cy - py * g.r};
}

struct Reading {
  DataChannel x, y;
  double at(const DataChannel& c, double time) const {
    if (!c.valid()) return 0; // an unused axis stays at zero
    const double v = DataChannelValue(c, time);
    return std::isfinite(v) ? v : 0;
  }
};

void drawFrame(cairo_t* cr, const GForceParam& p, const GPlot& g) {
  if (!ColorIsOff(p.BackColor)) DrawEllipse(cr, g.cx - g.r, g.cy - g.r, 2 * g.r, 2 * g.r, p.BackColor & 0xFFFFFF, kColorOff, 0);
  if (ColorIsOff(p.AxisColor) || p.AxisSize == 0) return;
  const double w = std::max(0.5, p.AxisSize / 4.0);
  DrawLine(cr, g.cx - g.r, g.cy, g.cx + g.r, g.cy, p.AxisColor, w);
  DrawLine(cr, g.cx, g.cy - g.r, g.cx, g.cy + g.r, p.AxisColor, w);
  if (p.Options & kGForceCircles) {
    for (int k = 1; k <= 3; ++k) {
      const double rr = g.r * k / 3;
      DrawEllipse(cr, g.cx - rr, g.cy - rr, 2 * rr, 2 * rr, kColorOff, p.AxisColor & 0xFFFFFF, w);
    }
  } else if (p.Options & kGForceCirclesAxis) {
    // Small rings where each third of the range crosses the axis.
    for (int k = -3; k <= 3; ++k) {
      if (k == 0) continue;
      const double d = g.r * k / 3, rr = std::max(1.5, w * 1.5);
      DrawEllipse(cr, g.cx + d - rr, g.cy - rr, 2 * rr, 2 * rr, kColorOff, p.AxisColor & 0xFFFFFF, w);
      DrawEllipse(cr, g.cx - rr, g.cy + d - rr, 2 * rr, 2 * rr, kColorOff, p.AxisColor & 0xFFFFFF, w);
    }
    DrawEllipse(cr, g.cx - g.r, g.cy - g.r, 2 * g.r, 2 * g.r, kColorOff, p.AxisColor & 0xFFFFFF, w);
  }
}

void drawMarker(cairo_t* cr, const GForceParam& p, const GPlot& g, std::pair<double, double> at,
                uint32_t color, double alpha) {
  const double size = std::max(1.0, p.LineSize / 2.0);
  if (p.Options & kGForceBall) {
    cairo_new_path(cr);
    cairo_arc(cr, at.first, at.second, size, 0, 2 * M_PI);
    DrawSetColor(cr, color, alpha);
    cairo_fill(cr);
    return;
  }
  cairo_new_path(cr);
  cairo_move_to(cr, g.cx, g.cy);
  cairo_line_to(cr, at.first, at.second);
  DrawSetColor(cr, color, alpha);
  cairo_set_line_width(cr, size * 0.8);
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
  cairo_stroke(cr);
}

void drawTrail(cairo_t* cr, const GForceParam& p, const GPlot& g, const Reading& rd, double time) {
  for (int i = kTrailSteps; i >= 1; --i) {
    const double t = time - kTrailSeconds * i / kTrailSteps;
    const auto at = place(g, rd.at(rd.x, t), rd.at(rd.y, t));
    const double alpha = 0.6 * (1 - double(i) / (kTrailSteps + 1));
    cairo_new_path(cr);
    cairo_arc(cr, at.first, at.second, std::max(1.0, p.LineSize / 4.0), 0, 2 * M_PI);
    DrawSetColor(cr, p.LineColor, alpha);
    cairo_fill(cr);
  }
}

} // namespace

int RenderGForceObject(const ObjectContext& ctx) {
  const GForceParam* p = ObjectParam<GForceParam>(ctx.obj);
  if (!p) return ErrorSet(kErrBadArg, "RenderGForceObject");
  DataLayer dl;
  if (!DataLayerFor(ctx, true, &dl)) return 0;
  Reading rd{DataChannelFor(ctx.obj->InputID, p->FieldX, kQueryAccelX),
             DataChannelFor(ctx.obj->InputID, p->FieldY, kQueryAccelY)};
  GPlot g{};
  const double side = std::min(dl.unitsW, dl.unitsH);
  g.cx = dl.unitsW / 2;
  g.cy = dl.unitsH / 2;
  g.r = std::max(1.0, side / 2 - std::max(2.0, p->LineSize / 2.0) - 1);
  g.rangeX = std::isfinite(p->RangeX) && p->RangeX > 0.01f ? double(p->RangeX) : 1.0;
  g.rangeY = std::isfinite(p->RangeY) && p->RangeY > 0.01f ? double(p->RangeY) : 1.0;
  g.options = p->Options;
  // The plot (disc, axis, circles) changes only with the record and the
  // size: drawn once and kept, and the readings drawn over a copy of it.
  std::string key;
  LayerKeyAdd(&key, *p);
  LayerKeyAdd(&key, dl.scale);
  LayerKeyAdd(&key, dl.unitsW);
  LayerKeyAdd(&key, dl.unitsH);
  LayerKeyAdd(&key, dl.layer.width);
  LayerKeyAdd(&key, dl.layer.height);
  const bool kept = LayerCacheGet(ctx.index, kGForcePlot, key, &dl.layer);
  {
    Canvas canvas(dl.layer);
    if (!canvas.ok()) return ErrorSet(kErrNoMemory, "RenderGForceObject");
    cairo_t* cr = canvas.cr();
    cairo_scale(cr, dl.scale, dl.scale);
    LayerCacheDrawUnder(cr, kept, true, ctx.index, kGForcePlot, key, dl.layer,
                        [&](cairo_t* c) { drawFrame(c, *p, g); });
    if (p->Options & kGForceFade) drawTrail(cr, *p, g, rd, ctx.time);
    const auto at = place(g, rd.at(rd.x, ctx.time), rd.at(rd.y, ctx.time));
    if (!ColorIsOff(p->ShadowColor)) {
      const double off = std::max(1.5, p->LineSize / 5.0);
      drawMarker(cr, *p, g, {at.first + off, at.second + off}, p->ShadowColor, 0.6);
    }
    drawMarker(cr, *p, g, at, p->LineColor, 1);
  }
  return DataLayerPlace(ctx, dl);
}
