#include "base/sync.h"
#include "render/compositor/compositor.h"
#include "render/compositor/pixel_ops.h"
#include "render/compositor/planar_blend.h"
#include "render/compositor/render_frame_info.h"

#include <gtest/gtest.h>

extern "C" {
#include <libswscale/swscale.h>
}

#include <cstdlib>
#include <random>
#include <vector>

namespace {

constexpr int kW = 64, kH = 48;

// 32-bit pixels (top row first) to 4:2:0 as the writer converts them.
PlanarFrame toPlanes(const std::vector<uint32_t>& bgraTopDown, YuvMatrix matrix) {
  PlanarFrame out;
  out.resize(kW, kH);
  SwsContext* c = sws_getContext(kW, kH, AV_PIX_FMT_BGRA, kW, kH, AV_PIX_FMT_YUV420P, SWS_BILINEAR, nullptr,
                                 nullptr, nullptr);
  const int* k = sws_getCoefficients(matrix == YuvMatrix::Bt709 ? SWS_CS_ITU709 : SWS_CS_ITU601);
  sws_setColorspaceDetails(c, k, 1, k, 0, 0, 1 << 16, 1 << 16);
  const uint8_t* src[4] = {reinterpret_cast<const uint8_t*>(bgraTopDown.data()), nullptr, nullptr, nullptr};
  const int srcStride[4] = {kW * 4, 0, 0, 0};
  uint8_t* dst[4] = {out.plane(0), out.plane(1), out.plane(2), nullptr};
  const int dstStride[4] = {out.stride(0), out.stride(1), out.stride(2), 0};
  sws_scale(c, src, srcStride, 0, kH, dst, dstStride);
  sws_freeContext(c);
  return out;
}

// A smooth picture with some of every colour.
std::vector<uint32_t> background() {
  std::vector<uint32_t> p(static_cast<size_t>(kW) * kH);
  for (int y = 0; y < kH; ++y)
    for (int x = 0; x < kW; ++x)
      p[static_cast<size_t>(y) * kW + x] = 0xFF000000u | uint32_t(40 + 3 * x) << 16 | uint32_t(200 - 3 * y) << 8 |
                                           uint32_t(90 + x + y);
  return p;
}

int worst(const PlanarFrame& a, const PlanarFrame& b, int plane, int x0, int y0, int x1, int y1) {
  int most = 0;
  for (int y = y0; y < y1; ++y)
    for (int x = x0; x < x1; ++x)
      most = std::max(most, std::abs(a.plane(plane)[y * a.stride(plane) + x] - b.plane(plane)[y * b.stride(plane) + x]));
  return most;
}

} // namespace

