#include "platform/graphics/text_raster.h"

#include "platform/graphics/font_map.h"

#include <pango/pangocairo.h>

#include <algorithm>
#include <map>
#include <memory>
#include <mutex>
#include <tuple>
#include <utility>

namespace {

struct ResolvedFace {
  std::string postScript;
  FontFace face;
  bool exactStyled = false; // the styled face itself was found
};

// The stored name is mapped once per name and style: fontconfig lookups are
// far too slow to repeat for every frame.
ResolvedFace resolveFace(const std::string& font, uint8_t style) {
  static std::mutex mutex;
  static std::map<std::pair<std::string, int>, ResolvedFace> cache;
  const int styleKey = style & (kTextBold | kTextItalic);
  {
    std::lock_guard lock(mutex);
    auto it = cache.find({font, styleKey});
    if (it != cache.end()) return it->second;
  }
  ResolvedFace resolved;
  std::string mapped = FontMapNameCopy(font);
  std::string styled = mapped;
  if (style & kTextBold)
    styled += (style & kTextItalic) ? "-BoldOblique" : "-Bold";
  else if (style & kTextItalic)
    styled += "-Oblique";
  // Faces named "Italic" rather than "Oblique" are the same thing here.
  std::string styledItalic = styled;
  if (auto pos = styledItalic.rfind("Oblique"); pos != std::string::npos)
    styledItalic.replace(pos, 7, "Italic");
  if (styled != mapped && FontExistsExact(styled)) {
    resolved.postScript = styled;
    resolved.exactStyled = true;
  } else if (styledItalic != mapped && FontExistsExact(styledItalic)) {
    resolved.postScript = styledItalic;
    resolved.exactStyled = true;
  } else {
    resolved.postScript = mapped;
  }
  if (!FontFaceFromPostScript(resolved.postScript, &resolved.face)) resolved.face.family = "Sans";
  std::lock_guard lock(mutex);
  cache[{font, styleKey}] = resolved;
  return resolved;
}

struct LayoutDeleter {
  void operator()(PangoLayout* layout) const { g_object_unref(layout); }
};
using LayoutPtr = std::unique_ptr<PangoLayout, LayoutDeleter>;

LayoutPtr makeLayout(cairo_t* cr, const std::string& utf8, const TextLook& look) {
  LayoutPtr layout(pango_cairo_create_layout(cr));
  ResolvedFace resolved = resolveFace(look.font, look.style);
  PangoFontDescription* desc = pango_font_description_new();
  pango_font_description_set_family(desc, resolved.face.family.c_str());
  // When the styled face was not found the mapped family is asked for the
  // weight and slant, so bold and italic still show.
  int weight = resolved.face.weight;
  bool italic = resolved.face.italic;
  if (!resolved.exactStyled) {
    if (look.style & kTextBold) weight = PANGO_WEIGHT_BOLD;
    if (look.style & kTextItalic) italic = true;
  }
  pango_font_description_set_weight(desc, static_cast<PangoWeight>(weight));
  pango_font_description_set_style(desc, italic ? PANGO_STYLE_ITALIC : PANGO_STYLE_NORMAL);
  pango_font_description_set_absolute_size(desc, std::max(1.0, look.size) * PANGO_SCALE);
  pango_layout_set_font_description(layout.get(), desc);
  pango_font_description_free(desc);

  PangoAttrList* attrs = pango_attr_list_new();
  if (look.style & kTextUnderline)
    pango_attr_list_insert(attrs, pango_attr_underline_new(PANGO_UNDERLINE_SINGLE));
  if (look.style & kTextStrike) pango_attr_list_insert(attrs, pango_attr_strikethrough_new(TRUE));
  pango_layout_set_attributes(layout.get(), attrs);
  pango_attr_list_unref(attrs);

  PangoAlignment align = look.align == 1   ? PANGO_ALIGN_CENTER
                         : look.align == 2 ? PANGO_ALIGN_RIGHT
                                           : PANGO_ALIGN_LEFT;
  pango_layout_set_alignment(layout.get(), align);
  pango_layout_set_text(layout.get(), utf8.c_str(), static_cast<int>(utf8.size()));
  return layout;
}

void setColor(cairo_t* cr, uint32_t color) {
  cairo_set_source_rgb(cr, ((color >> 16) & 0xFF) / 255.0, ((color >> 8) & 0xFF) / 255.0,
                       (color & 0xFF) / 255.0);
}

} // namespace

