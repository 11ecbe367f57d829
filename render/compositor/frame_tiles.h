#pragma once
// Walking the marked tiles of a FrameDirty map in runs: a frame's drawn or
// changed parts are cleared, copied and flipped a run at a time.
#include "render/compositor/planar_blend.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>

// Calls run(x0, x1, y0, y1) for each horizontal run of marked tiles:
// pixels [x0, x1) x [y0, y1), y downwards, clipped to the map's size.
template <typename Run> void ForEachTileRun(const FrameDirty& tiles, Run run) {
  constexpr int kTile = FrameDirty::kTile;
  for (int row = 0; row < tiles.rows(); ++row) {
    const int y0 = row * kTile, y1 = std::min(y0 + kTile, tiles.height());
    for (int col = 0; col < tiles.cols();) {
      if (!tiles.marked(col, row)) {
        ++col;
        continue;
      }
      int end = col + 1;
      while (end < tiles.cols() && tiles.marked(end, row)) ++end;
      run(col * kTile, std::min(end * kTile, tiles.width()), y0, y1);
      col = end;
    }
  }
}

// Marks every tile of `from` in `into` (maps of one size).
inline void MarkTiles(const FrameDirty& from, FrameDirty* into) {
  ForEachTileRun(from, [into](int x0, int x1, int y0, int y1) { into->mark(x0, y0, x1, y1); });
}

// Row y (downwards) of a frame of width x height pixels, bottom row first
// in memory when bottomUp.
inline uint32_t* FrameRow(uint32_t* pixels, int width, int height, bool bottomUp, int y) {
  return pixels + static_cast<size_t>(bottomUp ? height - 1 - y : y) * width;
}
inline const uint32_t* FrameRow(const uint32_t* pixels, int width, int height, bool bottomUp, int y) {
  return pixels + static_cast<size_t>(bottomUp ? height - 1 - y : y) * width;
}
