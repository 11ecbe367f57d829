#include "render/compositor/compositor.h"
#include "render/compositor/pixel_ops.h"
#include "render/draw/layer.h"

#include "base/sync.h"

#include <gtest/gtest.h>

#include <limits>
#include <random>
#include <string>

namespace {

constexpr uint32_t kRed = 0xFFFF0000u, kGreen = 0xFF00FF00u, kBlue = 0xFF0000FFu,
                   kBlack = 0xFF000000u, kWhite = 0xFFFFFFFFu;

RenderFrameInfo place(const Layer& src, Layer& dst, double x, double y, double w, double h) {
  RenderFrameInfo f;
  f.Src = src.pixels.data();
  f.SrcWidth = src.width;
  f.SrcHeight = src.height;
  f.Dst = dst.pixels.data();
  f.DstWidth = dst.width;
  f.DstHeight = dst.height;
  f.DstX = x;
  f.DstY = y;
  f.DstW = w;
  f.DstH = h;
  return f;
}

// Left half red, right half blue; top row green.
Layer quadrants(int w, int h) {
  Layer l(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) l.row(y)[x] = x < w / 2 ? kRed : kBlue;
  for (int x = 0; x < w; ++x) l.row(0)[x] = kGreen;
  return l;
}

} // namespace

TEST(Compositor, PlacesAndScalesIntoTheRectangleOnly) {
  Layer src(10, 10);
  src.fill(kRed);
  Layer dst(100, 50);
  dst.fill(kBlack);
  RenderFrameInfo f = place(src, dst, 20, 10, 40, 20);
  ASSERT_EQ(CompositeFrameSingle(f), 0);
  EXPECT_EQ(dst.at(20, 10), kRed);
  EXPECT_EQ(dst.at(59, 29), kRed);
  EXPECT_EQ(dst.at(40, 20), kRed);
  EXPECT_EQ(dst.at(19, 10), kBlack);
  EXPECT_EQ(dst.at(60, 29), kBlack);
  EXPECT_EQ(dst.at(20, 30), kBlack);
  EXPECT_EQ(dst.at(20, 9), kBlack);
}

TEST(Compositor, BottomUpDestinationCountsRowsFromTheBottom) {
  Layer src(4, 4);
  src.fill(kGreen);
  Layer dst(8, 8);
  dst.fill(kBlack);
  RenderFrameInfo f = place(src, dst, 0, 0, 8, 2); // the top two rows of the picture
  f.DstBottomUp = true;
  ASSERT_EQ(CompositeFrameSingle(f), 0);
  // Memory rows 6 and 7 are the picture's top rows.
  EXPECT_EQ(dst.at(3, 7), kGreen);
  EXPECT_EQ(dst.at(3, 6), kGreen);
  EXPECT_EQ(dst.at(3, 5), kBlack);
  EXPECT_EQ(dst.at(3, 0), kBlack);
}

TEST(Compositor, MirroringSwapsSides) {
  Layer src = quadrants(8, 8);
  Layer dst(16, 16);
  RenderFrameInfo f = place(src, dst, 0, 0, 16, 16);
  f.Mirroring = 1;
  ASSERT_EQ(CompositeFrameSingle(f), 0);
  EXPECT_EQ(dst.at(2, 8), kBlue);
  EXPECT_EQ(dst.at(13, 8), kRed);
  EXPECT_EQ(dst.at(8, 0), kGreen);
  f.Mirroring = 2;
  dst.fill(0);
  ASSERT_EQ(CompositeFrameSingle(f), 0);
  EXPECT_EQ(dst.at(2, 15), kGreen);
  EXPECT_EQ(dst.at(2, 8), kRed);
}

