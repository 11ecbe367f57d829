// Text objects (type 13): the fixed text in the object's font, size and
// style, aligned in its box (or with a box that follows the text), with an
// optional outline.
#include "base/error.h"
#include "base/text.h"
#include "platform/graphics/text_raster.h"
#include "render/draw/canvas.h"
#include "render/draw/layer_cache.h"
#include "render/objects/object_render.h"
#include "render/objects/text_look.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr int kMaxTextSide = 8192;
constexpr int kTextDrawing = 3; // layer cache kind (gauge dials 1, track courses 2)

std::u16string fixedText(const char16_t* units, size_t capacity) {
  size_t n = 0;
  while (n < capacity && units[n]) ++n;
  return std::u16string(units, n);
}

} // namespace

TextLook TextLookFor(const TextStruct& t, double scale) {
  TextLook look;
  look.font = WideToUtf8(Utf16ToWide(fixedText(t.Font, kNameLength)));
  if (look.font.empty()) look.font = "Microsoft Sans Serif";
  look.size = std::clamp(std::isfinite(t.Size) ? t.Size * scale : 32 * scale, 1.0, 2000.0);
  look.style = t.Style & (kTextBold | kTextItalic | kTextUnderline | kTextStrike);
  look.align = std::min(t.Options & kTextAlignMask, int{kTextAlignRight});
  look.color = t.Color & 0xFFFFFF;
  look.outlineColor = t.OutlineColor;
  look.outlineWidth = std::max(1.0, look.size / 16);
  return look;
}

int RenderTextObject(const ObjectContext& ctx) {
  const TextStruct* text = ObjectParam<TextStruct>(ctx.obj);
  if (!text) return kErrBadArg;
  const std::string utf8 = WideToUtf8(Utf16ToWide(fixedText(text->Text, 256)));
  if (utf8.empty()) return 0;
  const TextLook look = TextLookFor(*text, ctx.baseScale);
  const bool outline = !ColorIsOff(look.outlineColor);
  const double pad = outline ? std::ceil(look.outlineWidth) + 1 : 1;
  const TextExtent extent = TextMeasure(utf8, look);

  double x = ctx.x, y = ctx.y, w = ctx.w, h = ctx.h;
  if (text->Options & kTextAutoSize) {
    // The box follows the text: the object's position anchors it by the
    // alignment (left edge, centre or right edge of the stored box).
    w = extent.width + 2 * pad;
    h = extent.height + 2 * pad;
    if (look.align == 1) x = ctx.x + (ctx.w - w) / 2;
    if (look.align == 2) x = ctx.x + ctx.w - w;
  }
  // A box far larger than the frame is not worth a layer of its size: the
  // part past twice the frame would never show.
  const int maxW = std::min(kMaxTextSide, 2 * std::max(1, ctx.target.width));
  const int maxH = std::min(kMaxTextSide, 2 * std::max(1, ctx.target.height));
  const int lw = static_cast<int>(std::ceil(std::clamp(w, 1.0, double(maxW))));
  const int lh = static_cast<int>(std::ceil(std::clamp(h, 1.0, double(maxH))));
  // The drawing depends on nothing but the record, the scale and the layer
  // size: a text that keeps them is drawn once and kept (outlined text in
  // particular costs about a millisecond a frame).
  std::string key;
  LayerKeyAdd(&key, *text);
  LayerKeyAdd(&key, ctx.baseScale);
  LayerKeyAdd(&key, lw);
  LayerKeyAdd(&key, lh);
  Layer layer;
  const bool drawn = LayerCacheDraw(ctx.index, kTextDrawing, key, lw, lh, &layer, [&](cairo_t* cr) {
    const double top = std::max(pad, (lh - extent.height) / 2);
    TextDraw(cr, utf8, look, pad, top, lw - 2 * pad);
  });
  if (!drawn) return kErrNoMemory;
  const float rotation = std::isfinite(text->RotateAngle) ? text->RotateAngle : 0;
  return ObjectPlaceLayer(ctx, layer, x, y, lw, lh, rotation);
}
