#include "render/compositor/compositor.h"

#include "base/error.h"
#include "render/compositor/chroma_key.h"
#include "render/compositor/pixel_ops.h"
#include "render/compositor/placement.h"
#include "render/compositor/planar_blend.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

using namespace compositing;

constexpr int64_t kMinBandPixels = 32768;

// Below this a pixel edge counts as lying on the rectangle's edge: whole-pixel
// placements land a hair off in floating point.
constexpr double kEdgeSlack = 1e-6;

// How one destination pixel, offset from the rectangle's centre along one
// axis, overlaps a rectangle side of the given size.
struct Span {
  double share = 0; // 0 .. 1
  bool whole = false;
  double mid = 0;   // centre of the overlapping part
  double a = 0, b = 0; // the overlapping part
};

Span spanOf(double offset, double size) {
  Span s;
  const double half = size / 2;
  if (offset - 0.5 >= -half - kEdgeSlack && offset + 0.5 <= half + kEdgeSlack) {
    s.share = 1;
    s.whole = true;
    s.mid = offset;
    s.a = offset - 0.5;
    s.b = offset + 0.5;
    return s;
  }
  s.a = std::max(offset - 0.5, -half);
  s.b = std::min(offset + 0.5, half);
  s.share = s.b - s.a;
  if (!(s.share > kEdgeSlack)) s.share = 0;
  s.mid = (s.a + s.b) / 2;
  return s;
}

// Offset from the rectangle's centre to a source coordinate.
double toSource(double offset, double size, bool mirror, int cropStart, int cropSize) {
  double u = std::clamp(offset / size + 0.5, 0.0, 1.0);
  if (mirror) u = 1 - u;
  return cropStart + u * cropSize;
}

// Where one destination pixel samples the source along one axis: its
// position and the footprint of the part of it inside the rectangle.
struct AxisSample {
  double pos, lo, hi;
};

AxisSample axisSample(const Span& span, double offset, double size, bool mirror, int cropStart,
                      int cropSize, double foot) {
  if (span.whole) {
    double u = offset / size + 0.5;
    if (mirror) u = 1 - u;
    const double pos = cropStart + u * cropSize;
    return {pos, pos - foot / 2, pos + foot / 2};
  }
  double lo = toSource(span.a, size, mirror, cropStart, cropSize);
  double hi = toSource(span.b, size, mirror, cropStart, cropSize);
  if (lo > hi) std::swap(lo, hi);
  return {toSource(span.mid, size, mirror, cropStart, cropSize), lo, hi};
}

uint32_t sampleNearest(const Placement& p, double sx, double sy) {
  int ix = std::clamp(static_cast<int>(std::floor(sx)), p.cropX, p.cropX + p.cropW - 1);
  int iy = std::clamp(static_cast<int>(std::floor(sy)), p.cropY, p.cropY + p.cropH - 1);
  return srcRow(p, iy)[ix];
}

uint32_t sampleBilinear(const Placement& p, double sx, double sy) {
  double gx = sx - 0.5, gy = sy - 0.5;
  int ix = static_cast<int>(std::floor(gx)), iy = static_cast<int>(std::floor(gy));
  uint32_t wx = static_cast<uint32_t>(std::lround((gx - ix) * 256));
  uint32_t wy = static_cast<uint32_t>(std::lround((gy - iy) * 256));
  int x0 = std::clamp(ix, p.cropX, p.cropX + p.cropW - 1);
  int x1 = std::clamp(ix + 1, p.cropX, p.cropX + p.cropW - 1);
  int y0 = std::clamp(iy, p.cropY, p.cropY + p.cropH - 1);
  int y1 = std::clamp(iy + 1, p.cropY, p.cropY + p.cropH - 1);
  const uint32_t *r0 = srcRow(p, y0), *r1 = srcRow(p, y1);
  uint32_t a = r0[x0], b = r0[x1], c = r1[x0], d = r1[x1];
  if (a == b && a == c && a == d) return a;
  uint32_t out = 0;
  for (int shift = 0; shift < 32; shift += 8) {
    uint32_t top = ((a >> shift) & 0xFF) * (256 - wx) + ((b >> shift) & 0xFF) * wx;
    uint32_t bottom = ((c >> shift) & 0xFF) * (256 - wx) + ((d >> shift) & 0xFF) * wx;
    uint32_t v = (top * (256 - wy) + bottom * wy + 32768) >> 16;
    out |= std::min(v, 255u) << shift;
  }
  return out;
}