TEST(Compositor, TransparencyBlendsOverTheDestination) {
  Layer src(4, 4);
  src.fill(kWhite);
  Layer dst(4, 4);
  dst.fill(kBlack);
  RenderFrameInfo f = place(src, dst, 0, 0, 4, 4);
  f.Opacity = 128; // about half
  ASSERT_EQ(CompositeFrameSingle(f), 0);
  uint32_t p = dst.at(1, 1);
  EXPECT_NEAR(PixelR(p), 128, 1);
  EXPECT_NEAR(PixelG(p), 128, 1);
  EXPECT_EQ(PixelA(p), 255);
}

TEST(Compositor, ColourChannelsKeepTheOthers) {
  Layer src(4, 4);
  src.fill(kWhite);
  Layer dst(4, 4);
  dst.fill(kBlack);
  RenderFrameInfo f = place(src, dst, 0, 0, 4, 4);
  f.ColorChans = kChanRed | kChanBlue;
  ASSERT_EQ(CompositeFrameSingle(f), 0);
  EXPECT_EQ(dst.at(2, 2), 0xFFFF00FFu);
}

TEST(Compositor, ChromaKeyRemovesTheKeyColourOnly) {
  Layer src(8, 8);
  src.fill(kGreen);
  for (int x = 0; x < 4; ++x) src.row(4)[x] = kRed;
  Layer dst(8, 8);
  dst.fill(kBlue);
  RenderFrameInfo f = place(src, dst, 0, 0, 8, 8);
  f.Quality = 5;
  f.ChromaOn = true;
  f.ChromaColor = 0x00FF00;
  f.ChromaColorRange = 16;
  f.ChromaBrightRange = 32;
  ASSERT_EQ(CompositeFrameSingle(f), 0);
  EXPECT_EQ(dst.at(6, 1), kBlue);
  EXPECT_EQ(dst.at(1, 4), kRed);
  // A near-green within the ranges goes too.
  src.fill(0xFF08F808u);
  dst.fill(kBlue);
  ASSERT_EQ(CompositeFrameSingle(f), 0);
  EXPECT_EQ(dst.at(3, 3), kBlue);
}

TEST(Compositor, QuarterTurnRotatesAboutTheCentre) {
  Layer src = quadrants(8, 8); // green top row
  Layer dst(8, 8);
  RenderFrameInfo f = place(src, dst, 0, 0, 8, 8);
  f.Quality = 5;
  f.Rotation = 90; // clockwise: the top row lands on the right
  ASSERT_EQ(CompositeFrameSingle(f), 0);
  EXPECT_EQ(dst.at(7, 3), kGreen);
  EXPECT_EQ(dst.at(3, 1), kRed); // the left half goes to the top
  EXPECT_EQ(dst.at(3, 6), kBlue);
}

TEST(Compositor, DownscaleAveragesTheFootprint) {
  Layer src(64, 64); // fine black and white columns
  for (int y = 0; y < 64; ++y)
    for (int x = 0; x < 64; ++x) src.row(y)[x] = (x & 1) ? kWhite : kBlack;
  Layer dst(8, 8);
  RenderFrameInfo f = place(src, dst, 0, 0, 8, 8);
  ASSERT_EQ(CompositeFrameSingle(f), 0);
  uint32_t p = dst.at(4, 4);
  EXPECT_NEAR(PixelR(p), 128, 2); // a grey, not aliasing to black or white
}

TEST(Compositor, CropUsesOnlyThePartAsked) {
  Layer src = quadrants(16, 16);
  Layer dst(4, 4);
  RenderFrameInfo f = place(src, dst, 0, 0, 4, 4);
  f.SrcX = 8;
  f.SrcY = 4;
  f.SrcW = 8;
  f.SrcH = 8;
  ASSERT_EQ(CompositeFrameSingle(f), 0);
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 4; ++x) EXPECT_EQ(dst.at(x, y), kBlue) << x << "," << y;
}

