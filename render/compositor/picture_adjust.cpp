#include "render/compositor/picture_adjust.h"

#include "base/error.h"
#include "render/compositor/chroma_key.h"
#include "render/compositor/compositor.h"
#include "render/compositor/pixel_ops.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace {

bool colorizeOn(uint32_t colorize) { return (colorize >> 24) != 0xFF; }

// Per-call tables and fixed-point matrix, shared read-only by the bands.
struct ColourPlan {
  std::array<uint8_t, 256> levels; // brightness then contrast
  int m[3][3];                     // colour and hue in RGB, x 4096
  bool matrix = false;
  bool chroma = false;
  uint32_t chromaKey = 0;
  int chromaColorRange = 0, chromaBrightRange = 0;
  bool colorize = false;
  uint32_t tint = 0;
};

uint32_t hueTint(double degrees) {
  double h = std::fmod(degrees, 360.0) / 60.0;
  if (h < 0) h += 6;
  double x = 1 - std::fabs(std::fmod(h, 2.0) - 1);
  double r = 0, g = 0, b = 0;
  switch (static_cast<int>(h)) {
  case 0: r = 1, g = x; break;
  case 1: r = x, g = 1; break;
  case 2: g = 1, b = x; break;
  case 3: g = x, b = 1; break;
  case 4: r = x, b = 1; break;
  default: r = 1, b = x; break;
  }
  return (static_cast<uint32_t>(std::lround(r * 255)) << 16) |
         (static_cast<uint32_t>(std::lround(g * 255)) << 8) | static_cast<uint32_t>(std::lround(b * 255));
}

ColourPlan makePlan(const AdjustStruct& a, double time) {
  ColourPlan plan;
  for (int v = 0; v < 256; ++v) {
    double x = v * a.Brightness / 100.0;
    x = (x - 128) * a.Contrast / 100.0 + 128;
    plan.levels[v] = static_cast<uint8_t>(ClampByte(static_cast<int>(std::lround(x))));
  }
  // Colour (saturation) and hue as one matrix: rotate the chroma plane
  // about the grey axis, then scale it.
  const double s = a.Color / 100.0, h = a.Hue * M_PI / 180;
  const double c = std::cos(h), sn = std::sin(h);
  const double lr = 0.213, lg = 0.715, lb = 0.072;
  const double hueM[3][3] = {
      {lr + c * (1 - lr) - sn * lr, lg - c * lg - sn * lg, lb - c * lb + sn * (1 - lb)},
      {lr - c * lr + sn * 0.143, lg + c * (1 - lg) + sn * 0.140, lb - c * lb - sn * 0.283},
      {lr - c * lr - sn * (1 - lr), lg - c * lg + sn * lg, lb + c * (1 - lb) + sn * lb}};
  const double lum[3] = {lr, lg, lb};
  for (int i = 0; i < 3; ++i)
    for (int j = 0; j < 3; ++j)
      plan.m[i][j] = static_cast<int>(std::lround((lum[j] + s * (hueM[i][j] - lum[j])) * 4096));
  plan.matrix = a.Color != 100 || a.Hue != 0;
  plan.chroma = a.ChromaOn == 1;
  plan.chromaKey = (uint32_t(a.ChromaRed) << 16) | (uint32_t(a.ChromaGreen) << 8) | a.ChromaBlue;
  plan.chromaColorRange = a.ChromaColorRange;
  plan.chromaBrightRange = a.ChromaBrightRange;
  plan.colorize = colorizeOn(a.Colorize);
  plan.tint = (a.Colorize >> 24) == 0x01 ? hueTint(time * 60.0) : (a.Colorize & 0xFFFFFF);
  return plan;
}

