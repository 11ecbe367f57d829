// Shape objects (type 12): lines, circle and (rounded) rectangles drawn on
// the 720 x 480 base grid (1440 x 960 with the high-resolution bit) and
// scaled into the object's box.
#include "base/error.h"
#include "render/draw/canvas.h"
#include "render/draw/layer_cache.h"
#include "render/objects/object_render.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr int kMaxShapeSide = 4096;
constexpr int kShapeDrawing = 4; // layer cache kind (text drawings 3, g-force plots 5, text data 6)

void drawShape(cairo_t* cr, const ShapeStruct& s, double w, double h, double lineScale) {
  const double line = s.LineSize * lineScale;
  const double inset = ColorIsOff(s.LineColor) ? 0 : line / 2; // keep the outline inside
  const double x = inset, y = inset, iw = std::max(0.0, w - 2 * inset),
               ih = std::max(0.0, h - 2 * inset);
  switch (s.Shape) {
  case kShapeLineNwSe:
  case kShapeLineNeSw: {
    const uint32_t color = ColorIsOff(s.LineColor) ? s.FillColor : s.LineColor;
    const double width = std::max(1.0, line);
    if (s.Shape == kShapeLineNwSe) DrawLine(cr, x, y, x + iw, y + ih, color, width);
    else DrawLine(cr, x + iw, y, x, y + ih, color, width);
    return;
  }
  case kShapeCircle:
    cairo_save(cr);
    cairo_translate(cr, x + iw / 2, y + ih / 2);
    cairo_scale(cr, std::max(iw, 1e-3) / 2, std::max(ih, 1e-3) / 2);
    cairo_new_path(cr);
    cairo_arc(cr, 0, 0, 1, 0, 2 * M_PI);
    cairo_restore(cr);
    break;
  case kShapeRounded: DrawPathRoundedRect(cr, x, y, iw, ih, std::min(iw, ih) * 0.15); break;
  case kShapeRounder: DrawPathRoundedRect(cr, x, y, iw, ih, std::min(iw, ih) * 0.35); break;
  case kShapeRectangle:
  default: DrawPathRoundedRect(cr, x, y, iw, ih, 0); break;
  }
  if (!ColorIsOff(s.FillColor)) {
    if (!ColorIsOff(s.FillColor2)) DrawFillGradient(cr, y, y + ih, s.FillColor, s.FillColor2);
    else {
      DrawSetColor(cr, s.FillColor);
      cairo_fill_preserve(cr);
    }
  }
  DrawFillStroke(cr, kColorOff, s.LineColor, line);
}

} // namespace

int RenderShapeObject(const ObjectContext& ctx) {
  const ShapeStruct* shape = ObjectParam<ShapeStruct>(ctx.obj);
  if (!shape) return kErrBadArg;
  // Base-grid size of the box; quality 5 draws at frame size instead.
  double gridScale = (shape->Options & kShapeHighRes) ? 2.0 : 1.0;
  if (ctx.quality >= 5) gridScale = ctx.baseScale;
  const double unit = gridScale / ctx.baseScale; // layer pixels per frame pixel
  auto side = [](double v) { return static_cast<int>(std::lround(std::clamp(v, 1.0, double(kMaxShapeSide)))); };
  const int lw = side(ctx.w * unit);
  const int lh = side(ctx.h * unit);
  // A shape that keeps its record and size is drawn once and kept.
  std::string key;
  LayerKeyAdd(&key, *shape);
  LayerKeyAdd(&key, gridScale);
  LayerKeyAdd(&key, lw);
  LayerKeyAdd(&key, lh);
  Layer layer;
  if (!LayerCacheDraw(ctx.index, kShapeDrawing, key, lw, lh, &layer,
                      [&](cairo_t* cr) { drawShape(cr, *shape, lw, lh, gridScale); }))
    return kErrNoMemory;
  return ObjectPlaceLayer(ctx, layer, ctx.x, ctx.y, ctx.w, ctx.h);
}