TEST(Compositor, RefusesBadDescriptions) {
  Layer dst(4, 4);
  RenderFrameInfo f;
  EXPECT_EQ(CompositeFrame(f), -21);
  Layer src(2, 2);
  f = place(src, dst, 0, 0, 0, 4);
  EXPECT_EQ(CompositeFrame(f), -21);
  f = place(src, dst, 0, 0, std::nan(""), 4);
  EXPECT_EQ(CompositeFrame(f), -21);
  f = place(src, dst, 1e9, 1e9, 4, 4); // wholly outside: nothing to do
  EXPECT_EQ(CompositeFrame(f), 0);
}

TEST(Compositor, WorkersGiveTheSameBitsAsOneThread) {
  SyncInit();
  ASSERT_EQ(RenderWorkersInit(), 0);
  std::mt19937 rng(7);
  Layer src(333, 211);
  for (uint32_t& p : src.pixels) p = Premultiply(rng());
  Layer base(640, 360);
  for (uint32_t& p : base.pixels) p = 0xFF000000u | (rng() & 0xFFFFFF);
  for (int quality : {0, 3, 5}) {
    for (float rotation : {0.0f, 33.0f}) {
      Layer one = base, many = base;
      RenderFrameInfo f = place(src, one, -20.5, 15.25, 700, 300);
      f.Quality = quality;
      f.Rotation = rotation;
      f.Opacity = 200;
      f.Mirroring = 1;
      f.DstBottomUp = true;
      ASSERT_EQ(CompositeFrameSingle(f), 0);
      f.Dst = many.pixels.data();
      ASSERT_EQ(CompositeFrame(f), 0);
      EXPECT_EQ(one.pixels, many.pixels) << "quality " << quality << " rotation " << rotation;
      EXPECT_NE(one.pixels, base.pixels);
    }
  }
  EXPECT_GT(RenderWorkerCount(), 0);
  RenderWorkersEnd();
  EXPECT_EQ(RenderWorkerCount(), 0);
  SyncEnd();
}

TEST(Compositor, SameSizeOpaquePictureIsCopiedExactly) {
  std::mt19937 rng(3);
  Layer src(97, 31);
  for (uint32_t& p : src.pixels) p = rng() & 0x00FFFFFFu; // decoded video: no alpha byte
  Layer dst(97, 31);
  dst.fill(0xFF102030u);
  RenderFrameInfo f = place(src, dst, 0, 0, 97, 31);
  f.SrcOpaque = true;
  f.SrcBottomUp = true;
  f.DstBottomUp = true;
  ASSERT_EQ(CompositeFrame(f), 0);
  for (size_t i = 0; i < src.pixels.size(); ++i)
    ASSERT_EQ(dst.pixels[i], src.pixels[i] | 0xFF000000u) << i;
  // Shifted by whole pixels: still exact, the rest untouched.
  dst.fill(0xFF102030u);
  f.DstX = 10;
  ASSERT_EQ(CompositeFrameSingle(f), 0);
  EXPECT_EQ(dst.at(5, 3), 0xFF102030u);
  EXPECT_EQ(dst.at(10, 3), src.at(0, 3) | 0xFF000000u);
  EXPECT_EQ(dst.at(96, 3), src.at(86, 3) | 0xFF000000u);
}

