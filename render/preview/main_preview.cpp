#include "render/preview/main_preview.h"

#include "base/access_lock.h"
#include "base/error.h"
#include "base/log.h"
#include "base/sync.h"
#include "engine/model/project.h"
#include "render/compositor/compositor.h"
#include "render/compositor/frame_tiles.h"
#include "render/loop/render.h"
#include "render/preview/preview_audio.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <memory>
#include <mutex>
#include <new>
#include <vector>

namespace {

constexpr int32_t kRedrawStopWaitMs = 2000;
constexpr uint32_t kMaxPreviewSide = 8192;

struct MainPreview {
  std::mutex buffers; // the preview buffer lock
  ImageView view = nullptr;
  uint32_t width = 0, height = 0;
  bool render = false; // false: display only (an output render draws into it)
  // The picture as shown: B, G, R, A top-down (the painter's own order),
  // copied for the view by the redraw thread. displayWhole: it holds the last frame handed in, so the
  // tiles a frame changed are all that frame needs.
  std::vector<uint32_t> display;
  bool displayWhole = false;
  std::vector<uint32_t> scaled; // a frame of another size at picture size, bottom-up
  std::shared_ptr<ViewImage> viewCopy; // the last copy for the view, reused once it is let go
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

// Turns [x0, x1) x [y0, y1) (y downwards) of a bottom-up frame of the
// picture's size into the display.
void flipInto(MainPreview& p, const uint32_t* frame, int x0, int x1, int y0, int y1) {
  const int w = static_cast<int>(p.width), h = static_cast<int>(p.height);
  for (int y = y0; y < y1; ++y)
    std::copy_n(FrameRow(frame, w, h, true, y) + x0, x1 - x0, p.display.data() + static_cast<size_t>(y) * p.width + x0);
}

// A frame of the picture's size: only the tiles the render loop says it
// changed since the frame before, when the display holds that one.
void showSameSize(MainPreview& p, const uint32_t* frame) {
  const int w = static_cast<int>(p.width), h = static_cast<int>(p.height);
  const FrameDirty* changed = RenderSinkChangedTiles();
  if (!p.displayWhole || !changed || changed->width() != w || changed->height() != h) {
    flipInto(p, frame, 0, w, 0, h);
    p.displayWhole = true;
    return;
  }
  ForEachTileRun(*changed, [&](int x0, int x1, int y0, int y1) { flipInto(p, frame, x0, x1, y0, y1); });
}

void redrawMain(void*) {
  MainPreview& p = preview();
  while (!p.stop.load() && !SyncThreadShouldStop()) {
    if (SyncWait(p.redrawEvent, kSyncForever) != kSyncSignalled || p.stop.load()) break;
    const uint64_t target = p.shown.load();
    // The view's copy is taken under the lock and handed over after it, so
    // the render thread never waits for the user interface.
    if (ViewIsRegistered(p.view)) {
      std::lock_guard lock(p.buffers);
      p.viewCopy = ViewImageCopy(p.display.data(), p.width, p.height, std::move(p.viewCopy), true);
    }
    if (p.viewCopy) ViewPostImage(p.viewCopy, p.view);
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
  p.display.clear();
  p.scaled.clear();
  p.viewCopy.reset();
  p.displayWhole = false;
  p.width = p.height = 0;
  p.view = nullptr;
  p.render = false;
}

int startDisplay(MainPreview& p, ImageView view, uint32_t width, uint32_t height) {
  {
    std::lock_guard lock(p.buffers);
    try {
      p.display.assign(static_cast<size_t>(width) * height, 0xFF000000u); // opaque black
    } catch (const std::bad_alloc&) {
      p.display.clear();
      return kErrNoMemory;
    }
    p.view = view;
    p.width = width;
    p.height = height;
    p.displayWhole = false;
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
    if (p.display.empty()) return;
    if (width == p.width && height == p.height) {
      showSameSize(p, frame);
    } else {
      try {
        p.scaled.resize(p.display.size());
      } catch (const std::bad_alloc&) {
        return; // the picture stays as it was
      }
      RenderFrameInfo f = WholePictureOnto(frame, static_cast<int>(width), static_cast<int>(height), true,
                                           p.scaled.data(), static_cast<int>(p.width), static_cast<int>(p.height));
      f.Replace = true;
      f.Quality = 3;
      CompositeFrame(f);
      flipInto(p, p.scaled.data(), 0, static_cast<int>(p.width), 0, static_cast<int>(p.height));
      p.displayWhole = false; // the next frame of the picture's size is taken whole
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
  if (p.display.empty()) return kErrNotReady;
  pixels->resize(p.display.size());
  const int w = static_cast<int>(p.width), h = static_cast<int>(p.height);
  for (int y = 0; y < h; ++y) {
    std::copy_n(p.display.data() + static_cast<size_t>(y) * p.width, w, FrameRow(pixels->data(), w, h, true, y));
  }
  *width = p.width;
  *height = p.height;
  return kOk;
}
