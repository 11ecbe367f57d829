#include "render/loop/frame_render.h"

#include "base/access_lock.h"
#include "base/error.h"
#include "model/dispobj_table.h"
#include "render/compositor/compositor.h"
#include "render/compositor/frame_tiles.h"
#include "render/compositor/planar_blend.h"
#include "render/loop/input_time.h"
#include "render/loop/media_bridge.h"
#include "render/objects/kept_placements.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <vector>

namespace {

constexpr double kBaseHeight = 480;
// Bands per worker when recorded objects are blended: a few each, so
// that bands of many objects and bands of none even out.
constexpr int kBlendBandsPerWorker = 4;

const DispStruct* currentRecord(uint32_t index) {
  const DispObjEntry* entry = DispTableEntry(index);
  return entry && entry->Used ? &entry->Current : nullptr;
}

void clearFrame(const FrameTarget& target, uint32_t pixel) {
  std::fill(target.pixels, target.pixels + static_cast<size_t>(target.width) * target.height,
            pixel);
}

bool targetValid(const FrameTarget& t) { return t.pixels && t.width > 0 && t.height > 0; }

void clearTileRuns(const FrameTarget& target, const FrameDirty& tiles, uint32_t pixel) {
  if (tiles.width() != target.width || tiles.height() != target.height) {
    clearFrame(target, pixel);
    return;
  }
  ForEachTileRun(tiles, [&](int x0, int x1, int y0, int y1) {
    for (int y = y0; y < y1; ++y)
      std::fill_n(FrameRow(target.pixels, target.width, target.height, target.bottomUp, y) + x0, x1 - x0, pixel);
  });
}

// Whether the drawing so far marked every tile of the frame (false without
// a map of the drawing).
bool drewEverywhere(const FrameTarget& target) {
  if (!target.dirty || target.dirty->width() != target.width || target.dirty->height() != target.height)
    return false;
  for (int row = 0; row < target.dirty->rows(); ++row)
    for (int col = 0; col < target.dirty->cols(); ++col)
      if (!target.dirty->marked(col, row)) return false;
  return true;
}

int drawObject(const ObjectContext& ctx) {
  const uint8_t type = ctx.obj->Type;
  // The background bitmap sits behind the object's own drawing; for an
  // embedded image it is the picture itself.
  if (type != kDispGroup && type != kDispAudio && type != kDispEImage) {
    int code = ObjectDrawBitmap(ctx);
    if (code < 0) return code;
  }
  return DispObjRenderLayer(ctx);
}

// A video's reader holds one picture: once it is placed, the reader may
// decode the next, unless a later object of the frame still shows this one.
void prepareNextPicture(uint32_t index, uint32_t count, float time, double nextTime) {
  const DispStruct* obj = currentRecord(index);
  if (obj->Type != kDispVideo || obj->InputID == kNoInput) return;
  for (uint32_t j = index + 1; j < count; ++j)
    if (currentRecord(j) && currentRecord(j)->InputID == obj->InputID && DispObjShownAt(j, time)) return;
  MediaBridgePrepareFrame(obj->InputID, InputTimeAt(obj->InputID, nextTime));
}

// What drawn objects recorded, blended in bands of whole dirty-map tile
// rows on the workers, each band in list order.
void blendRecorded(std::vector<DeferredComposites>& records, size_t from, size_t to, int height) {
  const int tileRows = (height + FrameDirty::kTile - 1) / FrameDirty::kTile;
  const int bands = std::max(1, std::min(tileRows, (RenderWorkerCount() + 1) * kBlendBandsPerWorker));
  RenderWorkersRun(bands, [&](int band) {
    const int top = tileRows * band / bands * FrameDirty::kTile;
    const int bottom = tileRows * (band + 1) / bands * FrameDirty::kTile;
    for (size_t k = from; k < to; ++k) records[k].blendRows(top, bottom);
  });
  for (size_t k = from; k < to; ++k) records[k].forget();
}

// Objects other than pictures draw only through their composites: while
// this thread holds the engine lock they draw side by side on the workers,
// recording what they place, and the records are then blended in list
// order. Pictures read the media layer and draw in their turn on this
// thread, each followed by drawn(k).
void drawInOrder(const std::vector<ObjectContext>& objects, const std::function<void(size_t)>& drawn) {
  auto recorded = [&](size_t k) { return objects[k].obj->Type != kDispVideo; };
  std::vector<size_t> beside;
  if (RenderWorkerCount() > 0 && AccessHeld())
    for (size_t k = 0; k < objects.size(); ++k)
      if (recorded(k)) beside.push_back(k);
  if (beside.size() < 2) {
    for (size_t k = 0; k < objects.size(); ++k) {
      drawObject(objects[k]);
      drawn(k);
    }
    return;
  }
  std::vector<DeferredComposites> records(objects.size());
  RenderWorkersRun(static_cast<int>(beside.size()), [&](int j) {
    const LentAccess lent;
    ObjectContext ctx = objects[beside[j]];
    ctx.deferred = &records[beside[j]];
    drawObject(ctx);
  });
  for (size_t k = 0; k < objects.size();) {
    if (!recorded(k)) {
      drawObject(objects[k]);
      drawn(k++);
      continue;
    }
    size_t end = k;
    while (end < objects.size() && recorded(end)) ++end;
    blendRecorded(records, k, end, objects[k].target.height);
    k = end;
  }
}

} // namespace

