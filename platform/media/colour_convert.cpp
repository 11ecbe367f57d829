#include "platform/media/colour_convert.h"

#include <algorithm>
#include <cmath>
#include <mutex>

#include "base/error.h"
#include "base/log.h"
#include "platform/media/colour_convert_pool.h"

namespace {

struct ColorConvJob {
  uint32_t Layout;
  ColorConvImage Src;
  uint8_t* Dst;      // destination row 0 (transpose: the whole top-down bitmap)
  int32_t DstStride; // bytes from one destination row to the next
  uint32_t Width, Height;
  uint32_t Transpose, Direction;
};

// The conversion's terms per component value, fixed point with 15
// fraction bits, and a table that limits a sum of them to 0..255. Summed
// per pixel rather than looked up in a table of every Y, Cb, Cr triple:
// that table took 64 MB of memory for no more speed.
constexpr int kLimitOffset = 384; // the sums' whole parts lie in -276..535
struct Terms {
  int32_t yt[256], crR[256], cbG[256], crG[256], cbB[256];
  uint8_t limit[1024];
};
Terms gTerms;
std::once_flag gTermsOnce;

int32_t Term(int j, int centre, double factor) {
  return static_cast<int32_t>(((j - centre) * factor + 0.5) * 32768.0);
}

void BuildTable() {
  for (int j = 0; j < 256; ++j) {
    gTerms.yt[j] = Term(j, 16, 1.164);
    gTerms.crR[j] = Term(j, 128, 1.596);
    gTerms.cbG[j] = Term(j, 128, -0.391);
    gTerms.crG[j] = Term(j, 128, -0.813);
    gTerms.cbB[j] = Term(j, 128, 2.018);
  }
  for (int i = 0; i < 1024; ++i) gTerms.limit[i] = static_cast<uint8_t>(std::clamp(i - kLimitOffset, 0, 255));
}

const Terms& Table() {
  std::call_once(gTermsOnce, BuildTable);
  return gTerms;
}

// A pixel from its luma term and its pair's three chroma terms. The shift
// rounds negative sums down where a division would round them up, which
// the limit makes 0 all the same.
inline uint32_t Pixel(const uint8_t* limit, int32_t luma, int32_t red, int32_t green, int32_t blue) {
  return 0xFF000000u | uint32_t(limit[(luma + red) >> 15]) << 16 | uint32_t(limit[(luma + green) >> 15]) << 8 |
         limit[(luma + blue) >> 15];
}

inline uint32_t Look(const Terms& t, uint8_t y, uint8_t cb, uint8_t cr) {
  return Pixel(t.limit + kLimitOffset, t.yt[y], t.crR[cr], t.cbG[cb] + t.crG[cr], t.cbB[cb]);
}

// Reads the pair k of row r: Y0, Y1, Cb, Cr.
inline void ReadPair(const ColorConvJob& job, uint32_t r, uint32_t k, uint8_t* y0, uint8_t* y1, uint8_t* cb,
                     uint8_t* cr) {
  if (job.Layout == kColorYuvs || job.Layout == kColor2vuy) {
    const uint8_t* p = job.Src.Plane[0] + static_cast<ptrdiff_t>(r) * job.Src.Stride[0] + 4 * k;
    if (job.Layout == kColorYuvs) *y0 = p[0], *cb = p[1], *y1 = p[2], *cr = p[3];
    else *cb = p[0], *y0 = p[1], *cr = p[2], *y1 = p[3];
    return;
  }
  const uint8_t* yRow = job.Src.Plane[0] + static_cast<ptrdiff_t>(r) * job.Src.Stride[0];
  *y0 = yRow[2 * k];
  *y1 = yRow[2 * k + 1];
  *cb = job.Src.Plane[1][static_cast<ptrdiff_t>(r / 2) * job.Src.Stride[1] + k];
  *cr = job.Src.Plane[2][static_cast<ptrdiff_t>(r / 2) * job.Src.Stride[2] + k];
}

void ToPixels(const ColorConvJob& job, uint32_t first, uint32_t last) {
  // A copy of its own, which the pixels written cannot alias.
  const Terms t = Table();
  const uint8_t* limit = t.limit + kLimitOffset;
  const uint32_t pairs = job.Width / 2;
  for (uint32_t r = first; r <= last; ++r) {
    uint32_t* row = reinterpret_cast<uint32_t*>(job.Dst + static_cast<ptrdiff_t>(r) * job.DstStride);
    for (uint32_t k = 0; k < pairs; ++k) {
      uint8_t y0, y1, cb, cr;
      ReadPair(job, r, k, &y0, &y1, &cb, &cr);
      const int32_t red = t.crR[cr], green = t.cbG[cb] + t.crG[cr], blue = t.cbB[cb];
      const uint32_t a = Pixel(limit, t.yt[y0], red, green, blue), b = Pixel(limit, t.yt[y1], red, green, blue);
      if (!job.Transpose) {
        row[2 * k] = a;
        row[2 * k + 1] = b;
      } else {
        uint32_t* base = reinterpret_cast<uint32_t*>(job.Dst);
        base[r + static_cast<size_t>(2 * k) * job.Height] = a;
        base[r + static_cast<size_t>(2 * k + 1) * job.Height] = b;
      }
    }
  }
}

uint8_t Round8(float v) {
  float r = std::round(v); // half away from zero
  return static_cast<uint8_t>(r < 0.f ? 0.f : r > 255.f ? 255.f : r);
}

// Bottom-up 32-bit pixels to 'yuvs' rows, top row first.
void FromPixels(const ColorConvJob& job, uint32_t first, uint32_t last) {
  const uint32_t pairs = job.Width / 2;
  for (uint32_t r = first; r <= last; ++r) {
    const uint8_t* src = job.Src.Plane[0] + static_cast<ptrdiff_t>(job.Height - 1 - r) * job.Src.Stride[0];
    uint8_t* out = job.Dst + static_cast<ptrdiff_t>(r) * job.DstStride;
    for (uint32_t k = 0; k < pairs; ++k) {
      const uint8_t* p = src + 8 * k;
      uint8_t y[2], cb[2], cr[2];
      for (int i = 0; i < 2; ++i) {
        float B = p[4 * i], G = p[4 * i + 1], R = p[4 * i + 2];
        y[i] = Round8(0.114f * B + (0.299f * R + 0.587f * G));
        cb[i] = Round8(0.5f * B + (-0.1687f * R + -0.3313f * G) + 128.f);
        cr[i] = Round8(-0.0813f * B + (0.5f * R + -0.4187f * G) + 128.f);
      }
      out[4 * k] = y[0];
      out[4 * k + 1] = static_cast<uint8_t>((cb[0] + cb[1]) / 2);
      out[4 * k + 2] = y[1];
      out[4 * k + 3] = static_cast<uint8_t>((cr[0] + cr[1]) / 2);
    }
  }
}

bool ColorConvSupported(uint32_t layout, uint32_t direction) {
  if (direction == kColorToPixels) return layout >= kColorYuvs && layout <= kColorI420Alt;
  return direction == kColorFromPixels && layout == kColorYuvs;
}

void ColorConvLogUnsupported(uint32_t direction) {
  if (direction == kColorFromPixels) LogPrintf(L"Unexpected format for RGB->YUV frame conversion!");
  else LogPrintf(L"Unexpected format for YUV->RGB frame conversion!");
}

int ColorConvRunBand(const ColorConvJob& job, uint32_t first, uint32_t last) {
  if (!ColorConvSupported(job.Layout, job.Direction)) {
    ColorConvLogUnsupported(job.Direction);
    return kErrBadArg;
  }
  if (job.Width < 2 || job.Height == 0) return kOk;
  if (first == 0 && last == 0) last = job.Height - 1;
  if (last >= job.Height) last = job.Height - 1;
  if (first > last) return kOk;
  if (job.Direction == kColorToPixels) ToPixels(job, first, last);
  else FromPixels(job, first, last);
  return kOk;
}

// The whole frame, split over the row-band workers when it pays;
// transposed output is written column-wise and stays on the caller.
int ColorConvRun(const ColorConvJob& job) {
  if (!ColorConvSupported(job.Layout, job.Direction)) {
    ColorConvLogUnsupported(job.Direction);
    return kErrBadArg;
  }
  if (job.Transpose) return ColorConvRunBand(job, 0, 0);
  const bool banded = RowBandPoolRun(job.Width, job.Height, [&job](uint32_t first, uint32_t last) {
    ColorConvRunBand(job, first, last);
  });
  if (!banded) LogPrintf(L"Thread(s) failed to complete in ColorConv(%d)", static_cast<int>(job.Direction));
  return kOk;
}

// The documented packed-row form: rows of width/2 pairs in and out.
ColorConvJob ColorConvPackedJob(uint32_t layout, const uint8_t* src, uint8_t* dst, uint32_t width, uint32_t height,
                                uint32_t transpose, uint32_t direction) {
  ColorConvJob job{};
  job.Layout = layout;
  job.Width = width;
  job.Height = height;
  job.Transpose = transpose;
  job.Direction = direction;
  const uint32_t pairs = width / 2;
  if (direction == kColorFromPixels) {
    job.Src = {{src, nullptr, nullptr}, {static_cast<int32_t>(width * 4), 0, 0}};
    job.Dst = dst;
    job.DstStride = static_cast<int32_t>(pairs * 4);
    return job;
  }
  if (layout == kColorYuvs || layout == kColor2vuy) {
    job.Src = {{src, nullptr, nullptr}, {static_cast<int32_t>(pairs * 4), 0, 0}};
  } else {
    const size_t ySize = static_cast<size_t>(width) * height, cSize = ySize / 4;
    const uint8_t* first = src + ySize;
    const uint8_t* second = first + cSize;
    bool crFirst = layout == kColorI420Cr;
    job.Src = {{src, crFirst ? second : first, crFirst ? first : second},
               {static_cast<int32_t>(width), static_cast<int32_t>(pairs), static_cast<int32_t>(pairs)}};
  }
  if (transpose) {
    job.Dst = dst;
    job.DstStride = 0;
  } else { // bottom-up: source row r lands on row height - 1 - r
    job.Dst = height ? dst + static_cast<size_t>(height - 1) * width * 4 : dst;
    job.DstStride = -static_cast<int32_t>(width * 4);
  }
  return job;
}

} // namespace

