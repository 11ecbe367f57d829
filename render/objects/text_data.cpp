// Text data (type 34), gear number (75), lap counter (76) and lap timer
// (77): a number from the data log, combined with the object's text by its
// data mode, drawn in the text object's look.
#include "base/error.h"
#include "media/datalog/query.h"
#include "platform/graphics/text_raster.h"
#include "render/draw/data_channel.h"
#include "render/draw/data_look.h"
#include "render/draw/layer_cache.h"
#include "render/objects/data_object.h"
#include "render/objects/text_look.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {

constexpr int kMaxTextSide = 4096; // a layer of at most 64 MB
constexpr double kFlashPeriod = 0.5; // seconds; shown during the first half
constexpr int kTextDataDrawing = 6;   // layer cache kind (g-force plots 5)

int automaticQuery(uint8_t type) {
  switch (type) {
  case kDispGear: return kQueryGear;
  case kDispLapCount: return kQueryLapNumber;
  case kDispLapTimer: return kQueryCurrentLapTime;
  default: return -1;
  }
}

bool inRange(const TextStruct& t, double v) {
  if (!std::isfinite(v)) return false;
  if (!TextMinRangeIsNone(t.MinRange) && v < t.MinRange) return false;
  if (!TextMaxRangeIsNone(t.MaxRange) && v > t.MaxRange) return false;
  return true;
}

} // namespace

// Lap time formats (DataParam2): 0 minutes and seconds "m:ss.dd", 1 seconds
// only, 2 hours, minutes and seconds "h:mm:ss.dd".
std::string LapTimeText(double seconds, int decimals, int digits, int format) {
  if (!std::isfinite(seconds)) return "-";
  decimals = std::clamp(decimals, 0, 6);
  const double unit = std::pow(10.0, decimals);
  const double whole = std::round(std::fabs(seconds) * unit) / unit;
  const std::string sign = seconds < 0 && whole > 0 ? "-" : "";
  if (format == 1) return sign + FormatNumber(whole, decimals, digits);
  const long long total = static_cast<long long>(std::floor(whole));
  const double frac = whole - static_cast<double>(total);
  const std::string secs = FormatNumber(static_cast<double>(total % 60) + frac, decimals, 2);
  char head[48];
  if (format == 2) {
    std::snprintf(head, sizeof head, "%0*lld:%02lld:", std::clamp(digits, 1, 9), total / 3600, (total / 60) % 60);
  } else {
    std::snprintf(head, sizeof head, "%0*lld:", std::clamp(digits, 1, 9), total / 60);
  }
  return sign + head + secs;
}

namespace {

// The lap timer: the running lap time, or the lap just completed while
// it is held (DataParam tenths of a second after each lap).
double lapTimerValue(const ObjectContext& ctx, const TextStruct& t, bool* valid) {
  const uint32_t input = ctx.obj->InputID;
  const double running = DataQueryValue(input, kQueryCurrentLapTime, ctx.time);
  const double lap = DataQueryValue(input, kQueryLapNumber, ctx.time);
  const double previous = DataQueryValue(input, kQueryPreviousLapTime, ctx.time);
  *valid = std::isfinite(running);
  if (*valid && lap >= 2 && previous > 0 && running < t.DataParam / 10.0) return previous;
  return running;
}

std::string numberText(const ObjectContext& ctx, const TextStruct& t, double* value) {
  const uint8_t type = ctx.obj->Type;
  if (type == kDispLapTimer && t.Field[0] == 0) {
    bool valid = false;
    *value = lapTimerValue(ctx, t, &valid);
    if (!valid) *value = NAN;
    return LapTimeText(*value, t.DecimalPlaces, t.Digits, t.DataParam2);
  }
  const DataChannel channel = DataChannelFor(ctx.obj->InputID, t.Field, automaticQuery(type));
  *value = DataChannelValue(channel, ctx.time);
  if (type == kDispLapTimer) return LapTimeText(*value, t.DecimalPlaces, t.Digits, t.DataParam2);
  std::string text = FormatNumber(*value, type == kDispLapCount ? 0 : t.DecimalPlaces, t.Digits);
  if (type == kDispLapCount && (t.DataOptions & kTextTotalLaps) && std::isfinite(*value)) {
    const double total = DataQueryValue(ctx.obj->InputID, kQueryLapCount, ctx.time);
    if (std::isfinite(total)) text += " / " + FormatNumber(total, 0, t.Digits);
  }
  return text;
}

} // namespace

std::string DataObjectText(const ObjectContext& ctx, const TextStruct& t) {
  const std::string fixed = FieldText(t.Text, 256);
  const int mode = t.DataMode & kTextDataModeMask;
  if (mode == kTextDataPlain) return fixed;
  double value = NAN;
  const std::string number = numberText(ctx, t, &value);
  const bool show = inRange(t, value);
  if ((t.DataMode & kTextDataFlash) && show) {
    const double since = std::max(0.0, double(ctx.time) - ctx.obj->OffsetTime);
    if (std::fmod(since, kFlashPeriod) >= kFlashPeriod / 2) return {};
  }
  switch (mode) {
  case kTextDataNumberText: return show ? number + fixed : fixed;
  case kTextDataTextNumber: return show ? fixed + number : fixed;
  case kTextDataTextOnly: return show ? fixed : std::string();
  default: return show ? number : std::string();
  }
}

int RenderTextDataObject(const ObjectContext& ctx) {
  const TextStruct* t = ObjectParam<TextStruct>(ctx.obj);
  if (!t) return ErrorSet(kErrBadArg, "RenderTextDataObject");
  const std::string utf8 = DataObjectText(ctx, *t);
  if (utf8.empty()) return 0;
  const TextLook look = TextLookFor(*t, ctx.baseScale);
  const bool outline = !ColorIsOff(look.outlineColor);
  const double pad = outline ? std::ceil(look.outlineWidth) + 1 : 1;
  const TextExtent extent = TextMeasure(utf8, look);
  double x = ctx.x, w = ctx.w, h = ctx.h;
  if (t->Options & kTextAutoSize) {
    w = extent.width + 2 * pad;
    h = extent.height + 2 * pad;
    if (look.align == 1) x = ctx.x + (ctx.w - w) / 2;
    if (look.align == 2) x = ctx.x + ctx.w - w;
  }
  // Clamped as doubles: a huge box must not overflow the conversion.
  auto side = [](double v) { return static_cast<int>(std::ceil(std::isfinite(v) ? std::clamp(v, 1.0, double(kMaxTextSide)) : 1.0)); };
  const int lw = side(w), lh = side(h);
  // The drawing depends on the text, the record, the scale and the layer
  // size: a gear, a lap count or a speed that stays the same is drawn once.
  std::string key;
  LayerKeyAdd(&key, *t);
  LayerKeyAdd(&key, ctx.baseScale);
  LayerKeyAdd(&key, lw);
  LayerKeyAdd(&key, lh);
  key += utf8;
  Layer layer;
  const bool drawn = LayerCacheDraw(ctx.index, kTextDataDrawing, key, lw, lh, &layer, [&](cairo_t* cr) {
    const double top = std::max(pad, (lh - extent.height) / 2);
    TextDraw(cr, utf8, look, pad, top, lw - 2 * pad);
  });
  if (!drawn) return ErrorSet(kErrNoMemory, "RenderTextDataObject");
  const float rotation = std::isfinite(t->RotateAngle) ? t->RotateAngle : 0;
  return ObjectPlaceLayer(ctx, layer, x, ctx.y, lw, lh, rotation);
}
