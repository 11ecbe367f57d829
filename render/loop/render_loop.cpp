// The render loop thread: per frame the time, the timeline applied, the
// sound mixed and handed on before the frame, every object drawn in list
// order, and the frame handed to the preview or the writer.
#include "base/access_lock.h"
#include "base/error.h"
#include "base/log.h"
#include "base/util.h"
#include "model/dispobj_table.h"
#include "model/project.h"
#include "model/timeline.h"
#include "platform/media/sound_chunks.h"
#include "render/compositor/frame_tiles.h"
#include "render/loop/audio_mix.h"
#include "render/loop/frame_render.h"
#include "render/loop/input_time.h"
#include "render/loop/media_bridge.h"
#include "render/loop/render_state.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstring>
#include <limits>
#include <utility>
#include <vector>

namespace {

constexpr int kMaxFramesBehind = 2;      // a preview further behind the clock skips frames
constexpr double kMaxSoundCatchUp = 0.25; // seconds of skipped frames whose sound is still mixed
constexpr double kEndTolerance = 1e-4;    // seconds
// The progress window's picture width: a 1080p frame's thumbnail fits it
// without a second scaling.
constexpr int kThumbnailWidth = 480;
// The progress window looks at its picture every 50 ms: a render at 100
// frames a second made a thumbnail of every second frame, most never seen.
constexpr auto kThumbnailEvery = std::chrono::milliseconds(40);

// Look-ahead: every video input shown now is told which frame comes next.
void prepareInputs(float t) {
  ReadAccess access("RenderLoopPrepare");
  const uint32_t count = DispTableCount();
  for (uint32_t i = 0; i < count && i < kMaxDispObjs; ++i) {
    const DispObjEntry* e = DispTableEntry(i);
    if (!e || !e->Used || e->Current.Type != kDispVideo || e->Current.InputID == kNoInput) continue;
    MediaBridgePrepareFrame(e->Current.InputID, InputTimeAt(e->Current.InputID, t));
  }
}

// Sound chunk n of the run: the samples from the chunk's first whole
// sample on, each input continuing where chunk n - 1 left it.
uint32_t mixChunk(RenderSetup& s, uint64_t n, uint32_t volume) {
  const uint32_t rate = s.sound.nSamplesPerSec;
  {
    ReadAccess access("RenderLoopAudio");
    s.mixer.Mix(s.start, SoundChunkStart(n, rate, s.rate), SoundChunkLength(n, rate, s.rate), s.sound,
                &s.mixed, volume);
  }
  const size_t bytes = std::min(s.mixed.size(), s.soundBuffer.size());
  std::memcpy(s.soundBuffer.data(), s.mixed.data(), bytes);
  return static_cast<uint32_t>(bytes);
}

FrameTarget frameTarget(RenderSetup& s) {
  FrameTarget target;
  target.pixels = s.frame.data();
  target.width = static_cast<int>(s.width);
  target.height = static_cast<int>(s.height);
  target.bottomUp = true;
  return target;
}

FrameRenderOptions renderOptions(uint32_t quality, float overscan) {
  FrameRenderOptions options;
  options.quality = quality;
  options.overscan = overscan;
  return options;
}

// An output frame over a video that fills it is composed in the video's
// own 4:2:0 planes (s.planar): no full-frame conversion to 32-bit pixels
// and back. True when it was; else the frame is drawn into s.frame.
bool drawOutputFrame(RenderSetup& s, float t, float next) {
  const auto applied = TimelineApplyForDraw(t);
  ReadAccess access("RenderLoop");
  const FrameRenderOptions options = renderOptions(s.quality, s.overscan);
  if (s.width % 2 == 0 && s.height % 2 == 0) {
    if (s.planar.empty()) {
      s.planar.resize(static_cast<int>(s.width), static_cast<int>(s.height));
      s.planarHeld.resize(kWriterPlanesHeld);
      for (PlanarFrame& held : s.planarHeld) held.resize(static_cast<int>(s.width), static_cast<int>(s.height));
      s.planarNext = 0;
      s.overlayDirty.reset(static_cast<int>(s.width), static_cast<int>(s.height));
    }
    if (!s.overlayClear) {
      std::fill(s.frame.begin(), s.frame.end(), 0u);
      s.overlayClear = true;
    }
    FrameTarget overlay = frameTarget(s);
    overlay.dirty = &s.overlayDirty;
    const YuvMatrix matrix = OutputMatrixFor(static_cast<int>(s.width), static_cast<int>(s.height));
    if (RenderProjectFramePlanar(t, next, overlay, options, matrix, &s.planar)) return true;
  }
  s.overlayClear = false;
  RenderProjectFrame(t, frameTarget(s), options);
  return false;
}

// An output frame goes to the progress display (at most every
// kThumbnailEvery), a planar one as a small picture of it.
void showOutputFrame(RenderSetup& s, bool planar, float t) {
  if (!planar) {
    s.loopFrameSink(s.frame.data(), s.width, s.height, t);
    return;
  }
  int w = 0, h = 0;
  PlanarThumbnail(s.planar, std::max(1, static_cast<int>(s.width) / kThumbnailWidth),
                  OutputMatrixFor(static_cast<int>(s.width), static_cast<int>(s.height)), &s.thumbnail, &w, &h);
  if (w > 0 && h > 0) s.loopFrameSink(s.thumbnail.data(), static_cast<uint32_t>(w), static_cast<uint32_t>(h), t);
}

void runOutput(RenderSetup& s) {
  const uint32_t handler = s.output.handler;
  // The whole project is asked for with a far end: stop at its length.
  float end = s.end;
  {
    ReadAccess access("RenderLoopLength");
    const float length = ProjectGetLength(0);
    if (length > 0.01f) end = std::min(end, length);
  }
  int failure = 0;
  bool reachedEnd = false;
  std::chrono::steady_clock::time_point thumbnailDue{};
  for (uint64_t n = 0; !s.stop.load(); ++n) {
    const double t = s.start + n / s.rate;
    // The end is a float: a frame that starts on it (within its rounding)
    // lies past the project, not in its last frame.
    if (n > 0 && t >= end - kEndTolerance) {
      reachedEnd = true;
      break;
    }
    s.time = static_cast<float>(t);
    MediaBridgeOutputPutPrepare(handler);
    const uint32_t bytes = mixChunk(s, n, 100);
    if (s.loopSoundSink) s.loopSoundSink(s.soundBuffer.data(), bytes, static_cast<float>(t));
    int code = MediaBridgeOutputPutAudio(handler, static_cast<uint32_t>(n), bytes);
    if (code < 0) {
      failure = code;
      break;
    }
    MediaBridgeOutputPutPrepare(handler);
    const bool planar = drawOutputFrame(s, static_cast<float>(t), static_cast<float>(t + 1 / s.rate));
    // The input frames are no longer needed once drawn: the next ones are
    // decoded while this frame goes to the writer.
    prepareInputs(static_cast<float>(t + 1 / s.rate));
    code = planar ? MediaBridgeOutputPutFramePlanes(handler, static_cast<uint32_t>(n), s.planar.share())
                  : MediaBridgeOutputPutFrame(handler, static_cast<uint32_t>(n));
    if (code < 0) {
      failure = code;
      break;
    }
    if (s.loopFrameSink && std::chrono::steady_clock::now() >= thumbnailDue) {
      showOutputFrame(s, planar, static_cast<float>(t));
      thumbnailDue = std::chrono::steady_clock::now() + kThumbnailEvery;
    }
    if (planar) {
      // The writer may still hold this picture: the next frame is drawn
      // into the buffer it let go of first.
      std::swap(s.planar, s.planarHeld[s.planarNext]);
      s.planarNext = (s.planarNext + 1) % s.planarHeld.size();
    }
  }
  // Every frame is written: the position is the end while the file is
  // finished.
  if (reachedEnd) s.time = end;
  // Even a stopped render finishes the file with the frames written so far.
  const int finished = MediaBridgeOutputFinish(handler);
  if (failure == 0 && finished < 0) failure = finished;
  if (failure < 0) {
    // A writer failure is never reported as a finished video.
    LogPrintf(L"Output render stopped by a writer failure (code %d)", failure);
    s.SetResultText(MediaBridgeOutputFailureText(handler));
    s.result = failure;
    s.time = s.start;
    ErrorSet(failure, "RenderLoop");
  } else if (!reachedEnd) {
    // The file holds the frames until the stop; the video is not complete.
    s.result = kErrStopped;
  }
}

// The sink's view of what changed (RenderSinkChangedTiles), for the
// duration of its call on this thread.
thread_local const FrameDirty* t_sinkChanged = nullptr;

// Frame n of one run of the loop; the run's first frame goes to the sink
// whole, as the sink may have been given other frames since the last run.
// The sound of preview frame n to the speakers.
void queuePreviewSound(RenderSetup& s, uint64_t n) {
  if (!s.loopSoundSink) return;
  const uint32_t bytes = mixChunk(s, n, s.volume.load());
  s.loopSoundSink(s.soundBuffer.data(), bytes, static_cast<float>(s.start + n / s.rate));
}

void renderPreviewFrame(RenderSetup& s, float t, uint64_t n, bool withSound) {
  if (withSound) queuePreviewSound(s, n);
  const double next = s.rate > 0 ? s.start + (n + 1) / s.rate : std::numeric_limits<double>::quiet_NaN();
  RenderDrawFrame(s, t, next, s.quality, s.overscan);
  s.time = t;
  if (!s.loopFrameSink) return;
  t_sinkChanged = n > 0 && s.previewTracked ? &s.previewChanged : nullptr;
  s.loopFrameSink(s.frame.data(), s.width, s.height, t);
  t_sinkChanged = nullptr;
}

void runPreview(RenderSetup& s) {
  if (!(s.rate > 0)) { // one frame
    renderPreviewFrame(s, s.start, 0, false);
    return;
  }
  using Clock = std::chrono::steady_clock;
  const auto clockStart = Clock::now();
  uint64_t n = 0;
  while (!s.stop.load() && !SyncThreadShouldStop()) {
    const double t = s.start + n / s.rate;
    if (n > 0 && t > s.end) break; // playback ends at the project's end
    renderPreviewFrame(s, static_cast<float>(t), n, true);
    ++n;
    prepareInputs(static_cast<float>(s.start + n / s.rate));
    // Pacing: sleep until the next frame is due (a periodic tick would
    // start it up to a tick late); far behind the clock, skip ahead rather
    // than drift.
    const double elapsed = std::chrono::duration<double>(Clock::now() - clockStart).count();
    if (elapsed + 1e-4 >= n / s.rate) {
      const uint64_t now = static_cast<uint64_t>(elapsed * s.rate);
      if (now > n + kMaxFramesBehind) {
        // The pictures passed over are dropped; a short stretch of their
        // sound still goes out, since the speakers have it in hand before
        // they would run dry: the sound goes on without a break.
        if (now - n <= s.rate * kMaxSoundCatchUp)
          while (n < now) queuePreviewSound(s, n++);
        n = now;
      }
      continue;
    }
    const auto due = clockStart + std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(n / s.rate));
    std::unique_lock pacing(s.pacingLock);
    s.pacingWake.wait_until(pacing, due, [&s] { return s.stop.load(); });
  }
}

} // namespace

