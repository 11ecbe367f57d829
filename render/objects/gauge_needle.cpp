// Gauge needles: the main needle (and in "Dual" mode the second one) with
// its taper, tip and tail, and the centre cap.
#include "render/draw/canvas.h"
#include "render/objects/gauge.h"

#include <algorithm>
#include <cmath>

namespace {

struct NeedleShape {
  double width, tip, tail;
  bool tapered;
  int taper;
  uint32_t color;
};

// Outline along +x from the tail (x = tail, negative behind the centre)
// to the tip. Taper shapes: 0 to a point, 1 to a blunt end, 2 a curved
// point, 3 and above parallel then a short point.
void needlePath(cairo_t* cr, const NeedleShape& n) {
  const double half = std::max(0.5, n.width / 2);
  const double tail = std::min(n.tail, n.tip - 1);
  cairo_new_path(cr);
  if (!n.tapered) {
    cairo_move_to(cr, tail, -half);
    cairo_line_to(cr, n.tip - half, -half);
    cairo_arc(cr, n.tip - half, 0, half, -M_PI / 2, M_PI / 2);
    cairo_line_to(cr, tail, half);
    cairo_close_path(cr);
    return;
  }
  cairo_move_to(cr, tail, -half);
  switch (n.taper) {
  case 0:
    cairo_line_to(cr, n.tip, 0);
    break;
  case 1:
    cairo_line_to(cr, n.tip, -half * 0.35);
    cairo_line_to(cr, n.tip, half * 0.35);
    break;
  case 2:
    cairo_curve_to(cr, (tail + n.tip) / 2, -half, n.tip - half * 2, -half * 0.3, n.tip, 0);
    cairo_curve_to(cr, n.tip - half * 2, half * 0.3, (tail + n.tip) / 2, half, tail, half);
    break;
  default: {
    const double neck = n.tip - std::max(half * 4, (n.tip - tail) * 0.15);
    cairo_line_to(cr, neck, -half);
    cairo_line_to(cr, n.tip, 0);
    cairo_line_to(cr, neck, half);
    break;
  }
  }
  cairo_line_to(cr, tail, half);
  cairo_close_path(cr);
}

void drawNeedle(cairo_t* cr, const GaugeGeom& g, double scaleAngle, const NeedleShape& n) {
  if (n.tip <= 0 || n.width <= 0) return;
  cairo_save(cr);
  cairo_translate(cr, kGaugeCentre, kGaugeCentre);
  cairo_rotate(cr, g.screenAngle(scaleAngle));
  // A soft shadow lifts the needle off the face.
  cairo_save(cr);
  cairo_translate(cr, 1.5, 1.5);
  needlePath(cr, n);
  cairo_set_source_rgba(cr, 0, 0, 0, 0.25);
  cairo_fill(cr);
  cairo_restore(cr);
  needlePath(cr, n);
  DrawSetColor(cr, n.color);
  cairo_fill(cr);
  cairo_restore(cr);
}

uint32_t needleColor(const GaugeGeom& g, uint32_t own) {
  const uint8_t o = g.p->ChangeColorOptions;
  if (!(o & kGaugeChangeNeedlesAny)) return ColorRgb(own);
  return ChangeColorAt(g.change, ColorRgb(own), g.value, g.lo, (o & kGaugeChangeNeedlesFade) != 0);
}

} // namespace

void GaugeDrawNeedles(cairo_t* cr, const GaugeGeom& g) {
  const GaugeParam& p = *g.p;
  const bool tapered = !(p.Options & kGaugeUntapered);
  if (std::isfinite(g.value)) {
    if (g.dual) {
      // The second needle reads the whole range; the main one turns once
      // per span.
      NeedleShape second{double(p.DualNeedleSize), double(p.DualNeedleTipLen), double(p.DualNeedleTailLen),
                         tapered, p.TaperShape, needleColor(g, p.DualNeedleColor)};
      drawNeedle(cr, g, g.angleOf(g.value), second);
      const double turns = (g.value - g.lo) / g.span;
      const double angle = (turns - std::floor(turns)) * 360;
      NeedleShape main{double(p.NeedleSize), double(p.NeedleTipLen), double(p.NeedleTailLen), tapered,
                       p.TaperShape, needleColor(g, p.NeedleColor)};
      drawNeedle(cr, g, angle, main);
    } else {
      NeedleShape main{double(p.NeedleSize), double(p.NeedleTipLen), double(p.NeedleTailLen), tapered,
                       p.TaperShape, needleColor(g, p.NeedleColor)};
      drawNeedle(cr, g, g.angleOf(g.value), main);
    }
  }
  if (p.NeedleCenterSize > 0) {
    const uint32_t cap = ColorIsOff(p.NeedleBackColor) ? p.NeedleColor : p.NeedleBackColor;
    cairo_new_path(cr);
    cairo_arc(cr, kGaugeCentre, kGaugeCentre, p.NeedleCenterSize / 2.0, 0, 2 * M_PI);
    DrawSetColor(cr, cap);
    cairo_fill(cr);
  }
}
