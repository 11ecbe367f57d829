// Colour conversion: the table's check values, each layout, row order,
// strides, unsupported layouts, and banded conversion over the workers.
#include <gtest/gtest.h>

#include <random>
#include <thread>
#include <vector>

#include "base/error.h"
#include "platform/media/colour_convert.h"

namespace {

TEST(ColourConvert, TableCheckValues) {
  EXPECT_EQ(ColorConvLookup(16, 128, 128), 0xFF010101u);
  EXPECT_EQ(ColorConvLookup(235, 128, 128), 0xFFFFFFFFu);
  EXPECT_EQ(ColorConvLookup(0, 128, 128), 0xFF000000u);
  EXPECT_EQ(ColorConvLookup(81, 90, 240), 0xFFFF0000u);
}

// Reference for one pixel, straight from the formula.
uint32_t Reference(int y, int cb, int cr) {
  auto term = [](int j, int c, double f) { return static_cast<int32_t>(((j - c) * f + 0.5) * 32768.0); };
  auto clamp = [](int32_t v) { return static_cast<uint32_t>(v < 0 ? 0 : v > 255 ? 255 : v); };
  int32_t yt = term(y, 16, 1.164);
  uint32_t r = clamp((yt + term(cr, 128, 1.596)) / 32768);
  uint32_t g = clamp((yt + term(cb, 128, -0.391) + term(cr, 128, -0.813)) / 32768);
  uint32_t b = clamp((yt + term(cb, 128, 2.018)) / 32768);
  return 0xFF000000u | r << 16 | g << 8 | b;
}

TEST(ColourConvert, TableMatchesTheFormulaEverywhereSampled) {
  std::mt19937 rng(1);
  for (int n = 0; n < 20000; ++n) {
    int y = rng() % 256, cb = rng() % 256, cr = rng() % 256;
    ASSERT_EQ(ColorConvLookup(y, cb, cr), Reference(y, cb, cr)) << y << "," << cb << "," << cr;
  }
}

TEST(ColourConvert, Packed2vuyBottomUp) {
  const uint32_t w = 4, h = 2;
  // Row 0: (Cb Y0 Cr Y1) pairs; row 1 differs.
  std::vector<uint8_t> src = {90, 81, 240, 16, 128, 235, 128, 0, 128, 16, 128, 16, 128, 235, 128, 235};
  std::vector<uint32_t> dst(w * h, 0xDEADBEEF);
  ASSERT_EQ(ColorConv(kColor2vuy, src.data(), reinterpret_cast<uint8_t*>(dst.data()), w, h, 0, 0), 0);
  // Source row 0 lands on the last destination row.
  EXPECT_EQ(dst[4], 0xFFFF0000u);
  EXPECT_EQ(dst[5], Reference(16, 90, 240));
  EXPECT_EQ(dst[6], 0xFFFFFFFFu);
  EXPECT_EQ(dst[7], 0xFF000000u);
  EXPECT_EQ(dst[0], 0xFF010101u);
  EXPECT_EQ(dst[3], 0xFFFFFFFFu);
}

TEST(ColourConvert, PackedYuvsAndTranspose) {
  const uint32_t w = 2, h = 3;
  std::vector<uint8_t> src = {81, 90, 16, 240, 235, 128, 235, 128, 16, 128, 235, 128};
  std::vector<uint32_t> dst(w * h, 0);
  ASSERT_EQ(ColorConv(kColorYuvs, src.data(), reinterpret_cast<uint8_t*>(dst.data()), w, h, 1, 0), 0);
  // Pixel x of row r at r + x * h: a top-down bitmap h wide, w high.
  EXPECT_EQ(dst[0], 0xFFFF0000u);
  EXPECT_EQ(dst[0 + 1 * h], Reference(16, 90, 240));
  EXPECT_EQ(dst[1], 0xFFFFFFFFu);
  EXPECT_EQ(dst[2], 0xFF010101u);
  EXPECT_EQ(dst[2 + 1 * h], 0xFFFFFFFFu);
}

TEST(ColourConvert, PlanarOrdersAndOddWidth) {
  const uint32_t w = 5, h = 2; // the odd last column is not written
  std::vector<uint8_t> y = {81, 81, 235, 235, 7, 16, 16, 235, 235, 7};
  std::vector<uint8_t> src4(y);
  src4.insert(src4.end(), {90, 128, 240, 128}); // w*h/4 = 2 samples each
  std::vector<uint8_t> src3(y);
  src3.insert(src3.end(), {240, 128, 90, 128});
  std::vector<uint32_t> a(w * h, 0x12345678), b(w * h, 0x12345678);
  ASSERT_EQ(ColorConv(kColorI420, src4.data(), reinterpret_cast<uint8_t*>(a.data()), w, h, 0, 0), 0);
  ASSERT_EQ(ColorConv(kColorI420Cr, src3.data(), reinterpret_cast<uint8_t*>(b.data()), w, h, 0, 0), 0);
  EXPECT_EQ(a, b);
  EXPECT_EQ(a[5], 0xFFFF0000u); // source row 0, pixel 0
  EXPECT_EQ(a[0], Reference(16, 90, 240));
  EXPECT_EQ(a[4], 0x12345678u);
  EXPECT_EQ(a[9], 0x12345678u);
}

TEST(ColourConvert, StridedPlanesIntoABottomUpBitmap) {
  const uint32_t w = 4, h = 2;
  std::vector<uint8_t> yPlane = {81, 81, 235, 235, 0xEE, 0xEE, 16, 16, 16, 16, 0xEE, 0xEE}; // stride 6
  std::vector<uint8_t> cb = {90, 128, 0xEE}, cr = {240, 128, 0xEE};                         // stride 3
  ColorConvImage src{{yPlane.data(), cb.data(), cr.data()}, {6, 3, 3}};
  std::vector<uint32_t> dst(6 * h, 0); // destination rows of 6 pixels
  uint8_t* last = reinterpret_cast<uint8_t*>(dst.data() + 6 * (h - 1));
  ASSERT_EQ(ColorConvToPixels(kColorI420, src, last, -24, w, h), 0);
  EXPECT_EQ(dst[6], 0xFFFF0000u);
  EXPECT_EQ(dst[8], 0xFFFFFFFFu);
  EXPECT_EQ(dst[10], 0u); // the stride's padding is untouched
  EXPECT_EQ(dst[0], Reference(16, 90, 240));
  EXPECT_EQ(dst[2], 0xFF010101u);
}

TEST(ColourConvert, PixelsToYuvs) {
  const uint32_t w = 2, h = 2;
  // Bottom-up source: row 0 is the bottom row.
  std::vector<uint32_t> px = {0xFFFFFFFFu, 0xFFFFFFFFu, 0xFFFF0000u, 0xFF000000u};
  std::vector<uint8_t> out(w / 2 * 4 * h, 0);
  ASSERT_EQ(ColorConv(kColorYuvs, reinterpret_cast<uint8_t*>(px.data()), out.data(), w, h, 0, 1), 0);
  // Output row 0 comes from source row h - 1 (the top): red then black.
  EXPECT_EQ(out[0], 76);  // 0.299 * 255
  EXPECT_EQ(out[2], 0);
  EXPECT_EQ(out[1], (85 + 128) / 2);  // Cb of red 84.98 -> 85, of black 128
  EXPECT_EQ(out[3], (255 + 128) / 2); // Cr of red 255.5 -> clamped 255
  EXPECT_EQ(out[4], 255);
  EXPECT_EQ(out[6], 255);
}

TEST(ColourConvert, UnsupportedLayoutsAnswerMinus21AndLeaveTheDestination) {
  std::vector<uint8_t> src(64, 128);
  std::vector<uint8_t> dst(256, 0xAB);
  EXPECT_EQ(ColorConv(6, src.data(), dst.data(), 4, 4, 0, 0), -21);
  EXPECT_EQ(ColorConv(2, src.data(), dst.data(), 4, 4, 0, 1), -21);
  EXPECT_EQ(ColorConv(1, src.data(), dst.data(), 4, 4, 0, 7), -21);
  EXPECT_EQ(ColorConv(1, nullptr, dst.data(), 4, 4, 0, 0), -21);
  for (uint8_t b : dst) ASSERT_EQ(b, 0xAB);
}

TEST(ColourConvert, BandsOverTheWorkersGiveTheSameFrame) {
  ColorConvInit();
  EXPECT_EQ(ErrorGetLast(), 0);
  const uint32_t w = 1920, h = 1080;
  std::vector<uint8_t> src(w * h * 2);
  std::mt19937 rng(2);
  for (auto& b : src) b = static_cast<uint8_t>(rng());
  std::vector<uint32_t> banded(w * h), single(w * h);
  ASSERT_EQ(ColorConv(kColor2vuy, src.data(), reinterpret_cast<uint8_t*>(banded.data()), w, h, 0, 0), 0);
  ASSERT_EQ(ColorConvBand(kColor2vuy, src.data(), reinterpret_cast<uint8_t*>(single.data()), w, h, 0, 0, 0, 0), 0);
  EXPECT_EQ(banded, single);
  // Two frames at once from two threads: one goes banded, one on its caller.
  std::vector<uint32_t> other(w * h);
  std::thread t([&] { ColorConv(kColor2vuy, src.data(), reinterpret_cast<uint8_t*>(other.data()), w, h, 0, 0); });
  std::vector<uint32_t> mine(w * h);
  ColorConv(kColor2vuy, src.data(), reinterpret_cast<uint8_t*>(mine.data()), w, h, 0, 0);
  t.join();
  EXPECT_EQ(other, single);
  EXPECT_EQ(mine, single);
  EndColorConv();
  EXPECT_EQ(ColorConvWorkerCount(), 0u);
  std::vector<uint32_t> after(w * h);
  ASSERT_EQ(ColorConv(kColor2vuy, src.data(), reinterpret_cast<uint8_t*>(after.data()), w, h, 0, 0), 0);
  EXPECT_EQ(after, single);
}

TEST(ColourConvert, PartialBands) {
  const uint32_t w = 4, h = 20;
  std::vector<uint8_t> src(w * h * 2, 128);
  for (uint32_t r = 0; r < h; ++r) src[r * w * 2 + 1] = static_cast<uint8_t>(16 + r);
  std::vector<uint32_t> dst(w * h, 0);
  ASSERT_EQ(ColorConvBand(kColor2vuy, src.data(), reinterpret_cast<uint8_t*>(dst.data()), w, h, 0, 0, 5, 7), 0);
  for (uint32_t r = 0; r < h; ++r) {
    uint32_t px = dst[(h - 1 - r) * w];
    if (r >= 5 && r <= 7) EXPECT_EQ(px, Reference(16 + r, 128, 128)) << r;
    else EXPECT_EQ(px, 0u) << r;
  }
  // A last row past the frame means the last row.
  ASSERT_EQ(ColorConvBand(kColor2vuy, src.data(), reinterpret_cast<uint8_t*>(dst.data()), w, h, 0, 0, 18, 500), 0);
  EXPECT_EQ(dst[0], Reference(16 + 19, 128, 128));
}

} // namespace
