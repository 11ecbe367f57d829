#pragma once
// The media layer's per-input slot: which reader serves the input and where
// its latest frame and sound span are. Readers write into it; the renderer
// reads it through the InputHandler routines.
#include <cstdint>

#include "platform/media/media_formats.h"

// Handler kinds of the slot.
constexpr uint32_t kHandlerNone = 0;
constexpr uint32_t kHandlerWav = 1;     // the media layer's own WAV reader
constexpr uint32_t kHandlerImage = 2;   // still image held in the slot
constexpr uint32_t kHandlerDataLog = 4; // data-log model
constexpr uint32_t kHandlerQt = 5;      // second reader (GStreamer)
constexpr uint32_t kHandlerAv = 8;      // first reader (FFmpeg)

struct MediaImageData;
class WavReader;

struct InputHandlerSlot {
  uint32_t VideoHandler;
  uint32_t AudioHandler;
  uint32_t DataHandler;
  uint32_t BytesPerPixel;
  // The consumer flips the rows when set: frames are meant bottom-up, so a
  // set flag means the frame's rows are stored top row first.
  uint32_t FlipVertical;
  uint32_t MirrorHorizontal; // with FlipVertical: the picture is turned by 180 degrees
  uint8_t* FrameData;        // owned by the reader; valid until its next decode or close
  uint8_t* AudioData;        // owned by the reader; valid until its next request or close
  AudioFormat Format;
  uint32_t AvHandle; // 1000 + decoder table entry, 0 = none
  uint32_t QtHandle;
  double LastSeekTime;       // -1 = none
  double LastPrepareTime;    // -1 = none
  MediaImageData* Image;     // still image of handler kind 2
  WavReader* Wav;            // WAV reader of audio handler kind 1
  uint32_t HasEmbeddedData;  // the video carries a GPS text stream
  uint32_t HasGeoLocation;
  double Latitude, Longitude;
};

constexpr uint32_t kMediaSlots = 128;

// Null for an index of 128 or more.
InputHandlerSlot* InputHandlerGetSlot(uint32_t input);
