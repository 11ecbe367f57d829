#pragma once
// The colour adjustments of an input's picture (AdjustStruct): brightness,
// contrast, colour, hue, sharpness, chroma key and colorize. Crop, mirroring
// and rotation are done by the compositor while placing the picture.
#include "model/input_records.h"
#include "render/draw/layer.h"

struct PictureSource {
  const uint32_t* pixels = nullptr;
  int width = 0, height = 0;
  bool topDown = false;
  bool opaque = true; // take alpha as 255; else straight alpha (as decoded from a file)
  // Part used, top-down coordinates.
  int cropX = 0, cropY = 0, cropW = 0, cropH = 0;
};

// True when the record asks for any colour change (so the picture must be
// copied and worked on rather than placed as it is).
bool PictureNeedsAdjust(const AdjustStruct& adjust);
// The crop of the source, adjusted, into out (top-down, premultiplied).
// time drives the rainbow colorize. 0, or -21 for a bad source.
int PictureAdjust(const PictureSource& source, const AdjustStruct& adjust, double time, Layer* out);
// The input's crop margins clamped to the picture (at least one pixel left).
void PictureCropRect(const AdjustStruct& adjust, int width, int height, int* x, int* y, int* w,
                     int* h);
