#pragma once
// The overlay blend into 4:2:0 planes sixteen pixels at a time, in the
// vector units, for processors that have AVX2 (chosen at run time). It gives
// to the bit what the one-pixel-at-a-time blend of planar_blend.cpp gives.
#include <cstdint>

// Premultiplied R, G, B (0..255) to studio-range Y, Cb and Cr terms, in
// 1/65536: what a colour adds where it covers the picture.
struct ToYuv {
  int32_t yr, yg, yb, ur, ug, ub, vr, vg, vb;
};

// True when BlendSixteens may be called on this processor.
bool PlanarLanesAvailable();
// Blends columns from x on, sixteen at a time while they fit before x1, of
// frame rows y0 and y1 (overlay rows o0 and o1, chroma rows cb and cr);
// returns the column it stopped at. x is even.
int BlendSixteens(const uint32_t* o0, const uint32_t* o1, uint8_t* y0, uint8_t* y1, uint8_t* cb, uint8_t* cr,
                  int x, int x1, const ToYuv& k);
