// MediaCreateMacAV: hand-over of frames and sound chunks to the two put
// threads, and the thread bodies. Each thread copies the caller's buffer,
// marks itself ready (the render loop may then draw the next frame) and
// encodes its copy meanwhile; 4:2:0 pictures queue up and are encoded from
// the caller's own buffers, which the queue holds a reference to and the
// caller leaves alone until the queue has moved on past them. Waits use the
// side's condition variable instead of polling, so no signal is missed.
#include <cmath>
#include <cstring>
#include <new>
#include <utility>

#include "base/log.h"
#include "platform/ffmpeg/ffmpeg_log.h"
#include "platform/ffmpeg/writer.h"
#include "platform/ffmpeg/writer_audio_file.h"
#include "platform/ffmpeg/writer_video_file.h"
#include "platform/media/sound_chunks.h"

namespace {
constexpr double kStopBelow = -99.0;
} // namespace

std::string WriteFailureText(const char* what, const std::string& output, int avError) {
  const std::string reason = avError != 0 ? AvErrorText(avError) : std::string("the encoder refused it");
  return std::string("The ") + what + " of '" + output + "' could not be written: " + reason + ".";
}

int MediaCreateMacAV::PutPrepare() {
  waitReady(frame_);
  waitReady(sound_);
  return 0;
}

void MediaCreateMacAV::waitReady(PutSide& side) {
  std::unique_lock<std::mutex> lock(side.readyLock);
  side.changed.wait(lock, [&] { return side.ready || !side.running; });
}

int MediaCreateMacAV::PutFrame(double t) { return handOver(frame_, t); }

int MediaCreateMacAV::PutFramePlanes(double t, SharedPlanes yuv420) {
  if (!yuv420 || BitmapFormat.biWidth % 2 != 0 || BitmapFormat.biHeight % 2 != 0 || !(t >= 0.0)) return -21;
  std::unique_lock<std::mutex> lock(frame_.readyLock);
  const auto room = [&] { return frame_.planesQueued.size() < static_cast<size_t>(kWriterPlanesHeld); };
  frame_.changed.wait(lock, [&] { return room() || !frame_.running; });
  if (!frame_.running) return frame_.error != 0 ? frame_.error : -21;
  const int result = frame_.error;
  frame_.error = 0;
  frame_.planesQueued.push_back({t, std::move(yuv420)});
  frame_.changed.notify_all();
  return result;
}

int MediaCreateMacAV::PutAudio(double t) { return handOver(sound_, t); }

int MediaCreateMacAV::handOver(PutSide& side, double t) {
  if (!(t >= 0.0)) return -21;
  std::unique_lock<std::mutex> lock(side.readyLock);
  // An ended thread takes nothing more: its error, or -21 when it was
  // stopped without one, so a late item is never reported as written.
  if (!side.running) return side.error != 0 ? side.error : -21;
  const int result = side.error;
  side.time = t;
  side.ready = false;
  side.wake = true;
  side.changed.notify_all();
  side.changed.wait(lock, [&] { return !side.wake || !side.running; });
  return result;
}

void MediaCreateMacAV::noteError(int code, const std::string& text) {
  std::lock_guard<std::mutex> lock(failureLock_);
  int none = 0;
  if (firstError_.compare_exchange_strong(none, code)) failureText_ = text;
}

void MediaCreateMacAV::failItem(PutSide& side, int code, const std::string& text) {
  side.error = code;
  noteError(code, text);
}

std::string MediaCreateMacAV::FailureText() {
  std::lock_guard<std::mutex> lock(failureLock_);
  return failureText_;
}

void MediaCreateMacAV::endThread(PutSide& side) {
  // Pictures never encoded (the thread failed or was cancelled) go back to
  // their owners, outside the lock: the last reference frees them.
  std::deque<PutSide::Planes> dropped;
  std::lock_guard<std::mutex> lock(side.readyLock);
  dropped.swap(side.planesQueued);
  side.running = false;
  side.announceReady();
}

// Copies the caller's bottom-up rows into the top-down coded picture; an
// odd size is filled up by repeating the last column and the bottom row.
bool MediaCreateMacAV::copyFrame() {
  if (!BitmapData) return false;
  if (frameCopy_.empty()) {
    try {
      frameCopy_.resize(static_cast<size_t>(video_->codedWidth()) * 4 * video_->codedHeight());
    } catch (const std::bad_alloc&) {
      return false;
    }
  }
  const auto* source = static_cast<const uint8_t*>(BitmapData);
  const int32_t height = BitmapFormat.biHeight;
  const size_t rowBytes = BitmapFrameRowBytes;
  const size_t codedRowBytes = static_cast<size_t>(video_->codedWidth()) * 4;
  for (int32_t row = 0; row < height; ++row) {
    uint8_t* target = frameCopy_.data() + codedRowBytes * static_cast<size_t>(height - 1 - row);
    std::memcpy(target, source + rowBytes * static_cast<size_t>(row), rowBytes);
    if (codedRowBytes > rowBytes) std::memcpy(target + rowBytes, target + rowBytes - 4, 4);
  }
  if (video_->codedHeight() > height)
    std::memcpy(frameCopy_.data() + codedRowBytes * static_cast<size_t>(height),
                frameCopy_.data() + codedRowBytes * static_cast<size_t>(height - 1), codedRowBytes);
  return true;
}

