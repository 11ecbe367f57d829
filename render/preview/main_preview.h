#pragma once
// The main preview: the project drawn at the preview time (or playing) into
// the canvas view, through a display buffer and a redraw thread.
#include "platform/graphics/bitmap_view.h"

#include <cstdint>
#include <vector>

// Ends the current main preview and sets up a new one for the view:
// picture width x height, render size (0 = the picture's), sound format and
// frame rate. 0 or a negative code (-22 memory, -23 event, -24 thread, or
// the render set-up's code).
int MainPreviewInit(ImageView view, uint32_t width, uint32_t height, uint32_t renderWidth,
                    uint32_t renderHeight, uint32_t audioType, uint32_t sampleRate,
                    float frameRate);
// The display on the view without a render of its own: an output render
// shows its frames there.
int MainPreviewInitNoRender(ImageView view, uint32_t width, uint32_t height);
void MainPreviewEnd();
// Starts the render loop from the time (rate 0 = one frame).
int PreviewPlay(uint32_t quality, float start, float frameRate);
// Stops playback; when it was playing, draws the frame at the stop time once.
void PreviewStop();
float PreviewGetTime();
// The render loop is running: playback, or a single frame being drawn.
int PreviewIsPlaying();
// Playback at a frame rate; a single frame being drawn is not playback.
int PreviewIsPlayingBack();
void PreviewSetVolume(uint32_t volume);
// Writes the picture as shown into a BMP file; 0 or a negative code.
int MainPreviewExportSnapshot(const wchar_t* path);
// A copy of the picture as shown (bottom row first); 0 or -30 without a
// preview.
int MainPreviewSnapshotPixels(std::vector<uint32_t>* pixels, uint32_t* width, uint32_t* height);
// The display object under the canvas point at the time; 0xFFFFFFFF (-1)
// for none. Mode 0 answers a member's group, mode 1 the member.
uint32_t MainPreviewGetObjFromClick(int x, int y, int mode, float time);
// A finished frame (bottom-up, width x height) for the display: scaled to
// the picture size and handed to the redraw thread.
void MainPreviewShowFrame(const uint32_t* frame, uint32_t width, uint32_t height);
// Size of the preview picture (0 x 0 without a preview).
uint32_t MainPreviewWidth();
uint32_t MainPreviewHeight();
// Waits (up to timeoutMs) until the redraw thread has handed every frame
// shown so far to the view; true when it has.
bool MainPreviewWaitIdle(int32_t timeoutMs);
