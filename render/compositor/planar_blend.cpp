#include "render/compositor/planar_blend.h"

#include "render/compositor/compositor.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

// The lane helpers below are inlined into blendEights, compiled for AVX2
// and taken when the processor has it: multiplying and narrowing 32-bit
// lanes is one instruction there and a dozen before it, so older
// processors do better one pixel at a time.
#define QV_LANES inline __attribute__((always_inline))
#if defined(__x86_64__)
#define QV_AVX2 __attribute__((target("avx2")))
bool useLanes() {
  static const bool avx2 = __builtin_cpu_supports("avx2");
  return avx2;
}
#else
#define QV_AVX2
bool useLanes() { return false; }
#endif

// Below this many marked tiles the workers cost more than they save.
constexpr int kMinTilesForWorkers = 48;

// Premultiplied R, G, B (0..255) to studio-range Y, Cb and Cr terms, in
// 1/65536: what a colour adds where it covers the picture.
struct ToYuv {
  int32_t yr, yg, yb, ur, ug, ub, vr, vg, vb;
};

ToYuv toYuvFor(YuvMatrix matrix) {
  const bool hd = matrix == YuvMatrix::Bt709;
  const double kr = hd ? 0.2126 : 0.299, kb = hd ? 0.0722 : 0.114, kg = 1 - kr - kb;
  const double ys = 219.0 / 255, cs = 224.0 / 255;
  auto q = [](double v) { return static_cast<int32_t>(std::lround(v * 65536)); };
  return {q(ys * kr),
          q(ys * kg),
          q(ys * kb),
          q(cs * -kr / (2 * (1 - kb))),
          q(cs * -kg / (2 * (1 - kb))),
          q(cs * 0.5),
          q(cs * 0.5),
          q(cs * -kg / (2 * (1 - kr))),
          q(cs * -kb / (2 * (1 - kr)))};
}

uint8_t clampByte(int32_t v) { return static_cast<uint8_t>(std::clamp(v, 0, 255)); }

// luma * (1 - a) + the colour's own luma; x / 255 taken as x * 257 / 65536.
uint8_t blendLuma(uint8_t luma, uint32_t p, const ToYuv& k) {
  const int32_t a = static_cast<int32_t>(p >> 24);
  const int32_t r = (p >> 16) & 0xFF, g = (p >> 8) & 0xFF, b = p & 0xFF;
  const int32_t acc = (luma * (255 - a) + 16 * a) * 257 + k.yr * r + k.yg * g + k.yb * b;
  return clampByte((acc + 32768) >> 16);
}

// One chroma sample under four overlay pixels: the mean of what the four
// would give, as the writer's conversion averages them.
void blendChroma(uint8_t* cb, uint8_t* cr, const uint32_t p[4], const ToYuv& k) {
  int32_t a = 0, r = 0, g = 0, b = 0;
  for (int i = 0; i < 4; ++i) {
    a += static_cast<int32_t>(p[i] >> 24);
    r += (p[i] >> 16) & 0xFF;
    g += (p[i] >> 8) & 0xFF;
    b += p[i] & 0xFF;
  }
  // x / 1020 taken as x * 257 / 4 / 65536.
  const int32_t u = ((*cb * (1020 - a) + 128 * a) * 257 >> 2) + ((k.ur * r + k.ug * g + k.ub * b) >> 2);
  const int32_t v = ((*cr * (1020 - a) + 128 * a) * 257 >> 2) + ((k.vr * r + k.vg * g + k.vb * b) >> 2);
  *cb = clampByte((u + 32768) >> 16);
  *cr = clampByte((v + 32768) >> 16);
}

// Four lanes of 32-bit integers (GCC and clang vector extensions), giving
// to the bit what blendLuma and blendChroma give.
typedef int32_t I32x4 __attribute__((vector_size(16)));
typedef uint32_t U32x4 __attribute__((vector_size(16)));
typedef uint8_t U8x16 __attribute__((vector_size(16)));