std::string TextFaceName(const std::string& font, uint8_t style) {
  return resolveFace(font, style).postScript;
}

namespace {

// What a measure depends on; colours do not change the extent.
struct MeasureKey {
  std::string utf8, font;
  double size;
  uint8_t style;
  int align;
  bool operator<(const MeasureKey& o) const {
    return std::tie(utf8, font, size, style, align) < std::tie(o.utf8, o.font, o.size, o.style, o.align);
  }
};

// Data objects measure the same few texts frame after frame, and a Pango
// layout costs far more than a look-up. Emptied when full: texts that keep
// changing (a running lap time) cost no more than before.
constexpr size_t kMaxMeasures = 256;
std::mutex measuresLock;
std::map<MeasureKey, TextExtent> measures;

TextExtent measureAfresh(const std::string& utf8, const TextLook& look) {
  cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 1, 1);
  cairo_t* cr = cairo_create(surface);
  TextExtent extent;
  {
    LayoutPtr layout = makeLayout(cr, utf8, look);
    PangoRectangle logical;
    pango_layout_get_pixel_extents(layout.get(), nullptr, &logical);
    extent.width = logical.width;
    extent.height = logical.height;
  }
  cairo_destroy(cr);
  cairo_surface_destroy(surface);
  return extent;
}

} // namespace

TextExtent TextMeasure(const std::string& utf8, const TextLook& look) {
  MeasureKey key{utf8, look.font, look.size, look.style, look.align};
  {
    std::lock_guard lock(measuresLock);
    if (auto it = measures.find(key); it != measures.end()) return it->second;
  }
  const TextExtent extent = measureAfresh(utf8, look);
  std::lock_guard lock(measuresLock);
  if (measures.size() >= kMaxMeasures) measures.clear();
  measures.emplace(std::move(key), extent);
  return extent;
}

void TextDraw(cairo_t* cr, const std::string& utf8, const TextLook& look, double x, double y,
              double boxWidth) {
  if (!cr || utf8.empty()) return;
  cairo_save(cr);
  LayoutPtr layout = makeLayout(cr, utf8, look);
  if (boxWidth > 0) pango_layout_set_width(layout.get(), static_cast<int>(boxWidth * PANGO_SCALE));
  // Lines are not wrapped: a text wider than its box runs over, as typed.
  pango_layout_set_wrap(layout.get(), PANGO_WRAP_WORD_CHAR);
  if (boxWidth > 0) {
    PangoRectangle logical;
    pango_layout_set_width(layout.get(), -1);
    pango_layout_get_pixel_extents(layout.get(), nullptr, &logical);
    double shift = 0;
    if (look.align == 1) shift = (boxWidth - logical.width) / 2;
    if (look.align == 2) shift = boxWidth - logical.width;
    // Keep per-line alignment inside the text's own width.
    pango_layout_set_width(layout.get(), logical.width * PANGO_SCALE);
    x += shift;
  }
  cairo_move_to(cr, x, y);
  const bool outline = (look.outlineColor & 0xFF000000u) != 0xFF000000u && look.outlineWidth > 0;
  if (outline) {
    pango_cairo_layout_path(cr, layout.get());
    setColor(cr, look.outlineColor);
    cairo_set_line_width(cr, look.outlineWidth * 2);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    cairo_stroke_preserve(cr);
    setColor(cr, look.color);
    cairo_fill(cr);
  } else {
    setColor(cr, look.color);
    pango_cairo_show_layout(cr, layout.get());
  }
  cairo_restore(cr);
}
