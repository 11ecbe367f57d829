// Embedded images (type 14): the object's background bitmap is the
// picture. A data channel may drive its rotation, transparency, brightness
// or hue (mapped or thresholded), and it may flash.
#include "base/error.h"
#include "base/text.h"
#include "media/datalog/datalog_queries.h"
#include "render/objects/object_render.h"

#include <algorithm>
#include <cmath>

namespace {

// The channel's value at the time, false without an input or channel.
bool channelValue(const ObjectContext& ctx, const EImageParam& p, double* value) {
  if (ctx.obj->InputID == 255 || p.Field[0] == 0) return false;
  const int32_t field = InputHandlerGetDataFieldIndex(ctx.obj->InputID, p.Field);
  if (field < 0) return false;
  *value = InputHandlerGetDataFieldValue(ctx.obj->InputID, 0, static_cast<uint32_t>(field), ctx.time);
  return std::isfinite(*value);
}

double outputFor(const EImageParam& p, double v) {
  switch (p.Mode) {
  case kEImageMap: {
    const double lo = std::min(p.MinInput, p.MaxInput), hi = std::max(p.MinInput, p.MaxInput);
    v = std::clamp(v, lo, hi);
    const double span = p.MaxInput - p.MinInput;
    const double share = std::fabs(span) < 1e-12 ? 0 : (v - p.MinInput) / span;
    return p.MinOutput + share * (p.MaxOutput - p.MinOutput);
  }
  case kEImageAtOrAbove: return v >= p.MaxInput ? p.MaxOutput : p.MinOutput;
  // "Less or equal": the value at the threshold itself counts as below.
  case kEImageAtOrBelow: return v <= p.MinInput ? p.MinOutput : p.MaxOutput;
  default: return 0;
  }
}

AdjustStruct neutralAdjust() {
  AdjustStruct a{};
  a.Volume = a.Balance = 100;
  a.Brightness = a.Contrast = a.Color = a.Sharpness = 100;
  a.Colorize = 0xFFFFFF00;
  return a;
}

} // namespace

int RenderEImageObject(const ObjectContext& ctx) {
  const EImageParam* param = ObjectParam<EImageParam>(ctx.obj);
  if (param && param->FlashInterval > 0) {
    const double interval = param->FlashInterval / 10.0;
    const double since = std::max(0.0, double(ctx.time) - ctx.obj->OffsetTime);
    if (static_cast<int64_t>(std::floor(since / interval)) % 2 == 1) return 0;
  }
  BitmapEffects effects;
  AdjustStruct adjust = neutralAdjust();
  double value = 0;
  if (param && param->Mode != kEImagePlain && channelValue(ctx, *param, &value)) {
    const double out = outputFor(*param, value);
    switch (param->OutputType) {
    case kEImageRotation: effects.extraRotation = static_cast<float>(std::fmod(std::fmod(out, 360.0) + 360.0, 360.0)); break;
    case kEImageTransparency: effects.opacity = 1 - std::clamp(out, 0.0, 100.0) / 100; break;
    case kEImageBrightness:
      adjust.Brightness = static_cast<uint8_t>(std::lround(std::clamp(out, 0.0, 200.0)));
      effects.adjust = &adjust;
      break;
    case kEImageHue:
      adjust.Hue = static_cast<int16_t>(std::lround(std::clamp(out, -180.0, 180.0)));
      effects.adjust = &adjust;
      break;
    default: break;
    }
  }
  return ObjectDrawBitmapWith(ctx, effects);
}
