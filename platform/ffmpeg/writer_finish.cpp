// MediaCreateMacAV: stopping the put threads, completing the temporaries,
// the merge into the output and the teardown.
#include <chrono>
#include <cstring>

#include "base/log.h"
#include "platform/ffmpeg/writer.h"
#include "platform/ffmpeg/writer_append.h"
#include "platform/ffmpeg/writer_audio_file.h"
#include "platform/ffmpeg/writer_files.h"
#include "platform/ffmpeg/writer_remux.h"
#include "platform/ffmpeg/writer_video_file.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr double kStopValue = -99.9;
constexpr auto kReadyLimit = std::chrono::milliseconds(5000);
constexpr auto kFrameEndLimit = std::chrono::milliseconds(3000);
constexpr auto kMuxPollStep = std::chrono::milliseconds(100);
constexpr int kExportStatusCancelled = 5; // as the session log has always shown it

// The merge's failures that have fixed words: for the log and for the user.
struct MuxFailure {
  RemuxStatus status;
  const wchar_t* log;
  const char* why;
};
constexpr MuxFailure kMuxFailures[] = {
    {RemuxStatus::kNoVideoFile, L"AVFoundation Mux: Failed to create video asset!", "the picture file cannot be read"},
    {RemuxStatus::kNoVideoLength, L"AVFoundation Mux: Video asset has no length!", "the picture file holds no picture"},
    {RemuxStatus::kNoAudioFile, L"AVFoundation Mux: Failed to create audio asset!", "the sound file cannot be read"},
    {RemuxStatus::kNoAudioLength, L"AVFoundation Mux: Audio asset has no length!", "the sound file holds no sound"},
    {RemuxStatus::kNoOutput, L"AVFoundation Mux: Failed to create asset export session!",
     "no file can be made beside it"},
};

// Logs a failure of fixed words and gives the user's; false when the
// status has none.
bool NoteMuxFailure(RemuxStatus status, std::string& why) {
  for (const MuxFailure& failure : kMuxFailures)
    if (failure.status == status) {
      LogPrintf(L"%s", failure.log);
      why = failure.why;
      return true;
    }
  return false;
}

} // namespace

void MediaCreateMacAV::Close() {
  LogPrintf(L"Closing AVFoundation creation session");
  std::lock_guard<std::recursive_mutex> lock(objectLock_);
  closed_ = true;
  FinishWriting(true);
}

int MediaCreateMacAV::FinishWriting(bool kill) {
  LogPrintf(L"Finishing AVFoundation creation session (%d)", kill ? 1 : 0);
  bool merge = false;
  {
    std::lock_guard<std::recursive_mutex> lock(objectLock_);
    stopThread(sound_, true, L"Audio thread ready timeout in AVFoundation creation close",
               L"Audio thread shutdown timeout in AVFoundation creation close");
    stopThread(frame_, false, L"Frame thread ready timeout in AVFoundation creation close",
               L"Frame thread shutdown timeout in AVFoundation creation close");
    finishFiles(kill);
    merge = startMerge(kill);
  }
  if (merge) mergeAndClean();
  if (kill) waitForMerge();
  if (!kill && !merged_) return -82;
  return firstError_.load() != 0 ? -82 : 0;
}

// Ready wait 5 s from the start; the end wait shares that deadline on the
// sound side and has 3 s from the stop request on the frame side.
void MediaCreateMacAV::stopThread(PutSide& side, bool endFromStart, const wchar_t* readyTimeout,
                                  const wchar_t* endTimeout) {
  if (!side.thread.joinable()) return;
  const auto start = Clock::now();
  {
    std::unique_lock<std::mutex> lock(side.readyLock);
    if (!side.changed.wait_until(lock, start + kReadyLimit, [&] { return side.ready || !side.running; }))
      LogPrintf(L"%s", readyTimeout);
    side.time = kStopValue;
    side.wake = true;
    side.changed.notify_all();
    // Pictures still queued are encoded before the stop is taken.
    const int queued = static_cast<int>(side.planesQueued.size());
    const auto endDeadline = endFromStart ? start + kReadyLimit : Clock::now() + kFrameEndLimit * (1 + queued);
    if (!side.changed.wait_until(lock, endDeadline, [&] { return !side.running; })) {
      // A thread cannot be killed safely inside the encoder: it is told to
      // stop and joined once its current item is done.
      LogPrintf(L"%s", endTimeout);
      side.cancel = true;
      side.changed.notify_all();
    }
  }
  side.thread.join();
}

// Completes one temporary file, or drops it when killed or never started.
void MediaCreateMacAV::finishFile(EncodedStreamFile* file, bool kill, const wchar_t* kind,
                                  const std::string& path, const char* content) {
  if (!file) return;
  if (kill || !file->started()) {
    file->abandon();
  } else if (file->finish() != 0) {
    LogPrintf(L"Failed to complete the AVFoundation %s file '%S'", kind, path.c_str());
    noteError(-82, WriteFailureText(content, outputPath_, file->writeError()));
  }
}

void MediaCreateMacAV::finishFiles(bool kill) {
  finishFile(video_.get(), kill, L"video", videoPath_, "picture");
  finishFile(audio_.get(), kill, L"audio", audioPath_, "sound");
  video_.reset();
  audio_.reset();
  AudioDataInt.clear();
  AudioDataInt.shrink_to_fit();
}

