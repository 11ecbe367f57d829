// Time graphs (type 35): the channel's values over a span of time, either
// the last TimeSpan seconds sliding with the time, or a fixed stretch of
// the log with a marker at the current time.
#include "base/error.h"
#include "render/draw/data_channel.h"
#include "render/draw/data_look.h"
#include "render/objects/data_object.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

constexpr double kAutoLimit = 99999999.0;
constexpr int kMaxAxisLines = 200;
constexpr double kMaxSpan = 24 * 3600;

struct Plot {
  double x, y, w, h;
  bool vertical, flip;
  double lo, hi;
  // Position of a time share (0 oldest .. 1 newest) and a value.
  std::pair<double, double> at(double timeShare, double value) const {
    const double v = ScaleShare(value, lo, hi);
    const double s = flip ? 1 - timeShare : timeShare;
    if (vertical) return {x + v * w, y + s * h};
    return {x + s * w, y + h - v * h};
  }
};

// Samples of the plotted stretch: input times t0..t1, a point per layer
// column (or row) so that the line keeps every wiggle it can show.
std::vector<std::pair<double, double>> samples(const DataChannel& ch, double t0, double t1, int count) {
  std::vector<std::pair<double, double>> out;
  count = std::clamp(count, 2, 4000);
  for (int i = 0; i < count; ++i) {
    const double t = t0 + (t1 - t0) * i / (count - 1);
    out.emplace_back(double(i) / (count - 1), DataChannelValueAt(ch, t));
  }
  return out;
}

void drawLine(cairo_t* cr, const Plot& plot, const std::vector<std::pair<double, double>>& pts,
              uint32_t color, double width) {
  if (ColorIsOff(color) || width <= 0) return;
  cairo_new_path(cr);
  bool pen = false;
  for (const auto& [share, v] : pts) {
    if (!std::isfinite(v)) {
      pen = false;
      continue;
    }
    const auto [px, py] = plot.at(share, v);
    if (pen) cairo_line_to(cr, px, py);
    else cairo_move_to(cr, px, py);
    pen = true;
  }
  DrawSetColor(cr, color);
  cairo_set_line_width(cr, width);
  cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
  cairo_stroke(cr);
}

void drawAxis(cairo_t* cr, const TimeGraphParam& p, const Plot& plot) {
  const double step = p.AxisInterval;
  if (ColorIsOff(p.AxisColor) || !(step > 0) || p.AxisSize == 0 || (plot.hi - plot.lo) / step > kMaxAxisLines) return;
  for (double v : StepValues(plot.lo, plot.hi, step, kMaxAxisLines + 1)) {
    const auto a = plot.at(0, v), b = plot.at(1, v);
    DrawLine(cr, a.first, a.second, b.first, b.second, p.AxisColor, p.AxisSize);
  }
}

void drawMarker(cairo_t* cr, const TimeGraphParam& p, const Plot& plot, double share, double value) {
  if (p.Options & kTimeGraphFixedLine) {
    const auto a = plot.at(share, plot.lo), b = plot.at(share, plot.hi);
    DrawLine(cr, a.first, a.second, b.first, b.second, p.ValueColor, std::max(1.0, p.LineSize * 0.75));
  }
  if ((p.Options & kTimeGraphFixedDot) && std::isfinite(value)) {
    const auto c = plot.at(share, value);
    const double r = std::max(3.0, p.LineSize * 1.6);
    DrawEllipse(cr, c.first - r, c.second - r, 2 * r, 2 * r, p.ValueColor & 0xFFFFFF, kColorOff, 0);
  }
}

