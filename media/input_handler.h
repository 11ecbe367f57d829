#pragma once
// The media layer's per-input slots: opening an input's file by content and
// pulling its frames and sound by time (the reads are in input_read.cpp).
#include <cstdint>

#include "platform/media/media_formats.h"

int MediaHandlerInit();
void MediaHandlerEnd();

// Zeroes the slot, detects the file kind and opens it with the first reader
// that takes it (data logs through the data-log model); fills the input's
// MainStruct (type, size, length). 0 or a negative code (-141 unsupported).
int InputHandlerOpen(uint32_t input);
void InputHandlerClose(uint32_t input);
// Re-reads what depends on the input's records (after InputSetMain,
// InputSetAdjust, InputSetData or a speed-unit change).
int InputHandlerReprocess(uint32_t input);

// A decoded picture as the renderer takes it: 24 or 32-bit pixels, rows of
// Width x BytesPerPixel bytes without padding. Rows run bottom-up unless
// FlipVertical is set (then top row first); MirrorHorizontal with
// FlipVertical means the picture is turned by 180 degrees.
struct InputFrame {
  const uint8_t* Pixels; // owned by the reader; valid until its next decode or close
  uint32_t Width, Height;
  uint32_t BytesPerPixel;
  uint32_t FlipVertical;
  uint32_t MirrorHorizontal;
};

// The input's frame at a time of its own media (seconds from the start of
// its file; for a join, of the join): a decode for videos, the held picture
// for images, the playing member's frame for a joined video. 0 with the
// frame (no pixels: a join shows nothing then), -81 none at that time, -21
// no picture (audio, data, filler, bad index). Inputs are read under the
// caller's access to the input table.
int InputHandlerGetFrameRF(uint32_t input, double time, InputFrame* frame);
// The video input's frame at a time of its own media in the decoder's own
// 4:2:0 planes, upright; false when the reader has none for that time (a
// join, a still, a turned picture, another layout): InputHandlerGetFrameRF.
bool InputHandlerGetFramePlanes(uint32_t input, double time, PlanarPicture* planes);
// The look-ahead for the frame the caller will ask for next (media time).
void InputHandlerPrepareFrame(uint32_t input, double time);
void InputHandlerSeek(uint32_t input, double time);
void InputHandlerSetPlaybackRate(uint32_t input, double fps);
// Sound of the span [start, start + length) of the input's own media in the
// input's format (InputHandlerGetAudioFormat). The byte count (0 = no sound
// for the span) and *data pointing at bytes owned by the reader until its
// next request or close.
int InputHandlerGetAudio(uint32_t input, double start, double length, const uint8_t** data);
// Null when the input has no sound.
const AudioFormat* InputHandlerGetAudioFormat(uint32_t input);
