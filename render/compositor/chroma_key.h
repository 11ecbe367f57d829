#pragma once
// The chroma key shared by input adjustments and object backgrounds: a
// colour is keyed out when its shade of colour lies within the colour range
// of the key's and its brightness within the brightness range. The shade is
// compared at the key's brightness, so a green screen in shadow or in a
// highlight still counts as the key colour, and the brightness range alone
// says how much darker or lighter it may be.
#include <cstdint>
#include <cstdlib>

// True when the straight colour (0x??RRGGBB) is keyed out.
inline bool ChromaKeyed(uint32_t color, uint32_t key, int colorRange, int brightRange) {
  const int r = (color >> 16) & 0xFF, g = (color >> 8) & 0xFF, b = color & 0xFF;
  const int kr = (key >> 16) & 0xFF, kg = (key >> 8) & 0xFF, kb = key & 0xFF;
  // Sums rather than means keep the test in exact integers (3 x scale).
  const int y = r + g + b, ky = kr + kg + kb;
  if (std::abs(y - ky) > 3 * brightRange) return false;
  // Black has no shade of colour: only a black (or near-black) key takes it.
  if (y == 0 || ky == 0) return y == 0 && ky == 0 ? true : std::abs(y - ky) <= 3 * colorRange;
  // Each channel's distance from grey, scaled to the key's brightness.
  const int64_t limit = int64_t{3} * colorRange * y;
  auto near = [&](int c, int kc) {
    const int64_t pixel = int64_t{3 * c - y} * ky, wanted = int64_t{3 * kc - ky} * y;
    return std::llabs(pixel - wanted) <= limit;
  };
  return near(r, kr) && near(g, kg) && near(b, kb);
}
