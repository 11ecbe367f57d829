#pragma once
// One stream of a media file read strictly forwards through its own
// demuxer and decoder: the video and the sound of a reader each have one,
// so either may seek without disturbing the other.
#include <atomic>
#include <chrono>
#include <cstdint>
#include <memory>
#include <set>
#include <string>

#include "platform/ffmpeg/ffmpeg_ptr.h"

// A decoded frame with its presentation time in seconds from the start of
// the file.
struct DecodedFrame {
  AvFramePtr Frame;
  double Time = 0.0;
  explicit operator bool() const { return Frame != nullptr; }
};

class DecodeStream {
public:
  DecodeStream() = default;
  ~DecodeStream();
  DecodeStream(const DecodeStream&) = delete;
  DecodeStream& operator=(const DecodeStream&) = delete;

  // Opens the file by content and stream `track` (from 0) of the type, or
  // its first when the file has fewer; the open is abandoned after
  // openTimeout. 0, -80 (not a media file or timed out), -1 (no such stream
  // or no decoder for it).
  int Open(const std::string& path, AVMediaType type, std::chrono::milliseconds openTimeout, int track = 0);
  void Close();
  bool IsOpen() const { return dec_ != nullptr; }

  const AVStream* Stream() const { return fmt_->streams[index_]; }
  AVCodecContext* Codec() const { return dec_; }
  const AVFormatContext* Format() const { return fmt_; }
  // Streams of the opened type in the file (cover art is no video).
  int TrackCount() const;
  // Seconds of the whole file, from its container (0 when unknown).
  double Duration() const;
  // Repositions at the key frame at or before t; the next frames may start
  // before t. 0 or -1.
  int SeekTo(double t);
  // The next frame, or an empty one at the end of the stream. A packet that
  // does not decode, or a picture decoded with errors, is passed over.
  DecodedFrame Next();
  bool AtEnd() const { return ended_; }
  // Damaged packets met so far, each counted once however often it is read.
  size_t DamagedCount() const { return damaged_.size(); }

private:
  static int Interrupted(void* self);
  // A new decoder for the stream: 0, -22 or -1.
  int OpenDecoder();
  void NoteDamaged();
  // A frame not to be shown: marked as damaged by the decoder, or a
  // picture after a damaged one before the next key frame (it would be
  // drawn from the damaged one). The frame before stays shown instead.
  bool Skip(const AVFrame* frame);

  AVFormatContext* fmt_ = nullptr;
  AVCodecContext* dec_ = nullptr;
  AVPacket* packet_ = nullptr;
  int index_ = -1;
  double origin_ = 0.0;   // seconds subtracted from every timestamp
  double lastTime_ = -1.0;
  bool draining_ = false;
  bool ended_ = false;
  int64_t lastPacketTime_ = 0; // of the packet last sent to the decoder
  std::set<int64_t> damaged_;
  int heldPictures_ = -1; // pictures passed over since damage; -1 none
  std::chrono::steady_clock::time_point deadline_{};
  std::atomic<bool> closing_{false};
};
