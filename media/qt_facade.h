#pragma once
// The plain routines of the second media reader (GStreamer), keyed by input
// index: thin adapters that open a reader into the input's media slot
// under a handle of their own (1000 + entry of 128, in QtHandle) and
// forward to it. Video handler kind 5; no sound.
#include <cstdint>

// Empties the table; 0. GStreamer itself starts with the first open (a
// GStreamer that cannot start then refuses every file with -141).
int MediaMacQtInit();
void MediaMacQtEnd();
// 0, -22 or -141; fills MainStruct type/size/length and the media slot.
int MediaMacQtOpen(uint32_t input);
void MediaMacQtClose(uint32_t input);
// 0, -21 no reader, -81 no frame (the slot's frame pointer is then null).
int MediaMacQtGetFrame(uint32_t input, double time);
void MediaMacQtSeek(uint32_t input, double time);
void MediaMacQtSetPlaybackRate(uint32_t input, double fps);
void MediaMacQtPrepareFrame(uint32_t input, double time);
// Always 0 bytes with the slot's audio pointer cleared (-21 recorded when
// the input has no reader).
int MediaMacQtGetAudio(uint32_t input, double start, double length);
// Open readers in the table (for leak checks).
uint32_t MediaMacQtOpenCount();
