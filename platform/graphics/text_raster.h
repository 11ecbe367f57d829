#pragma once
// Text rasterising with Pango on a Cairo context: the font named as
// projects name it (mapped to an installed face), bold/italic faces,
// underline, strike-through, alignment and an optional outline.
#include <cairo.h>

#include <cstdint>
#include <string>

enum TextStyleBits : uint8_t {
  kTextBold = 1,
  kTextItalic = 2,
  kTextUnderline = 4,
  kTextStrike = 8,
};

struct TextLook {
  std::string font = "Microsoft Sans Serif"; // as stored in the record
  double size = 32;                          // pixels of the layer
  uint8_t style = 0;                         // TextStyleBits
  int align = 0;                             // 0 left, 1 centre, 2 right
  uint32_t color = 0x00FFFFFF;               // 0x??RRGGBB, drawn whatever the top byte
  uint32_t outlineColor = 0xFF000000;        // top byte 0xFF = no outline
  double outlineWidth = 0;                   // pixels each side of the glyph edge
};

struct TextExtent {
  double width = 0;  // logical width of the widest line
  double height = 0; // logical height of all lines
};

// Size of the text as it would be drawn (outline not included).
TextExtent TextMeasure(const std::string& utf8, const TextLook& look);
// Draws the text with its top-left at (x, y); alignment places each line
// within boxWidth (the text's own width when boxWidth <= 0).
void TextDraw(cairo_t* cr, const std::string& utf8, const TextLook& look, double x, double y,
              double boxWidth);
// The face chosen for a stored font name and style bits: the PostScript
// name, and the family/weight/slant handed to Pango.
std::string TextFaceName(const std::string& font, uint8_t style);
