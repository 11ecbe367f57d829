#pragma once
// The media layer's output side: the render set-up and render loop hand the
// rendered frames and sound to the writer of the chosen handler kind (8, the
// MPEG-4 writer). Any other kind is refused with -140. The render engine's
// own output routines (create, time, busy, stop) live with the renderer.
#include <cstdint>
#include <string>

#include "platform/media/media_formats.h"

constexpr uint32_t kOutputHandlerMpeg4 = 8;

// Output throttle: 0 full speed, 1 or 2 pause before each frame so the
// desktop stays responsive, 99 paused until the mode changes.
constexpr int kOutputModeFullSpeed = 0;
constexpr int kOutputModePaused = 99;

// Opens the output file. Refuses (-21) a path that is one of the project's
// input files. Otherwise the writer's result (0, -21, -22, -82).
int OutputHandlerOpen(const wchar_t* path, uint32_t handler, const tagBITMAPINFOHEADER* frameFormat,
                      const AudioFormat* soundFormat, uint32_t videoKBitrate, uint32_t audioKBitrate,
                      const void* frameBuffer, const void* soundBuffer, uint32_t soundBufferLength,
                      double frameRate, double audioChunkRate);
// Throttles by the multi-task mode, then hands frame number n over.
int OutputHandlerPutFrame(uint32_t handler, uint32_t frame);
// The frame as 4:2:0 planes of the frame's size (Y, Cb, Cr one after the
// other, rows top-down) in place of the frame buffer; held by the writer
// until encoded, and kept unchanged until kWriterPlanesHeld more frames
// are handed over or the output finished.
int OutputHandlerPutFramePlanes(uint32_t handler, uint32_t frame, SharedPlanes yuv420);
int OutputHandlerPutAudio(uint32_t handler, uint32_t chunk, uint32_t length);
// Before the render loop overwrites its sound or frame buffer.
void OutputHandlerPutPrepare(uint32_t handler);
// Completes the file; 0, or -82 when the output could not be written, so
// the caller can report failure instead of a finished video.
int OutputHandlerFinish(uint32_t handler);
void OutputHandlerClose(uint32_t handler);
// The writer's words for what went wrong with the open output; empty when
// nothing did.
std::wstring OutputHandlerFailureText(uint32_t handler);
void OutputHandlerSetMultiTaskMode(int mode);
int OutputHandlerGetMultiTaskMode();
// True once a pause has taken hold: the render loop waits before its next
// frame (the frame in hand when the pause was chosen is written first), so
// the output time stands still until the mode changes.
bool OutputHandlerIsHeldByPause();
