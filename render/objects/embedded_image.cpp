// Embedded images (type 14): the object's background bitmap is the
// picture, shown solid or flashing on alternate intervals.
#include "engine/base/error.h"
#include "render/objects/object_render.h"

#include <algorithm>
#include <cmath>

int RenderEImageObject(const ObjectContext& ctx) {
  const EImageParam* param = ObjectParam<EImageParam>(ctx.obj);
  if (param && param->FlashInterval > 0) {
    const double interval = param->FlashInterval / 10.0;
    const double since = std::max(0.0, double(ctx.time) - ctx.obj->OffsetTime);
    if (static_cast<int64_t>(std::floor(since / interval)) % 2 == 1) return 0;
  }
  return ObjectDrawBitmap(ctx);
}