// Blending an overlay into the planes gives what converting the composed
// 32-bit picture would, leaves the picture outside the overlay's tiles
// exactly as decoded, and leaves the overlay transparent again.
TEST(PlanarBlendTest, OverlayBlendedInPlanesMatchesTheConvertedComposition) {
  for (YuvMatrix matrix : {YuvMatrix::Bt601, YuvMatrix::Bt709}) {
    const std::vector<uint32_t> base = background();
    PlanarFrame planes = toPlanes(base, matrix);
    const PlanarFrame untouched = toPlanes(base, matrix);

    // Opaque orange over [0, 16) x [0, 16), half-covering white over
    // [32, 48) x [16, 32) (rows counted from the top).
    std::vector<uint32_t> overlay(static_cast<size_t>(kW) * kH, 0); // bottom row first
    std::vector<uint32_t> composed = base;                           // top row first
    auto paint = [&](int x0, int y0, int x1, int y1, uint32_t premultiplied) {
      for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x) {
          overlay[static_cast<size_t>(kH - 1 - y) * kW + x] = premultiplied;
          uint32_t& c = composed[static_cast<size_t>(y) * kW + x];
          c = BlendOver(premultiplied, c, kChanAll);
        }
    };
    paint(0, 0, 16, 16, 0xFFFF8000u);
    paint(32, 16, 48, 32, 0x80808080u);
    FrameDirty dirty;
    dirty.reset(kW, kH);
    dirty.mark(0, 0, 16, 16);
    dirty.mark(32, 16, 48, 32);
    dirty.mark(50, 40, 60, 44); // marked but nothing drawn there

    PlanarBlendOverlay(overlay.data(), &dirty, &planes, matrix);
    const PlanarFrame expected = toPlanes(composed, matrix);
    // Inside the painted boxes, away from their edges (the converter's
    // chroma filter reaches over them).
    for (int plane = 0; plane < 3; ++plane) {
      const int s = plane == 0 ? 1 : 2;
      EXPECT_LE(worst(planes, expected, plane, 2 / s, 2 / s, 14 / s, 14 / s), 2) << "opaque, plane " << plane;
      EXPECT_LE(worst(planes, expected, plane, 34 / s, 18 / s, 46 / s, 30 / s), 2) << "half, plane " << plane;
    }
    // Everywhere else the decoded picture, to the bit.
    EXPECT_EQ(worst(planes, untouched, 0, 16, 0, kW, 16), 0);
    EXPECT_EQ(worst(planes, untouched, 0, 0, 32, kW, kH), 0);
    EXPECT_EQ(worst(planes, untouched, 1, 8, 0, kW / 2, 8), 0);
    EXPECT_EQ(worst(planes, untouched, 2, 0, 16, kW / 2, kH / 2), 0);
    for (uint32_t p : overlay) ASSERT_EQ(p, 0u);
    for (int row = 0; row < dirty.rows(); ++row)
      for (int col = 0; col < dirty.cols(); ++col) EXPECT_FALSE(dirty.marked(col, row));
  }
}

namespace {

// Y, Cb and Cr of premultiplied pixels over a sample, in real numbers:
// what the blend's integer arithmetic approximates.
struct RealYuv {
  double kr, kb;
  explicit RealYuv(YuvMatrix m) : kr(m == YuvMatrix::Bt709 ? 0.2126 : 0.299), kb(m == YuvMatrix::Bt709 ? 0.0722 : 0.114) {}
  double luma(double under, uint32_t p) const {
    const double a = (p >> 24) / 255.0, r = (p >> 16) & 0xFF, g = (p >> 8) & 0xFF, b = p & 0xFF;
    return under * (1 - a) + 16 * a + 219.0 / 255 * (kr * r + (1 - kr - kb) * g + kb * b);
  }
  // Mean over four pixels; blue true for Cb, else Cr.
  double chroma(double under, const uint32_t p[4], bool blue) const {
    double a = 0, r = 0, g = 0, b = 0;
    for (int i = 0; i < 4; ++i) {
      a += (p[i] >> 24) / 1020.0;
      r += ((p[i] >> 16) & 0xFF) / 4.0;
      g += ((p[i] >> 8) & 0xFF) / 4.0;
      b += (p[i] & 0xFF) / 4.0;
    }
    const double luma = kr * r + (1 - kr - kb) * g + kb * b;
    const double diff = blue ? (b - luma) / (2 * (1 - kb)) : (r - luma) / (2 * (1 - kr));
    return under * (1 - a) + 128 * a + 224.0 / 255 * diff;
  }
};

} // namespace