QV_LANES I32x4 clampBytes(I32x4 v) {
  const I32x4 zero = {0, 0, 0, 0}, top = zero + 255;
  v = v < zero ? zero : v;
  return v > top ? top : v;
}

// Four bytes widened to lanes and back by byte shuffles, which the vector
// units do in one step, rather than lane by lane.
QV_LANES I32x4 loadBytes(const uint8_t* p) {
  uint32_t word;
  std::memcpy(&word, p, sizeof word);
  const U32x4 words = {word, 0, 0, 0};
  const U8x16 b = (U8x16)words, z = {};
  const U8x16 wide = __builtin_shufflevector(b, z, 0, 16, 16, 16, 1, 16, 16, 16, 2, 16, 16, 16, 3, 16, 16, 16);
  return (I32x4)wide;
}

QV_LANES void storeBytes(uint8_t* p, I32x4 v) {
  const I32x4 clamped = clampBytes(v);
  const U8x16 b = (U8x16)clamped;
  const U8x16 narrow = __builtin_shufflevector(b, b, 0, 4, 8, 12, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0);
  const uint32_t word = ((U32x4)narrow)[0];
  std::memcpy(p, &word, sizeof word);
}

QV_LANES U32x4 loadPixels(const uint32_t* p) {
  U32x4 v;
  std::memcpy(&v, p, sizeof v);
  return v;
}

// The colour channels of four pixels as integers.
struct Channels {
  I32x4 a, r, g, b;
};

QV_LANES Channels channelsOf(U32x4 p) {
  return {__builtin_convertvector(p >> 24, I32x4), __builtin_convertvector((p >> 16) & 0xFF, I32x4),
          __builtin_convertvector((p >> 8) & 0xFF, I32x4), __builtin_convertvector(p & 0xFF, I32x4)};
}

// blendLuma for four pixels; a transparent pixel keeps its luma exactly.
QV_LANES I32x4 blendLuma4(I32x4 luma, const Channels& c, const ToYuv& k) {
  const I32x4 acc = (luma * (255 - c.a) + 16 * c.a) * 257 + k.yr * c.r + k.yg * c.g + k.yb * c.b;
  return (acc + 32768) >> 16;
}

// Per chroma sample, the sums over its two pixels in each of two rows.
QV_LANES Channels pairSums(const Channels& lo0, const Channels& hi0, const Channels& lo1, const Channels& hi1) {
  auto sum = [](I32x4 lo, I32x4 hi) {
    return __builtin_shufflevector(lo, hi, 0, 2, 4, 6) + __builtin_shufflevector(lo, hi, 1, 3, 5, 7);
  };
  return {sum(lo0.a, hi0.a) + sum(lo1.a, hi1.a), sum(lo0.r, hi0.r) + sum(lo1.r, hi1.r),
          sum(lo0.g, hi0.g) + sum(lo1.g, hi1.g), sum(lo0.b, hi0.b) + sum(lo1.b, hi1.b)};
}

// blendChroma for four chroma samples, from the channel sums of their
// four pixels each.
QV_LANES void blendChroma4(uint8_t* cb, uint8_t* cr, const Channels& s, const ToYuv& k) {
  const I32x4 u = ((loadBytes(cb) * (1020 - s.a) + 128 * s.a) * 257 >> 2) +
                  ((k.ur * s.r + k.ug * s.g + k.ub * s.b) >> 2);
  const I32x4 v = ((loadBytes(cr) * (1020 - s.a) + 128 * s.a) * 257 >> 2) +
                  ((k.vr * s.r + k.vg * s.g + k.vb * s.b) >> 2);
  storeBytes(cb, (u + 32768) >> 16);
  storeBytes(cr, (v + 32768) >> 16);
}

