// Kept placements: a layer that changes only in places from one frame to
// the next is sampled again only where it changed (see compositor.h).
#include "base/error.h"
#include "render/compositor/blend_row.h"
#include "render/compositor/compositor.h"
#include "render/compositor/placement.h"
#include "render/compositor/planar_blend.h"

#include <algorithm>
#include <cmath>

namespace {

using namespace compositing;

constexpr int64_t kMinBandWork = 32768; // sampled pixels; as the ordinary composite's bands
// Pixels blended from a kept placement in the time one is sampled.
constexpr int64_t kBlendPerSample = 8;

// Kept placements: the source columns or rows one destination tap reads.
struct Reads {
  int lo, hi; // inclusive
};

Reads readsOf(const Placement& p, const Tap& t, int cropStart, int cropSize) {
  Reads r{std::min(t.i0, t.nearest), std::max(t.i1, t.nearest)};
  if (p.box) {
    const int last = cropStart + cropSize - 1;
    r.lo = std::min(r.lo, static_cast<int>(std::clamp<double>(std::floor(t.lo), cropStart, last)));
    r.hi = std::max(r.hi, static_cast<int>(std::clamp<double>(std::ceil(t.hi), cropStart, last + 1)) - 1);
  }
  return r;
}

// What compositeRowsUpright hands to writePixel's blend, for a placement
// that neither replaces nor takes the source as opaque: 0 leaves the
// destination as it is.
inline uint32_t preparedPixel(const Placement& p, const Tap& row, const Tap& col, const uint32_t* nearestRow,
                              const uint32_t* r0, const uint32_t* r1) {
  const RenderFrameInfo& f = *p.info;
  if (!col.inside) return 0;
  const uint32_t cover = row.cover == 255 ? col.cover : Mul255(row.cover, col.cover);
  if (cover == 0) return 0;
  uint32_t pixel;
  if (f.Quality >= 5) pixel = nearestRow[col.nearest];
  else if (p.box) pixel = sampleBox(p, col.pos, row.pos, col.lo, col.hi, row.lo, row.hi);
  else if (col.weight == 0 && row.weight == 0) pixel = r0[col.i0];
  else pixel = mix4(r0[col.i0], r0[col.i1], r1[col.i0], r1[col.i1], col.weight, row.weight);
  if (pixel == 0) return 0;
  pixel = applyEffects(f, pixel);
  return cover < 255 ? ScalePixel(pixel, cover) : pixel;
}

// The changed part of the source, inclusive, in top-down picture
// coordinates; the copy takes the new rows. Empty when lo > hi.
struct Changed {
  int x0, x1, y0, y1;
  bool empty() const { return x0 > x1 || y0 > y1; }
};

Changed takeChanges(const Placement& p, KeptPlacement* kept, bool whole) {
  const RenderFrameInfo& f = *p.info;
  const size_t width = static_cast<size_t>(f.SrcWidth);
  Changed c{f.SrcWidth, -1, f.SrcHeight, -1};
  if (whole) {
    kept->source.resize(width * f.SrcHeight);
    c = {0, f.SrcWidth - 1, 0, f.SrcHeight - 1};
  }
  for (int y = 0; y < f.SrcHeight; ++y) {
    const uint32_t* now = srcRow(p, y);
    uint32_t* was = kept->source.data() + width * y;
    if (!whole) {
      if (std::equal(now, now + width, was)) continue;
      int first = 0, last = f.SrcWidth - 1;
      while (now[first] == was[first]) ++first;
      while (now[last] == was[last]) --last;
      c.x0 = std::min(c.x0, first);
      c.x1 = std::max(c.x1, last);
      c.y0 = std::min(c.y0, y);
      c.y1 = y;
    }
    std::copy(now, now + width, was);
  }
  return c;
}

// Where a prepared row is not 0: only there is anything blended, and only
// there does the dirty map need marks (a round dial leaves its corners, a
// course its inside).
std::pair<int, int> usedSpan(const uint32_t* row, int cols) {
  int first = 0, end = cols;
  while (first < end && row[first] == 0) ++first;
  while (end > first && row[end - 1] == 0) --end;
  return {first, end};
}

bool keptKind(const RenderFrameInfo& f, const Placement& p) { return p.upright && !f.Replace && !f.SrcOpaque; }

// Bands of rows sized by the work in them, so that a needle's worth of
// change stays on the calling thread.
void runBanded(int rows, int64_t work, const std::function<void(int, int)>& band) {
  const int workers = RenderWorkerCount();
  const int bands = workers > 0 ? static_cast<int>(std::min<int64_t>(
                                      {rows, (workers + 1) * 2, std::max<int64_t>(1, work / kMinBandWork)}))
                                : 1;
  if (bands <= 1) {
    band(0, rows);
    return;
  }
  RenderWorkersRun(bands, [&](int k) {
    band(static_cast<int>(int64_t(rows) * k / bands), static_cast<int>(int64_t(rows) * (k + 1) / bands));
  });
}

} // namespace

bool KeptPlacementMatches(const KeptPlacement& kept, const RenderFrameInfo& b) {
  const RenderFrameInfo& a = kept.key;
  return kept.valid && a.SrcWidth == b.SrcWidth && a.SrcHeight == b.SrcHeight && a.SrcStride == b.SrcStride &&
         a.SrcBottomUp == b.SrcBottomUp && a.SrcOpaque == b.SrcOpaque && a.SrcX == b.SrcX && a.SrcY == b.SrcY &&
         a.SrcW == b.SrcW && a.SrcH == b.SrcH && a.DstWidth == b.DstWidth && a.DstHeight == b.DstHeight &&
         a.DstX == b.DstX && a.DstY == b.DstY && a.DstW == b.DstW && a.DstH == b.DstH && a.ClipX == b.ClipX &&
         a.ClipY == b.ClipY && a.ClipW == b.ClipW && a.ClipH == b.ClipH && a.Rotation == b.Rotation &&
         a.Mirroring == b.Mirroring && a.Opacity == b.Opacity && a.ColorChans == b.ColorChans &&
         a.ChromaOn == b.ChromaOn && a.ChromaColor == b.ChromaColor && a.ChromaColorRange == b.ChromaColorRange &&
         a.ChromaBrightRange == b.ChromaBrightRange && a.Quality == b.Quality && a.Replace == b.Replace;
}