TEST(Compositor, RandomDescriptionsStayInsideTheBuffers) {
  std::mt19937 rng(11);
  std::uniform_real_distribution<double> coord(-3000, 3000), size(-10, 4000);
  std::uniform_int_distribution<int> small(-50, 300);
  Layer src(37, 23), dst(64, 48);
  for (uint32_t& p : src.pixels) p = Premultiply(rng());
  for (int i = 0; i < 3000; ++i) {
    RenderFrameInfo f = place(src, dst, coord(rng), coord(rng), size(rng), size(rng));
    if (i % 7 == 0) f.DstW = std::numeric_limits<double>::infinity();
    if (i % 11 == 0) f.DstX = std::nan("");
    if (i % 13 == 0) f.DstX = -1e15;
    if (i % 17 == 0) f.DstY = 1e18;
    if (i % 19 == 0) f.DstW = 1e-12;
    if (i % 23 == 0) f.DstH = 1e13;
    f.SrcX = small(rng);
    f.SrcY = small(rng);
    f.SrcW = small(rng);
    f.SrcH = small(rng);
    f.SrcBottomUp = rng() & 1;
    f.DstBottomUp = rng() & 1;
    f.Rotation = static_cast<float>(coord(rng));
    f.Mirroring = static_cast<uint8_t>(rng() & 3);
    f.Quality = static_cast<int>(rng() % 6);
    f.Opacity = static_cast<uint8_t>(rng());
    f.ColorChans = static_cast<uint8_t>(rng());
    f.ChromaOn = rng() & 1;
    f.Replace = rng() & 1;
    f.ClipX = small(rng);
    f.ClipY = small(rng);
    f.ClipW = small(rng);
    f.ClipH = small(rng);
    const int code = CompositeFrameSingle(f);
    ASSERT_TRUE(code == 0 || code == -21) << code;
  }
}

namespace {

// Transparent inside, a 1-pixel opaque white line round the edge (a text
// outline, say).
Layer bordered(int w, int h) {
  Layer l(w, h);
  l.fill(0);
  for (int x = 0; x < w; ++x) l.row(0)[x] = l.row(h - 1)[x] = kWhite;
  for (int y = 0; y < h; ++y) l.row(y)[0] = l.row(y)[w - 1] = kWhite;
  return l;
}

// Strongest alpha over destination columns [x0, x1) and rows [y0, y1).
uint32_t maxAlpha(const Layer& l, int x0, int x1, int y0, int y1) {
  uint32_t best = 0;
  for (int y = y0; y < y1; ++y)
    for (int x = x0; x < x1; ++x) best = std::max(best, l.at(x, y) >> 24);
  return best;
}

} // namespace

TEST(Compositor, ThinEdgesOfAShrunkLayerStayVisible) {
  const Layer src = bordered(648, 60);
  for (int quality : {0, 3}) {
    for (float rotation : {0.0f, 180.0f}) {
      for (int mirroring : {0, 3}) {
        Layer dst(200, 40);
        dst.fill(0);
        // 3.75 source pixels to one, at a fractional position:
        // x 9.6 .. 182.4, y 5.3 .. 21.3.
        RenderFrameInfo f = place(src, dst, 9.6, 5.3, 172.8, 16);
        f.Quality = quality;
        f.Rotation = rotation;
        f.Mirroring = mirroring;
        ASSERT_EQ(CompositeFrameSingle(f), 0);
        const std::string what = "quality " + std::to_string(quality) + " rotation " +
                                 std::to_string(rotation) + " mirroring " +
                                 std::to_string(mirroring);
        // Each side of the border leaves visible pixels near where it lies.
        EXPECT_GT(maxAlpha(dst, 9, 11, 8, 18), 24u) << "left, " << what;
        EXPECT_GT(maxAlpha(dst, 181, 183, 8, 18), 24u) << "right, " << what;
        EXPECT_GT(maxAlpha(dst, 20, 170, 5, 7), 24u) << "top, " << what;
        EXPECT_GT(maxAlpha(dst, 20, 170, 20, 22), 24u) << "bottom, " << what;
        // Nothing outside the rectangle, nothing in the transparent middle.
        EXPECT_EQ(maxAlpha(dst, 0, 9, 0, 40), 0u) << what;
        EXPECT_EQ(maxAlpha(dst, 183, 200, 0, 40), 0u) << what;
        EXPECT_EQ(maxAlpha(dst, 0, 200, 0, 5), 0u) << what;
        EXPECT_EQ(maxAlpha(dst, 0, 200, 22, 40), 0u) << what;
        EXPECT_EQ(maxAlpha(dst, 12, 179, 8, 18), 0u) << what;
        // A partly covered pixel is drawn partly.
        EXPECT_LT(dst.at(9, 12) >> 24, 255u) << what;
        EXPECT_LT(dst.at(182, 12) >> 24, 255u) << what;
      }
    }
  }
}