// Decides under the object's lock whether this call merges: only the first
// finish does, and not after a Close (a Close that came first stays in force).
bool MediaCreateMacAV::startMerge(bool kill) {
  if (kill) {
    KillMux = true;
    mergeTried_ = true;
    return false;
  }
  if (mergeTried_ || KillMux.load()) return false;
  mergeTried_ = true;
  std::lock_guard<std::mutex> lock(muxLock_);
  muxRunning_ = true;
  return true;
}

// Temporaries that failed to be written are of no use and go; complete ones
// that could not be merged stay for the user.
void MediaCreateMacAV::mergeAndClean() {
  bool keep = false;
  if (const int earlier = firstError_.load(); earlier != 0) {
    LogPrintf(L"Output file not merged after an earlier write error (code %d)", earlier);
  } else if (Mux()) {
    merged_ = true;
  } else {
    keep = true;
  }
  std::lock_guard<std::mutex> lock(muxLock_);
  if (keep) {
    keepTemporaries(muxFailure_);
  } else {
    RemoveFileQuiet(videoPath_);
    RemoveFileQuiet(audioPath_);
  }
  muxRunning_ = false;
  muxEnded_.notify_all();
}

// Names the kept files in the failure and forgets them, so that no later
// teardown removes them.
void MediaCreateMacAV::keepTemporaries(const std::string& why) {
  LogPrintf(L"Output not merged; encoded picture and sound kept in '%S' and '%S'", videoPath_.c_str(),
            audioPath_.c_str());
  noteError(-82, "The video file '" + outputPath_ + "' could not be completed: " + why +
                     ".\nThe encoded picture and sound are kept in:\n" + videoPath_ + "\n" + audioPath_);
  videoPath_.clear();
  audioPath_.clear();
}

void MediaCreateMacAV::waitForMerge() {
  std::unique_lock<std::mutex> lock(muxLock_);
  muxEnded_.wait(lock, [&] { return !muxRunning_; });
  RemoveFileQuiet(videoPath_);
  RemoveFileQuiet(audioPath_);
}

bool MediaCreateMacAV::Mux() {
  std::string merged = CreateSiblingTempFile(outputPath_, ".part");
  if (merged.empty()) {
    NoteMuxFailure(RemuxStatus::kNoOutput, muxFailure_);
    return false;
  }
  std::atomic<bool> cancel{false};
  std::mutex doneLock;
  std::condition_variable doneSignal;
  bool done = false;
  RemuxStatus status = RemuxStatus::kFailed;
  std::string reason;
  bool inPlace = false;
  std::thread worker([&] {
    // The quick merge leaves the picture temporary as it was when it cannot
    // be had; the copying one then writes the merged file.
    RemuxStatus result = AppendSoundInPlace(videoPath_, audioPath_, cancel, reason);
    inPlace = result == RemuxStatus::kCompleted;
    if (!inPlace && result != RemuxStatus::kCancelled) {
      LogPrintf(L"AVFoundation Mux: copying, as appending the sound failed: %S", reason.c_str());
      reason.clear();
      result = RemuxVideoAndAudio(videoPath_, audioPath_, merged, cancel, reason);
    }
    std::lock_guard<std::mutex> lock(doneLock);
    status = result;
    done = true;
    doneSignal.notify_all();
  });
  {
    std::unique_lock<std::mutex> lock(doneLock);
    while (!done && !KillMux.load()) doneSignal.wait_for(lock, kMuxPollStep);
  }
  if (KillMux.load()) cancel = true;
  worker.join();
  // Whatever the merge was doing when it was cancelled, it was cancelled.
  if (cancel.load()) status = RemuxStatus::kCancelled;
  std::string finished = inPlace ? videoPath_ : merged;
  const bool ok = reportMux(static_cast<int>(status), reason, finished, muxFailure_);
  if (!inPlace && finished.empty()) merged.clear();
  RemoveFileQuiet(merged);
  if (inPlace && ok) {
    // The picture temporary became the output.
    std::lock_guard<std::mutex> lock(muxLock_);
    videoPath_.clear();
  }
  return ok;
}

// Logs the merge's outcome and, when it completed, puts the file in place;
// otherwise says why for the user.
bool MediaCreateMacAV::reportMux(int status, const std::string& reason, std::string& merged,
                                 std::string& why) {
  const auto outcome = static_cast<RemuxStatus>(status);
  if (NoteMuxFailure(outcome, why)) return false;
  if (outcome == RemuxStatus::kFailed) {
    LogPrintf(L"AVFoundation Mux export failed! Reason: %S", reason.c_str());
    why = reason;
    return false;
  }
  if (outcome == RemuxStatus::kCancelled) {
    LogPrintf(L"AVFoundation Mux export unknown completion status: %d", kExportStatusCancelled);
    why = "putting picture and sound together was cancelled";
    return false;
  }
  if (const int error = ReplaceFileWith(merged, outputPath_); error != 0) {
    LogPrintf(L"AVFoundation Mux export failed! Reason: %S", std::strerror(error));
    why = std::strerror(error);
    return false;
  }
  merged.clear();
  LogPrintf(L"AVFoundation Mux export complete");
  return true;
}
