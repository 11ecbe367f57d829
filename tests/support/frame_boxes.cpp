#include "support/frame_boxes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

#include "model/dispobjs.h"

namespace {

constexpr uint32_t kNoObject = 0xFFFFFFFF;

int difference(const Rgb& a, const Rgb& b) {
  return std::max({std::abs(a.r - b.r), std::abs(a.g - b.g), std::abs(a.b - b.b)});
}

} // namespace

uint32_t AddObjectInBox(uint32_t type, uint32_t input, const FrameBox& box) {
  const uint32_t object = DispObjAdd(type, 255);
  EXPECT_NE(object, kNoObject) << "type " << type;
  if (object == kNoObject) return object;
  if (input != 255) {
    EXPECT_EQ(DispObjSetInput(object, input), 0);
  }
  DispStruct record = *DispObjGet(object);
  record.X = box.x, record.Y = box.y, record.Width = box.w, record.Height = box.h;
  record.OffsetTime = 0;
  record.KeepRatio = 0;
  EXPECT_EQ(DispObjSet(object, &record), 0);
  return object;
}

int DifferingPixels(const DecodedPicture& a, const DecodedPicture& b, const FrameBox& box, int tolerance) {
  int n = 0;
  for (int y = box.y0(a.height); y < box.y1(a.height); ++y)
    for (int x = box.x0(a.width); x < box.x1(a.width); ++x)
      if (difference(a.At(x, y), b.At(x, y)) > tolerance) ++n;
  return n;
}
