#include "platform/ffmpeg/reader.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstring>
#include <limits>

extern "C" {
#include <libavutil/display.h>
#include <libavutil/imgutils.h>
#include <libswscale/swscale.h>
}

#include "base/error.h"
#include "base/log.h"
#include "base/text.h"
#include "platform/media/colour_convert.h"

namespace {
// Opening a file on a stalled network share must not hang the engine.
constexpr std::chrono::milliseconds kOpenTimeout{20000};
constexpr uint64_t kMaxFrameBytes = 16384ull * 16384 * 4;

// The libswscale matrix a frame was encoded with: its tag, or for an
// untagged frame the one the writer would encode a picture of its size with.
int SwsMatrixOf(const AVFrame* frame) {
  switch (frame->colorspace) {
  case AVCOL_SPC_BT709: return SWS_CS_ITU709;
  case AVCOL_SPC_BT470BG:
  case AVCOL_SPC_SMPTE170M: return SWS_CS_ITU601;
  case AVCOL_SPC_FCC: return SWS_CS_FCC;
  case AVCOL_SPC_SMPTE240M: return SWS_CS_SMPTE240M;
  case AVCOL_SPC_BT2020_NCL:
  case AVCOL_SPC_BT2020_CL: return SWS_CS_BT2020;
  default: return OutputMatrixFor(frame->width, frame->height) == YuvMatrix::Bt709 ? SWS_CS_ITU709 : SWS_CS_ITU601;
  }
}

bool IsFullRange(const AVFrame* frame) {
  switch (frame->format) {
  case AV_PIX_FMT_YUVJ420P:
  case AV_PIX_FMT_YUVJ422P:
  case AV_PIX_FMT_YUVJ444P:
  case AV_PIX_FMT_YUVJ440P:
  case AV_PIX_FMT_YUVJ411P: return true;
  default: return frame->color_range == AVCOL_RANGE_JPEG;
  }
}
} // namespace

MediaMacAV::MediaMacAV() = default;

MediaMacAV::~MediaMacAV() { Close(); }

int MediaMacAV::Open(const std::wstring& path) {
  constexpr const char* kName = "-[MediaMacAV Open:]";
  Close();
  path_ = WideToUtf8(path);
  hasVideo_ = hasAudio_ = orientation_ = 0;
  mediaLength_ = 0.0;
  lastFrameTime_ = lastFrameEndTime_ = lastAudioTime_ = -1.0;
  freshVideoSeekTime_ = freshAudioSeekTime_ = -1.0;
  audioPosition_ = decodedEnd_ = kNoSample;
  int videoRc = SetupVideo(path_);
  if (videoRc == kErrNoMemory || videoRc == kErrOpen) {
    if (videoRc == kErrOpen) LogDebug(L"MediaMacAV: Failed to create AVURLAsset from file");
    Close();
    return ErrorSet(videoRc, kName);
  }
  SetupAudio(path_);
  if (!hasVideo_ && !hasAudio_) {
    Close();
    return ErrorSet(kErrFailed, kName);
  }
  trackCount_ = static_cast<uint32_t>(std::max({1, video_.IsOpen() ? video_.TrackCount() : 0,
                                                 audio_.IsOpen() ? audio_.TrackCount() : 0}));
  LogDebug(L"MediaMacAV: Media Length: %.03f seconds", mediaLength_);
  StartThread();
  return ErrorSet(kOk, kName);
}

int MediaMacAV::SetupVideo(const std::string& path) {
  int rc = video_.Open(path, AVMEDIA_TYPE_VIDEO, kOpenTimeout, static_cast<int>(track_));
  if (rc == kErrOpen || rc == kErrNoMemory) return rc;
  if (rc != kOk) return kOk; // no picture: maybe sound only
  mediaLength_ = video_.Duration();
  const AVCodecParameters* par = video_.Stream()->codecpar;
  int w = par->width, h = par->height;
  if (w <= 0 || h <= 0 || static_cast<uint64_t>(w) * static_cast<uint64_t>(h) * 4 > kMaxFrameBytes) {
    video_.Close();
    return kOk;
  }
  // A picture stream that does not decode (random bytes taken for some
  // format) is no picture.
  DecodedFrame first = video_.Next();
  if (!first || first.Frame->width != w || first.Frame->height != h) {
    video_.Close();
    return kOk;
  }
  video_.SeekTo(0.0);
  LogDebug(L"MediaMacAV: Picture Size: %dx%d", w, h);
  bitmapFormat_ = Frame32Format(w, h);
  try {
    bitmap_.assign(bitmapFormat_.biSizeImage, 0);
  } catch (const std::bad_alloc&) {
    LogPrintf(L"MediaMacAV: Failed to allocate memory for bitmap data");
    return kErrNoMemory;
  }
  ReadOrientation();
  freshVideoSeekTime_ = 0.0;
  frameAtEnd_ = false;
  hasVideo_ = 1;
  return kOk;
}

