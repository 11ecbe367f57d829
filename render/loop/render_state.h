#pragma once
// The one render set-up shared by the set-up routines and the loop thread.
#include "base/sync.h"
#include "platform/media/media_formats.h"
#include "render/compositor/planar_blend.h"
#include "render/loop/audio_mix.h"
#include "render/loop/render.h"

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <string>
#include <vector>

struct RenderSetup {
  std::recursive_mutex mutex; // set-up changes and direct frame draws
  uint32_t mode = kRenderNone;
  uint32_t width = 0, height = 0;
  std::vector<uint32_t> frame; // bottom row first
  // An output frame composed over its video's own 4:2:0 planes goes to the
  // writer from here; `frame` is then the transparent overlay the other
  // objects are drawn into (overlayClear: it is all transparent now).
  PlanarFrame planar;
  // The writer encodes straight from the planes handed over, and holds up
  // to kWriterPlanesHeld of them (sharing their buffers until encoded): the
  // next frames are composed in the others, taken in turn from here
  // (planarNext: the one the writer let go first).
  std::vector<PlanarFrame> planarHeld;
  size_t planarNext = 0;
  FrameDirty overlayDirty;
  bool overlayClear = false;
  std::vector<uint32_t> thumbnail; // a planar frame for the progress display
  // A preview frame is cleared only where the last one drew (previewDrawn;
  // the rest is background while previewTracked), and hands its sink the
  // tiles that changed since the frame before (previewChanged).
  FrameDirty previewDrawn, previewChanged;
  bool previewTracked = false;
  AudioFormat sound{};
  std::vector<uint8_t> soundBuffer; // fixed capacity: the writer keeps its address
  SoundMixer mixer;                 // the loop's; every run starts it anew
  std::vector<uint8_t> mixed;       // the chunk as mixed
  double frameRate = 30;
  RenderOutputArgs output;
  bool outputOpen = false;
  RenderFrameSink frameSink;
  RenderSoundSink soundSink;

  // Copies taken by RenderStart for the loop thread, which never takes the
  // set-up's mutex (RenderStop holds it while waiting for the thread).
  RenderFrameSink loopFrameSink;
  RenderSoundSink loopSoundSink;

  SyncHandle thread = 0;
  std::atomic<bool> stop{false};
  // A playing preview sleeps here until its next frame is due; a stop
  // wakes it.
  std::mutex pacingLock;
  std::condition_variable pacingWake;
  std::atomic<bool> running{false};
  std::atomic<float> time{0};
  std::atomic<int> result{0};
  // Words for the user on a failed output (the loop thread writes them
  // before the result).
  std::mutex resultTextLock;
  std::wstring resultText;
  void SetResultText(std::wstring text) {
    std::lock_guard lock(resultTextLock);
    resultText = std::move(text);
  }
  std::atomic<uint32_t> volume{100};
  float start = 0, end = 0;
  double rate = 0;
  uint32_t quality = 0;
  float overscan = 0;
};

RenderSetup& TheRenderSetup();
// The loop thread's body (render_loop.cpp).
void RenderLoopMain(void* arg);
// Draws the project at t into the set-up's preview frame (timeline
// applied, read access held while drawing); nextTime: the frame to follow
// (NaN: none), whose video pictures are asked for early.
int RenderDrawFrame(RenderSetup& s, float t, double nextTime, uint32_t quality, float overscan);