TEST(Compositor, PartlyCoveredPixelsTakeTheirShare) {
  Layer src(4, 4);
  src.fill(kRed);
  Layer dst(10, 10);
  dst.fill(0);
  RenderFrameInfo f = place(src, dst, 2.25, 3.5, 4, 4); // x 2.25 .. 6.25, y 3.5 .. 7.5
  ASSERT_EQ(CompositeFrameSingle(f), 0);
  EXPECT_EQ(dst.at(1, 5), 0u);
  EXPECT_NEAR(static_cast<int>(dst.at(2, 5) >> 24), 191, 1); // three quarters
  EXPECT_EQ(dst.at(3, 5), kRed);
  EXPECT_EQ(dst.at(5, 5), kRed);
  EXPECT_NEAR(static_cast<int>(dst.at(6, 5) >> 24), 64, 1); // a quarter
  EXPECT_EQ(dst.at(7, 5), 0u);
  EXPECT_NEAR(static_cast<int>(dst.at(4, 3) >> 24), 128, 1); // half, top and bottom
  EXPECT_NEAR(static_cast<int>(dst.at(4, 7) >> 24), 128, 1);
  EXPECT_NEAR(static_cast<int>(dst.at(2, 3) >> 24), 96, 1); // a corner: both shares
  EXPECT_EQ(dst.at(4, 8), 0u);
  // Written over instead of blended: the rest of the pixel keeps what was there.
  dst.fill(kBlue);
  f.Replace = true;
  ASSERT_EQ(CompositeFrameSingle(f), 0);
  EXPECT_EQ(dst.at(4, 5), kRed);
  EXPECT_EQ(dst.at(1, 5), kBlue);
  const uint32_t mixed = dst.at(6, 5); // a quarter red, three quarters blue
  EXPECT_EQ(mixed >> 24, 255u);
  EXPECT_NEAR(static_cast<int>(PixelR(mixed)), 64, 1);
  EXPECT_NEAR(static_cast<int>(mixed & 0xFF), 191, 1);
}

TEST(Compositor, WholePixelPlacementsAreDrawnWhole) {
  // Shrunk by exactly 4 at a whole-pixel position: every pixel inside is
  // the mean of its own 4 x 4 block, every pixel outside is left alone.
  std::mt19937 rng(5);
  Layer src(64, 32);
  for (uint32_t& p : src.pixels) p = Premultiply(rng());
  for (float rotation : {0.0f, 180.0f}) {
    Layer dst(30, 14);
    dst.fill(0);
    RenderFrameInfo f = place(src, dst, 7, 3, 16, 8);
    f.Rotation = rotation;
    ASSERT_EQ(CompositeFrameSingle(f), 0);
    for (int y = 0; y < dst.height; ++y) {
      for (int x = 0; x < dst.width; ++x) {
        const bool inside = x >= 7 && x < 23 && y >= 3 && y < 11;
        if (!inside) {
          ASSERT_EQ(dst.at(x, y), 0u) << x << "," << y << " rotation " << rotation;
          continue;
        }
        int bx = x - 7, by = y - 3;
        if (rotation != 0) {
          bx = 15 - bx;
          by = 7 - by;
        }
        uint32_t sum[4] = {0, 0, 0, 0};
        for (int sy = by * 4; sy < by * 4 + 4; ++sy)
          for (int sx = bx * 4; sx < bx * 4 + 4; ++sx)
            for (int c = 0; c < 4; ++c) sum[c] += (src.at(sx, sy) >> (8 * c)) & 0xFF;
        uint32_t mean = 0;
        for (int c = 0; c < 4; ++c) mean |= ((sum[c] + 8) / 16) << (8 * c);
        ASSERT_EQ(dst.at(x, y), mean) << x << "," << y << " rotation " << rotation;
      }
    }
  }
}

