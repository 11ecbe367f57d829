// The single OutputWriter behind the plain writer routines. The render set-up,
// the render loop and the tear-down call these from different threads in a
// fixed order; the reference itself is guarded so that a tear-down during a
// merge cannot free the writer under the finishing thread.
#include "platform/ffmpeg/writer_facade.h"

#include <memory>
#include <mutex>
#include <new>
#include <utility>

#include "base/error.h"
#include "base/log.h"
#include "base/text.h"
#include "platform/ffmpeg/writer.h"

namespace {

std::mutex outputWriterLock;
std::shared_ptr<MediaCreateMacAV> OutputWriter;

std::shared_ptr<MediaCreateMacAV> CurrentWriter() {
  std::lock_guard<std::mutex> lock(outputWriterLock);
  return OutputWriter;
}

std::shared_ptr<MediaCreateMacAV> ReplaceWriter(std::shared_ptr<MediaCreateMacAV> next) {
  std::lock_guard<std::mutex> lock(outputWriterLock);
  OutputWriter.swap(next);
  return next;
}

} // namespace

int MediaMacAvCreate(const wchar_t* path, const tagBITMAPINFOHEADER* frameFormat,
                     const AudioFormat* soundFormat, uint32_t videoKBitrate, uint32_t audioKBitrate,
                     const void* frameBuffer, const void* soundBuffer, uint32_t soundBufferLength,
                     double frameRate, double audioChunkRate) {
  if (path == nullptr || *path == 0 || frameFormat == nullptr || soundFormat == nullptr)
    return ErrorSet(-21, "MediaMacAvCreate");
  std::shared_ptr<MediaCreateMacAV> writer(new (std::nothrow) MediaCreateMacAV());
  if (std::shared_ptr<MediaCreateMacAV> previous = ReplaceWriter(writer)) previous->Close();
  if (!writer) return ErrorSet(-22, "MediaMacAvCreate");
  writer->FrameRate = frameRate;
  writer->AudioChunkRate = audioChunkRate;
  writer->BitmapFormat = *frameFormat;
  writer->AudioFormat = *soundFormat;
  writer->VideoKBitrate = videoKBitrate;
  writer->AudioKBitrate = audioKBitrate;
  writer->BitmapData = frameBuffer;
  writer->AudioData = soundBuffer;
  writer->AudioDataLength = soundBufferLength;
  const int result = writer->Create(path);
  if (result != 0) {
    writer->Close();
    ReplaceWriter(nullptr);
    LogPrintf(L"MediaCreateMacAv Create('%s') failed with code %d!", path, result);
    return ErrorSet(-82, "MediaMacAvCreate");
  }
  writer->AudioDataLength = 0;
  return ErrorSet(0, "MediaMacAvCreate");
}

void MediaMacAvPutPrepare() {
  const std::shared_ptr<MediaCreateMacAV> writer = CurrentWriter();
  if (!writer) return;
  if (const int result = writer->PutPrepare(); result != 0) {
    LogPrintf(L"Failed to prepare for writing in output AVFoundation file. Error code %d", result);
    ErrorSet(-82, "MediaMacAvPutPrepare");
  }
}

namespace {

// Frame n at n / frame rate, from the frame buffer or from 4:2:0 planes.
int PutFrameNumbered(uint32_t frame, SharedPlanes planes, const char* name) {
  const std::shared_ptr<MediaCreateMacAV> writer = CurrentWriter();
  if (!writer) return ErrorSet(-21, name);
  const double t = static_cast<double>(frame) / writer->FrameRate;
  const int result = planes ? writer->PutFramePlanes(t, std::move(planes)) : writer->PutFrame(t);
  if (result < 0) {
    LogPrintf(L"Failed to write video frame # %d to output AVFoundation file. Error code %d",
              static_cast<int>(frame) - 1, result);
    return ErrorSet(-82, name);
  }
  return ErrorSet(0, name);
}

} // namespace

int MediaMacAvPutFrame(uint32_t frame) { return PutFrameNumbered(frame, nullptr, "MediaMacAvPutFrame"); }

int MediaMacAvPutFramePlanes(uint32_t frame, SharedPlanes yuv420) {
  if (!yuv420) return ErrorSet(-21, "MediaMacAvPutFramePlanes");
  return PutFrameNumbered(frame, std::move(yuv420), "MediaMacAvPutFramePlanes");
}

int MediaMacAvPutAudio(uint32_t chunk, uint32_t length) {
  const std::shared_ptr<MediaCreateMacAV> writer = CurrentWriter();
  if (!writer) return ErrorSet(-21, "MediaMacAvPutAudio");
  writer->AudioDataLength = length;
  const int result = writer->PutAudio(static_cast<double>(chunk) / writer->AudioChunkRate);
  if (result < 0) {
    LogPrintf(L"Failed to write audio chunk # %d to output AVFoundation file. Error code %d",
              static_cast<int>(chunk) - 1, result);
    return ErrorSet(-82, "MediaMacAvPutAudio");
  }
  return ErrorSet(0, "MediaMacAvPutAudio");
}

int MediaMacAvFinishWriting() {
  const std::shared_ptr<MediaCreateMacAV> writer = CurrentWriter();
  // Nothing open, nothing written: not a success, but nothing to log either.
  if (!writer) return -21;
  if (const int result = writer->FinishWriting(); result != 0) {
    LogPrintf(L"Failed to finish writing output AVFoundation file. Error code %d", result);
    return ErrorSet(-82, "MediaMacAvFinishWriting");
  }
  return ErrorSet(0, "MediaMacAvFinishWriting");
}

void MediaMacAvCreateClose() {
  const std::shared_ptr<MediaCreateMacAV> writer = ReplaceWriter(nullptr);
  if (writer) writer->Close();
}

std::wstring MediaMacAvFailureText() {
  const std::shared_ptr<MediaCreateMacAV> writer = CurrentWriter();
  return writer ? Utf8ToWide(writer->FailureText()) : std::wstring();
}