// Eight columns from x of rows y0 and y1 (overlay rows o0 and o1), the
// same as blendLuma and blendChroma give them one by one.
QV_LANES void blendEight(const uint32_t* o0, const uint32_t* o1, uint8_t* y0, uint8_t* y1, uint8_t* cb,
                         uint8_t* cr, const ToYuv& k) {
  const U32x4 p0 = loadPixels(o0), q0 = loadPixels(o0 + 4), p1 = loadPixels(o1), q1 = loadPixels(o1 + 4);
  const U32x4 any = p0 | q0 | p1 | q1;
  if ((any[0] | any[1] | any[2] | any[3]) == 0) return; // nothing drawn here
  const Channels lo0 = channelsOf(p0), hi0 = channelsOf(q0), lo1 = channelsOf(p1), hi1 = channelsOf(q1);
  storeBytes(y0, blendLuma4(loadBytes(y0), lo0, k));
  storeBytes(y0 + 4, blendLuma4(loadBytes(y0 + 4), hi0, k));
  storeBytes(y1, blendLuma4(loadBytes(y1), lo1, k));
  storeBytes(y1 + 4, blendLuma4(loadBytes(y1 + 4), hi1, k));
  blendChroma4(cb, cr, pairSums(lo0, hi0, lo1, hi1), k);
}

// Columns from x in steps of eight while they fit before x1; returns
// where it stopped.
QV_AVX2 int blendEights(const uint32_t* o0, const uint32_t* o1, uint8_t* y0, uint8_t* y1, uint8_t* cb,
                        uint8_t* cr, int x, int x1, const ToYuv& k) {
  for (; x + 8 <= x1; x += 8) blendEight(o0 + x, o1 + x, y0 + x, y1 + x, cb + x / 2, cr + x / 2, k);
  return x;
}

// Columns [x0, x1) of frame rows y and y + 1 (y even, x0 and x1 even).
void blendRowPair(uint32_t* overlay, PlanarFrame* planes, int y, int x0, int x1, const ToYuv& k) {
  const int w = planes->width(), h = planes->height();
  uint32_t* o0 = overlay + static_cast<size_t>(h - 1 - y) * w;
  uint32_t* o1 = overlay + static_cast<size_t>(h - 2 - y) * w;
  uint8_t* y0 = planes->plane(0) + static_cast<size_t>(y) * planes->stride(0);
  uint8_t* y1 = y0 + planes->stride(0);
  uint8_t* cb = planes->plane(1) + static_cast<size_t>(y / 2) * planes->stride(1);
  uint8_t* cr = planes->plane(2) + static_cast<size_t>(y / 2) * planes->stride(2);
  int x = useLanes() ? blendEights(o0, o1, y0, y1, cb, cr, x0, x1, k) : x0;
  for (; x < x1; x += 2) {
    const uint32_t p[4] = {o0[x], o0[x + 1], o1[x], o1[x + 1]};
    if ((p[0] | p[1] | p[2] | p[3]) == 0) continue;
    if (p[0]) y0[x] = blendLuma(y0[x], p[0], k);
    if (p[1]) y0[x + 1] = blendLuma(y0[x + 1], p[1], k);
    if (p[2]) y1[x] = blendLuma(y1[x], p[2], k);
    if (p[3]) y1[x + 1] = blendLuma(y1[x + 1], p[3], k);
    blendChroma(cb + x / 2, cr + x / 2, p, k);
  }
  std::memset(o0 + x0, 0, static_cast<size_t>(x1 - x0) * 4);
  std::memset(o1 + x0, 0, static_cast<size_t>(x1 - x0) * 4);
}

// A run of marked tiles in one tile row: columns [col, end).
struct TileRun {
  int row, col, end;
};

