#pragma once
// The media layer's per-input slot: which reader serves the input and where
// its latest frame and sound span are. The slot owns its reader, shared
// with the callers using it at the moment, so that a close from one thread
// never frees a reader another is decoding with; the renderer reads the
// slot through the InputHandler routines.
#include <cstdint>
#include <memory>

#include "platform/media/media_formats.h"
#include "platform/media/media_reader.h"

// Handler kinds of the slot: which reader serves its pictures and sound.
constexpr uint32_t kHandlerNone = 0;
constexpr uint32_t kHandlerWav = 1;     // the media layer's own WAV reader
constexpr uint32_t kHandlerImage = 2;   // still image held by the media layer
constexpr uint32_t kHandlerDataLog = 4; // data-log model
constexpr uint32_t kHandlerQt = 5;      // second reader (GStreamer)
constexpr uint32_t kHandlerAv = 8;      // first reader (FFmpeg)

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
  uint32_t AvHandle; // 1000 + entry of the first reader's handles, 0 = none
  uint32_t QtHandle; // the same for the second reader
  double LastSeekTime;    // -1 = none
  double LastPrepareTime; // -1 = none
  std::shared_ptr<MediaReader> Reader; // whichever reader opened the file; see InputHandlerReader
  uint32_t HasEmbeddedData; // the video carries a GPS text stream
  uint32_t HasGeoLocation;
  double Latitude, Longitude;
};

constexpr uint32_t kMediaSlots = 128;

// Null for an index of 128 or more.
InputHandlerSlot* InputHandlerGetSlot(uint32_t input);
// The slot's reader, for the caller to use even while another thread
// closes the input; null when none. The slot's Reader is read and replaced
// only through these.
std::shared_ptr<MediaReader> InputHandlerReader(uint32_t input);
// Takes the reader out of the slot (the caller closes it).
std::shared_ptr<MediaReader> InputHandlerTakeReader(uint32_t input);
// Zeroes the slot, no seek or look-ahead time recorded; a reader still in
// it is dropped unclosed, so the caller takes and closes it first.
void InputHandlerClearSlot(uint32_t input);

// Takes a reader that opened the input's file into the slot: fills the
// input's type, size and length and the slot's frame and sound facts. A
// video shorter than 0.1 s is a still image (its frame must already be
// decoded). handlerKind goes into the slot's video and audio kinds as the
// reader serves them. 0, or -141 (the reader is closed) when it has
// neither pictures nor sound.
int InputHandlerAttach(uint32_t input, std::unique_ptr<MediaReader> reader, uint32_t handlerKind);