// Per byte sum, each byte at most 255.
uint32_t addBytes(uint32_t a, uint32_t b) {
  uint32_t out = 0;
  for (int shift = 0; shift < 32; shift += 8) {
    uint32_t v = ((a >> shift) & 0xFF) + ((b >> shift) & 0xFF);
    out |= std::min(v, 255u) << shift;
  }
  return out;
}

// cover: the share of the destination pixel inside the placed rectangle,
// in 1/255.
inline void writePixel(const RenderFrameInfo& f, uint8_t mask, uint32_t pixel, uint32_t cover,
                       uint32_t* out) {
  if (f.SrcOpaque) pixel |= 0xFF000000u;
  pixel = applyEffects(f, pixel);
  if (cover < 255) pixel = ScalePixel(pixel, cover);
  if (f.Replace) {
    uint32_t m = 0xFF000000u | ((mask & 1) ? 0xFF0000u : 0) | ((mask & 2) ? 0xFF00u : 0) |
                 ((mask & 4) ? 0xFFu : 0);
    // The part of an edge pixel outside the rectangle keeps the destination.
    if (cover < 255) pixel = addBytes(pixel, ScalePixel(*out, 255 - cover));
    *out = (pixel & m) | (*out & ~m);
  } else if ((pixel >> 24) == 255 && mask == kChanAll) {
    *out = pixel; // opaque over anything: what blending would give, without the sums
  } else if (pixel) {
    *out = BlendOver(pixel, *out, mask);
  }
}

// The common case (no rotation): column taps from the table, one row tap
// per row, and a straight fetch where no blending between pixels is due.
void compositeRowsUpright(const Placement& p, int rowBegin, int rowEnd) {
  const RenderFrameInfo& f = *p.info;
  const uint8_t mask = f.ColorChans & kChanAll;
  const bool keepsZero = f.SrcOpaque || f.Replace; // a zero pixel still writes
  for (int dy = rowBegin; dy < rowEnd; ++dy) {
    const Tap row = makeTap(dy + 0.5 - p.cy, f.DstH, p.mirrorY, p.cropY, p.cropH);
    if (!row.inside) continue;
    uint32_t* out = dstRow(p, dy);
    const uint32_t* nearestRow = srcRow(p, row.nearest);
    const uint32_t* r0 = srcRow(p, row.i0);
    const uint32_t* r1 = srcRow(p, row.i1);
    if (p.straightCopy && row.weight == 0 && row.cover == 255 && !p.box) {
      // A picture placed at its own size (decoded video filling the frame):
      // a plain copy row by row.
      const uint32_t alpha = f.SrcOpaque ? 0xFF000000u : 0;
      const uint32_t* in = r0 + p.cols.front().i0;
      for (int dx = p.colBegin; dx < p.colEnd; ++dx) out[dx] = *in++ | alpha;
      continue;
    }
    for (int dx = p.colBegin; dx < p.colEnd; ++dx) {
      const Tap& col = p.cols[dx - p.colBegin];
      if (!col.inside) continue;
      const uint32_t cover = row.cover == 255 ? col.cover : Mul255(row.cover, col.cover);
      if (cover == 0) continue;
      uint32_t pixel;
      if (f.Quality >= 5) pixel = nearestRow[col.nearest];
      else if (p.box) pixel = sampleBox(p, col.pos, row.pos, col.lo, col.hi, row.lo, row.hi);
      else if (col.weight == 0 && row.weight == 0) pixel = r0[col.i0];
      else pixel = mix4(r0[col.i0], r0[col.i1], r1[col.i0], r1[col.i1], col.weight, row.weight);
      if (pixel == 0 && !keepsZero) continue; // transparent over anything: unchanged
      writePixel(f, mask, pixel, cover, out + dx);
    }
  }
}

