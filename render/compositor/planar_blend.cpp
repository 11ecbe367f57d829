#include "render/compositor/planar_blend.h"

#include "render/compositor/compositor.h"
#include "render/compositor/planar_blend_lanes.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <utility>

namespace {

// Below this many marked tiles the workers cost more than they save.
constexpr int kMinTilesForWorkers = 48;

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

// Columns [x0, x1) of frame rows y and y + 1 (y even, x0 and x1 even).
void blendRowPair(uint32_t* overlay, PlanarFrame* planes, int y, int x0, int x1, const ToYuv& k) {
  const int w = planes->width(), h = planes->height();
  uint32_t* o0 = overlay + static_cast<size_t>(h - 1 - y) * w;
  uint32_t* o1 = overlay + static_cast<size_t>(h - 2 - y) * w;
  uint8_t* y0 = planes->plane(0) + static_cast<size_t>(y) * planes->stride(0);
  uint8_t* y1 = y0 + planes->stride(0);
  uint8_t* cb = planes->plane(1) + static_cast<size_t>(y / 2) * planes->stride(1);
  uint8_t* cr = planes->plane(2) + static_cast<size_t>(y / 2) * planes->stride(2);
  int x = PlanarLanesAvailable() ? BlendSixteens(o0, o1, y0, y1, cb, cr, x0, x1, k) : x0;
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

FromYuv fromYuvFor(YuvMatrix matrix) {
  const bool hd = matrix == YuvMatrix::Bt709;
  const double kr = hd ? 0.2126 : 0.299, kb = hd ? 0.0722 : 0.114, kg = 1 - kr - kb;
  const double ys = 255.0 / 219, cs = 255.0 / 224;
  auto q = [](double v) { return static_cast<int32_t>(std::lround(v * 65536)); };
  return {q(ys), q(cs * 2 * (1 - kr)), q(-cs * 2 * (1 - kb) * kb / kg), q(-cs * 2 * (1 - kr) * kr / kg),
          q(cs * 2 * (1 - kb))};
}

// The thumbnail's terms by sample value and the clipping to a byte, from
// tables: a few sums and look-ups per pixel, for a picture made many times
// a second while the encoder wants every processor.
struct ThumbnailTables {
  static constexpr int kClipBelow = 384; // sums reach from about -300 to 560
  FromYuv k;
  int32_t luma[256], rv[256], gu[256], gv[256], bu[256];
  uint8_t clip[1024];
  explicit ThumbnailTables(YuvMatrix matrix) : k(fromYuvFor(matrix)) {
    for (int i = 0; i < 256; ++i) {
      luma[i] = k.y * (i - 16) + 32768; // with the rounding half
      rv[i] = k.rv * (i - 128);
      gu[i] = k.gu * (i - 128);
      gv[i] = k.gv * (i - 128);
      bu[i] = k.bu * (i - 128);
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

PlanarFrame::PlanarFrame(const PlanarFrame& other) { *this = other; }

PlanarFrame& PlanarFrame::operator=(const PlanarFrame& other) {
  if (this == &other) return *this;
  resize(other.width_, other.height_);
  if (bytes_ && other.bytes_) std::memcpy(bytes_.get(), other.bytes_.get(), bytes());
  return *this;
}

PlanarFrame::PlanarFrame(PlanarFrame&& other) noexcept
    : width_(std::exchange(other.width_, 0)), height_(std::exchange(other.height_, 0)),
      bytes_(std::move(other.bytes_)) {}

PlanarFrame& PlanarFrame::operator=(PlanarFrame&& other) noexcept {
  if (this == &other) return *this;
  width_ = std::exchange(other.width_, 0);
  height_ = std::exchange(other.height_, 0);
  bytes_ = std::move(other.bytes_);
  return *this;
}

void PlanarFrame::resize(int width, int height) {
  width_ = std::max(0, width) & ~1;
  height_ = std::max(0, height) & ~1;
  // Never the old buffer again: the writer may still be encoding it.
  bytes_ = bytes() > 0 ? std::shared_ptr<uint8_t[]>(new uint8_t[bytes()]()) : nullptr;
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
  const bool lanes = PlanarLanesAvailable();
  for (int oy = 0; oy < h; ++oy) {
    const int y = oy * step;
    const uint8_t* luma = planes.plane(0) + static_cast<size_t>(y) * planes.stride(0);
    const uint8_t* cb = planes.plane(1) + static_cast<size_t>(y / 2) * planes.stride(1);
    const uint8_t* cr = planes.plane(2) + static_cast<size_t>(y / 2) * planes.stride(2);
    uint32_t* row = out->data() + static_cast<size_t>(h - 1 - oy) * w;
    int ox = lanes ? ThumbnailEights(luma, cb, cr, step, w, t.k, row) : 0;
    for (int x = ox * step; ox < w; ++ox, x += step) {
      const int32_t l = t.luma[luma[x]];
      const unsigned u = cb[static_cast<unsigned>(x) / 2], v = cr[static_cast<unsigned>(x) / 2];
      row[ox] = 0xFF000000u | t.byte(l + t.rv[v]) << 16 | t.byte(l + t.gu[u] + t.gv[v]) << 8 | t.byte(l + t.bu[u]);
    }
  }
}
