#pragma once
// A fresh engine for each render test: thread/event layer, access lock,
// model tables, media layer and render workers, with helpers that build
// small projects and read pixels back.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "model/disp_records.h"

class RenderTest : public testing::Test {
protected:
  void SetUp() override;
  void TearDown() override;

  // A width x height still image of one colour (0xRRGGBB), written as a
  // BMP in the test's temporary folder and added as an input.
  uint32_t AddSolidImage(uint32_t rgb, int width, int height);
  // A display object of the type with its box in percent; its index.
  uint32_t AddObject(uint32_t type, uint32_t input, float x, float y, float w, float h);
  uint32_t AddShape(uint8_t shape, uint32_t fill, uint32_t line, uint8_t lineSize, float x,
                    float y, float w, float h);
  uint32_t AddText(const char* text, uint32_t color, float size, float x, float y, float w,
                   float h, uint8_t options = 1);
  // Changes fields of an object's record through the facade.
  template <typename F> void Edit(uint32_t object, F change);
  template <typename T, typename F> void EditParam(uint32_t object, F change);

  // The project drawn at the time into a bottom-up frame.
  std::vector<uint32_t> RenderAt(float time, int width, int height, uint32_t quality = 0);
  static std::string TempPath(const std::string& name);
};

// Waits for the output render to end; false when it still runs after ms.
bool WaitOutputIdle(int ms);

// The pixel at (x, y) counted from the top of a bottom-up frame.
inline uint32_t FramePixel(const std::vector<uint32_t>& frame, int width, int height, int x, int y) {
  return frame[static_cast<size_t>(height - 1 - y) * width + x];
}
// Colour distance: the largest difference over R, G and B.
int ColourDiff(uint32_t a, uint32_t b);
// Number of pixels in the rectangle (top-down) within tolerance of colour.
int CountColour(const std::vector<uint32_t>& frame, int width, int height, int x0, int y0, int x1,
                int y1, uint32_t rgb, int tolerance);

#include "model/dispobjs.h"

template <typename F> void RenderTest::Edit(uint32_t object, F change) {
  DispStruct record = *DispObjGet(object);
  change(record);
  ASSERT_EQ(DispObjSet(object, &record), 0);
}

template <typename T, typename F> void RenderTest::EditParam(uint32_t object, F change) {
  T param;
  std::memcpy(&param, DispObjGetParam(object), sizeof(T));
  change(param);
  ASSERT_EQ(DispObjSetParam(object, &param), 0);
}
