#include "render/compositor/planar_blend.h"
#include "render/compositor/pixel_ops.h"
#include "render/compositor/render_frame_info.h"

#include <gtest/gtest.h>

extern "C" {
#include <libswscale/swscale.h>
}

#include <cstdlib>
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
