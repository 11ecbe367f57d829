#pragma once
// A drawing layer: width x height 32-bit premultiplied pixels, memory
// B, G, R, A (Cairo's ARGB32), TOP row first, rows of exactly width pixels.
// Engine frames are bottom-up; the compositor is told each buffer's order.
#include <cstddef>
#include <cstdint>
#include <vector>

struct Layer {
  int width = 0;
  int height = 0;
  std::vector<uint32_t> pixels;

  Layer() = default;
  Layer(int w, int h) { resize(w, h); }
  void resize(int w, int h) {
    width = w > 0 ? w : 0;
    height = h > 0 ? h : 0;
    pixels.assign(static_cast<size_t>(width) * height, 0u);
  }
  void fill(uint32_t pixel) { pixels.assign(pixels.size(), pixel); }
  bool empty() const { return width == 0 || height == 0; }
  uint32_t* row(int y) { return pixels.data() + static_cast<size_t>(y) * width; }
  const uint32_t* row(int y) const { return pixels.data() + static_cast<size_t>(y) * width; }
  uint32_t at(int x, int y) const { return row(y)[x]; }
};

// Pixel helpers on 0xAARRGGBB words.
inline uint8_t PixelA(uint32_t p) { return static_cast<uint8_t>(p >> 24); }
inline uint8_t PixelR(uint32_t p) { return static_cast<uint8_t>(p >> 16); }
inline uint8_t PixelG(uint32_t p) { return static_cast<uint8_t>(p >> 8); }
inline uint8_t PixelB(uint32_t p) { return static_cast<uint8_t>(p); }
inline uint32_t PixelMake(uint32_t a, uint32_t r, uint32_t g, uint32_t b) {
  return (a << 24) | (r << 16) | (g << 8) | b;
}