// The thread's own copy of the chunk; it only grows, to the largest chunk.
bool MediaCreateMacAV::copyChunk(uint32_t length) {
  if (AudioDataInt.size() < length) {
    try {
      AudioDataInt.resize(length);
    } catch (const std::bad_alloc&) {
      return false;
    }
  }
  if (length > 0) std::memcpy(AudioDataInt.data(), AudioData, length);
  return true;
}

// Encodes the oldest queued picture, with the lock held on entry and exit.
void MediaCreateMacAV::encodeQueuedPlanes(std::unique_lock<std::mutex>& lock) {
  // The entry stays queued, and counted, until the encoder is done with it.
  const double t = frame_.planesQueued.front().time;
  SharedPlanes picture = std::move(frame_.planesQueued.front().data);
  lock.unlock();
  const int result = video_->encodePlanes(picture.get(), std::llround(t * FrameTimeScale));
  // libx264 has its own copy now. The reference goes outside the lock, as
  // it may be the last one.
  picture.reset();
  lock.lock();
  // The caller may draw into the buffer again.
  frame_.planesQueued.pop_front();
  frame_.changed.notify_all();
  if (result != 0) {
    LogPrintf(L"Failed to append frame (%0.3f) to output AVFoundation video", t);
    failItem(frame_, -82, WriteFailureText("picture", outputPath_, video_->writeError()));
  }
}

// Copies and encodes the 32-bit frame handed over (taken, lock held); false
// when the thread must end.
bool MediaCreateMacAV::encodeFrameCopy(std::unique_lock<std::mutex>& lock) {
  const double t = frame_.time;
  // The caller leaves a frame buffer alone until it sees ready, so the
  // copy needs no lock and the caller's next step may run meanwhile.
  lock.unlock();
  const bool copied = copyFrame();
  lock.lock();
  if (!copied && frameCopy_.empty() && BitmapData) {
    LogPrintf(L"Failed to allocate the frame copy in AVFoundation PutFrame(%0.3f)", t);
    failItem(frame_, -22, "There was not enough memory for the picture of the video.");
    return false;
  }
  if (!copied) {
    LogPrintf(L"NULL external pointer in PutFrame(%0.3f) for AVFoundation", t);
    failItem(frame_, -21, "No rendered picture reached the video writer.");
    return false;
  }
  frame_.announceReady();
  lock.unlock();
  const int result = video_->encode(frameCopy_.data(), std::llround(t * FrameTimeScale));
  lock.lock();
  if (result != 0) {
    LogPrintf(L"Failed to append frame (%0.3f) to output AVFoundation video", t);
    failItem(frame_, -82, WriteFailureText("picture", outputPath_, video_->writeError()));
  }
  return true;
}

void MediaCreateMacAV::putFrameThread() {
  std::unique_lock<std::mutex> lock(frame_.readyLock);
  frame_.error = 0;
  frame_.announceReady();
  for (;;) {
    // Queued pictures first: a frame or the stop handed over now came
    // after them (its hand-over waits until it is taken).
    frame_.changed.wait(lock, [&] { return !frame_.planesQueued.empty() || frame_.wake || frame_.cancel; });
    if (frame_.cancel) break;
    if (!frame_.planesQueued.empty()) {
      encodeQueuedPlanes(lock);
      continue;
    }
    if (!frame_.takeNext(lock) || frame_.time < kStopBelow || !encodeFrameCopy(lock)) break;
  }
  lock.unlock();
  endThread(frame_);
}

void MediaCreateMacAV::putAudioThread() {
  std::unique_lock<std::mutex> lock(sound_.readyLock);
  sound_.error = 0;
  sound_.announceReady();
  while (sound_.takeNext(lock)) {
    const double t = sound_.time;
    if (t < kStopBelow) break;
    if (!AudioData) {
      // This chunk is skipped; the thread keeps going.
      LogPrintf(L"NULL external pointer in PutAudio(%0.3f) for AVFoundation", t);
      failItem(sound_, -21, "No rendered sound reached the video writer.");
      sound_.announceReady();
      continue;
    }
    const uint32_t length = AudioDataLength;
    lock.unlock();
    const bool copied = copyChunk(length);
    lock.lock();
    if (!copied) {
      LogPrintf(L"Failed to allocate %d for internal buffer in AVFoundation PutAudio(%0.3f)",
                static_cast<int>(length), t);
      failItem(sound_, -22, "There was not enough memory for the sound of the video.");
      break;
    }
    sound_.announceReady();
    lock.unlock();
    // Chunk n starts on the sample the render loop cut it at, not on its
    // rounded time: the chunks join without a sample too many or too few.
    const uint64_t chunk = static_cast<uint64_t>(std::llround(t * AudioChunkRate));
    const int64_t position = SoundChunkStart(chunk, AudioFormat.nSamplesPerSec, AudioChunkRate);
    const int result = audio_->putChunkAt(AudioDataInt.data(), length, position, t);
    lock.lock();
    if (result != 0) {
      LogPrintf(L"Failed to append audio (%0.3f) to output AVFoundation video", t);
      failItem(sound_, -82, WriteFailureText("sound", outputPath_, audio_->writeError()));
    }
  }
  lock.unlock();
  endThread(sound_);
}
