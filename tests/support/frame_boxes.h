#pragma once
// Helpers of the tests that render a project and look at the frames: a box
// in percent of the frame, the display object placed in it, and the count
// of pixels in it that differ clearly between two decoded pictures.
#include <cstdint>

#include "support/writer_clip.h"

struct FrameBox {
  float x, y, w, h;
  // The box in pixels of a width x height frame, shrunk by a margin.
  int x0(int width) const { return static_cast<int>(x * width / 100) + 2; }
  int y0(int height) const { return static_cast<int>(y * height / 100) + 2; }
  int x1(int width) const { return static_cast<int>((x + w) * width / 100) - 2; }
  int y1(int height) const { return static_cast<int>((y + h) * height / 100) - 2; }
  int Area(int width, int height) const { return (x1(width) - x0(width)) * (y1(height) - y0(height)); }
};

// A display object of the type over the box, showing the input (255:
// none), from the start of the project; its index.
uint32_t AddObjectInBox(uint32_t type, uint32_t input, const FrameBox& box);
// Pixels of the box whose colour differs by more than the tolerance in any
// component.
int DifferingPixels(const DecodedPicture& a, const DecodedPicture& b, const FrameBox& box, int tolerance = 40);
