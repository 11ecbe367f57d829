#include "platform/ffmpeg/writer_remux.h"

#include "platform/ffmpeg/ffmpeg_log.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
}

namespace {

int InterruptWhenCancelled(void* opaque) {
  return static_cast<const std::atomic<bool>*>(opaque)->load() ? 1 : 0;
}

// One opened temporary and its chosen track, with the next packet read ahead.
struct TrackSource {
  AVFormatContext* format = nullptr;
  int streamIndex = -1;
  AVStream* outStream = nullptr;
  AVPacket* next = nullptr;
  bool ended = false;

  ~TrackSource() {
    av_packet_free(&next);
    avformat_close_input(&format);
  }
};

enum class OpenResult { kOk, kNoFile, kNoLength };

OpenResult OpenTrack(const std::string& path, AVMediaType type, const std::atomic<bool>& cancel,
                     TrackSource& source) {
  source.format = avformat_alloc_context();
  if (!source.format) return OpenResult::kNoFile;
  source.format->interrupt_callback.callback = InterruptWhenCancelled;
  source.format->interrupt_callback.opaque = const_cast<std::atomic<bool>*>(&cancel);
  if (avformat_open_input(&source.format, path.c_str(), nullptr, nullptr) < 0) return OpenResult::kNoFile;
  if (avformat_find_stream_info(source.format, nullptr) < 0) return OpenResult::kNoFile;
  source.streamIndex = av_find_best_stream(source.format, type, -1, -1, nullptr, 0);
  if (source.streamIndex < 0) return OpenResult::kNoLength;
  const AVStream* stream = source.format->streams[source.streamIndex];
  if (stream->duration <= 0 && source.format->duration <= 0) return OpenResult::kNoLength;
  source.next = av_packet_alloc();
  return source.next ? OpenResult::kOk : OpenResult::kNoFile;
}

// Reads the next packet of the chosen track; false at the end. Read errors
// end the track too, but are reported.
bool ReadAhead(TrackSource& source, int& error) {
  for (;;) {
    av_packet_unref(source.next);
    const int result = av_read_frame(source.format, source.next);
    if (result == AVERROR_EOF) break;
    if (result < 0) {
      error = result;
      break;
    }
    if (source.next->stream_index == source.streamIndex) return true;
  }
  source.ended = true;
  return false;
}

bool AddOutputStream(AVFormatContext* output, TrackSource& source) {
  const AVStream* in = source.format->streams[source.streamIndex];
  source.outStream = avformat_new_stream(output, nullptr);
  if (!source.outStream || avcodec_parameters_copy(source.outStream->codecpar, in->codecpar) < 0) return false;
  source.outStream->codecpar->codec_tag = 0;
  source.outStream->time_base = in->time_base;
  source.outStream->avg_frame_rate = in->avg_frame_rate;
  return true;
}

// True when a's waiting packet comes no later than b's.
bool ComesFirst(const TrackSource& a, const TrackSource& b) {
  if (a.ended) return false;
  if (b.ended) return true;
  const AVStream* sa = a.format->streams[a.streamIndex];
  const AVStream* sb = b.format->streams[b.streamIndex];
  const int64_t ta = a.next->dts != AV_NOPTS_VALUE ? a.next->dts : a.next->pts;
  const int64_t tb = b.next->dts != AV_NOPTS_VALUE ? b.next->dts : b.next->pts;
  return av_compare_ts(ta, sa->time_base, tb, sb->time_base) <= 0;
}

RemuxStatus CopyPackets(AVFormatContext* output, TrackSource& video, TrackSource& audio,
                        const std::atomic<bool>& cancel, std::string& reason) {
  int readError = 0;
  ReadAhead(video, readError);
  ReadAhead(audio, readError);
  while (!video.ended || !audio.ended) {
    if (cancel.load()) return RemuxStatus::kCancelled;
    TrackSource& from = ComesFirst(video, audio) ? video : audio;
    const AVStream* in = from.format->streams[from.streamIndex];
    AVPacket* packet = av_packet_clone(from.next);
    if (!packet) {
      reason = "out of memory";
      return RemuxStatus::kFailed;
    }
    av_packet_rescale_ts(packet, in->time_base, from.outStream->time_base);
    packet->stream_index = from.outStream->index;
    packet->pos = -1;
    const int written = av_interleaved_write_frame(output, packet);
    av_packet_free(&packet);
    if (written < 0) {
      reason = cancel.load() ? "cancelled" : AvErrorText(written);
      return cancel.load() ? RemuxStatus::kCancelled : RemuxStatus::kFailed;
    }
    ReadAhead(from, readError);
    if (readError < 0) {
      reason = "reading a temporary file: " + AvErrorText(readError);
      return cancel.load() ? RemuxStatus::kCancelled : RemuxStatus::kFailed;
    }
  }
  return RemuxStatus::kCompleted;
}

struct OutputFile {
  AVFormatContext* format = nullptr;
  ~OutputFile() {
    if (format) {
      if (format->pb) avio_closep(&format->pb);
      avformat_free_context(format);
    }
  }
};

} // namespace

RemuxStatus RemuxVideoAndAudio(const std::string& videoPath, const std::string& audioPath,
                               const std::string& outputPath, const std::atomic<bool>& cancel,
                               std::string& reason) {
  TrackSource video, audio;
  switch (OpenTrack(videoPath, AVMEDIA_TYPE_VIDEO, cancel, video)) {
  case OpenResult::kNoFile: return RemuxStatus::kNoVideoFile;
  case OpenResult::kNoLength: return RemuxStatus::kNoVideoLength;
  case OpenResult::kOk: break;
  }
  switch (OpenTrack(audioPath, AVMEDIA_TYPE_AUDIO, cancel, audio)) {
  case OpenResult::kNoFile: return RemuxStatus::kNoAudioFile;
  case OpenResult::kNoLength: return RemuxStatus::kNoAudioLength;
  case OpenResult::kOk: break;
  }
  OutputFile output;
  if (avformat_alloc_output_context2(&output.format, nullptr, "mp4", outputPath.c_str()) < 0 ||
      !output.format || !AddOutputStream(output.format, video) || !AddOutputStream(output.format, audio))
    return RemuxStatus::kNoOutput;
  output.format->interrupt_callback.callback = InterruptWhenCancelled;
  output.format->interrupt_callback.opaque = const_cast<std::atomic<bool>*>(&cancel);
  int result = avio_open2(&output.format->pb, outputPath.c_str(), AVIO_FLAG_WRITE,
                          &output.format->interrupt_callback, nullptr);
  if (result < 0 || (result = avformat_write_header(output.format, nullptr)) < 0) {
    reason = AvErrorText(result);
    return cancel.load() ? RemuxStatus::kCancelled : RemuxStatus::kFailed;
  }
  const RemuxStatus copied = CopyPackets(output.format, video, audio, cancel, reason);
  if (copied != RemuxStatus::kCompleted) return copied;
  if ((result = av_write_trailer(output.format)) < 0 || (result = avio_closep(&output.format->pb)) < 0) {
    reason = AvErrorText(result);
    return cancel.load() ? RemuxStatus::kCancelled : RemuxStatus::kFailed;
  }
  return RemuxStatus::kCompleted;
}
