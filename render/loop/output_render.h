#pragma once
// The output render: a video file made from the project through the writer
// (handler 8), on the render thread.
#include <cstdint>

// 0; -21 without a path; -2 when the engine is not ready; the render
// set-up's negative code. Returns at once; the render runs on its thread.
int OutputHandlerCreate(const wchar_t* path, uint32_t handler, uint32_t width, uint32_t height,
                        uint32_t audioType, uint32_t audioRate, uint32_t videoKbit,
                        uint32_t audioKbit, uint32_t quality, float frameRate, float overscan,
                        float start, float end);
// Project time of the frame being written; the start time again after a
// writer failure, so a failed render never looks finished.
float OutputHandlerGetTime();
// Non-zero while the output render runs, its file being finished included.
int OutputHandlerIsBusy();
// Stops the output render loop (stop flag, waits up to 5000 ms).
void OutputHandlerStop();
// 0 while fine or after success; the writer's negative code after a failure.
int OutputHandlerGetResult();
