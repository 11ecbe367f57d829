#pragma once
// Integer pixel arithmetic shared by the compositor and the picture
// adjustments. Exact and order-independent, so banded and single-threaded
// results are identical.
#include <cstdint>

inline uint32_t Mul255(uint32_t a, uint32_t b) {
  uint32_t t = a * b + 128;
  return (t + (t >> 8)) >> 8;
}

inline uint32_t ScalePixel(uint32_t p, uint32_t factor) { // all four bytes by factor/255
  return (Mul255(p >> 24, factor) << 24) | (Mul255((p >> 16) & 0xFF, factor) << 16) |
         (Mul255((p >> 8) & 0xFF, factor) << 8) | Mul255(p & 0xFF, factor);
}

// Premultiplied source over destination; channels not in mask keep the
// destination's value.
inline uint32_t BlendOver(uint32_t src, uint32_t dst, uint8_t mask) {
  const uint32_t inv = 255 - (src >> 24);
  auto ch = [&](int shift) {
    uint32_t v = ((src >> shift) & 0xFF) + Mul255((dst >> shift) & 0xFF, inv);
    return v > 255 ? 255u : v;
  };
  uint32_t a = ch(24), r = (mask & 1) ? ch(16) : (dst >> 16) & 0xFF,
           g = (mask & 2) ? ch(8) : (dst >> 8) & 0xFF, b = (mask & 4) ? ch(0) : dst & 0xFF;
  return (a << 24) | (r << 16) | (g << 8) | b;
}

// Straight (file) alpha to premultiplied and back.
inline uint32_t Premultiply(uint32_t p) {
  uint32_t a = p >> 24;
  if (a == 255) return p;
  return (a << 24) | (Mul255((p >> 16) & 0xFF, a) << 16) | (Mul255((p >> 8) & 0xFF, a) << 8) |
         Mul255(p & 0xFF, a);
}

inline uint32_t Unpremultiply(uint32_t p) {
  uint32_t a = p >> 24;
  if (a == 255 || a == 0) return a == 0 ? 0 : p;
  auto ch = [&](int shift) {
    uint32_t v = (((p >> shift) & 0xFF) * 255 + a / 2) / a;
    return v > 255 ? 255u : v;
  };
  return (a << 24) | (ch(16) << 16) | (ch(8) << 8) | ch(0);
}

inline int ClampByte(int v) { return v < 0 ? 0 : (v > 255 ? 255 : v); }