// The picture's turn from the stream's display matrix: 1 a half turn, 2
// and 3 a quarter turn either way.
void MediaMacAV::ReadOrientation() {
  orientation_ = 0;
  size_t size = 0;
  const uint8_t* side = av_stream_get_side_data(video_.Stream(), AV_PKT_DATA_DISPLAYMATRIX, &size);
  if (!side || size < 9 * sizeof(int32_t)) return;
  double angle = av_display_rotation_get(reinterpret_cast<const int32_t*>(side));
  if (std::isnan(angle)) return;
  long turn = std::lround(angle / 90.0) % 4;
  if (turn < 0) turn += 4;
  orientation_ = turn == 2 ? 1 : turn == 3 ? 2 : turn == 1 ? 3 : 0;
  LogDebug(L"MediaMacAV: Orientation %d: angle=%f", static_cast<int>(orientation_), angle);
}

// One line per file, however often its damaged packets were read.
void MediaMacAV::LogDamage() {
  const size_t video = video_.IsOpen() ? video_.DamagedCount() : 0;
  const size_t sound = audio_.IsOpen() ? audio_.DamagedCount() : 0;
  if (video + sound == 0) return;
  LogPrintf(L"MediaMacAV: Passed over damaged packets in '%S': %d of sound, %d of video", path_.c_str(),
            static_cast<int>(sound), static_cast<int>(video));
}

void MediaMacAV::Close() {
  StopThread();
  std::lock_guard<std::recursive_mutex> lock(frameLock_);
  std::lock_guard<std::mutex> sound(audioLock_);
  LogDamage();
  nextFrame_ = DecodedFrame{};
  shown_.reset();
  bitmapCurrent_ = true;
  video_.Close();
  ResetAudio();
  audio_.Close();
  sws_freeContext(sws_);
  sws_ = nullptr;
  bitmap_.clear();
  bitmap_.shrink_to_fit();
  audioBlock_.clear();
  audioBlock_.shrink_to_fit();
  audioData_ = nullptr;
  audioDataLength_ = 0;
  hasVideo_ = hasAudio_ = 0;
  lastFrameTime_ = lastFrameEndTime_ = -1.0;
  ErrorSet(kOk, "-[MediaMacAV Close]");
}

void MediaMacAV::StartThread() {
  stopThread_ = false;
  frameWake_ = false;
  try {
    thread_ = std::thread(&MediaMacAV::FrameThreadMain, this);
    threadRunning_ = true;
  } catch (const std::system_error&) {
    LogPrintf(L"Non-Critical Error: Failed to create PrepareFrameThread");
  }
}

void MediaMacAV::StopThread() {
  if (!thread_.joinable()) return;
  {
    std::lock_guard<std::mutex> lock(wakeMutex_);
    stopThread_ = true;
    frameWake_ = true;
    frameGetTime_ = -99.9;
  }
  wakeCv_.notify_all();
  thread_.join();
  threadRunning_ = false;
}

bool MediaMacAV::Cancelled() const {
  return stopThread_ && thread_.joinable() && std::this_thread::get_id() == thread_.get_id();
}

void MediaMacAV::FrameThreadMain() {
  for (;;) {
    double t;
    {
      std::unique_lock<std::mutex> lock(wakeMutex_);
      // A missed wake-up costs at most 10 ms. The stop is seen even when
      // its wake was taken for a request read just before it.
      wakeCv_.wait_for(lock, std::chrono::milliseconds(10),
                       [this] { return frameWake_ || stopThread_; });
      if (stopThread_) break;
      if (!frameWake_) continue;
      if (frameGetTime_ < -99.0) break;
      t = frameGetTime_;
    }
    std::lock_guard<std::recursive_mutex> frame(frameLock_);
    {
      // The newest request, unless a direct one for its time or later
      // took it back while this thread waited for the frame lock.
      std::lock_guard<std::mutex> lock(wakeMutex_);
      if (!frameWake_) continue;
      t = frameGetTime_;
      frameWake_ = false;
    }
    GetFrameDirect(t, !planesWanted_.load());
  }
  threadRunning_ = false;
}

