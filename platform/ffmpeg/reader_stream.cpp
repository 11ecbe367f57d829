#include "platform/ffmpeg/reader_stream.h"

#include <cstring>

#include "base/error.h"
#include "platform/media/ffmpeg_quiet.h"

namespace {

constexpr double kSoundPreroll = 0.1; // seconds
// Errors in a row after which a stream counts as ended: a demuxer or a
// decoder that fails on every call would otherwise never let go.
constexpr int kMaxErrorsInRow = 256;
// Decoder messages about the user's damaged files would fill the session
// log; the reader logs one count per file instead.
constexpr int kQuietDecoder = AV_LOG_DEBUG - AV_LOG_ERROR;
// Pictures after a damaged one wait at most this long for a key frame.
constexpr int kMaxHeldPictures = 600;

// Demuxers that take text or arbitrary bytes for pictures; a file only
// they accept is not a media file for us.
bool IsTextDemuxer(const char* name) {
  static const char* const kNames[] = {"tty", "srt", "webvtt", "ass", "microdvd", "subviewer", "subviewer1",
                                       "jacosub", "sami", "realtext", "stl", "pjs", "mpl2", "vplayer",
                                       "lrc", "aqtitle", "bin", "xbin", "idf", "adf", "data"};
  for (const char* n : kNames)
    if (std::strcmp(name, n) == 0) return true;
  return false;
}

bool IsTrack(const AVStream* st, AVMediaType type) {
  if (st->codecpar->codec_type != type) return false;
  return type != AVMEDIA_TYPE_VIDEO || !(st->disposition & AV_DISPOSITION_ATTACHED_PIC);
}

// Stream number of the track'th stream of the type, or -1.
int NthTrack(const AVFormatContext* fmt, AVMediaType type, int track) {
  for (unsigned i = 0; i < fmt->nb_streams; ++i)
    if (IsTrack(fmt->streams[i], type) && track-- == 0) return static_cast<int>(i);
  return -1;
}

} // namespace

DecodeStream::~DecodeStream() { Close(); }

void DecodeStream::Close() {
  closing_ = true;
  av_packet_free(&packet_);
  avcodec_free_context(&dec_);
  avformat_close_input(&fmt_);
  index_ = -1;
  closing_ = false;
}

int DecodeStream::Interrupted(void* self) {
  auto* s = static_cast<DecodeStream*>(self);
  if (s->closing_) return 1;
  return s->deadline_ != std::chrono::steady_clock::time_point{} && std::chrono::steady_clock::now() > s->deadline_;
}

int DecodeStream::Open(const std::string& path, AVMediaType type, std::chrono::milliseconds openTimeout, int track) {
  FfmpegQuietLogs();
  Close();
  fmt_ = avformat_alloc_context();
  if (!fmt_) return kErrNoMemory;
  fmt_->interrupt_callback.callback = &DecodeStream::Interrupted;
  fmt_->interrupt_callback.opaque = this;
  deadline_ = std::chrono::steady_clock::now() + openTimeout;
  if (avformat_open_input(&fmt_, path.c_str(), nullptr, nullptr) < 0) {
    fmt_ = nullptr; // freed by the failed open
    deadline_ = {};
    return kErrOpen;
  }
  if (IsTextDemuxer(fmt_->iformat->name) || avformat_find_stream_info(fmt_, nullptr) < 0) {
    Close();
    deadline_ = {};
    return kErrOpen;
  }
  deadline_ = {};
  const AVCodec* codec = nullptr;
  // A track the file does not have: its first.
  int wanted = NthTrack(fmt_, type, track);
  if (wanted < 0) wanted = NthTrack(fmt_, type, 0);
  index_ = av_find_best_stream(fmt_, type, wanted, -1, &codec, 0);
  if (index_ < 0 || !codec) {
    Close();
    return kErrFailed;
  }
  AVStream* st = fmt_->streams[index_];
  if (type == AVMEDIA_TYPE_VIDEO && (st->disposition & AV_DISPOSITION_ATTACHED_PIC)) {
    Close(); // cover art is no video
    return kErrFailed;
  }
  for (unsigned i = 0; i < fmt_->nb_streams; ++i)
    if (static_cast<int>(i) != index_) fmt_->streams[i]->discard = AVDISCARD_ALL;
  packet_ = av_packet_alloc();
  if (!packet_) {
    Close();
    return kErrNoMemory;
  }
  const int rc = OpenDecoder();
  if (rc != kOk) {
    Close();
    return rc;
  }
  origin_ = fmt_->start_time != AV_NOPTS_VALUE ? static_cast<double>(fmt_->start_time) / AV_TIME_BASE : 0.0;
  draining_ = ended_ = false;
  lastTime_ = -1.0;
  heldPictures_ = -1;
  damaged_.clear();
  return kOk;
}

int DecodeStream::OpenDecoder() {
  avcodec_free_context(&dec_);
  const AVCodecParameters* par = fmt_->streams[index_]->codecpar;
  const AVCodec* codec = avcodec_find_decoder(par->codec_id);
  dec_ = codec ? avcodec_alloc_context3(codec) : nullptr;
  if (!dec_ || avcodec_parameters_to_context(dec_, par) < 0) return kErrNoMemory;
  // The decoder moves a buffer's time past the samples it drops at the
  // start (an MP3 encoder's delay) only when it knows the stream's units.
  dec_->pkt_timebase = fmt_->streams[index_]->time_base;
  dec_->thread_count = 0;
  dec_->max_pixels = 16384ll * 16384;
  dec_->log_level_offset = kQuietDecoder;
  if (avcodec_open2(dec_, codec, nullptr) < 0) {
    avcodec_free_context(&dec_);
    return kErrFailed;
  }
  return kOk;
}

