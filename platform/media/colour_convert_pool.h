#pragma once
// Worker threads that each take one band of a frame's rows: the colour
// conversion hands its rows over here and knows nothing of the threads;
// the pool knows nothing of colours.
#include <cstdint>
#include <functional>

// Rows first to last of a frame, both included.
using RowBandWork = std::function<void(uint32_t first, uint32_t last)>;

// Starts min(processors - 1, 32) workers (none below two processors): 0,
// or -20 when one did not start in time (then none run).
int RowBandPoolStart();
void RowBandPoolEnd();
uint32_t RowBandPoolSize();
// Rows [0, height) of a width-wide frame through work, in bands over the
// workers when the frame is large enough to pay; on the caller otherwise,
// while another frame has the workers, or after a worker missed its time
// limit (the pool then stops and every later frame runs on its caller, and
// this one runs there again whole: false).
bool RowBandPoolRun(uint32_t width, uint32_t height, const RowBandWork& work);
