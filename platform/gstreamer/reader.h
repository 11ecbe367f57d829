#pragma once
// The second media reader: one object per open video input, on GStreamer.
// Frames come out as 32-bit B, G, R, A bitmaps stored top row first (the
// facade marks them for a vertical flip); there is no sound. The position
// moves forward frame by frame, or jumps by a seek for requests behind it
// or more than 5 s ahead. A frame thread of its own serves look-aheads.
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "platform/gstreamer/movie.h"
#include "platform/media/media_formats.h"
#include "platform/media/media_reader.h"

class MediaMacQT : public MediaReader {
public:
  MediaMacQT() = default;
  ~MediaMacQT() override; // Close()
  MediaMacQT(const MediaMacQT&) = delete;
  MediaMacQT& operator=(const MediaMacQT&) = delete;

  // 0, or -80 when the file gives no movie. A movie without a usable
  // picture opens too, with HasVideo 0.
  int Open(const std::wstring& path) override;
  // Stops and joins the frame thread, then frees movie and bitmap; safe to
  // repeat and to call while other threads still hold the object.
  void Close() override;

  // The frame shown at t into BitmapData: 0, -1 (frame thread stopping),
  // -21 (nothing open) or -81. Past the end of the media the bitmap is
  // cleared and the answer is 0.
  int GetFrame(double t) override;
  void Seek(double t) override;
  // Hands a look-ahead to the frame thread; dropped while a decode runs.
  void PrepareFrame(double t) override { PrepareFrame(t, false); }
  void PrepareFrame(double t, bool readyOnly);
  void SetPlaybackFrameRate(double fps) override { playbackFrameRate_ = fps; }
  // No sound: clears AudioData and answers -1.
  int GetAudio(double t, double length) override;

  double MediaLength() const override { return mediaLength_; }
  uint32_t HasVideo() const override { return hasVideo_; }
  uint32_t HasAudio() const override { return 0; }
  const tagBITMAPINFOHEADER& BitmapFormat() const override { return bitmapFormat_; }
  uint8_t* BitmapData() override { return bitmap_.empty() ? nullptr : bitmap_.data(); }
  uint32_t Orientation() const override { return 0; }
  uint32_t FlipY() const override { return 0; } // top row first
  double PlaybackFrameRate() const { return playbackFrameRate_; }
  double FrameDuration() const { return frameDuration_; }
  // Jumps the movie has made since it was opened (the one of the open
  // included); tells stepping from seeking.
  uint32_t SeekCount() const { return seekCount_; }
  const AudioFormat& Format() const override { return audioFormat_; }
  uint8_t* AudioData() override { return audioData_; }
  uint32_t AudioDataLength() const override { return audioDataLength_; }

private:
  void Shutdown(); // Close without recording a result
  void ReadFirstFrame();
  void DetectFrameDuration();
  void StartThread();
  void StopThread();
  void PrepareFrameThread();
  bool Cancelled() const;
  int GetFrameDirect(double t);
  void GetFrameReady(double t);
  bool CurrentSpan(double* start, double* end) const;
  void SeekLocked(double t);
  int Fetch(GstSample* sample, double start, double end);
  int DeliverEnd(double t, double start, double end);
  void ReleaseReady();

  GstMovie movie_;
  double mediaLength_ = 0.0;
  uint32_t hasVideo_ = 0;
  double playbackFrameRate_ = 29.97;
  double frameDuration_ = 0.0333667;
  AudioFormat audioFormat_{};
  uint8_t* audioData_ = nullptr;
  uint32_t audioDataLength_ = 0;

  // Frame state, under frameLock_.
  std::recursive_mutex frameLock_;
  tagBITMAPINFOHEADER bitmapFormat_{};
  std::vector<uint8_t> bitmap_; // top row first
  double freshSeekTime_ = -1.0;
  std::atomic<uint32_t> seekCount_{0};
  double lastFrameTime_ = -1.0, lastFrameEndTime_ = -1.0;
  GstSample* readySample_ = nullptr;
  double frameReadyTime_ = -1.0, frameReadyEndTime_ = -1.0;

  // Frame thread and its request (the request fields under frameLock_).
  std::mutex threadMutex_; // serialises starting and joining
  std::thread thread_;
  std::mutex wakeMutex_;
  std::condition_variable wakeCv_;
  bool wakeSignal_ = false; // under wakeMutex_
  std::atomic<bool> frameWake_{false};
  std::atomic<bool> frameReadyRunning_{false};
  double frameGetTime_ = 0.0;
  std::atomic<bool> stop_{false};
  std::atomic<bool> threadRunning_{false};
};
