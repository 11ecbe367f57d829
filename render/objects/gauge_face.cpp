// Gauge face (colour, gradient, warning changes), rim, label and readout.
#include "render/draw/canvas.h"
#include "render/objects/gauge.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {

// A warning colour shaded as the face-change shade asks: a positive shade
// mixes in that share of the face colour, a negative one darkens.
uint32_t shaded(uint32_t color, uint32_t face, int shade) {
  const double share = std::min(std::abs(shade), 100) / 100.0;
  return shade >= 0 ? ColorBlend(color, face, share) : ColorBlend(color, 0, share);
}

uint32_t faceColorNow(const GaugeGeom& g) {
  const GaugeParam& p = *g.p;
  const uint32_t face = ColorRgb(p.FaceColor);
  const uint32_t warn = ChangeColorAt(g.change, face, g.value, g.lo, false);
  if (warn == face) return face;
  if (p.ChangeColorOptions & kGaugeChangeFaceSolid) return warn;
  if (p.ChangeColorOptions & kGaugeChangeFace) return shaded(warn, face, p.ChangeFaceShade);
  return face;
}

// The band of the face from a threshold to the end of the scale.
void warningBand(cairo_t* cr, const GaugeGeom& g, double from, uint32_t color) {
  if (ColorIsOff(color) || !(from < g.hi)) return;
  const double inner = std::clamp<double>(g.p->ChangeFaceOffset, 0, g.markRadius - 1);
  const double a0 = g.screenAngle(g.angleOf(std::max(from, g.lo)));
  const double a1 = g.screenAngle(g.sweep);
  cairo_new_path(cr);
  if (g.ccw) {
    cairo_arc_negative(cr, kGaugeCentre, kGaugeCentre, g.markRadius, a0, a1);
    cairo_arc(cr, kGaugeCentre, kGaugeCentre, inner, a1, a0);
  } else {
    cairo_arc(cr, kGaugeCentre, kGaugeCentre, g.markRadius, a0, a1);
    cairo_arc_negative(cr, kGaugeCentre, kGaugeCentre, inner, a1, a0);
  }
  cairo_close_path(cr);
  DrawSetColor(cr, shaded(color, g.p->FaceColor, g.p->ChangeFaceShade));
  cairo_fill(cr);
}

} // namespace

void GaugeDrawFace(cairo_t* cr, const GaugeGeom& g) {
  const GaugeParam& p = *g.p;
  const double trim = std::min<double>(p.TrimSize, 60);
  const double radius = kGaugeCentre - trim / 2;
  if (!ColorIsOff(p.FaceColor)) {
    cairo_new_path(cr);
    cairo_arc(cr, kGaugeCentre, kGaugeCentre, radius, 0, 2 * M_PI);
    const uint32_t face = faceColorNow(g);
    if (!ColorIsOff(p.FaceColor2) && face == ColorRgb(p.FaceColor)) {
      DrawFillGradient(cr, 0, kGaugeSize, face, p.FaceColor2);
    } else {
      DrawSetColor(cr, face);
      cairo_fill_preserve(cr);
    }
    cairo_new_path(cr);
    if (p.ChangeColorOptions & kGaugeChangeFaceBand) {
      if (!ColorIsOff(p.ChangeColor2) && !(p.ChangeColor2Value >= p.ChangeColorValue))
        warningBand(cr, g, p.ChangeColor2Value, p.ChangeColor2);
      warningBand(cr, g, p.ChangeColorValue, p.ChangeColor);
    }
  }
  if (!ColorIsOff(p.TrimColor) && trim > 0) {
    cairo_new_path(cr);
    cairo_arc(cr, kGaugeCentre, kGaugeCentre, radius, 0, 2 * M_PI);
    DrawSetColor(cr, p.TrimColor);
    cairo_set_line_width(cr, trim);
    cairo_stroke(cr);
  }
}

void GaugeDrawGraph(cairo_t* cr, const GaugeGeom& g) {
  const GaugeParam& p = *g.p;
  const double width = std::max(8.0, p.NeedleSize * 4.0);
  const double r = g.markRadius - width / 2;
  auto arc = [&](double a0, double a1, uint32_t color) {
    if (ColorIsOff(color) || !(a1 > a0)) return;
    cairo_new_path(cr);
    if (g.ccw) cairo_arc_negative(cr, kGaugeCentre, kGaugeCentre, r, g.screenAngle(a0), g.screenAngle(a1));
    else cairo_arc(cr, kGaugeCentre, kGaugeCentre, r, g.screenAngle(a0), g.screenAngle(a1));
    DrawSetColor(cr, color);
    cairo_set_line_width(cr, width);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_BUTT);
    cairo_stroke(cr);
  };
  arc(0, g.sweep, p.NeedleBackColor);
  if (!std::isfinite(g.value)) return;
  const bool change = (p.ChangeColorOptions & kGaugeChangeNeedlesAny) != 0;
  const bool fade = (p.ChangeColorOptions & kGaugeChangeNeedlesFade) != 0;
  const uint32_t color = change ? ChangeColorAt(g.change, ColorRgb(p.NeedleColor), g.value, g.lo, fade)
                                : ColorRgb(p.NeedleColor);
  arc(0, g.angleOf(g.value), color);
}

namespace {

// One of the dial's texts as the record gives it: a size that is not a
// number takes the default, an automatic position the default place.
struct DialText {
  const char16_t* font;
  float size;
  uint8_t style;
  uint32_t color;
  uint16_t x, y;
};

void drawDialText(cairo_t* cr, const std::string& utf8, const DialText& t, double defaultSize, double autoX,
                  double autoY) {
  const LabelStyle style{.font = t.font,
                         .size = std::isfinite(t.size) ? t.size : defaultSize,
                         .style = t.style,
                         .color = t.color};
  const bool automatic = GaugePosIsAuto(t.x, t.y);
  DrawLabel(cr, utf8, style, automatic ? autoX : t.x, automatic ? autoY : t.y);
}

} // namespace

void GaugeDrawLabel(cairo_t* cr, const GaugeGeom& g) {
  const GaugeParam& p = *g.p;
  drawDialText(cr, FieldText(p.Label, kNameLength),
               {p.LabelFont, p.LabelSize, p.LabelStyle, p.LabelColor, p.LabelX, p.LabelY}, 30, kGaugeLabelAutoX,
               kGaugeLabelAutoY);
}

void GaugeDrawReadout(cairo_t* cr, const GaugeGeom& g) {
  const GaugeParam& p = *g.p;
  drawDialText(cr, ReadoutText(g.value, (p.Options & kGaugeTwoDecimals) != 0),
               {p.NumberFont, p.NumberSize, p.NumberStyle, p.NumberColor, p.NumberX, p.NumberY}, 34,
               kGaugeNumberAutoX, kGaugeNumberAutoY);
}
