#include "media/qt_facade.h"

#include "base/error.h"
#include "base/log.h"
#include "media/media_slot.h"
#include "media/reader_facade.h"
#include "platform/gstreamer/reader.h"

namespace {

ReaderFacade<&InputHandlerSlot::QtHandle> gFacade;

} // namespace

// GStreamer itself starts with the first file this reader is asked to open:
// a session whose files all open with the first reader never loads it.
int MediaMacQtInit() {
  gFacade.CloseAll();
  LogPrintf(L"QTKit support enabled");
  return ErrorSet(kOk, "MediaMacQtInit");
}

// GStreamer stays loaded: it cannot be started again in the same process.
void MediaMacQtEnd() { gFacade.CloseAll(); }

uint32_t MediaMacQtOpenCount() { return gFacade.handles.Count(); }

int MediaMacQtOpen(uint32_t input) {
  return gFacade.Open<MediaMacQT>(input, kHandlerQt, "MediaMacQtOpen", L"MediaMacQT", L"QuickTime");
}

void MediaMacQtClose(uint32_t input) { gFacade.Close(input, "MediaMacQtClose"); }

int MediaMacQtGetFrame(uint32_t input, double time) {
  return gFacade.GetFrame(input, time, "MediaMacQtGetFrame");
}

void MediaMacQtSeek(uint32_t input, double time) {
  gFacade.Forward(input, "MediaMacQtSeek", [time](MediaReader& reader) { reader.Seek(time); });
}

void MediaMacQtSetPlaybackRate(uint32_t input, double fps) {
  gFacade.Forward(input, "MediaMacQtSetPlaybackRate", [fps](MediaReader& reader) { reader.SetPlaybackFrameRate(fps); });
}

void MediaMacQtPrepareFrame(uint32_t input, double time) {
  gFacade.Forward(input, "MediaMacQtPrepareFrame", [time](MediaReader& reader) { reader.PrepareFrame(time); });
}

int MediaMacQtGetAudio(uint32_t input, double start, double length) {
  return gFacade.GetAudio(input, start, length, "MediaMacQtGetAudio");
}