void MediaMacAV::PrepareFrame(double t) {
  if (t < 0.0 || !threadRunning_) return;
  std::unique_lock<std::recursive_mutex> frame(frameLock_, std::try_to_lock);
  if (!frame.owns_lock()) return; // busy decoding: the request is dropped
  {
    std::lock_guard<std::mutex> lock(wakeMutex_);
    if (stopThread_) return;
    frameGetTime_ = t;
    frameWake_ = true;
  }
  // Returns at once: the caller (a render loop mid-frame) does not wait for
  // the thread to be scheduled. A direct request that comes first takes
  // back what it makes stale (dropStaleRequest).
  wakeCv_.notify_all();
  ErrorSet(kOk, "-[MediaMacAV PrepareFrame:ReadyOnly:]");
}

void MediaMacAV::Seek(double t) {
  std::lock_guard<std::recursive_mutex> lock(frameLock_);
  DropStaleRequest(std::numeric_limits<double>::infinity());
  std::lock_guard<std::mutex> sound(audioLock_);
  SeekVideoLocked(t);
  SeekAudioLocked(t);
  ErrorSet(kOk, "-[MediaMacAV Seek:]");
}

void MediaMacAV::SeekVideoLocked(double t) {
  if (!hasVideo_) return;
  if (freshVideoSeekTime_ == t && !frameAtEnd_) return; // nothing read since the same seek
  nextFrame_ = DecodedFrame{};
  video_.SeekTo(t);
  freshVideoSeekTime_ = t;
  frameAtEnd_ = false;
}

DecodedFrame MediaMacAV::ReadVideo() {
  DecodedFrame f = video_.Next();
  return f;
}

// Under the frame lock: a look-ahead not yet taken that asks for no later
// a time than a direct request (or any, for a seek) would only send the
// reader back to it afterwards.
void MediaMacAV::DropStaleRequest(double t) {
  std::lock_guard<std::mutex> lock(wakeMutex_);
  if (frameWake_ && frameGetTime_ >= -99.0 && frameGetTime_ <= t) frameWake_ = false;
}

int MediaMacAV::GetFrame(double t) {
  planesWanted_ = false;
  std::lock_guard<std::recursive_mutex> lock(frameLock_);
  DropStaleRequest(t);
  return GetFrameDirect(t, true);
}

bool MediaMacAV::GetFramePlanes(double t, PlanarPicture* out) {
  if (!out) return false;
  planesWanted_ = true;
  std::lock_guard<std::recursive_mutex> lock(frameLock_);
  DropStaleRequest(t);
  if (GetFrameDirect(t, false) != kOk || !shown_) return false;
  const AVFrame* f = shown_.get();
  const int w = bitmapFormat_.biWidth, h = bitmapFormat_.biHeight;
  if (f->format != AV_PIX_FMT_YUV420P || f->color_range == AVCOL_RANGE_JPEG || f->width != w ||
      f->height != h || w % 2 != 0 || h % 2 != 0 || !f->data[0] || !f->data[1] || !f->data[2]) {
    planesWanted_ = false; // a picture of another kind: the bitmap it is
    return false;
  }
  for (int i = 0; i < 3; ++i) {
    out->data[i] = f->data[i];
    out->stride[i] = f->linesize[i];
  }
  out->width = w;
  out->height = h;
  switch (f->colorspace) {
  case AVCOL_SPC_BT709: out->matrix = YuvMatrix::Bt709; break;
  case AVCOL_SPC_BT470BG:
  case AVCOL_SPC_SMPTE170M: out->matrix = YuvMatrix::Bt601; break;
  default: out->matrix = YuvMatrix::Unknown; break;
  }
  return true;
}

void MediaMacAV::EnsureBitmap() {
  if (bitmapCurrent_) return;
  if (shown_) ConvertFrame(shown_.get());
  bitmapCurrent_ = true;
}

int MediaMacAV::GetFrameDirect(double t, bool convert) {
  if (bitmap_.empty() || !hasVideo_) return kErrBadArg;
  const double T = t + 0.0001;
  if (lastFrameTime_ <= T && T < lastFrameEndTime_) {
    if (convert) EnsureBitmap();
    return kOk;
  }
  bool reseekAllowed = true;
  for (;;) {
    if (Cancelled() || !video_.IsOpen()) return kErrFailed;
    DecodedFrame current;
    if (nextFrame_) current = std::move(nextFrame_);
    else if (!frameAtEnd_) current = ReadVideo();
    if (current) {
      nextFrame_ = ReadVideo();
      freshVideoSeekTime_ = -1.0;
      double curT = current.Time;
      double nextT = nextFrame_ ? nextFrame_.Time : mediaLength_ + 0.001;
      if (T > nextT) { // this frame ends before T: read on, or jump when far behind
        if (reseekAllowed && T > nextT + 2.0) {
          SeekVideoLocked(T);
          reseekAllowed = false;
        }
        continue;
      }
      if (reseekAllowed && curT > T) { // the request lies before what is held
        SeekVideoLocked(T);
        reseekAllowed = false;
        continue;
      }
      shown_ = std::move(current.Frame);
      bitmapCurrent_ = false;
      if (convert) EnsureBitmap();
      lastFrameTime_ = curT;
      lastFrameEndTime_ = nextT;
      return kOk;
    }
    frameAtEnd_ = true;
    if (mediaLength_ > T && reseekAllowed) {
      SeekVideoLocked(T);
      reseekAllowed = false;
      continue;
    }
    ClearBitmap();
    if (mediaLength_ > T + 0.034) {
      LogPrintf(L"MediaMacAV-GetFrame(%.03f): Premature null video sample buffer after seek. Media Length: %.03f; (End %d)",
                T, mediaLength_, frameAtEnd_ ? 1 : 0);
      return kErrRead;
    }
    return kOk;
  }
}

