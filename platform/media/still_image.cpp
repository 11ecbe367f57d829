#include "platform/media/still_image.h"

#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/imgutils.h>
#include <libswscale/swscale.h>
}

#include "base/error.h"
#include "base/log.h"
#include "base/text.h"
#include "platform/ffmpeg/ffmpeg_ptr.h"
#include "platform/media/ffmpeg_quiet.h"

void MediaImageDataFree(MediaImageData* record) {
  if (!record) return;
  std::free(record->Pixels);
  record->Pixels = nullptr;
}

int MediaImageDataAlloc(MediaImageData* record, int32_t width, int32_t height, int bitCount) {
  if (width <= 0 || height <= 0 || width > kMaxImageSide || height > kMaxImageSide) return kErrNoMemory;
  if (bitCount != 24 && bitCount != 32) return kErrNoMemory;
  uint64_t bytes = static_cast<uint64_t>(width) * static_cast<uint64_t>(height) * (bitCount / 8);
  if (bytes > kMaxImageBytes) return kErrNoMemory;
  record->Pixels = static_cast<uint8_t*>(std::calloc(1, static_cast<size_t>(bytes)));
  if (!record->Pixels) return kErrNoMemory;
  tagBITMAPINFOHEADER& h = record->Header;
  h = {};
  h.biSize = 40;
  h.biWidth = width;
  h.biHeight = height;
  h.biPlanes = 1;
  h.biBitCount = static_cast<uint16_t>(bitCount);
  h.biSizeImage = static_cast<uint32_t>(bytes);
  return kOk;
}

namespace {

bool IsImageCodec(AVCodecID id) {
  switch (id) {
  case AV_CODEC_ID_PNG: case AV_CODEC_ID_APNG: case AV_CODEC_ID_MJPEG: case AV_CODEC_ID_BMP:
  case AV_CODEC_ID_GIF: case AV_CODEC_ID_TIFF: case AV_CODEC_ID_TARGA: case AV_CODEC_ID_WEBP:
  case AV_CODEC_ID_PPM: case AV_CODEC_ID_PGM: case AV_CODEC_ID_PBM: case AV_CODEC_ID_PAM:
  case AV_CODEC_ID_SGI: case AV_CODEC_ID_JPEG2000: case AV_CODEC_ID_JPEGLS: case AV_CODEC_ID_PCX:
  case AV_CODEC_ID_SUNRAST: case AV_CODEC_ID_XBM: case AV_CODEC_ID_XWD: case AV_CODEC_ID_DDS:
  case AV_CODEC_ID_PSD: case AV_CODEC_ID_EXR: case AV_CODEC_ID_QDRAW: case AV_CODEC_ID_PICTOR:
    return true;
  default:
    return false;
  }
}

// The first picture of the file, or null (with the code in rc).
AvFramePtr DecodeFirstPicture(const std::string& path, int* rc) {
  FfmpegQuietLogs();
  *rc = kErrRead;
  AVFormatContext* raw = nullptr;
  if (avformat_open_input(&raw, path.c_str(), nullptr, nullptr) < 0) return nullptr;
  AvInputPtr fmt(raw);
  int index = -1;
  for (unsigned i = 0; i < fmt->nb_streams; ++i) {
    const AVCodecParameters* par = fmt->streams[i]->codecpar;
    if (par->codec_type == AVMEDIA_TYPE_VIDEO && IsImageCodec(par->codec_id)) {
      index = static_cast<int>(i);
      break;
    }
  }
  if (index < 0) return nullptr;
  const AVCodecParameters* par = fmt->streams[index]->codecpar;
  const AVCodec* codec = avcodec_find_decoder(par->codec_id);
  if (!codec) return nullptr;
  AvCodecPtr dec(avcodec_alloc_context3(codec));
  if (!dec || avcodec_parameters_to_context(dec.get(), par) < 0) return nullptr;
  // Keeps a crafted header from making the decoder allocate a huge picture.
  dec->max_pixels = kMaxImageBytes / 4;
  dec->thread_count = 1;
  if (avcodec_open2(dec.get(), codec, nullptr) < 0) return nullptr;
  AvPacketPtr pkt(av_packet_alloc());
  AvFramePtr frame(av_frame_alloc());
  if (!pkt || !frame) return *rc = kErrNoMemory, nullptr;
  bool draining = false;
  for (int packets = 0; packets < 64;) {
    int r = avcodec_receive_frame(dec.get(), frame.get());
    if (r == 0) return *rc = kOk, std::move(frame);
    if (r != AVERROR(EAGAIN) || draining) return nullptr;
    r = av_read_frame(fmt.get(), pkt.get());
    if (r < 0) {
      draining = true;
      avcodec_send_packet(dec.get(), nullptr);
      continue;
    }
    if (pkt->stream_index == index) {
      ++packets;
      if (avcodec_send_packet(dec.get(), pkt.get()) < 0 && packets > 1) {
        av_packet_unref(pkt.get());
        return nullptr;
      }
    }
    av_packet_unref(pkt.get());
  }
  return nullptr;
}

bool HasAlpha(AVPixelFormat format) {
  const AVPixFmtDescriptor* d = av_pix_fmt_desc_get(format);
  return d && (d->flags & AV_PIX_FMT_FLAG_ALPHA);
}

// Converts any decoded picture to 8-bit B, G, R, A rows, top row first.
int ConvertToBgra(const AVFrame* frame, std::vector<uint8_t>* out) {
  int w = frame->width, h = frame->height;
  uint64_t bytes = static_cast<uint64_t>(w) * static_cast<uint64_t>(h) * 4;
  if (w <= 0 || h <= 0 || w > kMaxImageSide || h > kMaxImageSide || bytes > kMaxImageBytes)
    return kErrNoMemory;
  auto src = static_cast<AVPixelFormat>(frame->format);
  SwsContext* sws = sws_getContext(w, h, src, w, h, AV_PIX_FMT_BGRA, SWS_POINT, nullptr, nullptr, nullptr);
  if (!sws) return kErrFailed;
  out->assign(static_cast<size_t>(bytes), 0);
  uint8_t* dst[4] = {out->data(), nullptr, nullptr, nullptr};
  int dstStride[4] = {w * 4, 0, 0, 0};
  int rows = sws_scale(sws, frame->data, frame->linesize, 0, h, dst, dstStride);
  sws_freeContext(sws);
  if (rows != h) return kErrFailed;
  if (!HasAlpha(src))
    for (size_t i = 3; i < out->size(); i += 4) (*out)[i] = 255;
  return kOk;
}

// Turns the picture upright by its Exif orientation (2 to 8).
void ApplyOrientation(int orientation, int w, int h, const uint8_t* src, uint8_t* dst) {
  bool swap = orientation >= 5;
  int dw = swap ? h : w;
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      int dx = x, dy = y;
      switch (orientation) {
      case 2: dx = w - 1 - x; break;
      case 3: dx = w - 1 - x; dy = h - 1 - y; break;
      case 4: dy = h - 1 - y; break;
      case 5: dx = y; dy = x; break;
      case 6: dx = h - 1 - y; dy = x; break;
      case 7: dx = h - 1 - y; dy = w - 1 - x; break;
      case 8: dx = y; dy = w - 1 - x; break;
      default: break;
      }
      std::memcpy(dst + (static_cast<size_t>(dy) * dw + dx) * 4, src + (static_cast<size_t>(y) * w + x) * 4, 4);
    }
  }
}

} // namespace