void ColorConvInit() {
  Table();
  ErrorSet(RowBandPoolStart(), "ColorConvInit");
}

void EndColorConv() { RowBandPoolEnd(); }

uint32_t ColorConvWorkerCount() { return RowBandPoolSize(); }

uint32_t ColorConvLookup(uint8_t y, uint8_t cb, uint8_t cr) { return Look(Table(), y, cb, cr); }

int ColorConvBand(uint32_t layout, const uint8_t* src, uint8_t* dst, uint32_t width, uint32_t height,
                  uint32_t transpose, uint32_t direction, uint32_t firstRow, uint32_t lastRow) {
  if (!src || !dst) return kErrBadArg;
  return ColorConvRunBand(ColorConvPackedJob(layout, src, dst, width, height, transpose, direction), firstRow,
                          lastRow);
}

int ColorConv(uint32_t layout, const uint8_t* src, uint8_t* dst, uint32_t width, uint32_t height, uint32_t transpose,
              uint32_t direction) {
  if (!src || !dst) return kErrBadArg;
  return ColorConvRun(ColorConvPackedJob(layout, src, dst, width, height, transpose, direction));
}

int ColorConvToPixels(uint32_t layout, const ColorConvImage& src, uint8_t* dst, int32_t dstStride, uint32_t width,
                      uint32_t height) {
  if (!dst || !src.Plane[0]) return kErrBadArg;
  if (layout >= kColorI420Cr && (!src.Plane[1] || !src.Plane[2])) return kErrBadArg;
  ColorConvJob job{};
  job.Layout = layout;
  job.Src = src;
  job.Dst = dst;
  job.DstStride = dstStride;
  job.Width = width;
  job.Height = height;
  job.Direction = kColorToPixels;
  return ColorConvRun(job);
}
