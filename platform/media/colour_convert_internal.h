#pragma once
// Shared between the conversion rows and the worker pool.
#include <cstdint>

#include "platform/media/colour_convert.h"

struct ColorConvJob {
  uint32_t Layout;
  ColorConvImage Src;
  uint8_t* Dst;      // destination row 0 (transpose: the whole top-down bitmap)
  int32_t DstStride; // bytes from one destination row to the next
  uint32_t Width, Height;
  uint32_t FirstRow, LastRow;
  uint32_t Transpose, Direction;
};

bool ColorConvSupported(uint32_t layout, uint32_t direction);
void ColorConvLogUnsupported(uint32_t direction);
void ColorConvBuildTable();
// Rows first to last on the calling thread (0, 0 = all).
int ColorConvRunBand(const ColorConvJob& job, uint32_t first, uint32_t last);
// The whole frame, split over the workers when it pays.
int ColorConvRun(const ColorConvJob& job);