bool DispObjShownAt(uint32_t index, float time) {
  const DispStruct* obj = currentRecord(index);
  if (!obj || !obj->Active || time < obj->OffsetTime) return false;
  if (obj->Transparency > 99 || (obj->ColorChans & 7) == 0) return false;
  if (obj->Type == kDispAudio || obj->Type == kDispGroup) return false;
  if (obj->InputID != kNoInput && !InputPlaysAt(obj->InputID, time, nullptr)) return false;
  return true;
}

ObjectContext ObjectContextFor(uint32_t index, const DispStruct* obj, float time,
                               const FrameTarget& target, const FrameRenderOptions& options) {
  ObjectContext ctx;
  ctx.index = index;
  ctx.obj = obj;
  ctx.time = time;
  ctx.inputTime = options.inputTime;
  ctx.quality = std::min<uint32_t>(options.quality, 5);
  ctx.target = target;
  // Overscan keeps the objects inside the part of the picture a television
  // shows: the area shrinks by the percentage, centred.
  const double inset = std::clamp(static_cast<double>(options.overscan), 0.0, 50.0) / 100.0;
  const double areaX = target.width * inset / 2, areaY = target.height * inset / 2;
  const double areaW = target.width * (1 - inset), areaH = target.height * (1 - inset);
  auto finite = [](float v) { return std::isfinite(v) ? static_cast<double>(v) : 0.0; };
  ctx.x = areaX + finite(obj->X) * areaW / 100;
  ctx.y = areaY + finite(obj->Y) * areaH / 100;
  ctx.w = finite(obj->Width) * areaW / 100;
  ctx.h = finite(obj->Height) * areaH / 100;
  ctx.baseScale = areaH / kBaseHeight;
  return ctx;
}

int RenderProjectFrame(float time, const FrameTarget& target, const FrameRenderOptions& options) {
  if (!targetValid(target)) return kErrBadArg;
  if (options.clear) clearFrame(target, options.background);
  const FrameDirty* clearTiles = options.clear ? nullptr : options.clearTiles;
  const uint32_t count = std::min<uint32_t>(DispTableCount(), kMaxDispObjs);
  std::vector<ObjectContext> shown;
  for (uint32_t i = 0; i < count; ++i) {
    if (!DispObjShownAt(i, time)) continue;
    ObjectContext ctx = ObjectContextFor(i, currentRecord(i), time, target, options);
    if (ctx.w >= 1 && ctx.h >= 1) shown.push_back(ctx);
  }
  // Last frame's drawing is cleared first, unless a picture filling the
  // frame comes first and covers it.
  if (clearTiles && !(!shown.empty() && PictureObjectFillsFrame(shown.front()))) {
    clearTileRuns(target, *clearTiles, options.background);
    clearTiles = nullptr;
  }
  drawInOrder(shown, [&](size_t k) {
    // A picture that could not be had drew nothing: the clear is still owed.
    if (k == 0 && clearTiles && !drewEverywhere(target)) clearTileRuns(target, *clearTiles, options.background);
    if (k == 0) clearTiles = nullptr;
    if (std::isfinite(options.nextTime)) prepareNextPicture(shown[k].index, count, time, options.nextTime);
  });
  if (clearTiles) clearTileRuns(target, *clearTiles, options.background);
  return kOk;
}