std::vector<TileRun> markedRuns(const FrameDirty& dirty, int* tiles) {
  std::vector<TileRun> runs;
  *tiles = 0;
  for (int row = 0; row < dirty.rows(); ++row)
    for (int col = 0; col < dirty.cols();) {
      if (!dirty.marked(col, row)) {
        ++col;
        continue;
      }
      int end = col;
      while (end < dirty.cols() && dirty.marked(end, row)) ++end;
      runs.push_back({row, col, end});
      *tiles += end - col;
      col = end;
    }
  return runs;
}

// Runs [first, last); no two runs share a pixel, a chroma sample or an
// overlay pixel, so they may go to different threads.
void blendRuns(uint32_t* overlay, PlanarFrame* planes, const std::vector<TileRun>& runs, size_t first,
               size_t last, const ToYuv& k) {
  constexpr int kTile = FrameDirty::kTile;
  for (size_t i = first; i < last; ++i) {
    const TileRun& run = runs[i];
    const int x0 = run.col * kTile, x1 = std::min(run.end * kTile, planes->width());
    const int yEnd = std::min((run.row + 1) * kTile, planes->height());
    for (int y = run.row * kTile; y < yEnd; y += 2) blendRowPair(overlay, planes, y, x0, x1, k);
  }
}

// Every term of the conversion to R, G and B by sample value, in 1/65536
// (the rounding half already in the luma term), and the clipping to a byte
// by table: a few sums and look-ups per pixel instead of floating point,
// for a picture made many times a second while the encoder wants every
// processor.
struct ThumbnailTables {
  static constexpr int kClipBelow = 384; // sums reach from about -300 to 560
  int32_t luma[256], rv[256], gu[256], gv[256], bu[256];
  uint8_t clip[1024];
  explicit ThumbnailTables(YuvMatrix matrix) {
    const bool hd = matrix == YuvMatrix::Bt709;
    const double kr = hd ? 0.2126 : 0.299, kb = hd ? 0.0722 : 0.114, kg = 1 - kr - kb;
    const double ys = 255.0 / 219, cs = 255.0 / 224;
    auto q = [](double v) { return static_cast<int32_t>(std::lround(v * 65536)); };
    for (int i = 0; i < 256; ++i) {
      luma[i] = q(ys * (i - 16) + 0.5);
      rv[i] = q(cs * 2 * (1 - kr) * (i - 128));
      bu[i] = q(cs * 2 * (1 - kb) * (i - 128));
      gu[i] = q(-cs * 2 * (1 - kb) * kb / kg * (i - 128));
      gv[i] = q(-cs * 2 * (1 - kr) * kr / kg * (i - 128));
    }
    for (int i = 0; i < 1024; ++i) clip[i] = clampByte(i - kClipBelow);
  }
  uint32_t byte(int32_t v) const { return clip[(v >> 16) + kClipBelow]; }
};

} // namespace

void FrameDirty::reset(int width, int height) {
  width_ = std::max(0, width);
  height_ = std::max(0, height);
  cols_ = (width_ + kTile - 1) / kTile;
  rows_ = (height_ + kTile - 1) / kTile;
  tiles_.assign(static_cast<size_t>(cols_) * rows_, 0);
}

void FrameDirty::mark(int x0, int y0, int x1, int y1) {
  x0 = std::max(x0, 0);
  y0 = std::max(y0, 0);
  x1 = std::min(x1, width_);
  y1 = std::min(y1, height_);
  if (x1 <= x0 || y1 <= y0) return;
  for (int row = y0 / kTile; row <= (y1 - 1) / kTile; ++row)
    std::memset(&tiles_[static_cast<size_t>(row) * cols_ + x0 / kTile], 1,
                static_cast<size_t>((x1 - 1) / kTile - x0 / kTile + 1));
}

void FrameDirty::clearRow(int row) {
  std::memset(&tiles_[static_cast<size_t>(row) * cols_], 0, static_cast<size_t>(cols_));
}

void PlanarFrame::resize(int width, int height) {
  width_ = std::max(0, width) & ~1;
  height_ = std::max(0, height) & ~1;
  bytes_.assign(static_cast<size_t>(width_) * height_ * 3 / 2, 0);
}

