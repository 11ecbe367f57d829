#pragma once
// The first media reader: one object per open video or audio input, on
// FFmpeg. Frames come out as 32-bit B, G, R, A bitmaps stored bottom-up
// (FlipY 1), sound as 16-bit interleaved little-endian PCM at the track's
// own rate (at least 4000 Hz) with one or two channels (more are mixed
// down). A decoding thread of its own serves look-ahead requests.
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "platform/ffmpeg/reader_stream.h"
#include "platform/media/media_formats.h"
#include "platform/media/media_reader.h"

struct SwrContext;
struct SwsContext;

class MediaMacAV : public MediaReader {
public:
  MediaMacAV();
  ~MediaMacAV() override; // Close()
  MediaMacAV(const MediaMacAV&) = delete;
  MediaMacAV& operator=(const MediaMacAV&) = delete;

  void SelectTrack(uint32_t track) override { track_ = track; }
  // 0, -80 (not a media file), -22 (no memory for the bitmap), -1 (no
  // usable track).
  int Open(const std::wstring& path) override;
  // Ends the decoding thread and frees everything; safe to repeat.
  void Close() override;

  // Decodes the frame shown at time t into BitmapData: 0 (a cleared frame
  // past the end), -1, -21 or -81.
  int GetFrame(double t) override;
  // The frame at t as decoded, when it is studio-range 8-bit 4:2:0 of the
  // bitmap's size; the bitmap is then left unconverted until a GetFrame.
  bool GetFramePlanes(double t, PlanarPicture* out) override;
  void Seek(double t) override;
  // Hands a look-ahead time to the decoding thread; dropped when the
  // reader is busy.
  void PrepareFrame(double t) override;
  void SetPlaybackFrameRate(double fps) override { playbackFrameRate_ = fps; }
  // Sound of [t, t + length) into AudioData: 0, -89 at or past the end,
  // -21 no sound, -22 no memory, -1 failure.
  int GetAudio(double t, double length) override;

  uint32_t HasVideo() const override { return hasVideo_; }
  uint32_t HasAudio() const override { return hasAudio_; }
  double MediaLength() const override { return mediaLength_; }
  uint32_t TrackCount() const override { return trackCount_; }
  const tagBITMAPINFOHEADER& BitmapFormat() const override { return bitmapFormat_; }
  uint8_t* BitmapData() override { return bitmap_.empty() ? nullptr : bitmap_.data(); }
  uint32_t Orientation() const override { return orientation_; }
  uint32_t FlipY() const override { return 1; }
  double PlaybackFrameRate() const { return playbackFrameRate_; }
  const AudioFormat& Format() const override { return audioFormat_; }
  uint8_t* AudioData() override { return audioData_; }
  uint32_t AudioDataLength() const override { return audioDataLength_; }

private:
  int SetupVideo(const std::string& path);
  int SetupAudio(const std::string& path);
  void ReadOrientation();
  void LogDamage();
  void StartThread();
  void StopThread();
  void FrameThreadMain();
  bool Cancelled() const;
  void SeekVideoLocked(double t);
  void SeekAudioLocked(double t);
  // Positions on the frame for t; convert: also into the bitmap.
  int GetFrameDirect(double t, bool convert);
  void DropStaleRequest(double t);
  void EnsureBitmap();
  void ConvertFrame(const AVFrame* frame);
  void ClearBitmap();
  DecodedFrame ReadVideo();
  // Audio helpers (reader_audio.cpp).
  bool ReadAudioChunk();
  int ConfigureResampler(const AVFrame* frame);
  int FillAudio(double t, double length, int64_t first, uint32_t bytes, bool fresh);
  uint32_t FillHole(int64_t first, uint32_t filled, uint32_t bytes);
  void ResetAudio();

  static constexpr int64_t kNoSample = INT64_MIN;

  std::string path_;
  DecodeStream video_, audio_;
  uint32_t track_ = 0, trackCount_ = 1;
  uint32_t hasVideo_ = 0, hasAudio_ = 0, orientation_ = 0;
  double mediaLength_ = 0.0;
  double playbackFrameRate_ = 29.97;

  // Frame state, under frameLock_.
  std::recursive_mutex frameLock_;
  tagBITMAPINFOHEADER bitmapFormat_{};
  std::vector<uint8_t> bitmap_;
  DecodedFrame nextFrame_;
  double freshVideoSeekTime_ = -1.0;
  bool frameAtEnd_ = false;
  double lastFrameTime_ = -1.0, lastFrameEndTime_ = -1.0;
  SwsContext* sws_ = nullptr;
  // The decoded frame of lastFrameTime_; the bitmap is converted from it
  // only when someone asks for the bitmap.
  AvFramePtr shown_;
  bool bitmapCurrent_ = true;
  // The last request was for planes: the look-ahead leaves the bitmap be.
  std::atomic<bool> planesWanted_{false};

  // Decoding thread and its request.
  std::thread thread_;
  std::mutex wakeMutex_;
  std::condition_variable wakeCv_;
  bool frameWake_ = false;
  double frameGetTime_ = 0.0;
  std::atomic<bool> threadRunning_{false};
  std::atomic<bool> stopThread_{false};

  // Sound state, under audioLock_ (taken after frameLock_ where both are
  // held): sound is read without waiting for the video frame the decoding
  // thread may be working on.
  std::mutex audioLock_;
  AudioFormat audioFormat_{};
  SwrContext* swr_ = nullptr;
  int swrInRate_ = 0, swrInFormat_ = -1, swrInChannels_ = 0;
  // Positions in the sound are whole sample frames at its rate: a span that
  // starts where the last one ended goes on with the very next sample.
  std::vector<uint8_t> audioChunk_; // PCM of the held decoded buffer
  double loadedAudioTime_ = -1.0;   // its start in seconds; -1 none held
  int64_t loadedAudioSample_ = 0;   // and in samples
  int64_t chunkBefore_ = kNoSample; // where the stream stood before it
  // How far the sound stream has been read: the end of the last buffer
  // decoded, or the sample of the last seek; kNoSample unknown.
  int64_t audioPosition_ = kNoSample;
  // The end of the last buffer decoded since the last seek (kNoSample
  // none): the next buffer starts there unless its time leaves a hole.
  int64_t decodedEnd_ = kNoSample;
  double freshAudioSeekTime_ = -1.0;
  bool audioAtEnd_ = false;
  std::vector<uint8_t> audioBlock_;
  uint8_t* audioData_ = nullptr;
  uint32_t audioDataLength_ = 0;
  double lastAudioTime_ = -1.0;
};
