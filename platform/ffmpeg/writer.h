#pragma once
// MediaCreateMacAV, the output video writer (the class keeps the name the
// engine has always used for it). Rendered frames go to a video-only
// temporary file through H.264, rendered sound to a sound-only temporary
// through AAC, each fed by a put thread of its own; finishing merges the two
// into the output file without re-encoding.
//
// Files: the temporaries and the merged file get unique names beside the
// output. The merge appends the sound to the picture temporary, which then
// becomes the merged file (a copy of both into a new file only where that
// cannot be done), so finishing takes seconds however long the video.
// Only a finished merge is renamed over the output path, so an
// existing file there survives every failure and every cancel. A merge that
// fails (or is cancelled) keeps both completed temporaries, so no encoded
// work is lost; every other end removes them.
//
// Errors: the first failure of a put thread, of finishing a temporary or of
// the merge is kept, with words for the user, and returned by
// FinishWriting, so a broken output is never reported as written.
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "platform/media/media_formats.h"

class EncodedStreamFile;
class VideoEncodeFile;
class AudioEncodeFile;

class MediaCreateMacAV {
public:
  MediaCreateMacAV();  // the defaults below
  ~MediaCreateMacAV(); // Close()
  MediaCreateMacAV(const MediaCreateMacAV&) = delete;
  MediaCreateMacAV& operator=(const MediaCreateMacAV&) = delete;

  // Opens both temporaries and encoders and starts both put threads; 0, or
  // -82, -23, -24 or -1 with the failure logged. Path: the final file.
  int Create(const wchar_t* path);
  // Stops the put threads, completes the temporaries and (kill false)
  // merges them into the output. 0, or -82 when anything of this output
  // failed (then the output path is left as it was).
  int FinishWriting(bool kill = false);
  // The merge on a worker thread that KillMux cancels; true when complete.
  bool Mux();
  // Teardown without merge; cancels a merge in progress on another thread
  // and returns once it has stopped.
  void Close();
  // What went wrong with this output, for the user (naming any temporary
  // files kept); empty while nothing has.
  std::string FailureText();

  // Returns once both put threads hold a copy of their last item.
  int PutPrepare();
  // Hands the frame in BitmapData (t seconds) to the frame thread; returns
  // the outcome of the frame before (0, -21 for t < 0, or the thread's code).
  int PutFrame(double t);
  // The same for a frame already in 4:2:0 planes (Y, Cb, Cr packed one
  // after the other, biWidth and biWidth / 2 bytes a row, rows top-down):
  // the encoder takes it without a conversion or a copy. Even sizes only
  // (else -21). The picture joins a queue of at most kWriterPlanesHeld not
  // yet encoded (this waits only while the queue is full), which holds a
  // reference to it until the encoder has taken it: the caller may let go
  // of its own at once. It leaves the pixels unchanged until
  // kWriterPlanesHeld more PutFramePlanes calls or a PutFrame have
  // returned, or FinishWriting: drawing into kWriterPlanesHeld + 1 buffers
  // in turn keeps the encoder fed. Returns the first encoding failure not
  // reported yet (0: none).
  int PutFramePlanes(double t, SharedPlanes yuv420);
  // The same for the AudioDataLength bytes in AudioData.
  int PutAudio(double t);

  // Properties, set before Create.
  tagBITMAPINFOHEADER BitmapFormat{}; // biWidth x biHeight, rows bottom-up
  const void* BitmapData = nullptr;   // caller's frame, BGRA, not owned
  double FrameRate = 29.97;
  uint32_t VideoKBitrate = 3072;      // units of 1024 bit/s
  ::AudioFormat AudioFormat{};        // PCM, 8 or 16 bits, 1 or 2 channels
  const void* AudioData = nullptr;    // caller's sound chunk, not owned
  uint32_t AudioDataLength = 0;       // bytes of the chunk now in AudioData
  double AudioChunkRate = 5.0;
  uint32_t AudioKBitrate = 128;

