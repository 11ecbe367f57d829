#include "render/preview/simple_preview.h"

#include "base/access_lock.h"
#include "base/error.h"
#include "model/dispobj_table.h"
#include "model/input_table.h"
#include "model/input_timing.h"
#include "render/compositor/compositor.h"
#include "render/loop/frame_render.h"
#include "render/loop/render.h"
#include "render/preview/simple_preview_object.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <mutex>
#include <vector>

namespace {

constexpr int kChecker = 8; // checkerboard square, pixels
constexpr float kRetryStep = 0.1f;
constexpr uint32_t kMaxSlotSide = 8192;

enum class SlotKind { kObject, kInput, kBitmap };

struct SimpleSlot {
  bool used = false;
  SlotKind kind = SlotKind::kObject;
  ImageView view = nullptr;
  uint32_t width = 0, height = 0;
  bool keepRatio = false;
  uint32_t object = 0;
  uint32_t input = kNoInput;
  uint32_t displayMode = 0;
  std::vector<uint32_t> frame; // bottom-up, premultiplied
  std::vector<uint32_t> rgba;  // top-down R, G, B, A for the view
  bool drawn = false;
};

std::array<SimpleSlot, kSimplePreviewSlots>& slots() {
  static std::array<SimpleSlot, kSimplePreviewSlots> table;
  return table;
}
std::recursive_mutex g_slotMutex;

int claimSlot(ImageView view, uint32_t width, uint32_t height) {
  if (width > kMaxSlotSide || height > kMaxSlotSide) return kErrBadArg;
  for (uint32_t i = 0; i < kSimplePreviewSlots; ++i) {
    SimpleSlot& s = slots()[i];
    if (s.used) continue;
    s = SimpleSlot{};
    try {
      s.frame.assign(static_cast<size_t>(width) * height, 0);
      s.rgba.assign(s.frame.size(), 0);
    } catch (const std::bad_alloc&) {
      s = SimpleSlot{};
      return kErrNoMemory;
    }
    s.used = true;
    s.view = view;
    s.width = width;
    s.height = height;
    return static_cast<int>(i);
  }
  return kErrTableFull;
}

// Squares counted from the top left, as the view shows them (the frame is
// bottom-up).
void checkerboard(SimpleSlot& s) {
  for (uint32_t row = 0; row < s.height; ++row) {
    const uint32_t y = s.height - 1 - row;
    for (uint32_t x = 0; x < s.width; ++x)
      s.frame[static_cast<size_t>(row) * s.width + x] =
          ((x / kChecker + y / kChecker) & 1) ? 0xFFCCCCCCu : 0xFFFFFFFFu;
  }
}

void handOver(SimpleSlot& s) {
  BitmapFlipToRGBA(s.frame.data(), s.rgba.data(), s.width, s.height);
  s.drawn = true;
  ViewSetBitmap(s.rgba.data(), s.width, s.height, s.view);
}

// The part of the view an object of the given box takes with its ratio kept
// (the box measured on the render set-up's frame, or the 720 x 480 grid).
FrameTarget placedTarget(SimpleSlot& s, const DispStruct& obj, std::vector<uint32_t>* scratch,
                         int* offX, int* offY) {
  FrameTarget t{s.frame.data(), static_cast<int>(s.width), static_cast<int>(s.height), true};
  *offX = *offY = 0;
  if (!s.keepRatio || s.kind == SlotKind::kInput) return t;
  const double frameW = RenderGetWidth() ? RenderGetWidth() : 720.0;
  const double frameH = RenderGetHeight() ? RenderGetHeight() : 480.0;
  const double ratio = (obj.Width * frameW) / std::max(1e-6, double(obj.Height) * frameH);
  if (!(ratio > 0) || !std::isfinite(ratio)) return t;
  int w = static_cast<int>(s.width), h = static_cast<int>(s.height);
  if (double(w) / h > ratio) w = static_cast<int>(std::lround(std::clamp(h * ratio, 1.0, double(w))));
  else h = static_cast<int>(std::lround(std::clamp(w / ratio, 1.0, double(h))));
  scratch->assign(static_cast<size_t>(w) * h, 0);
  *offX = (static_cast<int>(s.width) - w) / 2;
  *offY = (static_cast<int>(s.height) - h) / 2;
  return FrameTarget{scratch->data(), w, h, true};
}

int drawObject(SimpleSlot& s, uint32_t object, float time, uint32_t quality, double ownTime) {
  const DispObjEntry* entry = DispTableEntry(object);
  if (!entry || !entry->Used) return kErrIndex;
  std::vector<uint32_t> scratch;
  int offX = 0, offY = 0;
  FrameTarget target = placedTarget(s, entry->Current, &scratch, &offX, &offY);
  FrameRenderOptions options;
  options.quality = quality;
  options.clear = target.pixels != s.frame.data() ? true : false;
  options.background = 0; // transparent: the checkerboard shows through
  options.inputTime = ownTime;
  int code = RenderObjectAlone(object, time, target, options);
  if (code < 0 || target.pixels == s.frame.data()) return code;
  RenderFrameInfo f;
  f.Src = scratch.data();
  f.SrcWidth = target.width;
  f.SrcHeight = target.height;
  f.SrcBottomUp = true;
  f.Dst = s.frame.data();
  f.DstWidth = static_cast<int>(s.width);
  f.DstHeight = static_cast<int>(s.height);
  f.DstBottomUp = true;
  f.DstX = offX;
  f.DstY = offY;
  f.DstW = target.width;
  f.DstH = target.height;
  f.Quality = 5; // same size: a straight copy
  return CompositeFrameSingle(f);
}

float projectTimeFor(const SimpleSlot& s, float time) {
  if (!InputTableMain(s.input)) return time;
  return static_cast<float>(ProjectTimeFromInput(s.input, time));
}

// ownTime: the input's own time to show (NaN: the input at the project time).
int drawSlot(SimpleSlot& s, float time, uint32_t quality, double ownTime) {
  checkerboard(s);
  if (s.kind == SlotKind::kInput) {
    // The temporary object is shared by every input preview: filled afresh
    // for each drawing, under its own lock.
    DispObjTempLock();
    int code = SimplePreviewFillTempObject(s.input, s.displayMode, s.keepRatio, s.width, s.height);
    if (code >= 0) code = drawObject(s, kTempDispObj, time, quality, ownTime);
    DispObjTempUnlock();
    return code;
  }
  return drawObject(s, s.object, time, quality, std::numeric_limits<double>::quiet_NaN());
}

SimpleSlot* slotFor(uint32_t slot, int* code, const char* who) {
  if (slot >= kSimplePreviewSlots) {
    *code = ErrorSet(kErrIndex, who);
    return nullptr;
  }
  SimpleSlot& s = slots()[slot];
  if (!s.used) {
    *code = ErrorSet(kErrBadArg, who);
    return nullptr;
  }
  return &s;
}

} // namespace

