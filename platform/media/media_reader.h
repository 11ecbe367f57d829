#pragma once
// One open media file behind an input's media slot: the FFmpeg reader, the
// GStreamer reader, the WAV reader and still images all answer the media
// layer through this, so a new back end or input kind is one new class.
// The slot owns its reader; the reader owns its frame bitmap and its sound
// block, which stay valid until its next request or close.
#include <cstdint>
#include <string>

#include "platform/media/media_formats.h"

class MediaReader {
public:
  virtual ~MediaReader() = default;

  // The track to open (from 0), set before Open: the file's track'th
  // picture and sound stream where it has that many, else its first ones.
  virtual void SelectTrack(uint32_t) {}
  // 0 or a negative code; a reader that failed to open is closed again.
  virtual int Open(const std::wstring& path) = 0;
  // Ends the reader's threads and frees everything; safe to repeat.
  virtual void Close() = 0;

  // Stream facts, known once open.
  virtual uint32_t HasVideo() const = 0;
  virtual uint32_t HasAudio() const = 0;
  virtual double MediaLength() const = 0; // seconds; below 0.1 a still picture
  // Tracks to choose from: the most picture or sound streams of one kind.
  virtual uint32_t TrackCount() const { return 1; }
  virtual const tagBITMAPINFOHEADER& BitmapFormat() const = 0;
  virtual const AudioFormat& Format() const = 0;
  // 1 when the frames are stored bottom row first, 0 top row first.
  virtual uint32_t FlipY() const = 0;
  // 1 when the picture is turned by 180 degrees.
  virtual uint32_t Orientation() const { return 0; }

  // The frame shown at time t (seconds of the file) into BitmapData: 0 (a
  // cleared frame past the end), or a negative code.
  virtual int GetFrame(double t) = 0;
  virtual uint8_t* BitmapData() = 0;
  // The frame shown at time t in its decoded 4:2:0 planes, without the
  // conversion to BitmapData; false when the reader has no such picture for
  // t (another layout, a cleared frame past the end): GetFrame then.
  virtual bool GetFramePlanes(double, PlanarPicture*) { return false; }
  // Look-ahead: the frame at t will be asked for next; a reader may ignore it.
  virtual void PrepareFrame(double) {}
  virtual void Seek(double) {}
  virtual void SetPlaybackFrameRate(double) {}

  // Sound of [t, t + length) into AudioData in Format(): 0, -89 at or past
  // the end, another negative code when there is none or it failed.
  virtual int GetAudio(double t, double length) = 0;
  virtual uint8_t* AudioData() = 0;
  virtual uint32_t AudioDataLength() const = 0;
};
