#include "media/av_facade.h"

#include "base/error.h"
#include "base/log.h"
#include "media/media_slot.h"
#include "media/reader_facade.h"
#include "platform/ffmpeg/ffmpeg_log.h"
#include "platform/ffmpeg/reader.h"

namespace {

ReaderFacade<&InputHandlerSlot::AvHandle> gFacade;

} // namespace

int MediaMacAvInit() {
  gFacade.CloseAll();
  FfmpegLogInstall();
  LogPrintf(L"AV Foundation support enabled");
  return ErrorSet(kOk, "MediaMacAvInit");
}

void MediaMacAvEnd() { gFacade.CloseAll(); }

uint32_t MediaMacAvOpenCount() { return gFacade.handles.Count(); }

int MediaMacAvOpen(uint32_t input) {
  return gFacade.Open<MediaMacAV>(input, kHandlerAv, "MediaMacAvOpen", L"MediaMacAV", L"AV Foundation");
}

void MediaMacAvClose(uint32_t input) { gFacade.Close(input, "MediaMacAvClose"); }

int MediaMacAvGetFrame(uint32_t input, double time) {
  return gFacade.GetFrame(input, time, "MediaMacAvGetFrame");
}

void MediaMacAvSeek(uint32_t input, double time) {
  gFacade.Forward(input, "MediaMacAvSeek", [time](MediaReader& reader) { reader.Seek(time); });
}

void MediaMacAvSetPlaybackRate(uint32_t input, double fps) {
  gFacade.Forward(input, "MediaMacAvSetPlaybackRate", [fps](MediaReader& reader) { reader.SetPlaybackFrameRate(fps); });
}

void MediaMacAvPrepareFrame(uint32_t input, double time) {
  gFacade.Forward(input, "MediaMacAvPrepareFrame", [time](MediaReader& reader) { reader.PrepareFrame(time); });
}

int MediaMacAvGetAudio(uint32_t input, double start, double length) {
  return gFacade.GetAudio(input, start, length, "MediaMacAvGetAudio");
}
