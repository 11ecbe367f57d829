#pragma once
// The chroma key shared by input adjustments and object backgrounds: a
// colour is keyed out when its hue/saturation part lies within the colour
// range of the key's and its brightness within the brightness range.
#include <cstdint>
#include <cstdlib>

// True when the straight colour (0x??RRGGBB) is keyed out.
inline bool ChromaKeyed(uint32_t color, uint32_t key, int colorRange, int brightRange) {
  const int r = (color >> 16) & 0xFF, g = (color >> 8) & 0xFF, b = color & 0xFF;
  const int kr = (key >> 16) & 0xFF, kg = (key >> 8) & 0xFF, kb = key & 0xFF;
  // Sums rather than means keep the test in exact integers (3 x scale).
  const int y = r + g + b, ky = kr + kg + kb;
  const int dr = std::abs((3 * r - y) - (3 * kr - ky));
  const int dg = std::abs((3 * g - y) - (3 * kg - ky));
  const int db = std::abs((3 * b - y) - (3 * kb - ky));
  int dc = dr > dg ? dr : dg;
  dc = dc > db ? dc : db;
  return dc <= 3 * colorRange && std::abs(y - ky) <= 3 * brightRange;
}
