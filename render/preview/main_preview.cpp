#include "render/preview/main_preview.h"

#include "base/access_lock.h"
#include "base/error.h"
#include "base/log.h"
#include "base/sync.h"
#include "model/project.h"
#include "render/compositor/compositor.h"
#include "render/compositor/frame_tiles.h"
#include "render/loop/render.h"
#include "render/preview/preview_audio.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <cmath>
#include <memory>
#include <mutex>
#include <new>
#include <vector>

namespace {

constexpr int32_t kRedrawStopWaitMs = 2000;
constexpr uint32_t kMaxPreviewSide = 8192;

struct ShownPicture {
  std::shared_ptr<ViewImage> image;
  FrameDirty stale; // where it differs from the last frame
};

struct MainPreview {
  std::mutex buffers; // the preview buffer lock
  ImageView view = nullptr;
  uint32_t width = 0, height = 0;
  bool render = false; // false: display only (an output render draws into it)
  // The picture as shown: B, G, R, A top-down (the painter's own order), in
  // a few pictures the view takes in turn and keeps without a copy. A frame
  // is written into one that neither the view nor the redraw thread holds,
  // and there only where it differs (its stale tiles and the tiles the frame
  // changed); `latest` is the one that holds the last frame.
  std::array<ShownPicture, 3> pictures;
  int latest = -1;
  std::vector<uint32_t> scaled; // a frame of another size at picture size, bottom-up
  std::atomic<SyncHandle> redrawEvent{0}; // read by the render thread
  SyncHandle redrawThread = 0;
  std::atomic<bool> stop{false};
  std::atomic<uint64_t> shown{0}, drawn{0};
  uint32_t quality = 0;
  double frameRate = 30;
  float playRate = 0;
  float lastStart = 0;
};

MainPreview& preview() {
  static MainPreview p;
  return p;
}

// An opaque black picture of the preview's size, wholly stale.
bool makePicture(MainPreview& p, ShownPicture& picture) {
  try {
    auto image = std::make_shared<ViewImage>();
    image->width = p.width;
    image->height = p.height;
    image->bgrx = true;
    image->rgba.resize(static_cast<size_t>(p.width) * p.height * 4);
    picture.image = std::move(image);
  } catch (const std::bad_alloc&) {
    return false;
  }
  picture.stale.reset(static_cast<int>(p.width), static_cast<int>(p.height));
  picture.stale.mark(0, 0, static_cast<int>(p.width), static_cast<int>(p.height));
  return true;
}

uint32_t* pixelsOf(const ShownPicture& picture) { return reinterpret_cast<uint32_t*>(picture.image->rgba.data()); }

// The picture the next frame goes into: never one someone else holds, the
// latest when no one does (it differs least), else another (a new one when
// all are held).
ShownPicture* writablePicture(MainPreview& p) {
  ShownPicture* chosen = nullptr;
  for (int i = 0; i < static_cast<int>(p.pictures.size()); ++i) {
    ShownPicture& picture = p.pictures[static_cast<size_t>(i)];
    if (picture.image.use_count() != 1) continue;
    chosen = &picture;
    if (i == p.latest) break;
  }
  if (!chosen) {
    const size_t spare = p.latest == 0 ? 1 : 0;
    if (!makePicture(p, p.pictures[spare])) return nullptr;
    chosen = &p.pictures[spare];
  }
  return chosen;
}

// Turns [x0, x1) x [y0, y1) (y downwards) of a bottom-up frame of the
// picture's size into the picture.
void flipInto(const MainPreview& p, const uint32_t* frame, const ShownPicture& picture, int x0, int x1, int y0,
              int y1) {
  const int w = static_cast<int>(p.width), h = static_cast<int>(p.height);
  uint32_t* out = pixelsOf(picture);
  for (int y = y0; y < y1; ++y)
    std::copy_n(FrameRow(frame, w, h, true, y) + x0, x1 - x0, out + static_cast<size_t>(y) * p.width + x0);
}

// A bottom-up frame of the picture's size becomes the latest picture.
// changed: the tiles it differs in from the frame before (null: unknown).
void showFrame(MainPreview& p, const uint32_t* frame, const FrameDirty* changed) {
  const int w = static_cast<int>(p.width), h = static_cast<int>(p.height);
  if (changed && (changed->width() != w || changed->height() != h)) changed = nullptr;
  for (ShownPicture& picture : p.pictures) {
    if (!picture.image) continue;
    if (changed) MarkTiles(*changed, &picture.stale);
    else picture.stale.mark(0, 0, w, h);
  }
  ShownPicture* target = writablePicture(p);
  if (!target) return; // the picture stays as it was
  ForEachTileRun(target->stale, [&](int x0, int x1, int y0, int y1) { flipInto(p, frame, *target, x0, x1, y0, y1); });
  target->stale.reset(w, h);
  p.latest = static_cast<int>(target - p.pictures.data());
}

void redrawMain(void*) {
  MainPreview& p = preview();
  while (!p.stop.load() && !SyncThreadShouldStop()) {
    if (SyncWait(p.redrawEvent, kSyncForever) != kSyncSignalled || p.stop.load()) break;
    const uint64_t target = p.shown.load();
    // The view keeps the picture it is given: the render thread writes the
    // next frames into others meanwhile, and never waits for the interface.
    std::shared_ptr<const ViewImage> latest;
    if (ViewIsRegistered(p.view)) {
      std::lock_guard lock(p.buffers);
      if (p.latest >= 0) latest = p.pictures[static_cast<size_t>(p.latest)].image;
    }
    if (latest) ViewPostImage(std::move(latest), p.view);
    p.drawn = target;
  }
}

void endDisplay(MainPreview& p) {
  if (p.redrawThread) {
    p.stop = true;
    SyncEventSet(p.redrawEvent);
    if (SyncWait(p.redrawThread, kRedrawStopWaitMs) != kSyncSignalled) {
      LogPrintf(L"Timeout in MainPreviewEnd() - terminating thread");
      SyncThreadTerminate(p.redrawThread, 0);
    }
    SyncHandleClose(p.redrawThread);
  }
  if (p.redrawEvent) SyncHandleClose(p.redrawEvent);
  p.redrawThread = p.redrawEvent = 0;
  std::lock_guard lock(p.buffers);
  for (ShownPicture& picture : p.pictures) picture = ShownPicture{};
  p.latest = -1;
  p.scaled.clear();
  p.width = p.height = 0;
  p.view = nullptr;
  p.render = false;
}

int startDisplay(MainPreview& p, ImageView view, uint32_t width, uint32_t height) {
  {
    std::lock_guard lock(p.buffers);
    p.width = width;
    p.height = height;
    p.latest = -1;
    for (ShownPicture& picture : p.pictures)
      if (!makePicture(p, picture)) {
        for (ShownPicture& made : p.pictures) made = ShownPicture{};
        p.width = p.height = 0;
        return kErrNoMemory;
      }
    p.view = view;
  }
  p.stop = false;
  p.shown = p.drawn = 0;
  p.redrawEvent = SyncEventCreate(L"MainPreviewRedraw", 0, 0);
  if (!p.redrawEvent) return kErrNoObject;
  p.redrawThread = SyncThreadCreate(nullptr, 0, redrawMain, nullptr, 0, nullptr);
  if (!p.redrawThread) return kErrNoThread;
  return kOk;
}

} // namespace

