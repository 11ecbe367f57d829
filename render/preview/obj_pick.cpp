// Which display object the user clicked on the preview canvas.
#include "base/access_lock.h"
#include "base/error.h"
#include "model/dispobj_table.h"
#include "render/loop/frame_render.h"
#include "render/preview/main_preview.h"

#include <vector>

namespace {

bool hit(const DispStruct& o, double x, double y, double width, double height) {
  const double x0 = o.X * (width - 1) / 100, y0 = o.Y * (height - 1) / 100;
  const double w = o.Width * (width - 1) / 100, h = o.Height * (height - 1) / 100;
  return x >= x0 && x <= x0 + w && y >= y0 && y <= y0 + h;
}

bool isTopLevel(const DispStruct& o, uint32_t index) {
  return o.ParentObject == kNoDispObj || o.ParentObject == index ||
         o.ParentObject >= DispTableCount();
}

} // namespace

uint32_t MainPreviewGetObjFromClick(int x, int y, int mode, float time) {
  ReadAccess access("MainPreviewGetObjFromClick");
  const double width = MainPreviewWidth(), height = MainPreviewHeight();
  const uint32_t count = std::min<uint32_t>(DispTableCount(), kMaxDispObjs);
  auto record = [](uint32_t i) -> const DispStruct* {
    const DispObjEntry* e = DispTableEntry(i);
    return e && e->Used ? &e->Current : nullptr;
  };
  auto test = [&](uint32_t i) {
    const DispStruct* o = record(i);
    return o && DispObjShownAt(i, time) && hit(*o, x, y, width, height);
  };
  for (uint32_t top = count; top-- > 0;) {
    const DispStruct* t = record(top);
    if (!t || !isTopLevel(*t, top)) continue;
    for (uint32_t m = count; m-- > 0;) {
      const DispStruct* member = record(m);
      if (!member || m == top || member->ParentObject != top) continue;
      if (test(m)) {
        ErrorSet(kOk, "MainPreviewGetObjFromClick");
        return mode == 1 ? m : top;
      }
    }
    if (test(top)) {
      ErrorSet(kOk, "MainPreviewGetObjFromClick");
      return top;
    }
  }
  ErrorSet(kOk, "MainPreviewGetObjFromClick");
  return kNoDispObj;
}
