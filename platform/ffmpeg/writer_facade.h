#pragma once
// The output writer's plain routines: one output file at a time, frames and
// sound chunks by number (frame n at n / frame rate, chunk n at n / chunk
// rate, numbers from 0). Results are recorded with ErrorSet under each
// routine's name.
#include <cstdint>
#include <string>

#include "platform/media/media_formats.h"

// Opens the output: the frame buffer (BGRA, rows bottom-up, width x height x
// 4 bytes) and the sound buffer stay the caller's and are read on every put.
// 0, -21 (no path or format), -22 or -82.
int MediaMacAvCreate(const wchar_t* path, const tagBITMAPINFOHEADER* frameFormat,
                     const AudioFormat* soundFormat, uint32_t videoKBitrate, uint32_t audioKBitrate,
                     const void* frameBuffer, const void* soundBuffer, uint32_t soundBufferLength,
                     double frameRate, double audioChunkRate);
// Returns once both put threads hold a copy of the last frame and chunk.
void MediaMacAvPutPrepare();
// 0, -21 without an output, -82 when the frame before could not be written.
int MediaMacAvPutFrame(uint32_t frame);
// The frame in 4:2:0 planes instead of the frame buffer (Y, Cb, Cr packed
// one after the other at the frame's size, rows top-down; even sizes): no
// conversion before the encoder. The writer holds the planes until it has
// encoded them; the caller leaves them unchanged until kWriterPlanesHeld
// more frames are handed over, or the writing is finished.
int MediaMacAvPutFramePlanes(uint32_t frame, SharedPlanes yuv420);
int MediaMacAvPutAudio(uint32_t chunk, uint32_t length);
// Completes the output and merges it into the path. 0, or -82 when anything
// of this output failed (the path then keeps what it held before); -21,
// unrecorded, without an output.
int MediaMacAvFinishWriting();
// Tears the output down (cancelling a merge in progress) and forgets it.
void MediaMacAvCreateClose();
// What went wrong with the current output, in words for the user (naming
// the temporary files kept when the merge failed); empty when nothing did
// or no output is open.
std::wstring MediaMacAvFailureText();
