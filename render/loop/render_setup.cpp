// The render set-up: buffers for one preview or output, the writer opened
// for an output, and the start and stop of the loop thread.
#include "base/error.h"
#include "base/log.h"
#include "render/compositor/compositor.h"
#include "render/draw/layer_cache.h"
#include "render/loop/media_bridge.h"
#include "render/loop/render_state.h"
#include "render/objects/kept_placements.h"

#include <algorithm>
#include <cmath>
#include <chrono>
#include <cstring>
#include <thread>

namespace {

constexpr uint32_t kMaxSide = 8192;
constexpr int32_t kThreadEndWaitMs = 2000;
constexpr int kFinishWaitMs = 120000;

// Waits for a loop that was left to finish on its own after a stop that
// timed out; false when it is still busy after the long wait.
bool waitForLoopEnd(RenderSetup& s) {
  for (int waited = 0; s.running.load() && waited < kFinishWaitMs; waited += 10)
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  return !s.running.load();
}

void closeOutput(RenderSetup& s) {
  if (!s.outputOpen) return;
  MediaBridgeOutputClose(s.output.handler);
  s.outputOpen = false;
}

int openOutput(RenderSetup& s, const RenderOutputArgs& output) {
  OutputOpenArgs args;
  args.path = output.path;
  args.handler = output.handler;
  args.frameFormat = Frame32Format(static_cast<int32_t>(s.width), static_cast<int32_t>(s.height)); // rows bottom-up
  args.soundFormat = s.sound;
  args.videoKbit = output.videoKbit;
  args.audioKbit = output.audioKbit;
  args.frameBuffer = s.frame.data();
  args.soundBuffer = s.soundBuffer.data();
  args.soundBufferLength = static_cast<uint32_t>(s.soundBuffer.size());
  args.frameRate = s.frameRate;
  args.audioChunkRate = s.frameRate; // one sound chunk per frame
  int code = MediaBridgeOutputOpen(args);
  if (code >= 0) s.outputOpen = true;
  return code;
}

} // namespace

RenderSetup& TheRenderSetup() {
  static RenderSetup setup;
  return setup;
}

int RenderInit(uint32_t mode, uint32_t width, uint32_t height, uint32_t audioType,
               uint32_t audioRate, double frameRate, const RenderOutputArgs* output) {
  RenderEnd();
  RenderSetup& s = TheRenderSetup();
  std::lock_guard lock(s.mutex);
  if (mode == kRenderOutput) width &= ~3u; // the encoder wants whole 4-pixel groups
  if ((mode != kRenderPreview && mode != kRenderOutput) || width == 0 || height == 0 ||
      width > kMaxSide || height > kMaxSide || audioType > 3 || audioRate < 4000 ||
      audioRate > 192000 || !(frameRate > 0) || frameRate > 1000 ||
      (mode == kRenderOutput && (!output || output->path.empty())))
    return ErrorSet(kErrBadArg, "RenderInit");
  try {
    s.frame.assign(static_cast<size_t>(width) * height, 0xFF000000u);
    s.sound = AudioFormatFor(static_cast<int>(audioType), audioRate);
    // Room for the longest chunk at the lowest rate a preview may play.
    const double slowest = std::min(frameRate, 1.0);
    s.soundBuffer.assign(
        (static_cast<size_t>(std::ceil(audioRate / slowest)) + 16) * s.sound.nBlockAlign, 0);
  } catch (const std::bad_alloc&) {
    s.frame.clear();
    s.soundBuffer.clear();
    return ErrorSet(kErrNoMemory, "RenderInit");
  }
  s.mode = mode;
  s.width = width;
  s.height = height;
  s.overlayClear = false;
  s.previewTracked = false;
  s.planar = PlanarFrame{};
  s.planarHeld.clear();
  s.frameRate = frameRate;
  s.result = 0;
  s.time = 0;
  if (mode == kRenderOutput) {
    s.output = *output;
    int code = openOutput(s, *output);
    if (code < 0) {
      s.mode = kRenderNone;
      s.frame.clear();
      s.soundBuffer.clear();
      return ErrorSet(code, "RenderInit");
    }
  }
  LogPrintf(L"Render set up for %S: %ux%u, audio type %u at %u Hz, %.03f fps",
            mode == kRenderOutput ? "output" : "preview", width, height, audioType, audioRate,
            frameRate);
  return ErrorSet(kOk, "RenderInit");
}

