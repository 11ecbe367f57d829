#pragma once
// The frame compositor: places a source picture into a destination frame
// (scaling, rotation, mirroring, chroma key, transparency, colour channels)
// in horizontal bands spread over the render workers.
#include "render/compositor/render_frame_info.h"

#include <functional>

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
// in progress does its bands alone on its own thread.
void RenderWorkersRun(int bands, const std::function<void(int band)>& job);

// The drawing helpers of the renderer return their codes without recording
// them as the engine's last result: they run on the render thread for every
// frame, and the routine that the windows called records its own.
// 0, or -21 for a description without buffers or sizes. Writes only the
// destination pixels whose centres fall inside the placed rectangle.
int CompositeFrame(const RenderFrameInfo& info);
// The same on the calling thread only.
int CompositeFrameSingle(const RenderFrameInfo& info);