int SimplePreviewCreateForInput(uint32_t input, ImageView view, uint32_t width, uint32_t height,
                                uint32_t keepRatio, uint32_t displayMode) {
  ReadAccess access("SimplePreviewCreateForInput");
  if (input >= InputTableCount() || width == 0 || height == 0) {
    ErrorSet(kErrIndex, "SimplePreviewCreateForInput");
    return -1;
  }
  std::lock_guard lock(g_slotMutex);
  int slot = claimSlot(view, width, height);
  if (slot < 0) {
    ErrorSet(slot, "SimplePreviewCreateForInput");
    return -1;
  }
  SimpleSlot& s = slots()[slot];
  s.kind = SlotKind::kInput;
  s.input = input;
  s.displayMode = displayMode;
  s.keepRatio = keepRatio != 0;
  ErrorSet(kOk, "SimplePreviewCreateForInput");
  return slot;
}

int SimplePreviewCreateForDispObj(uint32_t object, ImageView view, uint32_t width,
                                  uint32_t height, uint32_t keepRatio) {
  ReadAccess access("SimplePreviewCreateForDispObj");
  const DispObjEntry* entry = DispTableEntry(object);
  if (!entry || !entry->Used || width == 0 || height == 0) {
    ErrorSet(kErrIndex, "SimplePreviewCreateForDispObj");
    return -1;
  }
  std::lock_guard lock(g_slotMutex);
  int slot = claimSlot(view, width, height);
  if (slot < 0) {
    ErrorSet(slot, "SimplePreviewCreateForDispObj");
    return -1;
  }
  SimpleSlot& s = slots()[slot];
  s.kind = SlotKind::kObject;
  s.object = object;
  s.keepRatio = keepRatio != 0;
  ErrorSet(kOk, "SimplePreviewCreateForDispObj");
  return slot;
}

