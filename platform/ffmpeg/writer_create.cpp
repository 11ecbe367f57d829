// MediaCreateMacAV: defaults, creation of both temporaries with their
// encoders, and the start of the put threads.
#include <new>
#include <system_error>

#include "base/log.h"
#include "base/text.h"
#include "platform/ffmpeg/writer.h"
#include "platform/ffmpeg/writer_audio_file.h"
#include "platform/ffmpeg/writer_files.h"
#include "platform/ffmpeg/writer_settings.h"
#include "platform/ffmpeg/writer_video_file.h"
#include "platform/system/system_info.h"

namespace {
constexpr double kMaxFrameRate = 1000.0; // frames or sound chunks per second
} // namespace

MediaCreateMacAV::MediaCreateMacAV() = default;

MediaCreateMacAV::~MediaCreateMacAV() {
  if (!closed_) Close();
}

int MediaCreateMacAV::Create(const wchar_t* path) {
  LogPrintf(L"Starting AVFoundation creation session");
  outputPath_ = path ? WideToUtf8(path) : std::string();
  if (const int result = createFiles(); result != 0) return result;
  if (const int result = createVideoTrack(); result != 0) return result;
  if (const int result = createAudioTrack(); result != 0) return result;
  if (video_->start() != 0 || audio_->start() != 0) {
    LogPrintf(L"Failed to start writing AVFoundation output!");
    return -82;
  }
  return startThreads();
}

// The output path itself is not touched here: it is replaced by the merge
// only, so a failed or cancelled output leaves the previous file.
int MediaCreateMacAV::createFiles() {
  video_ = std::make_unique<VideoEncodeFile>();
  audio_ = std::make_unique<AudioEncodeFile>();
  videoPath_ = CreateSiblingTempFile(outputPath_, ".m4v");
  if (videoPath_.empty() || video_->openFile(videoPath_) != 0) {
    LogPrintf(L"Unable to create AVFoundation video writer!");
    return -82;
  }
  audioPath_ = CreateSiblingTempFile(outputPath_, ".m4a");
  if (audioPath_.empty() || audio_->openFile(audioPath_) != 0) {
    LogPrintf(L"Unable to create AVFoundation audio writer!");
    return -82;
  }
  return 0;
}

int MediaCreateMacAV::createVideoTrack() {
  const int32_t width = BitmapFormat.biWidth;
  const int32_t height = BitmapFormat.biHeight;
  VideoFileSettings settings;
  settings.width = width;
  settings.height = height;
  settings.kbitrate = VideoKBitrate;
  // A rate outside this range gives no usable time scale.
  const bool rateUsable = FrameRate > 0 && FrameRate <= kMaxFrameRate;
  settings.timeScale = rateUsable ? FrameTimeScaleFor(FrameRate) : 0;
  if (MacVerAtLeast108 == 0) {
    LogPrintf(L"Using default H.264 profile for OS X 10.7");
  } else {
    const H264Level level = H264LevelFor(width, height, VideoKBitrate, FrameRate);
    LogPrintf(L"Using %S profile", H264LevelName(level));
    settings.levelIdc = H264LevelIdc(level);
  }
  // A frame rate that gives no time scale, or a size the encoder refuses,
  // leaves no video track.
  if (!rateUsable || video_->openEncoder(settings) != 0) {
    LogPrintf(L"Unable to create AVFoundation video track! This device does not seem to support "
              L"encoding %dp video.",
              height);
    return -23;
  }
  BitmapFrameRowBytes = static_cast<uint32_t>(width) * 4;
  BitmapFrameBytes = BitmapFrameRowBytes * static_cast<uint32_t>(height);
  FrameTimeScale = settings.timeScale;
  // The copy of 32-bit frames is made with the first of them: a render
  // that hands over 4:2:0 pictures never needs it.
  frameCopy_.clear();
  return 0;
}

int MediaCreateMacAV::createAudioTrack() {
  const int32_t kbit = ClampAacKbitrate(static_cast<int32_t>(AudioKBitrate), AudioFormat.nChannels);
  LogPrintf(L"Actual output AAC bitrate: %d kbps", kbit);
  if (!(AudioChunkRate > 0 && AudioChunkRate <= kMaxFrameRate) || audio_->openEncoder(AudioFormat, kbit) != 0) {
    LogPrintf(L"Unable to create AVFoundation audio track!");
    return -23;
  }
  if (const int status = audio_->openConverter(); status != 0) {
    LogPrintf(L"Error %d from CMAudioFormatDescriptionCreate() in AVFoundation output", status);
    return -1;
  }
  return 0;
}

int MediaCreateMacAV::startThreads() {
  if (const int result = startThread(frame_, &MediaCreateMacAV::putFrameThread,
                                     L"Failed to create PutFrameThread");
      result != 0)
    return result;
  return startThread(sound_, &MediaCreateMacAV::putAudioThread, L"Failed to create PutAudioThread");
}

int MediaCreateMacAV::startThread(PutSide& side, void (MediaCreateMacAV::*body)(), const wchar_t* failure) {
  {
    std::lock_guard<std::mutex> lock(side.readyLock);
    side.wake = false;
    side.ready = false;
    side.error = 0;
    side.running = true;
  }
  try {
    side.thread = std::thread(body, this);
  } catch (const std::system_error&) {
    std::lock_guard<std::mutex> lock(side.readyLock);
    side.running = false;
    LogPrintf(L"%s", failure);
    return -24;
  }
  return 0;
}