int MediaImageOpenMac(const char16_t* path, MediaImageData* record) {
  constexpr const char* kName = "MediaImageOpenMac";
  if (!path || !record) return ErrorSet(kErrBadArg, kName);
  *record = {};
  record->TopDown = 1;
  std::string file = WideToUtf8(Utf16ToWide(path));
  int rc = kOk;
  AvFramePtr frame = DecodeFirstPicture(file, &rc);
  if (!frame) return ErrorSet(rc, kName);
  std::vector<uint8_t> bgra;
  rc = ConvertToBgra(frame.get(), &bgra);
  if (rc != kOk) {
    if (rc == kErrFailed)
      LogPrintf(L"MediaImageOpenMac: Failed to decode image to RGB bitmap (%dx%d @ %d BPP)", frame->width,
                frame->height, 32);
    return ErrorSet(rc, kName);
  }
  int w = frame->width, h = frame->height;
  ImageExifInfo exif{};
  int orientation = ImageExifReadFile(file.c_str(), &exif) ? exif.Orientation : 1;
  if (orientation < 2 || orientation > 8) orientation = 1;
  bool swap = orientation >= 5;
  rc = MediaImageDataAlloc(record, swap ? h : w, swap ? w : h, 32);
  if (rc != kOk) return ErrorSet(rc, kName);
  record->TopDown = 1;
  LogDebug(L"MediaImageOpenMac: %dx%d @ %d BPP", record->Header.biWidth, record->Header.biHeight, 32);
  if (orientation == 1) std::memcpy(record->Pixels, bgra.data(), bgra.size());
  else ApplyOrientation(orientation, w, h, bgra.data(), record->Pixels);
  return ErrorSet(kOk, kName);
}
