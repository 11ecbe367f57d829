#include "platform/media/image_writer.h"

#include <memory>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavutil/frame.h>
#include <libswscale/swscale.h>
}

#include "base/error.h"
#include "platform/ffmpeg/ffmpeg_ptr.h"
#include "platform/media/still_image.h"

int ImageEncode(ImageFileKind kind, const uint8_t* bgra, int width, int height, std::vector<uint8_t>* out) {
  if (!bgra || !out || width <= 0 || height <= 0 || width > kMaxImageSide || height > kMaxImageSide)
    return kErrBadArg;
  const bool png = kind == ImageFileKind::Png;
  const AVCodec* codec = avcodec_find_encoder(png ? AV_CODEC_ID_PNG : AV_CODEC_ID_MJPEG);
  if (!codec) return kErrNoObject;
  const AVPixelFormat format = png ? AV_PIX_FMT_RGBA : AV_PIX_FMT_YUVJ444P;
  AvCodecPtr enc(avcodec_alloc_context3(codec));
  AvFramePtr frame(av_frame_alloc());
  AvPacketPtr packet(av_packet_alloc());
  if (!enc || !frame || !packet) return kErrNoMemory;
  enc->width = width;
  enc->height = height;
  enc->pix_fmt = format;
  enc->time_base = AVRational{1, 25};
  enc->color_range = AVCOL_RANGE_JPEG;
  if (!png) {
    enc->flags |= AV_CODEC_FLAG_QSCALE;
    enc->global_quality = FF_QP2LAMBDA * 2; // high quality
  }
  if (avcodec_open2(enc.get(), codec, nullptr) < 0) return kErrNoObject;
  frame->width = width;
  frame->height = height;
  frame->format = format;
  if (av_frame_get_buffer(frame.get(), 0) < 0) return kErrNoMemory;
  if (!png) frame->quality = enc->global_quality;
  SwsContext* sws = sws_getContext(width, height, AV_PIX_FMT_BGRA, width, height, format, SWS_POINT, nullptr,
                                   nullptr, nullptr);
  if (!sws) return kErrNoObject;
  const uint8_t* src[4] = {bgra, nullptr, nullptr, nullptr};
  int srcStride[4] = {width * 4, 0, 0, 0};
  sws_scale(sws, src, srcStride, 0, height, frame->data, frame->linesize);
  sws_freeContext(sws);
  if (avcodec_send_frame(enc.get(), frame.get()) < 0 || avcodec_send_frame(enc.get(), nullptr) < 0) return kErrWrite;
  if (avcodec_receive_packet(enc.get(), packet.get()) < 0) return kErrWrite;
  out->assign(packet->data, packet->data + packet->size);
  return kOk;
}