void RenderStop(int32_t waitMs) {
  RenderSetup& s = TheRenderSetup();
  std::lock_guard lock(s.mutex);
  if (!s.thread) return;
  s.stop = true;
  {
    std::lock_guard pacing(s.pacingLock); // a loop about to sleep sees the flag first
  }
  s.pacingWake.notify_all();
  if (SyncWait(s.thread, waitMs) != kSyncSignalled) {
    LogPrintf(L"Timeout in RenderEnd() - terminating thread");
    SyncThreadTerminate(s.thread, 0);
  }
  SyncHandleClose(s.thread);
  s.thread = 0;
}

void RenderEnd() {
  RenderSetup& s = TheRenderSetup();
  std::lock_guard lock(s.mutex);
  RenderStop(kThreadEndWaitMs);
  // A terminated output loop may still be finishing its file: the writer
  // is not closed under it.
  if (!waitForLoopEnd(s)) {
    LogPrintf(L"RenderEnd: render loop still busy, its buffers are kept");
    return;
  }
  closeOutput(s);
  // Kept drawings belong to this set-up's frame size; the next one redraws.
  LayerCacheClear();
  KeptPlacementsClear();
  s.frame.clear();
  s.frame.shrink_to_fit();
  s.previewTracked = false;
  s.planar = PlanarFrame{};
  s.planarHeld.clear();
  s.thumbnail = std::vector<uint32_t>{};
  s.soundBuffer.clear();
  s.soundBuffer.shrink_to_fit();
  s.mode = kRenderNone;
  s.width = s.height = 0;
}

void RenderSetSinks(RenderFrameSink frames, RenderSoundSink sound) {
  RenderSetup& s = TheRenderSetup();
  std::lock_guard lock(s.mutex);
  s.frameSink = std::move(frames);
  s.soundSink = std::move(sound);
}

int RenderStart(float start, float end, double frameRate, uint32_t quality, float overscan) {
  RenderSetup& s = TheRenderSetup();
  std::lock_guard lock(s.mutex);
  RenderStop(kThreadEndWaitMs);
  // A loop whose stop timed out (a slow frame on a crowded machine) still
  // draws into this set-up's frame and clears the running flag when it
  // ends: a second loop must not start beside it.
  if (!waitForLoopEnd(s)) {
    LogPrintf(L"RenderStart: the last render loop is still busy");
    return ErrorSet(kErrNotReady, "RenderStart");
  }
  if (s.mode == kRenderNone || s.frame.empty()) return ErrorSet(kErrNotReady, "RenderStart");
  if (!std::isfinite(start) || !std::isfinite(end) || !std::isfinite(frameRate) || frameRate < 0)
    return ErrorSet(kErrBadArg, "RenderStart");
  s.start = std::max(0.0f, start);
  s.end = end;
  s.rate = frameRate;
  s.quality = std::min<uint32_t>(quality, 5);
  s.overscan = std::isfinite(overscan) ? overscan : 0;
  s.time = s.start;
  s.stop = false;
  s.result = 0;
  s.SetResultText(std::wstring());
  s.loopFrameSink = s.frameSink;
  s.loopSoundSink = s.soundSink;
  s.mixer.Reset();
  s.running = true;
  s.thread = SyncThreadCreate(nullptr, 0, RenderLoopMain, &s, 0, nullptr);
  if (!s.thread) {
    s.running = false;
    return ErrorSet(kErrNoThread, "RenderStart");
  }
  return ErrorSet(kOk, "RenderStart");
}

float RenderGetTime() { return TheRenderSetup().time.load(); }
bool RenderIsRunning() { return TheRenderSetup().running.load(); }
uint32_t RenderGetMode() { return TheRenderSetup().mode; }
uint32_t RenderGetWidth() { return TheRenderSetup().width; }
uint32_t RenderGetHeight() { return TheRenderSetup().height; }
int RenderGetResult() { return TheRenderSetup().result.load(); }
std::wstring RenderGetResultText() {
  RenderSetup& s = TheRenderSetup();
  std::lock_guard lock(s.resultTextLock);
  return s.resultText;
}
void RenderSetPreviewVolume(uint32_t volume) { TheRenderSetup().volume = std::min(volume, 100u); }
bool RenderEngineReady() { return RenderWorkersStarted(); }