bool KeptPlacementPrepare(const RenderFrameInfo& info, KeptPlacement* kept) {
  RenderFrameInfo sourceOnly = info;
  // The plan needs the destination's size, never its pixels.
  uint32_t noPixels = 0;
  sourceOnly.Dst = &noPixels;
  Placement p{};
  if (!kept || !makePlacement(sourceOnly, &p) || !keptKind(info, p)) {
    if (kept) *kept = KeptPlacement{};
    return false;
  }
  const int rows = p.rowEnd - p.rowBegin, cols = p.colEnd - p.colBegin;
  const bool whole = !KeptPlacementMatches(*kept, info);
  if (whole) {
    kept->valid = false;
    kept->prepared.assign(static_cast<size_t>(std::max(rows, 0)) * std::max(cols, 0), 0u);
  }
  const Changed changed = takeChanges(p, kept, whole);
  kept->key = info;
  kept->key.Src = nullptr;
  kept->key.Dst = nullptr;
  kept->key.Dirty = nullptr;
  kept->colBegin = p.colBegin;
  kept->rowBegin = p.rowBegin;
  kept->cols = std::max(cols, 0);
  kept->rows = std::max(rows, 0);
  kept->valid = true;
  if (whole) kept->spans.assign(static_cast<size_t>(kept->rows), {0, 0});
  if (rows <= 0 || cols <= 0 || changed.empty()) return true;

  const RenderFrameInfo& f = sourceOnly;
  std::vector<Reads> colReads(static_cast<size_t>(cols));
  int colFirst = cols, colLast = -1; // the columns that read a changed place
  for (int i = 0; i < cols; ++i) {
    colReads[i] = readsOf(p, p.cols[i], p.cropX, p.cropW);
    if (colReads[i].hi >= changed.x0 && colReads[i].lo <= changed.x1) {
      colFirst = std::min(colFirst, i);
      colLast = i;
    }
  }
  if (colFirst > colLast) return true;
  runBanded(rows, int64_t(colLast - colFirst + 1) * rows, [&](int first, int last) {
    for (int r = first; r < last; ++r) {
      const int dy = p.rowBegin + r;
      const Tap row = makeTap(dy + 0.5 - p.cy, f.DstH, p.mirrorY, p.cropY, p.cropH);
      const Reads reads = readsOf(p, row, p.cropY, p.cropH);
      if (!row.inside || reads.hi < changed.y0 || reads.lo > changed.y1) continue;
      uint32_t* done = kept->prepared.data() + static_cast<size_t>(r) * cols;
      const uint32_t* nearestRow = srcRow(p, row.nearest);
      const uint32_t *r0 = srcRow(p, row.i0), *r1 = srcRow(p, row.i1);
      for (int i = colFirst; i <= colLast; ++i)
        if (colReads[i].hi >= changed.x0 && colReads[i].lo <= changed.x1)
          done[i] = preparedPixel(p, row, p.cols[i], nearestRow, r0, r1);
      kept->spans[r] = usedSpan(done, cols);
    }
  });
  return true;
}

int KeptPlacementPut(const RenderFrameInfo& info, const KeptPlacement& kept, int top, int bottom) {
  if (!kept.valid || !info.Dst || info.DstWidth != kept.key.DstWidth || info.DstHeight != kept.key.DstHeight)
    return kErrBadArg;
  const int begin = std::max(top - kept.rowBegin, 0), end = std::min(bottom - kept.rowBegin, kept.rows);
  if (end <= begin || kept.cols <= 0) return kOk;
  const int stride = info.DstStride > 0 ? info.DstStride : info.DstWidth;
  // Marked here, before the bands: bands of rows may share a tile row.
  if (info.Dirty)
    for (int r = begin; r < end; ++r)
      if (kept.spans[r].first < kept.spans[r].second)
        info.Dirty->mark(kept.colBegin + kept.spans[r].first, kept.rowBegin + r,
                         kept.colBegin + kept.spans[r].second, kept.rowBegin + r + 1);
  const uint8_t mask = kept.key.ColorChans & kChanAll;
  runBanded(end - begin, int64_t(end - begin) * kept.cols / kBlendPerSample, [&](int first, int last) {
    for (int r = begin + first; r < begin + last; ++r) {
      const int y = kept.rowBegin + r;
      uint32_t* out = info.Dst + static_cast<size_t>(info.DstBottomUp ? info.DstHeight - 1 - y : y) * stride +
                      kept.colBegin;
      const uint32_t* done = kept.prepared.data() + static_cast<size_t>(r) * kept.cols;
      const auto [from, to] = kept.spans[r];
      if (mask == kChanAll) {
        BlendRowOver(done + from, out + from, to - from);
        continue;
      }
      for (int i = from; i < to; ++i)
        if (done[i] != 0) out[i] = BlendOver(done[i], out[i], mask);
    }
  });
  return kOk;
}

int CompositeFrameKept(const RenderFrameInfo& info, KeptPlacement* kept) {
  if (!KeptPlacementPrepare(info, kept)) return CompositeFrame(info);
  return KeptPlacementPut(info, *kept);
}
