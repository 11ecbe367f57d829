#include "platform/ffmpeg/reader_stream.h"

#include <cstring>

#include "engine/base/error.h"
#include "platform/media/ffmpeg_quiet.h"

namespace {

constexpr double kSoundPreroll = 0.1; // seconds

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

int DecodeStream::Open(const std::string& path, AVMediaType type, std::chrono::milliseconds openTimeout) {
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
  index_ = av_find_best_stream(fmt_, type, -1, -1, &codec, 0);
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
  dec_ = avcodec_alloc_context3(codec);
  packet_ = av_packet_alloc();
  if (!dec_ || !packet_ || avcodec_parameters_to_context(dec_, st->codecpar) < 0) {
    Close();
    return kErrNoMemory;
  }
  dec_->thread_count = 0;
  dec_->max_pixels = 16384ll * 16384;
  if (avcodec_open2(dec_, codec, nullptr) < 0) {
    Close();
    return kErrFailed;
  }
  origin_ = fmt_->start_time != AV_NOPTS_VALUE ? static_cast<double>(fmt_->start_time) / AV_TIME_BASE : 0.0;
  draining_ = ended_ = false;
  lastTime_ = -1.0;
  return kOk;
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
  avcodec_flush_buffers(dec_);
  draining_ = ended_ = false;
  lastTime_ = -1.0;
  return rc < 0 ? kErrFailed : kOk;
}

DecodedFrame DecodeStream::Next() {
  DecodedFrame out;
  if (!dec_ || ended_) return out;
  AvFramePtr frame(av_frame_alloc());
  if (!frame) return out;
  for (;;) {
    int rc = avcodec_receive_frame(dec_, frame.get());
    if (rc == 0) break;
    if (rc != AVERROR(EAGAIN) || draining_) {
      ended_ = true;
      return out;
    }
    rc = av_read_frame(fmt_, packet_);
    if (rc < 0) {
      draining_ = true;
      avcodec_send_packet(dec_, nullptr);
      continue;
    }
    if (packet_->stream_index == index_) avcodec_send_packet(dec_, packet_); // a bad packet is skipped
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