const FrameDirty* RenderSinkChangedTiles() { return t_sinkChanged; }

int RenderDrawFrame(RenderSetup& s, float t, double nextTime, uint32_t quality, float overscan) {
  const auto applied = TimelineApplyForDraw(t);
  ReadAccess access("RenderLoop");
  s.overlayClear = false;
  FrameRenderOptions options = renderOptions(quality, overscan);
  options.nextTime = nextTime;
  FrameTarget target = frameTarget(s);
  const int w = target.width, h = target.height;
  // Only what the last frame drew differs from the background: clearing
  // just that spares a full-frame fill at 60 frames per second.
  if (s.previewTracked && s.previewDrawn.width() == w && s.previewDrawn.height() == h) {
    s.previewChanged = s.previewDrawn;
  } else {
    s.previewChanged.reset(w, h);
    s.previewChanged.mark(0, 0, w, h);
  }
  s.previewDrawn.reset(w, h);
  s.previewTracked = true;
  options.clear = false;
  options.clearTiles = &s.previewChanged;
  target.dirty = &s.previewDrawn;
  const int code = RenderProjectFrame(t, target, options);
  MarkTiles(s.previewDrawn, &s.previewChanged);
  if (code < 0) s.previewTracked = false; // the next frame clears whole
  return code;
}

void RenderLoopMain(void* arg) {
  RenderSetup& s = *static_cast<RenderSetup*>(arg);
  if (s.mode == kRenderOutput) runOutput(s);
  else runPreview(s);
  s.running = false;
}
