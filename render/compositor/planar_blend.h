#pragma once
// Composing over a video in its own 4:2:0 planes. When the bottom of a
// frame is an opaque video at the frame's own size, the frame is the
// video's decoded planes with the other objects blended in: they are drawn
// as usual, into a transparent overlay frame, and only the tiles they
// touched are blended into Y, Cb and Cr (premultiplied, with the matrix
// the output is encoded with). The rest of the picture never leaves 4:2:0.
#include "platform/media/media_formats.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

// Tiles of an overlay frame that objects drew into (16 x 16 pixels each).
class FrameDirty {
public:
  static constexpr int kTile = 16;
  void reset(int width, int height);
  // Marks the tiles of [x0, x1) x [y0, y1), y downwards, clipped.
  void mark(int x0, int y0, int x1, int y1);
  bool marked(int col, int row) const { return tiles_[static_cast<size_t>(row) * cols_ + col] != 0; }
  void clearRow(int row);
  int cols() const { return cols_; }
  int rows() const { return rows_; }
  int width() const { return width_; }
  int height() const { return height_; }

private:
  int width_ = 0, height_ = 0, cols_ = 0, rows_ = 0;
  std::vector<uint8_t> tiles_;
};

// One output frame in 4:2:0 planes, in one buffer as the writer takes it:
// Y (width x height), then Cb, then Cr (width / 2 x height / 2 each), rows
// top-down and packed. Width and height are even. The writer shares the
// buffer while it holds the frame (share()); a copy of the frame has a
// buffer of its own.
class PlanarFrame {
public:
  PlanarFrame() = default;
  PlanarFrame(const PlanarFrame& other);
  PlanarFrame& operator=(const PlanarFrame& other);
  PlanarFrame(PlanarFrame&& other) noexcept;
  PlanarFrame& operator=(PlanarFrame&& other) noexcept;
  void resize(int width, int height); // a new buffer, all zero
  bool empty() const { return !bytes_; }
  int width() const { return width_; }
  int height() const { return height_; }
  const uint8_t* data() const { return bytes_.get(); }
  uint8_t* plane(int i) { return bytes_.get() + offset(i); }
  const uint8_t* plane(int i) const { return bytes_.get() + offset(i); }
  int stride(int i) const { return i == 0 ? width_ : width_ / 2; }
  // The planes for the output writer, which keeps them alive while it
  // holds them.
  SharedPlanes share() const { return SharedPlanes(bytes_, bytes_.get()); }

private:
  size_t offset(int i) const;
  size_t bytes() const { return static_cast<size_t>(width_) * height_ * 3 / 2; }
  int width_ = 0, height_ = 0;
  std::shared_ptr<uint8_t[]> bytes_;
};

// Copies a decoded picture of the frame's size into the frame.
void PlanarCopy(const PlanarPicture& from, PlanarFrame* to);
// Blends the marked tiles of the overlay (premultiplied 32-bit pixels,
// BOTTOM row first, the frame's size) into the planes, then clears those
// tiles and their marks: the overlay is transparent again. Spread over the
// render workers when there is enough of it.
void PlanarBlendOverlay(uint32_t* overlay, FrameDirty* dirty, PlanarFrame* planes, YuvMatrix matrix);
// A picture of the planes at 1/step of their size, 32-bit pixels bottom row
// first, for a progress display.
void PlanarThumbnail(const PlanarFrame& planes, int step, YuvMatrix matrix, std::vector<uint32_t>* out,
                     int* width, int* height);