void compositeRows(const Placement& p, int rowBegin, int rowEnd) {
  if (p.upright) {
    compositeRowsUpright(p, rowBegin, rowEnd);
    return;
  }
  const RenderFrameInfo& f = *p.info;
  const uint8_t mask = f.ColorChans & kChanAll;
  for (int dy = rowBegin; dy < rowEnd; ++dy) {
    uint32_t* out = dstRow(p, dy);
    const double py = dy + 0.5 - p.cy;
    for (int dx = p.colBegin; dx < p.colEnd; ++dx) {
      const double px = dx + 0.5 - p.cx;
      // Back from the turned rectangle into the upright one.
      double x = px * p.cosA + py * p.sinA;
      double y = -px * p.sinA + py * p.cosA;
      // Edge pixels: the share inside, taken along the rectangle's own
      // axes from the pixel centre, and sampled from the part inside.
      const Span sx_ = spanOf(x, f.DstW), sy_ = spanOf(y, f.DstH);
      if (sx_.share <= 0 || sy_.share <= 0) continue;
      uint32_t cover = 255;
      if (!sx_.whole || !sy_.whole) {
        cover = static_cast<uint32_t>(std::lround(sx_.share * sy_.share * 255));
        if (cover == 0) continue;
      }
      const AxisSample ax = axisSample(sx_, x, f.DstW, p.mirrorX, p.cropX, p.cropW, p.footX);
      const AxisSample ay = axisSample(sy_, y, f.DstH, p.mirrorY, p.cropY, p.cropH, p.footY);
      const double sx = ax.pos, sy = ay.pos, xlo = ax.lo, xhi = ax.hi, ylo = ay.lo, yhi = ay.hi;
      uint32_t pixel = f.Quality >= 5 ? sampleNearest(p, sx, sy)
                       : p.box        ? sampleBox(p, sx, sy, xlo, xhi, ylo, yhi)
                                      : sampleBilinear(p, sx, sy);
      writePixel(f, mask, pixel, cover, out + dx);
    }
  }
}


int compositeWith(const RenderFrameInfo& info, bool useWorkers) {
  Placement p{};
  if (!makePlacement(info, &p)) return kErrBadArg;
  const int rows = p.rowEnd - p.rowBegin;
  if (rows <= 0 || p.colEnd <= p.colBegin) return kOk;
  if (info.Dirty) info.Dirty->mark(p.colBegin, p.rowBegin, p.colEnd, p.rowEnd);
  const int workers = useWorkers ? RenderWorkerCount() : 0;
  // Waking the workers and waiting for the last of them costs more than a
  // small layer takes on this thread alone: bands get a minimum size.
  const int64_t pixels = int64_t(rows) * (p.colEnd - p.colBegin);
  const int64_t sizedBands = std::max<int64_t>(1, pixels / kMinBandPixels);
  const int bands = workers > 0 ? static_cast<int>(std::min<int64_t>({rows, (workers + 1) * 2, sizedBands})) : 1;
  if (bands <= 1) {
    compositeRows(p, p.rowBegin, p.rowEnd);
  } else {
    RenderWorkersRun(bands, [&p, rows, bands](int band) {
      int begin = p.rowBegin + static_cast<int>(static_cast<int64_t>(rows) * band / bands);
      int end = p.rowBegin + static_cast<int>(static_cast<int64_t>(rows) * (band + 1) / bands);
      compositeRows(p, begin, end);
    });
  }
  return kOk;
}

} // namespace

