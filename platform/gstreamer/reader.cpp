#include "platform/gstreamer/reader.h"

#include <algorithm>
#include <chrono>
#include <new>
#include <system_error>

#include "base/error.h"
#include "base/log.h"
#include "base/text.h"

namespace {
constexpr uint64_t kMaxFrameBytes = 16384ull * 16384 * 4;
constexpr int kDurationPasses = 10;
} // namespace

// Quietly: a reader released after a refusal must not overwrite the
// refusal as the last result.
MediaMacQT::~MediaMacQT() { Shutdown(); }

int MediaMacQT::Open(const std::wstring& path) {
  constexpr const char* kName = "-[MediaMacQT Open:]";
  Shutdown();
  std::lock_guard<std::recursive_mutex> lock(frameLock_);
  mediaLength_ = 0.0;
  hasVideo_ = 0;
  seekCount_ = 0;
  if (!movie_.Open(WideToUtf8(path))) {
    LogDebug(L"MediaMacQT: Failed to create QTMovie from file");
    return ErrorSet(kErrOpen, kName);
  }
  mediaLength_ = movie_.Duration();
  LogDebug(L"MediaMacQT: Media Length: %.03f seconds", mediaLength_);
  ReadFirstFrame();
  DetectFrameDuration();
  freshSeekTime_ = frameReadyTime_ = frameReadyEndTime_ = -1.0;
  lastFrameTime_ = lastFrameEndTime_ = -1.0;
  ReleaseReady();
  frameWake_ = false;
  StartThread();
  Seek(0.0);
  return ErrorSet(kOk, kName);
}

// The first picture decides whether the movie has usable video and gives
// the bitmap its size.
void MediaMacQT::ReadFirstFrame() {
  MoviePicture first;
  if (!movie_.HasFrame()) return;
  if (!movie_.Picture(&first)) {
    LogDebug(L"MediaMacQT: Unsupported pixel format type (0x%X)", 0u);
    return;
  }
  const int w = first.Width, h = first.Height;
  bitmapFormat_ = Frame32Format(w, h);
  LogDebug(L"MediaMacQT: Picture Size: %dx%d", w, h);
  if (w <= 0 || h <= 0 || first.Stride != w * 4) {
    LogDebug(L"MediaMacQT: Unsupported BPP, or wrong bytes per row. (%d BPP, Expected %d bytes, Got %d bytes)", 32,
             w * 4, first.Stride);
    return;
  }
  try {
    if (static_cast<uint64_t>(w) * static_cast<uint64_t>(h) * 4 > kMaxFrameBytes) throw std::bad_alloc();
    bitmap_.assign(bitmapFormat_.biSizeImage, 0);
  } catch (const std::bad_alloc&) {
    LogPrintf(L"MediaMacQT: Failed to allocate memory for bitmap data");
    return;
  }
  // A picture whose pixels cannot be read is no picture.
  GstSample* sample = movie_.RefCurrent();
  bool readable = GstMovie::CopyPixels(sample, bitmap_.data(), w, h);
  GstMovie::ReleaseSample(sample);
  std::fill(bitmap_.begin(), bitmap_.end(), uint8_t{0});
  if (readable) hasVideo_ = 1;
  else std::vector<uint8_t>().swap(bitmap_);
}

// The shortest positive step between the first ten frames is taken as the
// frame duration.
void MediaMacQT::DetectFrameDuration() {
  if (!hasVideo_) {
    frameDuration_ = 1.0;
    return;
  }
  double d = 1.0, previous = 0.0;
  for (int pass = 0; pass < kDurationPasses; ++pass) {
    double now = movie_.CurrentTime();
    if (pass > 0) {
      double delta = now - previous;
      if (delta > 0.0 && delta < d) d = delta;
    }
    previous = now;
    movie_.StepForward();
  }
  frameDuration_ = d;
  LogPrintf(L"MediaMacQT: %.03f FPS detected", 1.0 / d);
}

void MediaMacQT::Close() {
  Shutdown();
  ErrorSet(kOk, "-[MediaMacQT Close]");
}

void MediaMacQT::Shutdown() {
  frameReadyRunning_ = false;
  {
    std::lock_guard<std::recursive_mutex> lock(frameLock_);
    std::vector<uint8_t>().swap(bitmap_);
    ReleaseReady();
    movie_.Close();
    lastFrameTime_ = lastFrameEndTime_ = -1.0;
    frameGetTime_ = -99.9;
    frameWake_ = true;
  }
  // The thread is stopped and joined before anything it uses goes away.
  StopThread();
}

void MediaMacQT::StartThread() {
  std::lock_guard<std::mutex> lock(threadMutex_);
  stop_ = false;
  threadRunning_ = true;
  try {
    thread_ = std::thread(&MediaMacQT::PrepareFrameThread, this);
  } catch (const std::system_error&) {
    threadRunning_ = false;
    LogPrintf(L"Non-Critical Error: Failed to create PrepareFrameThread");
  }
}

void MediaMacQT::StopThread() {
  std::lock_guard<std::mutex> lock(threadMutex_);
  stop_ = true;
  {
    std::lock_guard<std::mutex> wake(wakeMutex_);
    wakeSignal_ = true;
  }
  wakeCv_.notify_all();
  if (thread_.joinable()) thread_.join();
  threadRunning_ = false;
}

namespace {
// The reader whose frame thread runs on this thread, if any.
thread_local const MediaMacQT* tFrameThreadOf = nullptr;
} // namespace

bool MediaMacQT::Cancelled() const { return tFrameThreadOf == this && stop_; }

// Waits for look-aheads; decodes each while holding the frame lock, which
// it lets go of only while it waits, so look-aheads during a decode are
// dropped and frame requests wait for it.
void MediaMacQT::PrepareFrameThread() {
  tFrameThreadOf = this;
  std::unique_lock<std::recursive_mutex> lock(frameLock_);
  while (!stop_) {
    bool pending = frameWake_;
    lock.unlock();
    if (!pending) {
      std::unique_lock<std::mutex> wake(wakeMutex_);
      // A missed signal costs at most this wait.
      wakeCv_.wait_for(wake, std::chrono::milliseconds(10), [this] { return wakeSignal_; });
      wakeSignal_ = false;
    }
    lock.lock();
    if (!frameWake_) continue;
    bool readyOnly = frameReadyRunning_;
    double t = frameGetTime_;
    frameWake_ = false;
    if (t < -99.0) break;
    if (readyOnly) GetFrameReady(t);
    else GetFrameDirect(t);
  }
  threadRunning_ = false;
}

void MediaMacQT::PrepareFrame(double t, bool readyOnly) {
  constexpr const char* kName = "-[MediaMacQT PrepareFrame:ReadyOnly:]";
  if (t < 0.0) return;
  {
    std::unique_lock<std::recursive_mutex> lock(frameLock_, std::try_to_lock);
    if (!lock.owns_lock()) return; // a decode runs: dropped, the frame request decodes itself
    if (!threadRunning_ || bitmap_.empty()) return;
    frameGetTime_ = t;
    frameReadyRunning_ = readyOnly;
    frameWake_ = true;
  }
  {
    std::lock_guard<std::mutex> wake(wakeMutex_);
    wakeSignal_ = true;
  }
  wakeCv_.notify_one();
  // Until the thread has taken the request, not until the frame is done.
  while (frameWake_ && threadRunning_) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  ErrorSet(kOk, kName);
}

int MediaMacQT::GetAudio(double, double) {
  audioData_ = nullptr;
  audioDataLength_ = 0;
  return kErrFailed;
}