void drawGraph(cairo_t* cr, const TimeGraphParam& p, const DataChannel& ch, const Plot& plot, double now,
               int resolution) {
  drawAxis(cr, p, plot);
  if (!ch.valid() || !std::isfinite(now)) return;
  const double line = std::min<double>(p.LineSize, 40);
  if ((p.Options & kTimeGraphFixedMask) == 0) {
    const double span = std::clamp<double>(std::isfinite(p.TimeSpan) ? p.TimeSpan : 10, 0.1, kMaxSpan);
    drawLine(cr, plot, samples(ch, now - span, now, resolution), p.LineColor, line);
    return;
  }
  const double end = DataLogEnd(ch.input);
  double t0 = std::isfinite(p.StartTime) ? std::max<double>(0, p.StartTime) : 0;
  double t1 = std::isfinite(p.EndTime) && p.EndTime >= 0 ? p.EndTime : end;
  if (!(t1 > t0)) t1 = t0 + 1; // an empty stretch still gets a time axis
  drawLine(cr, plot, samples(ch, t0, t1, resolution), p.LineColor, line);
  if (now >= t0 && now <= t1) drawMarker(cr, p, plot, (now - t0) / (t1 - t0), DataChannelValueAt(ch, now));
}

} // namespace

int RenderTimeGraphObject(const ObjectContext& ctx) {
  const TimeGraphParam* p = ObjectParam<TimeGraphParam>(ctx.obj);
  if (!p) return ErrorSet(kErrBadArg, "RenderTimeGraphObject");
  DataLayer dl;
  const bool highRes = (p->Options & kTimeGraphHighRes) != 0;
  if (!DataLayerFor(ctx, highRes, &dl)) return 0;
  const double f = highRes ? 2 : 1;
  const double w = dl.unitsW * f, h = dl.unitsH * f;
  const DataChannel ch = DataChannelFor(ctx.obj->InputID, p->Field, -1);
  Plot plot{};
  ScaleRange(p->Min, p->Max, kAutoLimit, ch, &plot.lo, &plot.hi);
  plot.vertical = (p->Options & kTimeGraphVertical) != 0;
  plot.flip = (p->Options & kTimeGraphFlip) != 0;
  const double trim = ColorIsOff(p->TrimColor) ? 0 : std::min<double>(p->TrimSize, 40);
  const bool label = !ColorIsOff(p->LabelColor) && p->Label[0] != 0;
  const double labelH = label ? std::max(0.0, double(p->LabelSize)) * 1.15 : 0;
  // The plot takes Thickness percent of the box across the time axis,
  // below the label.
  const double inset = trim + std::max(2.0, double(p->LineSize));
  const double share = std::clamp<double>(p->Thickness ? p->Thickness : 100, 10, 100) / 100;
  plot.x = inset;
  plot.w = std::max(1.0, w - 2 * inset);
  const double room = std::max(1.0, h - labelH - 2 * inset);
  plot.h = plot.vertical ? room : std::max(1.0, std::min(room, h * share));
  plot.y = labelH + inset + (room - plot.h);
  const double now = DataInputTime(ctx.obj->InputID, ctx.time);
  {
    Canvas canvas(dl.layer);
    if (!canvas.ok()) return ErrorSet(kErrNoMemory, "RenderTimeGraphObject");
    cairo_t* cr = canvas.cr();
    cairo_scale(cr, dl.scale / f, dl.scale / f);
    DrawPathRoundedRect(cr, trim / 2, trim / 2, w - trim, h - trim, 0);
    DrawFillStroke(cr, p->BackColor, p->TrimColor, trim);
    const int resolution = static_cast<int>(std::ceil((plot.vertical ? plot.h : plot.w) * dl.scale / f));
    cairo_save(cr);
    cairo_rectangle(cr, plot.x, plot.y, plot.w, plot.h);
    cairo_clip(cr);
    drawGraph(cr, *p, ch, plot, now, resolution);
    cairo_restore(cr);
    if (label) {
      LabelStyle style{p->LabelFont, p->LabelSize, p->LabelStyle, p->LabelColor, 0};
      DrawLabel(cr, FieldText(p->Label, kNameLength), style, inset, trim + labelH / 2 + 1);
    }
  }
  return DataLayerPlace(ctx, dl);
}