int SimplePreviewCreateForBitmap(ImageView view, uint32_t width, uint32_t height,
                                 const uint32_t* pixels, uint32_t bitmapWidth,
                                 uint32_t bitmapHeight, bool bottomUp) {
  if (!pixels || width == 0 || height == 0 || bitmapWidth == 0 || bitmapHeight == 0) {
    ErrorSet(kErrBadArg, "SimplePreviewCreateForBitmap");
    return -1;
  }
  std::lock_guard lock(g_slotMutex);
  int slot = claimSlot(view, width, height);
  if (slot < 0) {
    ErrorSet(slot, "SimplePreviewCreateForBitmap");
    return -1;
  }
  SimpleSlot& s = slots()[slot];
  s.kind = SlotKind::kBitmap;
  checkerboard(s);
  CompositeFrameSingle(WholePictureOnto(pixels, static_cast<int>(bitmapWidth), static_cast<int>(bitmapHeight),
                                        bottomUp, s.frame.data(), static_cast<int>(width), static_cast<int>(height)));
  handOver(s);
  ErrorSet(kOk, "SimplePreviewCreateForBitmap");
  return slot;
}

int SimplePreviewDraw(uint32_t slot, uint32_t inputTime, uint32_t quality, float time) {
  std::lock_guard lock(g_slotMutex);
  int code = 0;
  SimpleSlot* s = slotFor(slot, &code, "SimplePreviewDraw");
  if (!s) return code;
  if (s->kind == SlotKind::kBitmap) {
    handOver(*s);
    return ErrorSet(kOk, "SimplePreviewDraw");
  }
  quality = std::min<uint32_t>(quality, 5);
  WriteAccess access("SimplePreviewDraw"); // the temporary object may be refilled
  float t = std::isfinite(time) ? time : 0;
  // An input shown at a time of its own is shown at that time, even where
  // the project does not play it (before its start, after its trim end).
  double own = std::numeric_limits<double>::quiet_NaN();
  if (inputTime && s->kind == SlotKind::kInput) {
    own = t;
    t = projectTimeFor(*s, t);
  }
  code = drawSlot(*s, t, quality, own);
  if (code < 0) code = drawSlot(*s, t - kRetryStep, quality, std::isnan(own) ? own : own - kRetryStep);
  if (code < 0) return ErrorSet(code, "SimplePreviewDraw");
  handOver(*s);
  return ErrorSet(kOk, "SimplePreviewDraw");
}

int SimplePreviewRedraw(uint32_t slot) {
  { WriteAccess access("SimplePreviewRedraw"); }
  std::lock_guard lock(g_slotMutex);
  int code = 0;
  SimpleSlot* s = slotFor(slot, &code, "SimplePreviewRedraw");
  if (!s) return code;
  if (s->drawn) ViewSetBitmap(s->rgba.data(), s->width, s->height, s->view);
  return ErrorSet(kOk, "SimplePreviewRedraw");
}

int SimplePreviewClose(uint32_t slot) {
  WriteAccess access("SimplePreviewClose");
  std::lock_guard lock(g_slotMutex);
  int code = 0;
  SimpleSlot* s = slotFor(slot, &code, "SimplePreviewClose");
  if (!s) return code;
  *s = SimpleSlot{};
  return ErrorSet(kOk, "SimplePreviewClose");
}

void SimplePreviewCloseAll() {
  std::lock_guard lock(g_slotMutex);
  for (SimpleSlot& s : slots()) s = SimpleSlot{};
}