  uint32_t BitmapFrameBytes = 0;
  uint32_t BitmapFrameRowBytes = 0;
  double FrameTimeScale = 0;
  std::atomic<bool> KillMux{false};

private:
  // One side's hand-over between the caller and its put thread.
  struct PutSide {
    std::thread thread;
    bool running = false; // the thread has not ended
    std::mutex readyLock; // guards the fields below and the copy
    std::condition_variable changed;
    bool wake = false;  // an item is handed over and not yet taken
    bool ready = false; // the thread holds its copy of the last item
    int error = 0;      // outcome of the item handled last
    double time = 0;    // seconds; below -99.0 asks the thread to end
    bool cancel = false; // it missed its shutdown time: stop at once
    // Frame side: 4:2:0 pictures handed over and not yet encoded, oldest
    // first. They go before an item handed over after them (wake).
    struct Planes {
      double time;
      SharedPlanes data;
    };
    std::deque<Planes> planesQueued;

    // The put thread's steps, with readyLock held. The thread holds its
    // copy (or gave up on the item): the caller may go on.
    void announceReady() {
      ready = true;
      changed.notify_all();
    }
    // Waits for the next item and takes it; false when cancelled.
    bool takeNext(std::unique_lock<std::mutex>& lock) {
      changed.wait(lock, [&] { return wake || cancel; });
      if (cancel) return false;
      ready = false;
      wake = false;
      error = 0;
      changed.notify_all();
      return true;
    }
  };

  int createFiles();
  int createVideoTrack();
  int createAudioTrack();
  int startThreads();
  int startThread(PutSide& side, void (MediaCreateMacAV::*body)(), const wchar_t* failure);
  int handOver(PutSide& side, double t);
  static void waitReady(PutSide& side);
  void stopThread(PutSide& side, bool endFromStart, const wchar_t* readyTimeout,
                  const wchar_t* endTimeout);
  void putFrameThread();
  void encodeQueuedPlanes(std::unique_lock<std::mutex>& lock);
  bool encodeFrameCopy(std::unique_lock<std::mutex>& lock);
  void putAudioThread();
  bool copyFrame();
  bool copyChunk(uint32_t length);
  void endThread(PutSide& side);
  void noteError(int code, const std::string& text);
  // The side's item failed: its outcome, and the output's first error.
  void failItem(PutSide& side, int code, const std::string& text);
  void keepTemporaries(const std::string& why);
  void finishFiles(bool kill);
  void finishFile(EncodedStreamFile* file, bool kill, const wchar_t* kind, const std::string& path,
                  const char* content);
  bool startMerge(bool kill);
  void mergeAndClean();
  void waitForMerge();
  bool reportMux(int status, const std::string& reason, std::string& merged, std::string& why);

  std::recursive_mutex objectLock_; // teardown from Close and FinishWriting
  std::unique_ptr<VideoEncodeFile> video_;
  std::unique_ptr<AudioEncodeFile> audio_;
  PutSide frame_;
  PutSide sound_;
  std::vector<uint8_t> frameCopy_; // top-down, coded size
  std::vector<uint8_t> AudioDataInt;
  uint32_t audioCopyLength_ = 0;
  std::string outputPath_, videoPath_, audioPath_;
  std::atomic<int> firstError_{0};
  std::mutex failureLock_;   // the text of the first failure
  std::string failureText_;
  std::string muxFailure_;   // why the last merge failed, for the text
  bool mergeTried_ = false; // under objectLock_
  bool merged_ = false;
  bool closed_ = false;
  std::mutex muxLock_; // the merge's running flag and the temporaries' names
  std::condition_variable muxEnded_;
  bool muxRunning_ = false;
};

// Words for the user when the picture or sound of the output could not be
// written (its temporary is gone by the time they read them); avError is
// FFmpeg's code of the failed write (0: none known).
std::string WriteFailureText(const char* what, const std::string& output, int avError);