namespace {

// A layer of random colours with clear regions, as drawn objects are.
void scribble(Layer* l, std::mt19937& rng, int x0, int y0, int x1, int y1) {
  for (int y = y0; y < y1; ++y)
    for (int x = x0; x < x1; ++x) l->row(y)[x] = (rng() % 3 == 0) ? 0 : Premultiply(rng());
}

} // namespace

// Frame after frame a layer changes in one place (a needle, some digits),
// or not at all, or everywhere: the kept placement gives the ordinary
// composite's bits every time, for every kind of placement it keeps and
// the kinds it passes on.
TEST(Compositor, KeptPlacementGivesTheOrdinaryBitsFrameAfterFrame) {
  SyncInit();
  ASSERT_EQ(RenderWorkersInit(), 0);
  std::mt19937 rng(5);
  struct Kind {
    double x, y, w, h;
    int quality;
    uint8_t opacity, mirror, chans;
    bool chroma, bottomUp;
    float rotation;
  };
  const Kind kinds[] = {
      {10.3, 7.6, 403.2, 430.9, 0, 255, 0, kChanAll, false, true, 0},  // upscaled, as data objects
      {-30.5, 40.2, 57.0, 33.0, 0, 180, 3, kChanAll, false, false, 0},  // shrunk past the box filter
      {100, 50, 179, 192, 0, 255, 0, kChanAll, false, true, 0},         // own size
      {20.5, 20.5, 300.7, 150.2, 5, 90, 1, kChanRed | kChanBlue, true, true, 0},
      {60.1, 30.2, 250, 250, 0, 255, 0, kChanAll, false, true, 12.5f}, // turned: passed on
  };
  for (const Kind& k : kinds) {
    Layer src(179, 192);
    scribble(&src, rng, 0, 0, src.width, src.height);
    Layer base(480, 270);
    for (uint32_t& p : base.pixels) p = (rng() & 1) ? 0 : Premultiply(rng());
    KeptPlacement kept;
    for (int frame = 0; frame < 12; ++frame) {
      if (frame % 4 == 1) { // a small change
        const int x = static_cast<int>(rng() % 170), y = static_cast<int>(rng() % 180);
        scribble(&src, rng, x, y, x + 1 + static_cast<int>(rng() % 9), y + 1 + static_cast<int>(rng() % 12));
      } else if (frame % 4 == 2) {
        src.row(static_cast<int>(rng() % 192))[rng() % 179] ^= 0x01010101u; // one pixel
      } else if (frame == 7) {
        scribble(&src, rng, 0, 0, src.width, src.height); // everything
      }
      Layer ordinary = base, viaKept = base;
      RenderFrameInfo f = place(src, ordinary, k.x, k.y, k.w, k.h);
      f.Quality = k.quality;
      f.Opacity = k.opacity;
      f.Mirroring = k.mirror;
      f.ColorChans = k.chans;
      f.ChromaOn = k.chroma;
      f.ChromaColor = 0x808080;
      f.DstBottomUp = k.bottomUp;
      f.Rotation = k.rotation;
      ASSERT_EQ(CompositeFrameSingle(f), 0);
      f.Dst = viaKept.pixels.data();
      ASSERT_EQ(CompositeFrameKept(f, &kept), 0);
      ASSERT_EQ(ordinary.pixels, viaKept.pixels) << "kind " << (&k - kinds) << " frame " << frame;
      EXPECT_EQ(kept.valid, k.rotation == 0);
      // Blended in bands of rows it is the same again.
      if (kept.valid) {
        Layer banded = base;
        f.Dst = banded.pixels.data();
        for (int top = 0; top < banded.height; top += 48) ASSERT_EQ(KeptPlacementPut(f, kept, top, top + 48), 0);
        ASSERT_EQ(ordinary.pixels, banded.pixels) << "kind " << (&k - kinds) << " frame " << frame;
      }
    }
  }
  RenderWorkersEnd();
  SyncEnd();
}