// A frame whose objects crowd into a few rows, at a size that is no whole
// number of tiles, blended by all the render workers: every sample is the
// exact blend to within its rounding, wherever the work was split, and
// nothing is left in the overlay or its marks.
TEST(PlanarBlendTest, WorkersBlendEverySampleLikeTheExactFormula) {
  constexpr int w = 1002, h = 202;
  SyncInit();
  ASSERT_EQ(RenderWorkersInit(), 0);
  std::mt19937 rng(29);
  for (YuvMatrix matrix : {YuvMatrix::Bt601, YuvMatrix::Bt709}) {
    PlanarFrame planes;
    planes.resize(w, h);
    for (int i = 0; i < 3; ++i)
      for (int k = 0; k < (i == 0 ? w * h : w * h / 4); ++k) planes.plane(i)[k] = static_cast<uint8_t>(16 + rng() % 224);
    const PlanarFrame before = planes;
    std::vector<uint32_t> overlay(static_cast<size_t>(w) * h, 0); // bottom row first
    FrameDirty dirty;
    dirty.reset(w, h);
    // A wide band of objects over the top rows and one box in the bottom
    // corner; random colours, some clear and some opaque.
    auto paint = [&](int x0, int y0, int x1, int y1) {
      for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x) {
          const uint32_t kind = rng() % 8, a = kind == 0 ? 0 : kind == 1 ? 255 : rng() % 256;
          const uint32_t r = rng() % (a + 1), g = rng() % (a + 1), b = rng() % (a + 1);
          overlay[static_cast<size_t>(h - 1 - y) * w + x] = a << 24 | r << 16 | g << 8 | b;
        }
      dirty.mark(x0, y0, x1, y1);
    };
    paint(0, 0, w, 40);
    paint(w - 100, h - 30, w, h);
    const std::vector<uint32_t> drawn = overlay;

    PlanarBlendOverlay(overlay.data(), &dirty, &planes, matrix);
    const RealYuv real(matrix);
    auto over = [&](int x, int y) { return drawn[static_cast<size_t>(h - 1 - y) * w + x]; };
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) {
        const double want = real.luma(before.plane(0)[y * w + x], over(x, y));
        ASSERT_NEAR(planes.plane(0)[y * w + x], want, 1.0) << "luma at " << x << ", " << y;
      }
    for (int y = 0; y < h / 2; ++y)
      for (int x = 0; x < w / 2; ++x) {
        const uint32_t p[4] = {over(2 * x, 2 * y), over(2 * x + 1, 2 * y), over(2 * x, 2 * y + 1),
                               over(2 * x + 1, 2 * y + 1)};
        const int i = y * (w / 2) + x;
        ASSERT_NEAR(planes.plane(1)[i], real.chroma(before.plane(1)[i], p, true), 1.0) << x << ", " << y;
        ASSERT_NEAR(planes.plane(2)[i], real.chroma(before.plane(2)[i], p, false), 1.0) << x << ", " << y;
      }
    for (uint32_t p : overlay) ASSERT_EQ(p, 0u);
    for (int row = 0; row < dirty.rows(); ++row)
      for (int col = 0; col < dirty.cols(); ++col) ASSERT_FALSE(dirty.marked(col, row));
  }
  RenderWorkersEnd();
}

// The progress picture of planes made from known colours shows those
// colours, bottom row first, with either matrix.
TEST(PlanarBlendTest, ThumbnailShowsThePictureInItsColours) {
  for (YuvMatrix matrix : {YuvMatrix::Bt601, YuvMatrix::Bt709}) {
    // Flat 16 x 16 patches, so that every sample of the picture lies inside one.
    std::vector<uint32_t> picture(static_cast<size_t>(kW) * kH);
    const uint32_t colours[] = {0xFFFF0000u, 0xFF00FF00u, 0xFF0000FFu, 0xFFFFFFFFu, 0xFF202020u, 0xFFC08040u};
    for (int y = 0; y < kH; ++y)
      for (int x = 0; x < kW; ++x) picture[static_cast<size_t>(y) * kW + x] = colours[(x / 16 + 4 * (y / 16)) % 6];
    const PlanarFrame planes = toPlanes(picture, matrix);
    std::vector<uint32_t> thumb;
    int w = 0, h = 0;
    PlanarThumbnail(planes, 2, matrix, &thumb, &w, &h);
    ASSERT_EQ(w, kW / 2);
    ASSERT_EQ(h, kH / 2);
    for (int y = 2; y < h; y += 8)
      for (int x = 2; x < w; x += 8) {
        const uint32_t want = picture[static_cast<size_t>(2 * y) * kW + 2 * x];
        const uint32_t got = thumb[static_cast<size_t>(h - 1 - y) * w + x];
        ASSERT_EQ(got >> 24, 0xFFu);
        for (int shift : {16, 8, 0})
          ASSERT_NEAR(static_cast<int>(got >> shift & 0xFF), static_cast<int>(want >> shift & 0xFF), 3)
              << "at " << x << ", " << y << " channel " << shift;
      }
  }
}
