// Frame delivery of the second reader: the frame-span cache, the walk
// forward frame by frame and the seek for requests behind the position or
// far ahead of it.
#include <algorithm>

#include "base/error.h"
#include "base/log.h"
#include "platform/gstreamer/reader.h"

namespace {
// Stream times are whole nanoseconds; a request at a frame's exact start
// must not land a rounding step before it.
constexpr double kTimeSlack = 1e-6;
// Targets up to this far ahead of the current frame are reached by
// stepping, farther ones by a seek.
constexpr double kStepLimit = 5.0;
// The last frame stays on screen to the end of the media and a little
// beyond, as with the first reader.
constexpr double kEndSlack = 0.001;
} // namespace

int MediaMacQT::GetFrame(double t) {
  frameReadyRunning_ = false;
  std::lock_guard<std::recursive_mutex> lock(frameLock_);
  return GetFrameDirect(t);
}

void MediaMacQT::Seek(double t) {
  frameReadyRunning_ = false;
  {
    std::lock_guard<std::recursive_mutex> lock(frameLock_);
    if (t != freshSeekTime_ && movie_.IsOpen()) SeekLocked(t);
  }
  ErrorSet(kOk, "-[MediaMacQT Seek:]");
}

// Moves the movie to t. The span of the frame in the bitmap stays, so a
// request inside it is still answered at once.
void MediaMacQT::SeekLocked(double t) {
  movie_.SetCurrentTime(t);
  ++seekCount_;
  freshSeekTime_ = t;
  ReleaseReady();
}

// The movie's current frame and where it ends: the next frame's start,
// else the stream's own duration, else the detected frame duration.
bool MediaMacQT::CurrentSpan(double* start, double* end) const {
  MoviePicture p;
  if (!movie_.Picture(&p)) return false;
  *start = p.Time;
  *end = p.EndTime > p.Time ? p.EndTime : p.Time + frameDuration_;
  return true;
}

int MediaMacQT::GetFrameDirect(double t) {
  if (bitmap_.empty() || !movie_.IsOpen()) return kErrBadArg;
  const double target = t + kTimeSlack;
  // Half-open span: a request at its end is the next frame, not this one
  // decoded again.
  if (lastFrameTime_ <= target && target < lastFrameEndTime_) return kOk;
  if (Cancelled()) return kErrFailed;
  if (readySample_ && frameReadyTime_ <= target && target < frameReadyEndTime_)
    return Fetch(readySample_, frameReadyTime_, frameReadyEndTime_);
  bool sought = false;
  for (;;) {
    double c = 0.0, e = 0.0;
    if (!CurrentSpan(&c, &e)) {
      if (movie_.Failed()) return kErrRead;
      if (sought) return DeliverEnd(target, -1.0, -1.0); // nothing at or after the target
      SeekLocked(target);
      sought = true;
    } else if (!sought && (c > target || target > e + kStepLimit)) {
      SeekLocked(target);
      sought = true;
    } else if (target < e) {
      GstSample* sample = movie_.RefCurrent();
      int rc = Fetch(sample, c, e);
      GstMovie::ReleaseSample(sample);
      return rc;
    } else {
      GstMovie::Step step = movie_.StepForward();
      if (step == GstMovie::Step::Failed) {
        LogDebug(L"MediaMacQT: Failed to get CVPixelBuffer for frame at %.03f!", target);
        return kErrRead;
      }
      if (step == GstMovie::Step::End) return DeliverEnd(target, c, e);
      freshSeekTime_ = -1.0;
    }
    if (Cancelled()) return kErrFailed;
  }
}

// No frame follows the current one: up to the end of the media the last
// frame stays; past it the bitmap is cleared, and both are no failure.
int MediaMacQT::DeliverEnd(double t, double start, double end) {
  double last = std::max(end, mediaLength_ + kEndSlack);
  if (start >= 0.0 && t < last) {
    GstSample* sample = movie_.RefCurrent();
    int rc = Fetch(sample, start, last);
    GstMovie::ReleaseSample(sample);
    return rc;
  }
  std::fill(bitmap_.begin(), bitmap_.end(), uint8_t{0});
  lastFrameTime_ = lastFrameEndTime_ = -1.0;
  return kOk;
}

int MediaMacQT::Fetch(GstSample* sample, double start, double end) {
  MoviePicture p;
  if (!sample) {
    LogDebug(L"MediaMacQT: Failed to get CVPixelBuffer for frame at %.03f!", start);
    return kErrRead;
  }
  if (!GstMovie::SamplePicture(sample, &p)) {
    LogDebug(L"MediaMacQT: Unexpected pixel format type (0x%X) at %.03f!", 0u, start);
    return kErrRead;
  }
  if (p.Width != bitmapFormat_.biWidth || p.Height != bitmapFormat_.biHeight) {
    LogDebug(L"MediaMacQT: Unexpected frame size at %.03f!", start);
    return kErrRead;
  }
  if (!GstMovie::CopyPixels(sample, bitmap_.data(), p.Width, p.Height)) return kErrRead;
  lastFrameTime_ = start;
  lastFrameEndTime_ = end;
  return kOk;
}

// Positions the movie on the frame for t without converting it, and never
// seeks; a later request for t then converts the ready frame.
void MediaMacQT::GetFrameReady(double t) {
  if (bitmap_.empty() || !movie_.IsOpen()) return;
  const double target = t + kTimeSlack;
  if (readySample_ && frameReadyTime_ <= target && target < frameReadyEndTime_) return;
  if (lastFrameTime_ <= target && target < lastFrameEndTime_) return;
  while (frameReadyRunning_ && !Cancelled()) {
    double c = 0.0, e = 0.0;
    if (!CurrentSpan(&c, &e) || c > target) return;
    if (target < e) {
      ReleaseReady();
      readySample_ = movie_.RefCurrent();
      frameReadyTime_ = c;
      frameReadyEndTime_ = e;
      return;
    }
    if (movie_.StepForward() != GstMovie::Step::Advanced) return;
    freshSeekTime_ = -1.0;
    ReleaseReady();
  }
}

void MediaMacQT::ReleaseReady() {
  GstMovie::ReleaseSample(readySample_);
  readySample_ = nullptr;
  frameReadyTime_ = frameReadyEndTime_ = -1.0;
}