void MainPreviewShowFrame(const uint32_t* frame, uint32_t width, uint32_t height) {
  MainPreview& p = preview();
  if (!frame || width == 0 || height == 0) return;
  {
    std::lock_guard lock(p.buffers);
    if (!p.pictures[0].image) return;
    if (width == p.width && height == p.height) {
      showFrame(p, frame, RenderSinkChangedTiles());
    } else {
      try {
        p.scaled.resize(static_cast<size_t>(p.width) * p.height);
      } catch (const std::bad_alloc&) {
        return; // the picture stays as it was
      }
      RenderFrameInfo f = WholePictureOnto(frame, static_cast<int>(width), static_cast<int>(height), true,
                                           p.scaled.data(), static_cast<int>(p.width), static_cast<int>(p.height));
      f.Replace = true;
      f.Quality = 3;
      CompositeFrame(f);
      showFrame(p, p.scaled.data(), nullptr);
    }
  }
  p.shown.fetch_add(1);
  SyncEventSet(p.redrawEvent);
}

int MainPreviewInit(ImageView view, uint32_t width, uint32_t height, uint32_t renderWidth,
                    uint32_t renderHeight, uint32_t audioType, uint32_t sampleRate,
                    float frameRate) {
  MainPreviewEnd();
  MainPreview& p = preview();
  if (width == 0 || height == 0 || width > kMaxPreviewSide || height > kMaxPreviewSide ||
      !(frameRate > 0))
    return ErrorSet(kErrBadArg, "MainPreviewInit");
  const uint32_t rw = renderWidth ? renderWidth : width, rh = renderHeight ? renderHeight : height;
  int code = RenderInit(kRenderPreview, rw, rh, audioType, sampleRate, frameRate, nullptr);
  if (code < 0) return ErrorSet(code, "MainPreviewInit");
  code = startDisplay(p, view, width, height);
  if (code < 0) {
    MainPreviewEnd();
    return ErrorSet(code, "MainPreviewInit");
  }
  p.render = true;
  p.frameRate = frameRate;
  PreviewAudioOpen(AudioFormatFor(static_cast<int>(audioType), sampleRate));
  RenderSetSinks(
      [](const uint32_t* frame, uint32_t w, uint32_t h, float) { MainPreviewShowFrame(frame, w, h); },
      [](const uint8_t* pcm, uint32_t bytes, float) { PreviewAudioQueue(pcm, bytes); });
  LogPrintf(L"Main preview %ux%u (render %ux%u)", width, height, rw, rh);
  return ErrorSet(kOk, "MainPreviewInit");
}