// The cleared frame answers no later request from the cache.
void MediaMacAV::ClearBitmap() {
  std::memset(bitmap_.data(), 0, bitmap_.size());
  shown_.reset();
  bitmapCurrent_ = true;
  lastFrameTime_ = lastFrameEndTime_ = -1.0;
}

// Writes the frame bottom-up into the bitmap.
void MediaMacAV::ConvertFrame(const AVFrame* frame) {
  const int w = bitmapFormat_.biWidth, h = bitmapFormat_.biHeight;
  if (frame->width != w || frame->height != h || !frame->data[0]) {
    std::memset(bitmap_.data(), 0, bitmap_.size());
    return;
  }
  uint8_t* lastRow = bitmap_.data() + static_cast<size_t>(h - 1) * w * 4;
  const int32_t dstStride = -w * 4;
  auto format = static_cast<AVPixelFormat>(frame->format);
  // Studio-range 8-bit BT.601 YCbCr goes through the lookup table; everything
  // else (HD matrices, full range, 10-bit, RGB...) through libswscale.
  const AVPixFmtDescriptor* d = av_pix_fmt_desc_get(format);
  const int matrix = SwsMatrixOf(frame);
  const bool fullRange = IsFullRange(frame);
  uint32_t layout = 0;
  if (matrix == SWS_CS_ITU601 && !fullRange && w % 2 == 0) {
    if (format == AV_PIX_FMT_YUV420P) layout = kColorI420;
    else if (format == AV_PIX_FMT_UYVY422) layout = kColor2vuy;
    else if (format == AV_PIX_FMT_YUYV422) layout = kColorYuvs;
  }
  if (layout != 0) {
    ColorConvImage src{{frame->data[0], frame->data[1], frame->data[2]},
                       {frame->linesize[0], frame->linesize[1], frame->linesize[2]}};
    if (ColorConvToPixels(layout, src, lastRow, dstStride, static_cast<uint32_t>(w), static_cast<uint32_t>(h)) == kOk)
      return;
  }
  sws_ = sws_getCachedContext(sws_, w, h, format, w, h, AV_PIX_FMT_BGRA, SWS_BILINEAR | SWS_ACCURATE_RND, nullptr,
                              nullptr, nullptr);
  if (!sws_) {
    std::memset(bitmap_.data(), 0, bitmap_.size());
    return;
  }
  // Without this libswscale takes every YCbCr frame for studio-range BT.601.
  if (d && !(d->flags & AV_PIX_FMT_FLAG_RGB)) {
    const int* coefficients = sws_getCoefficients(matrix);
    sws_setColorspaceDetails(sws_, coefficients, fullRange ? 1 : 0, sws_getCoefficients(SWS_CS_DEFAULT), 1, 0,
                             1 << 16, 1 << 16);
  }
  uint8_t* dst[4] = {lastRow, nullptr, nullptr, nullptr};
  int dstLines[4] = {dstStride, 0, 0, 0};
  sws_scale(sws_, frame->data, frame->linesize, 0, h, dst, dstLines);
  // Whole pixels at a time, through locals (byte stores into the vector
  // could change the vector itself, as far as the compiler knows): a loop
  // it can vectorise, not a millisecond per 1080p frame.
  if (d && !(d->flags & AV_PIX_FMT_FLAG_ALPHA)) {
    uint8_t* pixels = bitmap_.data();
    const size_t count = bitmap_.size() / 4;
    for (size_t i = 0; i < count; ++i) {
      uint32_t pixel;
      std::memcpy(&pixel, pixels + i * 4, 4);
      pixel |= 0xFF000000u; // B, G, R, A in memory, little-endian
      std::memcpy(pixels + i * 4, &pixel, 4);
    }
  }
}
