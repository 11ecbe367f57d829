#pragma once
// The renderer's only door to the media layer and the output writer: input
// pictures and sound by time, and the output handler's put routines.
#include "platform/media/media_formats.h"

#include <cstdint>
#include <string>

// An input's current picture: 32-bit pixels owned by the media layer, valid
// until the next request for that input.
struct InputPicture {
  const uint32_t* pixels = nullptr;
  int width = 0;
  int height = 0;
  bool topDown = false;   // rows stored top row first
  bool turned180 = false; // also mirrored: the picture is upside down
  bool opaque = true;     // alpha to be taken as 255 (decoded video)
};

// The picture of the input at the input's own time; false when none.
bool MediaBridgeGetPicture(uint32_t input, double inputTime, InputPicture* picture);
// The picture of a video input in its decoded 4:2:0 planes, upright; false
// when there is none such (then MediaBridgeGetPicture).
bool MediaBridgeGetPlanes(uint32_t input, double inputTime, PlanarPicture* planes);
// Look-ahead: the frame at that time will be asked for next.
void MediaBridgePrepareFrame(uint32_t input, double inputTime);
// The input's sound format when it has sound the mix can take (16-bit, one
// or two channels).
bool MediaBridgeGetAudioFormat(uint32_t input, AudioFormat* format);
// The input's sound over [start, start + length) seconds of its own time:
// 16-bit interleaved PCM in *format; bytes delivered, 0 for none.
uint32_t MediaBridgeGetAudio(uint32_t input, double start, double length, const uint8_t** data,
                             AudioFormat* format);

// The output handler (handler kind 8 = the FFmpeg writer).
struct OutputOpenArgs {
  std::wstring path;
  uint32_t handler = 8;
  tagBITMAPINFOHEADER frameFormat{};
  AudioFormat soundFormat{};
  uint32_t videoKbit = 0, audioKbit = 0;
  void* frameBuffer = nullptr;
  void* soundBuffer = nullptr;
  uint32_t soundBufferLength = 0;
  double frameRate = 0;
  double audioChunkRate = 0;
};
bool MediaBridgeWriterAvailable();
int MediaBridgeOutputOpen(const OutputOpenArgs& args);
int MediaBridgeOutputPutFrame(uint32_t handler, uint32_t frame);
// The frame as 4:2:0 planes (Y, Cb, Cr one after the other at the frame's
// size), held by the writer until encoded and kept unchanged until
// kWriterPlanesHeld more frames are handed over or the output finished:
// the encoder reads them meanwhile.
int MediaBridgeOutputPutFramePlanes(uint32_t handler, uint32_t frame, SharedPlanes yuv420);
int MediaBridgeOutputPutAudio(uint32_t handler, uint32_t chunk, uint32_t length);
void MediaBridgeOutputPutPrepare(uint32_t handler);
int MediaBridgeOutputFinish(uint32_t handler);
void MediaBridgeOutputClose(uint32_t handler);
std::wstring MediaBridgeOutputFailureText(uint32_t handler);
void MediaBridgeOutputSetMultiTaskMode(uint32_t mode);