int MainPreviewInitNoRender(ImageView view, uint32_t width, uint32_t height) {
  MainPreview& p = preview();
  // The output render keeps running: only the display is replaced.
  endDisplay(p);
  if (width == 0 || height == 0 || width > kMaxPreviewSide || height > kMaxPreviewSide)
    return ErrorSet(kErrBadArg, "MainPreviewInitNoRender");
  int code = startDisplay(p, view, width, height);
  if (code < 0) endDisplay(p);
  return ErrorSet(code, "MainPreviewInitNoRender");
}

void MainPreviewEnd() {
  MainPreview& p = preview();
  if (p.render) {
    RenderSetSinks(nullptr, nullptr);
    RenderEnd();
  }
  PreviewAudioClose();
  endDisplay(p);
}

int PreviewPlay(uint32_t quality, float start, float frameRate) {
  MainPreview& p = preview();
  p.quality = std::min<uint32_t>(quality, 5);
  p.playRate = std::isfinite(frameRate) && frameRate > 0 ? frameRate : 0;
  if (!p.render || RenderGetMode() != kRenderPreview) return ErrorSet(kOk, "PreviewPlay");
  float end = 0;
  {
    ReadAccess access("PreviewPlay");
    end = ProjectGetLength(0);
  }
  p.lastStart = std::max(0.0f, std::isfinite(start) ? start : 0.0f);
  PreviewAudioClear();
  PreviewAudioPause(p.playRate <= 0);
  return ErrorSet(RenderStart(p.lastStart, end, p.playRate, p.quality, 0), "PreviewPlay");
}

void PreviewStop() {
  MainPreview& p = preview();
  if (!p.render || RenderGetMode() != kRenderPreview) return;
  const bool playing = RenderIsRunning() && p.playRate > 0;
  RenderStop(kRedrawStopWaitMs);
  p.playRate = 0;
  PreviewAudioClear();
  PreviewAudioPause(true);
  if (playing) RenderStart(RenderGetTime(), 0, 0, p.quality, 0); // the stop frame, once
}

float PreviewGetTime() { return RenderGetMode() == kRenderPreview ? RenderGetTime() : 0.0f; }

int PreviewIsPlaying() {
  return RenderGetMode() == kRenderPreview && RenderIsRunning() ? 1 : 0;
}

int PreviewIsPlayingBack() {
  return RenderGetMode() == kRenderPreview && RenderIsRunning() && preview().playRate > 0 ? 1 : 0;
}

void PreviewSetVolume(uint32_t volume) { RenderSetPreviewVolume(std::min(volume, 100u)); }

uint32_t MainPreviewWidth() { return preview().width; }
uint32_t MainPreviewHeight() { return preview().height; }

bool MainPreviewWaitIdle(int32_t timeoutMs) {
  MainPreview& p = preview();
  for (int32_t waited = 0;; waited += 5) {
    if (!RenderIsRunning() && p.drawn.load() == p.shown.load()) return true;
    if (waited >= timeoutMs) return false;
    SyncWait(p.redrawThread, 5); // also runs the main thread's queue while waiting
  }
}

int MainPreviewSnapshotPixels(std::vector<uint32_t>* pixels, uint32_t* width, uint32_t* height) {
  MainPreview& p = preview();
  std::lock_guard lock(p.buffers);
  if (!p.pictures[0].image) return kErrNotReady;
  const int w = static_cast<int>(p.width), h = static_cast<int>(p.height);
  pixels->resize(static_cast<size_t>(p.width) * p.height);
  // Black until a frame is shown.
  if (p.latest < 0) std::fill(pixels->begin(), pixels->end(), 0xFF000000u);
  else
    for (int y = 0; y < h; ++y)
      std::copy_n(pixelsOf(p.pictures[static_cast<size_t>(p.latest)]) + static_cast<size_t>(y) * p.width, w,
                  FrameRow(pixels->data(), w, h, true, y));
  *width = p.width;
  *height = p.height;
  return kOk;
}
