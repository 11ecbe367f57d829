#include "render/draw/data_look.h"

#include "base/text.h"
#include "platform/graphics/text_raster.h"
#include "render/draw/canvas.h"
#include "render/draw/data_channel.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {

uint32_t channelMix(uint32_t a, uint32_t b, int shift, double share) {
  const double ca = (a >> shift) & 0xFF, cb = (b >> shift) & 0xFF;
  return static_cast<uint32_t>(std::lround(ca + (cb - ca) * share)) << shift;
}

TextLook lookFor(const LabelStyle& s) {
  TextLook look;
  look.font = s.font ? FieldText(s.font, 64) : std::string();
  if (look.font.empty()) look.font = "Arial";
  look.size = std::clamp(std::isfinite(s.size) ? s.size : 30.0, 1.0, 2000.0);
  look.style = s.style & 3;
  look.align = 0;
  look.color = s.color & 0xFFFFFF;
  return look;
}

} // namespace

uint32_t ColorBlend(uint32_t a, uint32_t b, double share) {
  share = std::isfinite(share) ? std::clamp(share, 0.0, 1.0) : 0.0;
  return channelMix(a, b, 16, share) | channelMix(a, b, 8, share) | channelMix(a, b, 0, share);
}

uint32_t ChangeColorAt(const ColorChange& c, uint32_t own, double value, double lo, bool fade) {
  if (!std::isfinite(value)) return own;
  const bool on1 = !ColorIsOff(c.color), on2 = !ColorIsOff(c.color2);
  if (!fade) {
    if (on1 && value >= c.value) return c.color & 0xFFFFFF;
    if (on2 && value >= c.value2) return c.color2 & 0xFFFFFF;
    return own;
  }
  auto share = [](double v, double a, double b) {
    return b > a ? std::clamp((v - a) / (b - a), 0.0, 1.0) : (v >= b ? 1.0 : 0.0);
  };
  if (on2 && (!on1 || c.value2 < c.value)) {
    if (value <= c.value2) return ColorBlend(own, c.color2, share(value, lo, c.value2));
    if (!on1) return c.color2 & 0xFFFFFF;
    return ColorBlend(c.color2, c.color, share(value, c.value2, c.value));
  }
  if (on1) return ColorBlend(own, c.color, share(value, lo, c.value));
  return own;
}

std::string FieldText(const char16_t* units, size_t capacity) {
  if (!units) return {};
  size_t n = 0;
  while (n < capacity && units[n]) ++n;
  return WideToUtf8(Utf16ToWide(std::u16string(units, n)));
}

std::string FormatNumber(double value, int decimals, int digits) {
  if (!std::isfinite(value)) return "-";
  decimals = std::clamp(decimals, 0, 9);
  digits = std::clamp(digits, 1, 20);
  // Round first so that -0.4 with no decimals prints as "0", not "-0".
  const double scale = std::pow(10.0, decimals);
  double rounded = std::round(value * scale) / scale;
  if (rounded == 0) rounded = 0;
  const bool negative = rounded < 0;
  const int width = digits + (decimals > 0 ? decimals + 1 : 0);
  char text[64];
  std::snprintf(text, sizeof text, "%0*.*f", width, decimals, std::fabs(rounded));
  return negative ? "-" + std::string(text) : std::string(text);
}

std::string ReadoutText(double value, bool twoDecimals) {
  if (!std::isfinite(value)) return "-";
  char text[64];
  if (twoDecimals) std::snprintf(text, sizeof text, "%.02f", value);
  else std::snprintf(text, sizeof text, "%d", static_cast<int>(std::lround(std::clamp(value, -2e9, 2e9))));
  return text;
}

void MeasureLabel(const std::string& utf8, const LabelStyle& style, double* w, double* h) {
  const TextExtent e = TextMeasure(utf8, lookFor(style));
  *w = e.width;
  *h = e.height;
}

void DrawLabel(cairo_t* cr, const std::string& utf8, const LabelStyle& style, double cx, double cy) {
  if (utf8.empty() || ColorIsOff(style.color)) return;
  const TextLook look = lookFor(style);
  const TextExtent e = TextMeasure(utf8, look);
  double x = cx - e.width / 2;
  if (style.align == 0) x = cx;
  if (style.align == 2) x = cx - e.width;
  TextDraw(cr, utf8, look, x, cy - e.height / 2, 0);
}

void ScaleRange(double storedMin, double storedMax, double autoLimit, const DataChannel& channel,
                double* lo, double* hi) {
  const bool autoMin = !std::isfinite(storedMin) || storedMin >= autoLimit;
  const bool autoMax = !std::isfinite(storedMax) || storedMax <= -autoLimit;
  double dataLo = 0, dataHi = 100;
  if ((autoMin || autoMax) && !DataChannelRange(channel, &dataLo, &dataHi)) {
    dataLo = 0;
    dataHi = 100;
  }
  *lo = autoMin ? dataLo : storedMin;
  *hi = autoMax ? dataHi : storedMax;
  if (*hi < *lo) std::swap(*lo, *hi);
  // Min = Max still needs a span to map values onto.
  if (!(*hi > *lo)) *hi = *lo + std::max(1.0, std::fabs(*lo) * 0.01);
}

double ScaleShare(double value, double lo, double hi) {
  if (!std::isfinite(value) || !(hi > lo)) return 0;
  return std::clamp((value - lo) / (hi - lo), 0.0, 1.0);
}

std::vector<double> StepValues(double lo, double hi, double step, size_t maxCount) {
  std::vector<double> out;
  if (!(step > 0) || !std::isfinite(step) || !std::isfinite(lo) || !std::isfinite(hi)) return out;
  const double eps = step * 1e-6;
  const double first = std::ceil((lo - eps) / step) * step;
  // Counted steps: adding 1 to a huge multiple would never move it.
  for (size_t i = 0; i < maxCount; ++i) {
    const double v = first + static_cast<double>(i) * step;
    if (v > hi + eps) break;
    out.push_back(v);
  }
  return out;
}