// Input pictures arrive with straight alpha (decoded files); the result is
// premultiplied like every layer.
uint32_t adjustPixel(const ColourPlan& plan, uint32_t straight) {
  // Keyed pixels leave at once.
  uint32_t alpha = straight >> 24;
  if (plan.chroma && alpha && ChromaKeyed(straight, plan.chromaKey, plan.chromaColorRange,
                                          plan.chromaBrightRange))
    return 0;
  int r = plan.levels[(straight >> 16) & 0xFF], g = plan.levels[(straight >> 8) & 0xFF],
      b = plan.levels[straight & 0xFF];
  if (plan.matrix) {
    int nr = (plan.m[0][0] * r + plan.m[0][1] * g + plan.m[0][2] * b + 2048) >> 12;
    int ng = (plan.m[1][0] * r + plan.m[1][1] * g + plan.m[1][2] * b + 2048) >> 12;
    int nb = (plan.m[2][0] * r + plan.m[2][1] * g + plan.m[2][2] * b + 2048) >> 12;
    r = ClampByte(nr), g = ClampByte(ng), b = ClampByte(nb);
  }
  if (plan.colorize) {
    int y = (r * 77 + g * 150 + b * 29 + 128) >> 8;
    r = (((plan.tint >> 16) & 0xFF) * y + 127) / 255;
    g = (((plan.tint >> 8) & 0xFF) * y + 127) / 255;
    b = ((plan.tint & 0xFF) * y + 127) / 255;
  }
  return Premultiply(PixelMake(alpha, r, g, b));
}

// Unsharp mask (sharpness above 100) or blur (below) over a 3 x 3 box.
void sharpen(Layer* layer, int sharpness) {
  if (sharpness == 100 || layer->width < 3 || layer->height < 3) return;
  const Layer in = *layer;
  const int amount = (sharpness - 100) * 256 / 100;
  RenderWorkersRun(layer->height, [&](int y) {
    const int y0 = std::max(0, y - 1), y1 = std::min(in.height - 1, y + 1);
    for (int x = 0; x < in.width; ++x) {
      const int x0 = std::max(0, x - 1), x1 = std::min(in.width - 1, x + 1);
      int sum[4] = {0, 0, 0, 0}, n = 0;
      for (int yy = y0; yy <= y1; ++yy)
        for (int xx = x0; xx <= x1; ++xx, ++n) {
          uint32_t v = in.at(xx, yy);
          for (int c = 0; c < 4; ++c) sum[c] += (v >> (c * 8)) & 0xFF;
        }
      uint32_t centre = in.at(x, y), out = 0;
      const int a = centre >> 24;
      for (int c = 0; c < 4; ++c) {
        int v = (centre >> (c * 8)) & 0xFF;
        int blur = (sum[c] + n / 2) / n;
        int res = c == 3 ? v : v + (((v - blur) * amount) >> 8);
        res = std::clamp(res, 0, c == 3 ? 255 : a); // stay premultiplied
        out |= static_cast<uint32_t>(res) << (c * 8);
      }
      layer->row(y)[x] = out;
    }
  });
}

} // namespace

bool PictureNeedsAdjust(const AdjustStruct& a) {
  return a.Brightness != 100 || a.Contrast != 100 || a.Color != 100 || a.Hue != 0 ||
         a.Sharpness != 100 || a.ChromaOn == 1 || colorizeOn(a.Colorize);
}

void PictureCropRect(const AdjustStruct& a, int width, int height, int* x, int* y, int* w, int* h) {
  int left = std::clamp(a.CropLeft, 0, std::max(0, width - 1));
  int top = std::clamp(a.CropTop, 0, std::max(0, height - 1));
  int right = std::clamp(a.CropRight, 0, std::max(0, width - 1 - left));
  int bottom = std::clamp(a.CropBottom, 0, std::max(0, height - 1 - top));
  *x = left;
  *y = top;
  *w = std::max(1, width - left - right);
  *h = std::max(1, height - top - bottom);
}

int PictureAdjust(const PictureSource& s, const AdjustStruct& adjust, double time, Layer* out) {
  if (!s.pixels || !out || s.width <= 0 || s.height <= 0 || s.cropW <= 0 || s.cropH <= 0 ||
      s.cropX < 0 || s.cropY < 0 || s.cropX + s.cropW > s.width || s.cropY + s.cropH > s.height)
    return kErrBadArg;
  out->resize(s.cropW, s.cropH);
  const ColourPlan plan = makePlan(adjust, time);
  const bool colours = PictureNeedsAdjust(adjust);
  RenderWorkersRun(s.cropH, [&](int y) {
    const int srcY = s.cropY + y;
    const uint32_t* in = s.pixels + static_cast<size_t>(s.topDown ? srcY : s.height - 1 - srcY) * s.width + s.cropX;
    uint32_t* row = out->row(y);
    for (int x = 0; x < s.cropW; ++x) {
      uint32_t p = s.opaque ? (in[x] | 0xFF000000u) : in[x];
      row[x] = colours ? adjustPixel(plan, p) : Premultiply(p);
    }
  });
  sharpen(out, adjust.Sharpness);
  return kOk;
}
