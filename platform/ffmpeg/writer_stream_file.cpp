#include "platform/ffmpeg/writer_stream_file.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
}

EncodedStreamFile::~EncodedStreamFile() { releaseFile(); }

int EncodedStreamFile::openContainer(const std::string& path, const char* muxer) {
  if (avformat_alloc_output_context2(&format_, nullptr, muxer, path.c_str()) < 0 || !format_)
    return -82;
  if (avio_open(&format_->pb, path.c_str(), AVIO_FLAG_WRITE) < 0) return -82;
  return 0;
}

int EncodedStreamFile::addStream() {
  stream_ = avformat_new_stream(format_, nullptr);
  if (!stream_ || avcodec_parameters_from_context(stream_->codecpar, encoder_) < 0) return -23;
  stream_->time_base = encoder_->time_base;
  return 0;
}

int EncodedStreamFile::writeHeader() {
  if (!format_ || !stream_) return -82;
  if (avformat_write_header(format_, nullptr) < 0) return -82;
  started_ = true;
  return 0;
}

int EncodedStreamFile::sendAndWrite(const AVFrame* frame) {
  int result = avcodec_send_frame(encoder_, frame);
  if (result < 0 && result != AVERROR_EOF) return -82;
  for (;;) {
    result = avcodec_receive_packet(encoder_, packet_);
    if (result == AVERROR(EAGAIN) || result == AVERROR_EOF) return 0;
    if (result < 0) return -82;
    av_packet_rescale_ts(packet_, encoder_->time_base, stream_->time_base);
    packet_->stream_index = stream_->index;
    if (const int written = av_interleaved_write_frame(format_, packet_); written < 0) {
      noteWriteError(written);
      return -82;
    }
  }
}

int EncodedStreamFile::finish() {
  const int result = started_ ? completeFile(drain()) : -82;
  release();
  return result;
}

void EncodedStreamFile::abandon() {
  started_ = false;
  release();
}

int EncodedStreamFile::completeFile(int result) {
  if (const int written = av_write_trailer(format_); written < 0) {
    noteWriteError(written);
    result = -82;
  }
  if (const int closed = avio_closep(&format_->pb); closed < 0) {
    noteWriteError(closed);
    result = -82;
  }
  started_ = false;
  return result;
}

void EncodedStreamFile::noteWriteError(int code) {
  if (writeError_ == 0) writeError_ = code;
}

void EncodedStreamFile::releaseFile() {
  if (format_) {
    if (format_->pb) avio_closep(&format_->pb);
    avformat_free_context(format_);
    format_ = nullptr;
    stream_ = nullptr;
  }
  avcodec_free_context(&encoder_);
  av_packet_free(&packet_);
}