size_t PlanarFrame::offset(int i) const {
  const size_t luma = static_cast<size_t>(width_) * height_;
  return i == 0 ? 0 : i == 1 ? luma : luma + luma / 4;
}

void PlanarCopy(const PlanarPicture& from, PlanarFrame* to) {
  if (from.width != to->width() || from.height != to->height()) return;
  for (int i = 0; i < 3; ++i) {
    const int rows = i == 0 ? to->height() : to->height() / 2;
    const size_t bytes = static_cast<size_t>(to->stride(i));
    for (int r = 0; r < rows; ++r)
      std::memcpy(to->plane(i) + r * bytes, from.data[i] + static_cast<ptrdiff_t>(r) * from.stride[i], bytes);
  }
}

void PlanarBlendOverlay(uint32_t* overlay, FrameDirty* dirty, PlanarFrame* planes, YuvMatrix matrix) {
  if (!overlay || !dirty || !planes || dirty->width() != planes->width() ||
      dirty->height() != planes->height())
    return;
  const ToYuv k = toYuvFor(matrix);
  int tiles = 0;
  const std::vector<TileRun> runs = markedRuns(*dirty, &tiles);
  if (tiles == 0) return;
  const int bands = tiles < kMinTilesForWorkers ? 1 : RenderWorkerCount() + 1;
  if (bands <= 1) {
    blendRuns(overlay, planes, runs, 0, runs.size(), k);
  } else {
    // Bands of about equal tile counts: the objects usually crowd into a
    // few rows of the frame, and a band of empty rows would leave its
    // thread idle while another does all the work.
    std::vector<size_t> starts(static_cast<size_t>(bands) + 1, runs.size());
    starts[0] = 0;
    int done = 0, band = 1;
    for (size_t i = 0; i < runs.size() && band < bands; ++i) {
      while (band < bands && done >= tiles * band / bands) starts[static_cast<size_t>(band++)] = i;
      done += runs[i].end - runs[i].col;
    }
    RenderWorkersRun(bands, [&](int b) {
      blendRuns(overlay, planes, runs, starts[static_cast<size_t>(b)], starts[static_cast<size_t>(b) + 1], k);
    });
  }
  for (int row = 0; row < dirty->rows(); ++row) dirty->clearRow(row);
}

void PlanarThumbnail(const PlanarFrame& planes, int step, YuvMatrix matrix, std::vector<uint32_t>* out,
                     int* width, int* height) {
  step = std::max(1, step);
  const int w = planes.width() / step, h = planes.height() / step;
  *width = w;
  *height = h;
  out->resize(static_cast<size_t>(w) * h);
  static const ThumbnailTables bt601(YuvMatrix::Bt601), bt709(YuvMatrix::Bt709);
  const ThumbnailTables& t = matrix == YuvMatrix::Bt709 ? bt709 : bt601;
  for (int oy = 0; oy < h; ++oy) {
    const int y = oy * step;
    const uint8_t* luma = planes.plane(0) + static_cast<size_t>(y) * planes.stride(0);
    const uint8_t* cb = planes.plane(1) + static_cast<size_t>(y / 2) * planes.stride(1);
    const uint8_t* cr = planes.plane(2) + static_cast<size_t>(y / 2) * planes.stride(2);
    uint32_t* row = out->data() + static_cast<size_t>(h - 1 - oy) * w;
    for (int ox = 0, x = 0; ox < w; ++ox, x += step) {
      const int32_t l = t.luma[luma[x]];
      const unsigned u = cb[static_cast<unsigned>(x) / 2], v = cr[static_cast<unsigned>(x) / 2];
      row[ox] = 0xFF000000u | t.byte(l + t.rv[v]) << 16 | t.byte(l + t.gu[u] + t.gv[v]) << 8 | t.byte(l + t.bu[u]);
    }
  }
}
