#pragma once
// The plain routines of the first media reader (FFmpeg), keyed by input
// index: thin adapters that open a reader into the input's media slot
// under a handle of their own (1000 + entry of 128, in AvHandle) and
// forward to it; the media layer itself talks to the slot's reader.
#include <cstdint>

int MediaMacAvInit();
void MediaMacAvEnd();
// 0, -22 or -141; fills MainStruct type/size/length and the media slot.
int MediaMacAvOpen(uint32_t input);
void MediaMacAvClose(uint32_t input);
// 0, -21 no reader, -81 no frame (the slot's frame pointer is then null).
int MediaMacAvGetFrame(uint32_t input, double time);
void MediaMacAvSeek(uint32_t input, double time);
void MediaMacAvSetPlaybackRate(uint32_t input, double fps);
void MediaMacAvPrepareFrame(uint32_t input, double time);
// Bytes delivered at the slot's audio pointer; the outcome is recorded
// (0 also for the end of the sound, -21 no reader, -81 failure).
int MediaMacAvGetAudio(uint32_t input, double start, double length);
// Open readers in the table (for leak checks).
uint32_t MediaMacAvOpenCount();