int DecodeStream::TrackCount() const {
  if (!fmt_ || index_ < 0) return 0;
  const AVMediaType type = fmt_->streams[index_]->codecpar->codec_type;
  int n = 0;
  for (unsigned i = 0; i < fmt_->nb_streams; ++i) n += IsTrack(fmt_->streams[i], type) ? 1 : 0;
  return n;
}

double DecodeStream::Duration() const {
  if (!fmt_) return 0.0;
  if (fmt_->duration != AV_NOPTS_VALUE && fmt_->duration > 0) return static_cast<double>(fmt_->duration) / AV_TIME_BASE;
  const AVStream* st = fmt_->streams[index_];
  if (st->duration != AV_NOPTS_VALUE && st->duration > 0) return st->duration * av_q2d(st->time_base);
  return 0.0;
}

int DecodeStream::SeekTo(double t) {
  if (!dec_) return kErrFailed;
  const AVStream* st = fmt_->streams[index_];
  double tb = av_q2d(st->time_base);
  // Sound decoders need the packets before the wanted time to warm up (AAC
  // carries priming samples before its start for this): sound is sought a
  // little early, and the reader drops what comes before the time.
  const bool sound = dec_->codec_type == AVMEDIA_TYPE_AUDIO;
  int64_t ts = static_cast<int64_t>((t + origin_ - (sound ? kSoundPreroll : 0.0)) / tb);
  if (!sound && st->start_time != AV_NOPTS_VALUE && ts < st->start_time) ts = st->start_time;
  int rc = av_seek_frame(fmt_, index_, ts, AVSEEK_FLAG_BACKWARD);
  if (rc < 0) rc = avformat_seek_file(fmt_, index_, INT64_MIN, ts, ts, 0);
  if (rc < 0) rc = av_seek_frame(fmt_, -1, 0, AVSEEK_FLAG_BACKWARD);
  // Sound decoders keep state that a flush leaves (the noise generator of
  // AAC's noise substitution): a fresh one decodes the same samples from
  // the same place every time.
  if (!sound) avcodec_flush_buffers(dec_);
  else if (OpenDecoder() != kOk) rc = -1;
  heldPictures_ = -1; // decoding starts again at a key frame
  draining_ = ended_ = false;
  lastTime_ = -1.0;
  return rc < 0 ? kErrFailed : kOk;
}

void DecodeStream::NoteDamaged() {
  damaged_.insert(lastPacketTime_);
  if (dec_->codec_type == AVMEDIA_TYPE_VIDEO) heldPictures_ = 0;
}

bool DecodeStream::Skip(const AVFrame* frame) {
  if (frame->decode_error_flags != 0 || (frame->flags & AV_FRAME_FLAG_CORRUPT) != 0) {
    NoteDamaged();
    return true;
  }
  if (heldPictures_ < 0) return false;
  // A stream without key frames (intra refresh) is shown again after a while.
  if (frame->key_frame || ++heldPictures_ > kMaxHeldPictures) {
    heldPictures_ = -1;
    return false;
  }
  return true;
}

DecodedFrame DecodeStream::Next() {
  DecodedFrame out;
  if (!dec_ || ended_) return out;
  AvFramePtr frame(av_frame_alloc());
  if (!frame) return out;
  // A damaged packet costs its own span, never the rest of the stream.
  for (int errors = 0;;) {
    int rc = avcodec_receive_frame(dec_, frame.get());
    if (rc == 0) {
      if (!Skip(frame.get())) break;
      av_frame_unref(frame.get());
      continue;
    }
    if (rc == AVERROR_EOF || (rc == AVERROR(EAGAIN) && draining_) || errors >= kMaxErrorsInRow) {
      ended_ = true;
      return out;
    }
    if (rc != AVERROR(EAGAIN)) {
      NoteDamaged();
      ++errors;
      continue;
    }
    rc = av_read_frame(fmt_, packet_);
    if (rc < 0) {
      // Only the end of the file ends the stream; a damaged stretch of the
      // container is read past.
      const bool atEof = rc == AVERROR_EOF || (fmt_->pb && avio_feof(fmt_->pb));
      if (!atEof && ++errors < kMaxErrorsInRow) continue;
      draining_ = true;
      avcodec_send_packet(dec_, nullptr);
      continue;
    }
    if (packet_->stream_index == index_) {
      lastPacketTime_ = packet_->pts != AV_NOPTS_VALUE ? packet_->pts : packet_->dts;
      rc = avcodec_send_packet(dec_, packet_);
      if (rc < 0 && rc != AVERROR(EAGAIN)) NoteDamaged();
      else errors = 0;
    }
    av_packet_unref(packet_);
  }
  const AVStream* st = fmt_->streams[index_];
  int64_t ts = frame->best_effort_timestamp != AV_NOPTS_VALUE ? frame->best_effort_timestamp : frame->pts;
  double time;
  if (ts != AV_NOPTS_VALUE) {
    time = ts * av_q2d(st->time_base) - origin_;
  } else {
    AVRational rate = st->avg_frame_rate.num > 0 ? st->avg_frame_rate : AVRational{30, 1};
    double step = dec_->codec_type == AVMEDIA_TYPE_AUDIO && frame->sample_rate > 0
                      ? static_cast<double>(frame->nb_samples) / frame->sample_rate
                      : av_q2d(av_inv_q(rate));
    time = lastTime_ < 0 ? 0.0 : lastTime_ + step;
  }
  lastTime_ = time;
  out.Frame = std::move(frame);
  out.Time = time;
  return out;
}
