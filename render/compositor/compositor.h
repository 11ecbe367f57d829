#pragma once
// The frame compositor: places a source picture into a destination frame
// (scaling, rotation, mirroring, chroma key, transparency, colour channels)
// in horizontal bands spread over the render workers.
#include "render/compositor/render_frame_info.h"

#include <cstdint>
#include <functional>
#include <utility>
#include <vector>

// Starts min(processors, 32) workers; none on a machine with fewer than two
// processors (the caller then does all the work). 0 or -24.
int RenderWorkersInit();
// Stops the workers (state word and wake event, 2000 ms each, then
// terminated with a log line).
void RenderWorkersEnd();
int RenderWorkerCount();
// True from RenderWorkersInit to RenderWorkersEnd (also with no workers).
bool RenderWorkersStarted();
// Runs job(band) for every band in [0, bands) on the workers and the
// calling thread; returns when all are done. A second caller while a run is
// in progress, or a band that asks for bands, does its bands alone on its
// own thread.
void RenderWorkersRun(int bands, const std::function<void(int band)>& job);

// The drawing helpers of the renderer return their codes without recording
// them as the engine's last result: they run on the render thread for every
// frame, and the routine that the windows called records its own.
// 0, or -21 for a description without buffers or sizes. Writes only the
// destination pixels whose centres fall inside the placed rectangle.
int CompositeFrame(const RenderFrameInfo& info);
// The same on the calling thread only.
int CompositeFrameSingle(const RenderFrameInfo& info);

// A placement kept from one frame to the next: a copy of its source and
// what each destination pixel became before it was blended. When the next
// frame's source differs only in places (a needle, a marker, some digits),
// only the destination pixels that read those places are sampled again;
// the rest is blended from the copy. The result is the same as
// CompositeFrame's.
struct KeptPlacement {
  bool valid = false;
  RenderFrameInfo key;             // buffers and the dirty map left out
  std::vector<uint32_t> source;    // SrcWidth x SrcHeight, top row first
  std::vector<uint32_t> prepared;  // the destination box, 0 = left as it is
  int colBegin = 0, rowBegin = 0, cols = 0, rows = 0; // the box, y downwards
  std::vector<std::pair<int, int>> spans; // per row of the box: [first, end) of what is not 0
  size_t bytes() const { return (source.capacity() + prepared.capacity()) * sizeof(uint32_t); }
};
// True when info places a source of the kept size the kept way.
bool KeptPlacementMatches(const KeptPlacement& kept, const RenderFrameInfo& info);
// Brings the kept placement up to info's source without touching the
// destination (so several can be prepared at once); false for placements
// that are not kept (turned, replacing, opaque), which it empties.
bool KeptPlacementPrepare(const RenderFrameInfo& info, KeptPlacement* kept);
// Blends a prepared placement into info's destination, only its rows in
// [top, bottom) (y downwards); -21 when it was prepared for another frame
// size.
int KeptPlacementPut(const RenderFrameInfo& info, const KeptPlacement& kept, int top = 0,
                     int bottom = 1 << 30);
// Both; placements that are not kept take the ordinary path.
int CompositeFrameKept(const RenderFrameInfo& info, KeptPlacement* kept);
