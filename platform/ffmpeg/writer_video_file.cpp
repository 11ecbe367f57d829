#include "platform/ffmpeg/writer_video_file.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/buffer.h>
#include <libavutil/opt.h>
#include <libswscale/swscale.h>
}

#include <algorithm>
#include <cstring>

#include "base/util.h"
#include "platform/media/media_formats.h"

namespace {

// Encoder speed: the render loop is the slow part, the encoder must keep up
// with it at 1080p on an ordinary desktop.
constexpr const char* kX264Preset = "veryfast";
constexpr int32_t kMaxSide = 16384; // H.264 levels end well below this

// BGRA to 4:2:0 takes about 5 ms a 1080p frame on one core, on the frame
// thread ahead of the encoder: libswscale splits it into row slices over up
// to this many threads (the output is the same as with one).
constexpr unsigned kMaxConvertThreads = 8;

int32_t EvenUp(int32_t value) { return value + (value & 1); }

int ConvertThreads() {
  const unsigned cores = static_cast<unsigned>(GetProcessorCount());
  return static_cast<int>(std::clamp(cores / 2, 1u, kMaxConvertThreads));
}

SwsContext* CreateConverter(int width, int height) {
  SwsContext* c = sws_alloc_context();
  if (!c) return nullptr;
  av_opt_set_int(c, "srcw", width, 0);
  av_opt_set_int(c, "srch", height, 0);
  av_opt_set_pixel_fmt(c, "src_format", AV_PIX_FMT_BGRA, 0);
  av_opt_set_int(c, "dstw", width, 0);
  av_opt_set_int(c, "dsth", height, 0);
  av_opt_set_pixel_fmt(c, "dst_format", AV_PIX_FMT_YUV420P, 0);
  av_opt_set_int(c, "sws_flags", SWS_BILINEAR, 0);
  av_opt_set_int(c, "threads", ConvertThreads(), 0);
  if (sws_init_context(c, nullptr, nullptr) < 0) {
    sws_freeContext(c);
    return nullptr;
  }
  return c;
}

void KeepBuffer(void*, uint8_t*) {} // the caller's picture is not ours to free

} // namespace

VideoEncodeFile::~VideoEncodeFile() { release(); }

int VideoEncodeFile::openFile(const std::string& path) { return openContainer(path, "mp4"); }

int VideoEncodeFile::openEncoder(const VideoFileSettings& s) {
  const AVCodec* codec = avcodec_find_encoder_by_name("libx264");
  if (!codec || !format_ || s.width <= 0 || s.height <= 0 || s.timeScale <= 0) return -23;
  if (s.width > kMaxSide || s.height > kMaxSide) return -23;
  codedWidth_ = EvenUp(s.width);
  codedHeight_ = EvenUp(s.height);
  encoder_ = avcodec_alloc_context3(codec);
  if (!encoder_) return -23;
  encoder_->width = codedWidth_;
  encoder_->height = codedHeight_;
  encoder_->pix_fmt = AV_PIX_FMT_YUV420P;
  encoder_->time_base = AVRational{1, s.timeScale};
  encoder_->framerate = AVRational{s.timeScale, 1000};
  encoder_->bit_rate = static_cast<int64_t>(s.kbitrate) * 1024;
  encoder_->profile = FF_PROFILE_H264_MAIN;
  if (s.levelIdc > 0) encoder_->level = s.levelIdc;
  const bool hd = OutputMatrixFor(codedWidth_, codedHeight_) == YuvMatrix::Bt709;
  encoder_->colorspace = hd ? AVCOL_SPC_BT709 : AVCOL_SPC_SMPTE170M;
  encoder_->color_primaries = hd ? AVCOL_PRI_BT709 : AVCOL_PRI_SMPTE170M;
  encoder_->color_trc = hd ? AVCOL_TRC_BT709 : AVCOL_TRC_SMPTE170M;
  encoder_->color_range = AVCOL_RANGE_MPEG;
  if (format_->oformat->flags & AVFMT_GLOBALHEADER) encoder_->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
  av_opt_set(encoder_->priv_data, "preset", kX264Preset, 0);
  av_opt_set(encoder_->priv_data, "profile", "main", 0);
  if (avcodec_open2(encoder_, codec, nullptr) < 0) return -23;

  if (addStream() < 0) return -23;
  stream_->avg_frame_rate = encoder_->framerate;

  converter_ = CreateConverter(codedWidth_, codedHeight_);
  if (!converter_) return -23;
  const int* coefficients = sws_getCoefficients(hd ? SWS_CS_ITU709 : SWS_CS_ITU601);
  sws_setColorspaceDetails(converter_, coefficients, 1, coefficients, 0, 0, 1 << 16, 1 << 16);
  picture_ = av_frame_alloc();
  source_ = av_frame_alloc();
  packet_ = av_packet_alloc();
  if (!picture_ || !source_ || !packet_) return -23;
  picture_->format = AV_PIX_FMT_YUV420P;
  picture_->width = codedWidth_;
  picture_->height = codedHeight_;
  if (av_frame_get_buffer(picture_, 0) < 0) return -23;
  return 0;
}

