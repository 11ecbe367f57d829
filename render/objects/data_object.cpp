// The layer the data display objects draw on.
#include "render/objects/data_object.h"

#include <algorithm>
#include <cmath>

namespace {
constexpr int kMaxLayerSide = 8192;
constexpr double kMaxLayerPixels = 4096.0 * 4096.0;
}

bool DataLayerFor(const ObjectContext& ctx, bool highRes, DataLayer* out) {
  const double base = ctx.baseScale > 0 && std::isfinite(ctx.baseScale) ? ctx.baseScale : 1;
  out->unitsW = ctx.w / base;
  out->unitsH = ctx.h / base;
  out->scale = highRes ? base : std::min(base, 1.0);
  // A box far larger than any frame (a hand-edited record) is drawn
  // coarser rather than with gigabytes of layer.
  const double area = out->unitsW * out->scale * out->unitsH * out->scale;
  if (area > kMaxLayerPixels) out->scale *= std::sqrt(kMaxLayerPixels / area);
  const double w = std::ceil(out->unitsW * out->scale), h = std::ceil(out->unitsH * out->scale);
  if (!(w >= 1) || !(h >= 1)) return false;
  out->layer.resize(static_cast<int>(std::min<double>(w, kMaxLayerSide)),
                    static_cast<int>(std::min<double>(h, kMaxLayerSide)));
  out->scale = std::min(out->layer.width / out->unitsW, out->layer.height / out->unitsH);
  return true;
}

int DataLayerPlace(const ObjectContext& ctx, const DataLayer& layer) {
  return ObjectPlaceLayer(ctx, layer.layer, ctx.x, ctx.y, layer.layer.width / layer.scale * ctx.baseScale,
                          layer.layer.height / layer.scale * ctx.baseScale);
}
