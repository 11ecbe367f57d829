// Bar graphs (type 31): a bar (or a line) filled to the channel's value
// between the scale ends, on an optional rounded background with trim,
// label, marks and the value as a number.
#include "base/error.h"
#include "render/draw/data_channel.h"
#include "render/draw/data_look.h"
#include "render/objects/data_object.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {

constexpr int kMaxMarks = 500;

struct Rect {
  double x, y, w, h;
};

struct BarLayout {
  Rect box, track;
  double labelX, labelY, numberX, numberY;
  bool horizontal;
};

BarLayout layout(const BarParam& p, double w, double h) {
  BarLayout l;
  l.horizontal = (p.Options & kBarHorizontal) != 0;
  l.box = {0, 0, w, h};
  const double labelSpace = ColorIsOff(p.LabelColor) ? 0 : std::max(0.0, double(p.LabelSize)) * 1.2;
  const double numberSpace = ColorIsOff(p.NumberColor) ? 0 : std::max(0.0, double(p.NumberSize)) * 1.2;
  const double thickness = std::clamp<double>(p.Thickness, 1, 100) / 100;
  const double pad = 4 + std::min<double>(p.TrimSize, 40);
  if (l.horizontal) {
    // Label on the left, number on the right, bar between them.
    const double labelW = labelSpace * 2.5, numberW = numberSpace * 2.5;
    const double across = h * thickness;
    l.track = {labelW + pad, (h - across) / 2, std::max(1.0, w - labelW - numberW - 2 * pad), across};
    l.labelX = labelW / 2 + pad / 2;
    l.labelY = h / 2;
    l.numberX = w - numberW / 2 - pad / 2;
    l.numberY = h / 2;
  } else {
    const double across = w * thickness;
    l.track = {(w - across) / 2, labelSpace + pad, across, std::max(1.0, h - labelSpace - numberSpace - 2 * pad)};
    l.labelX = w / 2;
    l.labelY = pad / 2 + labelSpace / 2;
    l.numberX = w / 2;
    l.numberY = h - pad / 2 - numberSpace / 2;
  }
  // Stored positions (1000 = automatic) are units from the box's corner.
  if (p.LabelX < 1000 && p.LabelY < 1000) {
    l.labelX = p.LabelX;
    l.labelY = p.LabelY;
  }
  if (p.NumberX < 1000 && p.NumberY < 1000) {
    l.numberX = p.NumberX;
    l.numberY = p.NumberY;
  }
  return l;
}

// The part of the track from its start end to the share; flipped bars
// grow from the other end.
Rect filled(const BarLayout& l, double share, bool flip) {
  const Rect& t = l.track;
  if (l.horizontal) {
    const double len = t.w * share;
    return {flip ? t.x + t.w - len : t.x, t.y, len, t.h};
  }
  const double len = t.h * share;
  return {t.x, flip ? t.y : t.y + t.h - len, t.w, len};
}

void fillBar(cairo_t* cr, const BarLayout& l, const Rect& r, uint32_t color, uint32_t color2) {
  cairo_new_path(cr);
  cairo_rectangle(cr, r.x, r.y, r.w, r.h);
  // The second colour shades both long edges: a rounded look.
  cairo_pattern_t* pattern = l.horizontal ? cairo_pattern_create_linear(0, r.y, 0, r.y + r.h)
                                          : cairo_pattern_create_linear(r.x, 0, r.x + r.w, 0);
  auto stop = [&](double at, uint32_t c) {
    cairo_pattern_add_color_stop_rgb(pattern, at, ((c >> 16) & 0xFF) / 255.0, ((c >> 8) & 0xFF) / 255.0,
                                     (c & 0xFF) / 255.0);
  };
  stop(0, color2);
  stop(0.4, color);
  stop(0.6, color);
  stop(1, color2);
  cairo_set_source(cr, pattern);
  cairo_fill(cr);
  cairo_pattern_destroy(pattern);
}

// Ticks beside the track every `interval`, `length` long.
void drawTicks(cairo_t* cr, const BarParam& p, const BarLayout& l, double lo, double hi, double interval,
               double length, double width) {
  if (!(interval > 0) || (hi - lo) / interval > kMaxMarks) return;
  const bool flip = (p.Options & kBarFlip) != 0;
  const Rect& t = l.track;
  for (double v : StepValues(lo, hi, interval, kMaxMarks + 1)) {
    const Rect at = filled(l, ScaleShare(v, lo, hi), flip);
    if (l.horizontal) {
      const double x = flip ? at.x : at.x + at.w;
      DrawLine(cr, x, t.y + t.h, x, t.y + t.h + length, p.MarkColor, width);
    } else {
      const double y = flip ? at.y + at.h : at.y;
      DrawLine(cr, t.x + t.w, y, t.x + t.w + length, y, p.MarkColor, width);
    }
  }
}