// The caller's picture is lent to libswscale or libavcodec through a
// reference that never frees it: a frame without one would be copied first.
bool VideoEncodeFile::lendSource(const uint8_t* data, size_t bytes, int pixelFormat) {
  source_->buf[0] = av_buffer_create(const_cast<uint8_t*>(data), bytes, KeepBuffer, nullptr,
                                     AV_BUFFER_FLAG_READONLY);
  if (!source_->buf[0]) return false;
  source_->format = pixelFormat;
  source_->width = codedWidth_;
  source_->height = codedHeight_;
  source_->data[0] = const_cast<uint8_t*>(data);
  return true;
}

int VideoEncodeFile::encode(const uint8_t* bgraTopDown, int64_t pts) {
  if (!started_ || !bgraTopDown || pts <= lastPts_) return -82;
  if (av_frame_make_writable(picture_) < 0) return -82;
  const size_t bytes = static_cast<size_t>(codedWidth_) * 4 * codedHeight_;
  if (!lendSource(bgraTopDown, bytes, AV_PIX_FMT_BGRA)) return -82;
  source_->linesize[0] = codedWidth_ * 4;
  const int converted = sws_scale_frame(converter_, picture_, source_);
  av_frame_unref(source_);
  if (converted < 0) return -82;
  return encodeLoaded(pts);
}

int VideoEncodeFile::encodePlanes(const uint8_t* yuv420, int64_t pts) {
  if (!started_ || !yuv420 || pts <= lastPts_) return -82;
  // libx264 copies the picture into its own frames before the send returns.
  const size_t luma = static_cast<size_t>(codedWidth_) * codedHeight_;
  if (!lendSource(yuv420, luma * 3 / 2, AV_PIX_FMT_YUV420P)) return -82;
  source_->data[1] = source_->data[0] + luma;
  source_->data[2] = source_->data[1] + luma / 4;
  source_->linesize[0] = codedWidth_;
  source_->linesize[1] = source_->linesize[2] = codedWidth_ / 2;
  source_->pts = pts;
  lastPts_ = pts;
  const int result = sendAndWrite(source_);
  av_frame_unref(source_);
  return result;
}

int VideoEncodeFile::encodeLoaded(int64_t pts) {
  if (!started_ || pts <= lastPts_) return -82;
  picture_->pts = pts;
  lastPts_ = pts;
  return sendAndWrite(picture_);
}

int VideoEncodeFile::drain() { return sendAndWrite(nullptr); }

void VideoEncodeFile::release() {
  sws_freeContext(converter_);
  converter_ = nullptr;
  av_frame_free(&picture_);
  av_frame_free(&source_);
  releaseFile();
}
