// Gauge scale: major and minor marks in every shape, spaced by value
// interval or by count, with warning colours, pins at the ends and the
// scale numbers.
#include "render/draw/canvas.h"
#include "render/objects/gauge.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

namespace {

constexpr int kMaxMarks = 1000;
constexpr int kMaxNumbers = 400;

// Values of one kind of mark: every `interval` from a multiple of it, or
// `count` + 1 equal sections of the scale. A zero or absurd interval
// falls back to the count.
std::vector<double> markValues(const GaugeGeom& g, bool byInterval, double interval, int count) {
  std::vector<double> out;
  const double range = g.hi - g.lo;
  if (byInterval && interval > 0 && std::isfinite(interval) && range / interval <= kMaxMarks)
    return StepValues(g.lo, g.hi, interval, kMaxMarks + 1);
  const int sections = count + 1;
  for (int k = 0; k <= sections; ++k) out.push_back(g.lo + range * k / sections);
  return out;
}

// One mark with its outer end at radius r, drawn along +x (outwards).
void markShape(cairo_t* cr, int shape, double r, double size, uint32_t color) {
  const double s = std::max(1.0, size);
  cairo_new_path(cr);
  switch (shape) {
  case kGaugeMarkDot: cairo_arc(cr, r - s / 2, 0, s / 2, 0, 2 * M_PI); break;
  case kGaugeMarkDrop: // round end outside, point towards the centre
    cairo_arc(cr, r - s / 2, 0, s / 2, -M_PI / 2, M_PI / 2);
    cairo_line_to(cr, r - 2.5 * s, 0);
    cairo_close_path(cr);
    break;
  case kGaugeMarkDiamond:
    cairo_move_to(cr, r, 0);
    cairo_line_to(cr, r - s, s / 2);
    cairo_line_to(cr, r - 2 * s, 0);
    cairo_line_to(cr, r - s, -s / 2);
    cairo_close_path(cr);
    break;
  case kGaugeMarkSquare: cairo_rectangle(cr, r - s, -s / 2, s, s); break;
  case kGaugeMarkDash2: cairo_rectangle(cr, r - 1.5 * s, -s / 6, 1.5 * s, s / 3); break;
  default: cairo_rectangle(cr, r - 2.5 * s, -s / 4, 2.5 * s, s / 2); break; // dash (and code 4)
  }
  DrawSetColor(cr, color);
  cairo_fill(cr);
}

double markLength(int shape, double size) {
  switch (shape) {
  case kGaugeMarkNone: return 0;
  case kGaugeMarkDot:
  case kGaugeMarkSquare: return size;
  case kGaugeMarkDrop: return 2.5 * size;
  case kGaugeMarkDiamond: return 2 * size;
  case kGaugeMarkDash2: return 1.5 * size;
  default: return 2.5 * size;
  }
}

void drawMarkSet(cairo_t* cr, const GaugeGeom& g, const std::vector<double>& values, int shape,
                 double size, uint32_t own, const std::vector<double>& skip) {
  const GaugeParam& p = *g.p;
  const bool change = (p.ChangeColorOptions & kGaugeChangeMarksAny) != 0,
             fade = (p.ChangeColorOptions & kGaugeChangeMarksFade) != 0;
  const double eps = (g.hi - g.lo) * 1e-6;
  for (double v : values) {
    bool covered = false;
    for (double s : skip) covered = covered || std::fabs(s - v) <= eps;
    // A full circle's last mark would sit on its first.
    if (covered || (g.sweep >= 360 && v >= g.hi - eps && v > g.lo)) continue;
    const uint32_t color = change ? ChangeColorAt(g.change, own, v, g.lo, fade) : own;
    cairo_save(cr);
    cairo_translate(cr, kGaugeCentre, kGaugeCentre);
    cairo_rotate(cr, g.screenAngle(g.angleOf(v)));
    markShape(cr, shape, g.markRadius, size, color);
    cairo_restore(cr);
  }
}

void drawPins(cairo_t* cr, const GaugeGeom& g, double inset) {
  const GaugeParam& p = *g.p;
  if (ColorIsOff(p.MarkPinColor) || p.MarkPinSize == 0 || g.graph || g.dual) return;
  const double r = g.markRadius - inset - p.MarkPinSize;
  for (double a : {g.screenAngle(0), g.screenAngle(g.sweep)}) {
    cairo_new_path(cr);
    cairo_arc(cr, kGaugeCentre + r * std::cos(a), kGaugeCentre + r * std::sin(a), p.MarkPinSize / 2.0, 0,
              2 * M_PI);
    DrawSetColor(cr, p.MarkPinColor);
    cairo_fill(cr);
  }
}

double innerMarkEdge(const GaugeParam& p) {
  return std::max(markLength(GaugeMajorShape(p.MarkType), p.MarkSize),
                  markLength(GaugeMinorShape(p.MarkType), p.MarkSmallSize));
}

} // namespace

