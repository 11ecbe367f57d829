// Text drawn with Pango on a layer: glyphs in the asked colour inside the
// box, faces for bold and italic, outline.
#include "platform/graphics/text_raster.h"
#include "render/draw/canvas.h"

#include <gtest/gtest.h>

namespace {

struct Count {
  int colour = 0, other = 0, outside = 0;
};

Count countText(const Layer& l, uint32_t rgb, int x0, int y0, int x1, int y1) {
  Count c;
  for (int y = 0; y < l.height; ++y)
    for (int x = 0; x < l.width; ++x) {
      uint32_t p = l.at(x, y);
      if ((p >> 24) == 0) continue;
      bool in = x >= x0 && x < x1 && y >= y0 && y < y1;
      if (!in) ++c.outside;
      if ((p >> 24) == 255 && (p & 0xFFFFFF) == rgb) ++c.colour;
      else if ((p >> 24) == 255) ++c.other;
    }
  return c;
}

} // namespace

TEST(TextDraw, GlyphsInTheColourInsideTheBox) {
  Layer layer(200, 80);
  TextLook look;
  look.font = "Arial";
  look.size = 40;
  look.color = 0x00FF8000;
  const TextExtent extent = TextMeasure("Quelvatron", look);
  EXPECT_GT(extent.width, 100);
  EXPECT_GT(extent.height, 30);
  {
    Canvas canvas(layer);
    ASSERT_TRUE(canvas.ok());
    TextDraw(canvas.cr(), "Quelvatron", look, 10, 10, 0);
  }
  Count c = countText(layer, 0xFF8000, 10, 10, 10 + static_cast<int>(extent.width) + 1,
                      10 + static_cast<int>(extent.height) + 1);
  EXPECT_GT(c.colour, 300);
  EXPECT_EQ(c.other, 0);
  EXPECT_EQ(c.outside, 0);
}

TEST(TextDraw, AlignmentPlacesTheTextInTheBox) {
  TextLook look;
  look.size = 30;
  look.color = 0xFFFFFF;
  const int width = static_cast<int>(TextMeasure("ii", look).width);
  for (int align : {0, 1, 2}) {
    look.align = align;
    Layer layer(300, 50);
    {
      Canvas canvas(layer);
      TextDraw(canvas.cr(), "ii", look, 0, 0, 300);
    }
    int minX = 300, maxX = -1;
    for (int y = 0; y < 50; ++y)
      for (int x = 0; x < 300; ++x)
        if (layer.at(x, y) >> 24) {
          minX = std::min(minX, x);
          maxX = std::max(maxX, x);
        }
    ASSERT_GE(maxX, 0);
    if (align == 0) {
      EXPECT_LT(minX, 10);
    } else if (align == 1) {
      EXPECT_NEAR((minX + maxX) / 2.0, 150, 10);
    } else {
      EXPECT_GT(maxX, 290 - 10);
    }
    EXPECT_LE(maxX - minX, width + 2);
  }
}

TEST(TextDraw, OutlineSurroundsTheGlyphs) {
  Layer layer(200, 80);
  TextLook look;
  look.size = 48;
  look.color = 0xFFFFFF;
  look.outlineColor = 0x000000FF;
  look.outlineWidth = 3;
  {
    Canvas canvas(layer);
    TextDraw(canvas.cr(), "HO", look, 10, 10, 0);
  }
  Count white = countText(layer, 0xFFFFFF, 0, 0, 200, 80);
  Count blue = countText(layer, 0x0000FF, 0, 0, 200, 80);
  EXPECT_GT(white.colour, 100);
  EXPECT_GT(blue.colour, 100);
}

TEST(TextDraw, BoldAndItalicChooseTheFaces) {
  EXPECT_EQ(TextFaceName("Arial", kTextBold), "LiberationSans-Bold");
  EXPECT_EQ(TextFaceName("Arial", kTextItalic), "LiberationSans-Italic");
  EXPECT_EQ(TextFaceName("Arial", kTextBold | kTextItalic), "LiberationSans-BoldItalic");
  EXPECT_EQ(TextFaceName("DejaVu Sans", kTextItalic), "DejaVuSans-Oblique");
  EXPECT_EQ(TextFaceName("Microsoft Sans Serif", 0), "LiberationSans");
  // Bold text is wider than plain text of the same size.
  TextLook plain;
  plain.font = "Arial";
  TextLook bold = plain;
  bold.style = kTextBold;
  EXPECT_GT(TextMeasure("mmmm", bold).width, TextMeasure("mmmm", plain).width);
}

// Measures are kept by text and look: a size or text asked for again gets
// its own extent, whatever was measured in between.
TEST(TextDraw, MeasuresFollowTheTextAndTheSize) {
  TextLook look;
  look.font = "Arial";
  look.size = 20;
  const TextExtent small = TextMeasure("gear 3", look);
  look.size = 40;
  const TextExtent large = TextMeasure("gear 3", look);
  const TextExtent longer = TextMeasure("gear 3 of 6", look);
  EXPECT_GT(large.width, small.width * 1.5);
  EXPECT_GT(large.height, small.height * 1.5);
  EXPECT_GT(longer.width, large.width);
  look.size = 20;
  EXPECT_EQ(TextMeasure("gear 3", look).width, small.width);
  look.style = kTextBold;
  EXPECT_GT(TextMeasure("gear 3", look).width, small.width);
}

TEST(TextDraw, UnderlineAddsPixelsBelowTheGlyphs) {
  TextLook look;
  look.size = 40;
  look.color = 0xFFFFFF;
  auto lowest = [&](uint8_t style) {
    look.style = style;
    Layer layer(200, 80);
    {
      Canvas canvas(layer);
      TextDraw(canvas.cr(), "ac", look, 5, 5, 0);
    }
    int bottom = -1;
    for (int y = 0; y < 80; ++y)
      for (int x = 0; x < 200; ++x)
        if (layer.at(x, y) >> 24) bottom = y;
    return bottom;
  };
  EXPECT_GT(lowest(kTextUnderline), lowest(0));
}

TEST(TextDraw, EmptyOrNullDrawsNothing) {
  Layer layer(20, 20);
  TextLook look;
  TextDraw(nullptr, "x", look, 0, 0, 0);
  {
    Canvas canvas(layer);
    TextDraw(canvas.cr(), "", look, 0, 0, 0);
  }
  for (uint32_t p : layer.pixels) EXPECT_EQ(p, 0u);
}
