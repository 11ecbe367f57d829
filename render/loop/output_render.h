#pragma once
// The output render: a video file made from the project through the writer
// (handler 8), on the render thread.
#include <cstdint>
#include <string>

// The end that asks for the whole project (99 hours): the render stops at
// the project's length.
constexpr float kRenderToProjectEnd = 356400.0f;

// 0; -21 without a path; -2 when the engine is not ready; -143 when the end
// is the project's end and the project has no length; -142 when the path is
// one of the project's inputs; the render set-up's negative code. The end
// is limited to the project's length (a project of no length renders to
// the end given). Returns at once; the render runs on its thread.
[[nodiscard]] int OutputHandlerCreate(const wchar_t* path, uint32_t handler, uint32_t width, uint32_t height,
                        uint32_t audioType, uint32_t audioRate, uint32_t videoKbit,
                        uint32_t audioKbit, uint32_t quality, float frameRate, float overscan,
                        float start, float end);
// Project time of the frame being written; the end once every frame is
// written and the file is being finished; the start time again after a
// writer failure, so a failed render never looks finished.
float OutputHandlerGetTime();
// Non-zero while the output render runs, its file being finished included.
int OutputHandlerIsBusy();
// Stops the output render loop (stop flag, waits up to 5000 ms).
void OutputHandlerStop();
// The final result once the render is no longer busy: 0 when it reached its
// end and the file is complete, -99 when it was stopped early (the file
// holds what was written until then), or the writer's negative code. 0
// while it runs.
int OutputHandlerGetResult();
// Words for the user on a failed render, from the writer (naming files it
// kept); empty otherwise.
std::wstring OutputHandlerGetResultText();