void GaugeDrawMarks(cairo_t* cr, const GaugeGeom& g) {
  const GaugeParam& p = *g.p;
  const bool byInterval = (p.MarkType & kGaugeMarkByInterval) != 0;
  const int major = GaugeMajorShape(p.MarkType), minor = GaugeMinorShape(p.MarkType);
  const std::vector<double> majors = markValues(g, byInterval, p.MarkInterval, p.MarkCount);
  if (minor != kGaugeMarkNone && !ColorIsOff(p.MarkColor)) {
    const uint32_t own = ColorIsOff(p.MarkColor2) ? p.MarkColor : p.MarkColor2;
    const std::vector<double> minors = markValues(g, byInterval, p.MarkSmallInterval, p.MarkSmallCount);
    drawMarkSet(cr, g, minors, minor, p.MarkSmallSize, ColorRgb(own),
                major != kGaugeMarkNone ? majors : std::vector<double>{});
  }
  if (major != kGaugeMarkNone && !ColorIsOff(p.MarkColor))
    drawMarkSet(cr, g, majors, major, p.MarkSize, ColorRgb(p.MarkColor), {});
  drawPins(cr, g, innerMarkEdge(p));
}

void GaugeDrawNumbers(cairo_t* cr, const GaugeGeom& g) {
  const GaugeParam& p = *g.p;
  const uint8_t type = p.MarkNumberType;
  if (!(type & kGaugeNumbersOn) || !(p.MarkInterval > 0.009) || ColorIsOff(p.LabelColor)) return;
  static const double kDivide[4] = {1, 1000, 100, 10};
  static const double kSize[4] = {0.75, 0.85, 0.80, 0.75};
  const int unit = (type & kGaugeNumbersUnitMask) >> 3; // 0 plain, then x1000, x100, x10
  LabelStyle style;
  style.font = p.LabelFont;
  style.size = (std::isfinite(p.IntervalSize) ? p.IntervalSize : 30) * kSize[unit];
  style.style = p.LabelStyle;
  style.color = p.LabelColor;
  double step = p.MarkInterval * ((type & kGaugeNumbersEverySecond) ? 2 : 1);
  const double range = g.hi - g.lo;
  if (!std::isfinite(step) || range / step > kMaxNumbers) step = range / 10;
  auto text = [&](double v, double shownStep) {
    char out[64];
    const double shown = v / kDivide[unit];
    if (std::fabs(shownStep - std::round(shownStep)) <= 0.1) std::snprintf(out, sizeof out, "%d", static_cast<int>(std::lround(shown)));
    else std::snprintf(out, sizeof out, "%.01f", shown);
    return std::string(out);
  };
  const double r = g.markRadius - innerMarkEdge(p) - style.size * 0.75;
  // Limit clutter: widen the step until neighbouring numbers clear each other.
  if (type & kGaugeNumbersLimitClutter) {
    double w = 0, h = 0;
    MeasureLabel(text(g.hi, step / kDivide[unit]), style, &w, &h);
    for (int i = 0; i < 30; ++i) {
      // The tighter part of a two-part scale decides.
      double perValue = g.sweep / range;
      if (g.twoPart)
        perValue = std::min(g.midAngle / (g.midValue - g.lo), (g.sweep - g.midAngle) / (g.hi - g.midValue));
      const double apart = r * perValue * step * M_PI / 180;
      if (apart >= std::max(w, h) * 1.15 || step >= range) break;
      step *= 2;
    }
  }
  const bool ends = (type & kGaugeNumbersEnds) != 0;
  const double eps = step * 1e-6;
  std::vector<double> values;
  if (ends) values.push_back(g.lo);
  for (double v : StepValues(g.lo, g.hi, step, kMaxNumbers))
    if (v > g.lo + eps && v < g.hi - eps) values.push_back(v);
  if (ends && g.sweep < 360) values.push_back(g.hi);
  for (double v : values) {
    const double a = g.screenAngle(g.angleOf(v));
    DrawLabel(cr, text(v, step / kDivide[unit]), style, kGaugeCentre + r * std::cos(a), kGaugeCentre + r * std::sin(a));
  }
}
