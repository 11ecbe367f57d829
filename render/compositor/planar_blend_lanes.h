#pragma once
// The overlay blend into 4:2:0 planes sixteen pixels at a time and the
// progress thumbnail eight pixels at a time, in the vector units, for
// processors that have AVX2 (chosen at run time). Both give to the bit what
// the one-pixel-at-a-time code of planar_blend.cpp gives.
#include <cstdint>

// Premultiplied R, G, B (0..255) to studio-range Y, Cb and Cr terms, in
// 1/65536: what a colour adds where it covers the picture.
struct ToYuv {
  int32_t yr, yg, yb, ur, ug, ub, vr, vg, vb;
};

// Studio-range Y, Cb and Cr to R, G and B, in 1/65536 per step of a sample.
struct FromYuv {
  int32_t y, rv, gu, gv, bu;
};

// True when the routines below may be called on this processor.
bool PlanarLanesAvailable();
// Blends columns from x on, sixteen at a time while they fit before x1, of
// frame rows y0 and y1 (overlay rows o0 and o1, chroma rows cb and cr);
// returns the column it stopped at. x is even.
int BlendSixteens(const uint32_t* o0, const uint32_t* o1, uint8_t* y0, uint8_t* y1, uint8_t* cb, uint8_t* cr,
                  int x, int x1, const ToYuv& k);
// Thumbnail pixels 0, 1, ... of a row: pixel i from luma[i * step] and the
// chroma samples [i * step / 2], as 0xFFRRGGBB; eight at a time while they
// fit in count. Returns the pixels done.
int ThumbnailEights(const uint8_t* luma, const uint8_t* cb, const uint8_t* cr, int step, int count,
                    const FromYuv& k, uint32_t* out);
