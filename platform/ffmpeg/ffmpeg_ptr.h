#pragma once
// FFmpeg objects owned by std::unique_ptr, each freed by its own routine.
#include <memory>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
}

struct AvFrameFree {
  void operator()(AVFrame* f) const { av_frame_free(&f); }
};
struct AvPacketFree {
  void operator()(AVPacket* p) const { av_packet_free(&p); }
};
struct AvCodecFree {
  void operator()(AVCodecContext* c) const { avcodec_free_context(&c); }
};
// For a file opened by avformat_open_input.
struct AvInputClose {
  void operator()(AVFormatContext* c) const { avformat_close_input(&c); }
};

using AvFramePtr = std::unique_ptr<AVFrame, AvFrameFree>;
using AvPacketPtr = std::unique_ptr<AVPacket, AvPacketFree>;
using AvCodecPtr = std::unique_ptr<AVCodecContext, AvCodecFree>;
using AvInputPtr = std::unique_ptr<AVFormatContext, AvInputClose>;
