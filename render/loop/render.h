#pragma once
// The render set-up (one at a time: preview or output) and its render loop
// thread. The set-up owns the frame buffer (width x height 32-bit pixels,
// BOTTOM row first) and the sound buffer of one frame's span.
#include <cstdint>
#include <functional>
#include <string>

enum RenderMode : uint32_t { kRenderNone = 0, kRenderPreview = 1, kRenderOutput = 2 };

struct RenderOutputArgs {
  std::wstring path;
  uint32_t handler = 8;
  uint32_t videoKbit = 0, audioKbit = 0;
};

// Ends the current set-up and makes a new one. Output: the width is
// rounded down to a multiple of 4 and the output file is opened through the
// writer (its negative code is the result). 0 or a negative code.
int RenderInit(uint32_t mode, uint32_t width, uint32_t height, uint32_t audioType,
               uint32_t audioRate, double frameRate, const RenderOutputArgs* output);
// Stops the loop (its thread waited for 2000 ms, then terminated), closes
// the output handler, frees the buffers.
void RenderEnd();

// Where a set-up's frames and sound go, on the render thread: a preview's
// to the screen and the speakers; an output's frames (every second one) to
// its progress display, and each sound chunk, as it goes to the writer,
// also to the sound sink when one is set.
using RenderFrameSink = std::function<void(const uint32_t* frame, uint32_t width,
                                           uint32_t height, float time)>;
using RenderSoundSink = std::function<void(const uint8_t* pcm, uint32_t bytes, float time)>;
void RenderSetSinks(RenderFrameSink frames, RenderSoundSink sound);
// Within a preview frame sink's call: the tiles where this frame differs
// from the one the loop handed to the sink just before (a sink that keeps
// its copy need copy only those); null when the whole frame is to be taken.
class FrameDirty;
const FrameDirty* RenderSinkChangedTiles();

// Starts the loop over [start, end] at the frame rate (0 = the frame at
// start only), with quality 0-5 and overscan percent. A preview is paced by
// a periodic timer and follows the clock; an output renders every frame.
int RenderStart(float start, float end, double frameRate, uint32_t quality, float overscan);
// Sets the stop flag and waits up to waitMs for the loop to end.
void RenderStop(int32_t waitMs);
// Project time of the frame being rendered.
float RenderGetTime();
bool RenderIsRunning();
uint32_t RenderGetMode();
uint32_t RenderGetWidth();
uint32_t RenderGetHeight();
// Result of the last output render: 0 while it runs and once it reached
// its end with the file complete; kErrStopped (-99) when it was stopped
// early (the file holds the frames until then); or the writer's negative
// code.
int RenderGetResult();
// The writer's words on a failed output render (empty otherwise).
std::wstring RenderGetResultText();
// Volume of the sound mixed for a preview, 0..100.
void RenderSetPreviewVolume(uint32_t volume);
// Non-zero once the render workers have been started (the engine is ready).
bool RenderEngineReady();