bool RenderProjectFramePlanar(float time, float nextTime, const FrameTarget& overlay,
                              const FrameRenderOptions& options, YuvMatrix matrix, PlanarFrame* out) {
  if (!targetValid(overlay) || !overlay.dirty || !out || out->width() != overlay.width ||
      out->height() != overlay.height)
    return false;
  const uint32_t count = std::min<uint32_t>(DispTableCount(), kMaxDispObjs);
  std::vector<ObjectContext> drawn;
  for (uint32_t i = 0; i < count; ++i) {
    if (!DispObjShownAt(i, time)) continue;
    ObjectContext ctx = ObjectContextFor(i, currentRecord(i), time, overlay, options);
    if (!(ctx.w >= 1) || !(ctx.h >= 1)) continue;
    // Drawn over a transparent overlay, an object that keeps some colour
    // channels of what lies under it would lose them.
    if ((ctx.obj->ColorChans & kChanAll) != kChanAll) return false;
    drawn.push_back(ctx);
  }
  PlanarPicture base;
  if (drawn.empty() || !PictureObjectPlanes(drawn.front(), &base)) return false;
  if (base.matrix != YuvMatrix::Unknown && base.matrix != matrix) return false;
  PlanarCopy(base, out);
  // The video's picture is copied: its next one is decoded while the
  // objects are drawn, unless one of them still shows this one.
  const uint32_t input = drawn.front().obj->InputID;
  const bool shared = std::any_of(drawn.begin() + 1, drawn.end(),
                                  [input](const ObjectContext& c) { return c.obj->InputID == input; });
  if (!shared && std::isfinite(nextTime)) MediaBridgePrepareFrame(input, InputTimeAt(input, nextTime));
  drawn.erase(drawn.begin());
  drawInOrder(drawn, [](size_t) {});
  PlanarBlendOverlay(overlay.pixels, overlay.dirty, out, matrix);
  return true;
}

namespace {

// Calls draw(index, record) for the object, or for each member of a group.
template <typename Draw> void forEachDrawn(uint32_t index, const DispStruct* obj, Draw draw) {
  if (obj->Type != kDispGroup) {
    draw(index, obj);
    return;
  }
  const uint32_t count = DispTableCount();
  for (uint32_t i = 0; i < count && i < kMaxDispObjs; ++i) {
    const DispStruct* member = currentRecord(i);
    if (member && member->ParentObject == index && i != index && member->Type != kDispGroup) draw(i, member);
  }
}

} // namespace

int RenderObjectAlone(uint32_t index, float time, const FrameTarget& target,
                      const FrameRenderOptions& options) {
  const DispStruct* obj = currentRecord(index);
  if (!obj) return kErrIndex;
  if (!targetValid(target)) return kErrBadArg;
  if (options.clear) clearFrame(target, options.background);
  // The object's box becomes the whole frame; a group's members keep their
  // places relative to the group's box.
  const double gx = obj->X, gy = obj->Y, gw = std::max(0.001f, obj->Width),
               gh = std::max(0.001f, obj->Height);
  forEachDrawn(index, obj, [&](uint32_t i, const DispStruct* member) {
    DispStruct local = *member;
    local.X = static_cast<float>((member->X - gx) * 100 / gw);
    local.Y = static_cast<float>((member->Y - gy) * 100 / gh);
    local.Width = static_cast<float>(member->Width * 100 / gw);
    local.Height = static_cast<float>(member->Height * 100 / gh);
    ObjectContext ctx = ObjectContextFor(i, &local, time, target, options);
    // The frame's own scale stands for the object's share of the output.
    ctx.baseScale = target.height / kBaseHeight * 100 / gh;
    if (ctx.w >= 1 && ctx.h >= 1) drawObject(ctx);
  });
  return kOk;
}

int RenderObjectInFrame(uint32_t index, float time, const FrameTarget& target,
                        const FrameRenderOptions& options) {
  const DispStruct* obj = currentRecord(index);
  if (!obj) return kErrIndex;
  if (!targetValid(target)) return kErrBadArg;
  if (options.clear) clearFrame(target, options.background);
  forEachDrawn(index, obj, [&](uint32_t i, const DispStruct* record) {
    const ObjectContext ctx = ObjectContextFor(i, record, time, target, options);
    if (ctx.w >= 1 && ctx.h >= 1) drawObject(ctx);
  });
  return kOk;
}
