// Cairo drawing on layers: fills, outlines, lines and "off" colours.
#include "render/draw/canvas.h"

#include <gtest/gtest.h>

TEST(Canvas, RoundedRectFillAndOutline) {
  Layer layer(100, 100);
  {
    Canvas c(layer);
    ASSERT_TRUE(c.ok());
    DrawPathRoundedRect(c.cr(), 10, 10, 80, 80, 20);
    DrawFillStroke(c.cr(), 0x00FF0000, 0x000000FF, 4);
  }
  EXPECT_EQ(layer.at(50, 50), 0xFFFF0000u);
  EXPECT_EQ(layer.at(50, 10), 0xFF0000FFu); // the outline on the edge
  EXPECT_EQ(layer.at(11, 11), 0u);          // the corner is cut
  EXPECT_EQ(layer.at(2, 50), 0u);
}

TEST(Canvas, OffColoursDrawNothing) {
  Layer layer(50, 50);
  {
    Canvas c(layer);
    DrawPathRoundedRect(c.cr(), 0, 0, 50, 50, 0);
    DrawFillStroke(c.cr(), kColorOff, 0xFF123456, 5);
    DrawLine(c.cr(), 0, 0, 50, 50, kColorOff, 3);
    DrawEllipse(c.cr(), 0, 0, 50, 50, kColorOff, kColorOff, 1);
  }
  for (uint32_t p : layer.pixels) ASSERT_EQ(p, 0u);
}

TEST(Canvas, LinesArcsAndPolygons) {
  Layer layer(100, 100);
  {
    Canvas c(layer);
    DrawLine(c.cr(), 0, 50, 100, 50, 0x0000FF00, 4);
    DrawArc(c.cr(), 50, 50, 40, 0, 90, 0x00FF0000, 4); // lower right quarter
    DrawPolygon(c.cr(), {{10, 10}, {30, 10}, {20, 30}}, 0x000000FF, kColorOff, 0);
  }
  EXPECT_EQ(layer.at(20, 50), 0xFF00FF00u);
  EXPECT_EQ(layer.at(50, 90), 0xFFFF0000u);  // on the arc at 90 degrees
  EXPECT_EQ(layer.at(50, 10), 0u);           // no arc at 270 degrees
  EXPECT_EQ(layer.at(20, 15), 0xFF0000FFu);
}

TEST(Canvas, EmptyLayerGivesNoContext) {
  Layer empty;
  Canvas c(empty);
  EXPECT_FALSE(c.ok());
}