void drawMarks(cairo_t* cr, const BarParam& p, const BarLayout& l, double lo, double hi) {
  if (ColorIsOff(p.MarkColor)) return;
  drawTicks(cr, p, l, lo, hi, p.MarkSmallInterval, std::max<double>(1, p.MarkSmallSize), 1);
  drawTicks(cr, p, l, lo, hi, p.MarkInterval, std::max<double>(2, p.MarkSize), 1.5);
}

void drawBar(cairo_t* cr, const BarParam& p, const BarLayout& l, double value, double lo, double hi) {
  const Rect& t = l.track;
  if (!ColorIsOff(p.BackColor)) {
    const double radius = (p.Options & kBarRounded) ? std::min(l.box.w, l.box.h) * 0.25 : 0;
    DrawPathRoundedRect(cr, l.box.x, l.box.y, l.box.w, l.box.h, radius);
    DrawFillStroke(cr, p.BackColor, kColorOff, 0);
  }
  ColorChange change{p.ChangeColor, p.ChangeColorValue, p.ChangeColor2, p.ChangeColor2Value};
  uint32_t fill = p.FillColor & 0xFFFFFF, fill2 = p.FillColor2 & 0xFFFFFF;
  if (p.ChangeColorOptions != 0) {
    const uint32_t now = ChangeColorAt(change, fill, value, lo, (p.ChangeColorOptions & 10) != 0);
    if (now != fill) fill = fill2 = now;
  }
  if (std::isfinite(value)) {
    const double share = ScaleShare(value, lo, hi);
    const bool flip = (p.Options & kBarFlip) != 0;
    if (p.Options & kBarLine) {
      // Line mode: a short bar across the track at the value.
      const double width = std::max(4.0, (l.horizontal ? t.w : t.h) * 0.03);
      const Rect at = filled(l, share, flip);
      Rect line = l.horizontal ? Rect{(flip ? at.x : at.x + at.w) - width / 2, t.y, width, t.h}
                               : Rect{t.x, (flip ? at.y + at.h : at.y) - width / 2, t.w, width};
      fillBar(cr, l, line, fill, fill2);
    } else {
      fillBar(cr, l, filled(l, share, flip), fill, fill2);
    }
  }
  if (!ColorIsOff(p.TrimColor) && p.TrimSize > 0) {
    const double trim = std::min<double>(p.TrimSize, 40);
    cairo_new_path(cr);
    cairo_rectangle(cr, t.x - trim / 2, t.y - trim / 2, t.w + trim, t.h + trim);
    DrawFillStroke(cr, kColorOff, p.TrimColor, trim);
  }
  drawMarks(cr, p, l, lo, hi);
}

} // namespace

int RenderBarObject(const ObjectContext& ctx) {
  const BarParam* p = ObjectParam<BarParam>(ctx.obj);
  if (!p) return ErrorSet(kErrBadArg, "RenderBarObject");
  DataLayer dl;
  if (!DataLayerFor(ctx, (p->Options & kBarHighRes) != 0, &dl)) return 0;
  const DataChannel channel = DataChannelFor(ctx.obj->InputID, p->Field, -1);
  double lo = 0, hi = 100;
  ScaleRange(p->Min, p->Max, kRangeAutoLimit, channel, &lo, &hi);
  const double value = DataChannelValue(channel, ctx.time);
  // Sizes in a double-resolution record are pixels of a bitmap twice the
  // base size.
  const double f = (p->Options & kBarHighRes) ? 2 : 1;
  const BarLayout l = layout(*p, dl.unitsW * f, dl.unitsH * f);
  {
    Canvas canvas(dl.layer);
    if (!canvas.ok()) return ErrorSet(kErrNoMemory, "RenderBarObject");
    cairo_t* cr = canvas.cr();
    cairo_scale(cr, dl.scale / f, dl.scale / f);
    drawBar(cr, *p, l, value, lo, hi);
    LabelStyle label{p->LabelFont, p->LabelSize, p->LabelStyle, p->LabelColor, 1};
    DrawLabel(cr, FieldText(p->Label, kNameLength), label, l.labelX, l.labelY);
    LabelStyle number{p->NumberFont, p->NumberSize, p->NumberStyle, p->NumberColor, 1};
    DrawLabel(cr, ReadoutText(value, (p->Options & kBarTwoDecimals) != 0), number, l.numberX, l.numberY);
  }
  return DataLayerPlace(ctx, dl);
}