namespace compositing {

Tap makeTap(double offset, double size, bool mirror, int cropStart, int cropSize) {
  Tap t;
  const Span s = spanOf(offset, size);
  if (s.whole) {
    t.cover = 255;
    double u = offset / size + 0.5;
    if (mirror) u = 1 - u;
    t.pos = cropStart + u * cropSize;
    const double foot = cropSize / size;
    t.lo = t.pos - foot / 2;
    t.hi = t.pos + foot / 2;
  } else {
    // An edge pixel: drawn in proportion to the part inside, sampled at
    // the middle of that part.
    t.cover = static_cast<uint32_t>(std::lround(s.share * 255));
    if (t.cover == 0) return t;
    t.pos = toSource(s.mid, size, mirror, cropStart, cropSize);
    t.lo = toSource(s.a, size, mirror, cropStart, cropSize);
    t.hi = toSource(s.b, size, mirror, cropStart, cropSize);
    if (t.lo > t.hi) std::swap(t.lo, t.hi);
  }
  t.inside = true;
  const int last = cropStart + cropSize - 1;
  t.nearest = std::clamp(static_cast<int>(std::floor(t.pos)), cropStart, last);
  double g = t.pos - 0.5;
  // Whole-pixel placements land a hair off the pixel centre in floating
  // point; snap them so they sample one pixel, not a blend of two.
  const double nearestWhole = std::round(g);
  if (std::fabs(g - nearestWhole) < 1e-6) g = nearestWhole;
  const int i = static_cast<int>(std::floor(g));
  t.weight = static_cast<uint32_t>(std::lround((g - i) * 256));
  if (t.weight >= 256) t.weight = 255;
  t.i0 = std::clamp(i, cropStart, last);
  t.i1 = std::clamp(i + 1, cropStart, last);
  return t;
}
// Mean over the source footprint of one destination pixel (downscaling);
// at most 8 x 8 samples.
// The footprint is the source span [xlo, xhi) x [ylo, yhi), kept inside the
// crop rectangle, so an edge pixel still takes in the outermost source
// columns and rows.
uint32_t sampleBox(const Placement& p, double sx, double sy, double xlo, double xhi, double ylo,
                   double yhi) {
  // Bounds clamped in floating point first: a huge footprint must not
  // overflow the integer conversion.
  const int x0 = static_cast<int>(std::clamp<double>(std::floor(xlo), p.cropX, p.cropX + p.cropW - 1));
  const int y0 = static_cast<int>(std::clamp<double>(std::floor(ylo), p.cropY, p.cropY + p.cropH - 1));
  const int x1 = static_cast<int>(std::clamp<double>(std::ceil(xhi), p.cropX, p.cropX + p.cropW));
  const int y1 = static_cast<int>(std::clamp<double>(std::ceil(yhi), p.cropY, p.cropY + p.cropH));
  if (x1 <= x0 || y1 <= y0) return sampleNearest(p, sx, sy);
  int stepX = std::max(1, (x1 - x0 + 7) / 8), stepY = std::max(1, (y1 - y0 + 7) / 8);
  uint32_t sum[4] = {0, 0, 0, 0}, n = 0;
  for (int y = y0; y < y1; y += stepY) {
    const uint32_t* row = srcRow(p, y);
    for (int x = x0; x < x1; x += stepX) {
      uint32_t v = row[x];
      sum[0] += v & 0xFF;
      sum[1] += (v >> 8) & 0xFF;
      sum[2] += (v >> 16) & 0xFF;
      sum[3] += v >> 24;
      ++n;
    }
  }
  return ((sum[3] + n / 2) / n << 24) | ((sum[2] + n / 2) / n << 16) |
         ((sum[1] + n / 2) / n << 8) | ((sum[0] + n / 2) / n);
}
bool makePlacement(const RenderFrameInfo& f, Placement* p) {
  if (!f.Src || !f.Dst || f.SrcWidth <= 0 || f.SrcHeight <= 0 || f.DstWidth <= 0 ||
      f.DstHeight <= 0)
    return false;
  if (!(f.DstW > 0) || !(f.DstH > 0) || !std::isfinite(f.DstX) || !std::isfinite(f.DstY) ||
      !std::isfinite(f.DstW) || !std::isfinite(f.DstH) || !std::isfinite(f.Rotation))
    return false;
  p->info = &f;
  p->srcStride = f.SrcStride > 0 ? f.SrcStride : f.SrcWidth;
  p->dstStride = f.DstStride > 0 ? f.DstStride : f.DstWidth;
  if (p->srcStride < f.SrcWidth || p->dstStride < f.DstWidth) return false;
  p->cropX = std::clamp(f.SrcX, 0, f.SrcWidth - 1);
  p->cropY = std::clamp(f.SrcY, 0, f.SrcHeight - 1);
  p->cropW = f.SrcW > 0 ? std::min(f.SrcW, f.SrcWidth - p->cropX) : f.SrcWidth - p->cropX;
  p->cropH = f.SrcH > 0 ? std::min(f.SrcH, f.SrcHeight - p->cropY) : f.SrcHeight - p->cropY;
  p->cx = f.DstX + f.DstW / 2;
  p->cy = f.DstY + f.DstH / 2;
  const double angle = std::fmod(static_cast<double>(f.Rotation), 360.0) * M_PI / 180;
  p->cosA = std::cos(angle);
  p->sinA = std::sin(angle);
  // Whole quarter turns are exact, so no sampling drift creeps in.
  if (std::fabs(p->sinA) < 1e-12) p->sinA = 0;
  if (std::fabs(p->cosA) < 1e-12) p->cosA = 0;
  p->footX = p->cropW / f.DstW;
  p->footY = p->cropH / f.DstH;
  p->mirrorX = f.Mirroring & 1;
  p->mirrorY = f.Mirroring & 2;
  p->box = p->footX > 2 || p->footY > 2;
  p->upright = p->sinA == 0 && p->cosA == 1;
  // Bounding box of the turned rectangle, clipped to the frame. Turned, a
  // pixel is drawn while its centre is within half a pixel of the
  // rectangle along the rectangle's own axes: the box grows by that much.
  const double grow = p->upright ? 0 : 1;
  const double hw = (std::fabs(p->cosA) * (f.DstW + grow) + std::fabs(p->sinA) * (f.DstH + grow)) / 2;
  const double hh = (std::fabs(p->sinA) * (f.DstW + grow) + std::fabs(p->cosA) * (f.DstH + grow)) / 2;
  // Clamped to the frame in floating point before becoming indexes.
  auto index = [](double v, int limit) {
    return static_cast<int>(std::clamp(v, 0.0, static_cast<double>(limit)));
  };
  p->colBegin = index(std::floor(p->cx - hw), f.DstWidth);
  p->colEnd = index(std::ceil(p->cx + hw), f.DstWidth);
  p->rowBegin = index(std::floor(p->cy - hh), f.DstHeight);
  p->rowEnd = index(std::ceil(p->cy + hh), f.DstHeight);
  if (f.ClipW > 0 && f.ClipH > 0) {
    p->colBegin = std::max(p->colBegin, f.ClipX);
    p->colEnd = static_cast<int>(std::min<int64_t>(p->colEnd, int64_t(f.ClipX) + f.ClipW));
    p->rowBegin = std::max(p->rowBegin, f.ClipY);
    p->rowEnd = static_cast<int>(std::min<int64_t>(p->rowEnd, int64_t(f.ClipY) + f.ClipH));
  }
  p->cols.clear();
  if (p->upright)
    for (int dx = p->colBegin; dx < p->colEnd; ++dx)
      p->cols.push_back(makeTap(dx + 0.5 - p->cx, f.DstW, p->mirrorX, p->cropX, p->cropW));
  // Pixels that would be written unchanged over whatever is there.
  const bool plainEffects = !f.ChromaOn && f.Opacity == 255 && (f.ColorChans & kChanAll) == kChanAll;
  p->straightCopy = p->upright && plainEffects && (f.SrcOpaque || f.Replace) && !p->cols.empty();
  for (size_t i = 0; p->straightCopy && i < p->cols.size(); ++i) {
    const Tap& t = p->cols[i];
    p->straightCopy = t.inside && t.cover == 255 && t.weight == 0 && t.i0 == t.nearest &&
                      t.i0 == p->cols.front().i0 + static_cast<int>(i);
  }
  return true;
}

} // namespace compositing

int CompositeFrame(const RenderFrameInfo& info) { return compositeWith(info, true); }

int CompositeFrameSingle(const RenderFrameInfo& info) { return compositeWith(info, false); }
