#pragma once
// The compositor's sampling plan for one call, shared by the ordinary
// composite and the kept placements: where each destination pixel reads
// the source and how the bytes are mixed.
#include "render/compositor/chroma_key.h"
#include "render/compositor/pixel_ops.h"
#include "render/compositor/render_frame_info.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace compositing {

// Where one destination column or row samples the source (upright
// placements): the same arithmetic as the general path, done once.
struct Tap {
  bool inside = false;
  int nearest = 0;
  int i0 = 0, i1 = 0;
  uint32_t weight = 0;   // of i1, in 1/256
  double pos = 0;        // source coordinate
  double lo = 0, hi = 0; // source span the pixel covers (box filter)
  uint32_t cover = 0;    // share of the pixel inside the rectangle, in 1/255
};

// Everything a band needs, worked out once per call.
struct Placement {
  const RenderFrameInfo* info;
  int srcStride, dstStride;
  int cropX, cropY, cropW, cropH;
  double cx, cy, cosA, sinA;
  double footX, footY; // source pixels per destination pixel
  bool mirrorX, mirrorY, box;
  int rowBegin, rowEnd, colBegin, colEnd; // destination box, y downwards
  bool upright;                            // no rotation: the tap tables below apply
  std::vector<Tap> cols;                   // from colBegin
  bool straightCopy;                       // one source pixel per column, in order, unchanged
};

inline const uint32_t* srcRow(const Placement& p, int y) {
  const RenderFrameInfo& f = *p.info;
  int row = f.SrcBottomUp ? f.SrcHeight - 1 - y : y;
  return f.Src + static_cast<size_t>(row) * p.srcStride;
}

inline uint32_t* dstRow(const Placement& p, int y) {
  const RenderFrameInfo& f = *p.info;
  int row = f.DstBottomUp ? f.DstHeight - 1 - y : y;
  return f.Dst + static_cast<size_t>(row) * p.dstStride;
}

inline uint32_t applyEffects(const RenderFrameInfo& f, uint32_t pixel) {
  if (f.ChromaOn && (pixel >> 24) != 0 &&
      ChromaKeyed(Unpremultiply(pixel), f.ChromaColor, f.ChromaColorRange, f.ChromaBrightRange))
    return 0;
  if (f.Opacity < 255) pixel = ScalePixel(pixel, f.Opacity);
  return pixel;
}

// Two of a pixel's bytes in the low halves of two 32-bit lanes: bytes 0
// and 2, or with odd set bytes 1 and 3.
inline uint64_t lanes(uint32_t p, bool odd) {
  if (odd) p >>= 8;
  return (p & 0xFFu) | static_cast<uint64_t>(p & 0xFF0000u) << 16;
}

// Each byte (a b over c d) weighted by wx and wy in 1/256, rounded. Two
// bytes at a time in 32-bit lanes: the largest sum, 255 * 256 * 256 +
// 32768, stays below 2^25, so no lane reaches the next and the result is
// the same as byte by byte (never above 255).
inline uint32_t mix4(uint32_t a, uint32_t b, uint32_t c, uint32_t d, uint32_t wx, uint32_t wy) {
  if (a == b && a == c && a == d) return a;
  constexpr uint64_t kHalf = 32768u | uint64_t{32768u} << 32;
  uint32_t out = 0;
  for (int odd = 0; odd < 2; ++odd) {
    const uint64_t top = lanes(a, odd) * (256 - wx) + lanes(b, odd) * wx;
    const uint64_t bottom = lanes(c, odd) * (256 - wx) + lanes(d, odd) * wx;
    const uint64_t v = (top * (256 - wy) + bottom * wy + kHalf) >> 16;
    out |= static_cast<uint32_t>((v & 0xFF) | ((v >> 16) & 0xFF0000u)) << (8 * odd);
  }
  return out;
}

bool makePlacement(const RenderFrameInfo& f, Placement* p);
Tap makeTap(double offset, double size, bool mirror, int cropStart, int cropSize);
// Mean over the source footprint of one destination pixel (downscaling).
uint32_t sampleBox(const Placement& p, double sx, double sy, double xlo, double xhi, double ylo, double yhi);

} // namespace compositing
