#include "platform/gstreamer/qt_facade.h"

#include <memory>
#include <new>

#include "engine/base/error.h"
#include "engine/base/log.h"
#include "engine/base/text.h"
#include "engine/model/input_table.h"
#include "media/media_slot.h"
#include "media/reader_facade.h"
#include "platform/gstreamer/reader.h"

namespace {

ReaderFacade<MediaMacQT, &InputHandlerSlot::QtHandle> gFacade;

std::shared_ptr<MediaMacQT> Lookup(uint32_t input) { return gFacade.Lookup(input); }

} // namespace

// GStreamer itself starts with the first file this reader is asked to open:
// a session whose files all open with the first reader never loads it.
int MediaMacQtInit() {
  gFacade.table.CloseAll();
  LogPrintf(L"QTKit support enabled");
  return ErrorSet(kOk, "MediaMacQtInit");
}

// GStreamer stays loaded: it cannot be started again in the same process.
void MediaMacQtEnd() { gFacade.table.CloseAll(); }

uint32_t MediaMacQtOpenCount() { return gFacade.table.Count(); }

int MediaMacQtOpen(uint32_t input) {
  constexpr const char* kName = "MediaMacQtOpen";
  MainStruct* main = InputTableMain(input);
  InputHandlerSlot* slot = InputHandlerGetSlot(input);
  if (!main || !slot) return ErrorSet(kErrBadArg, kName);
  std::wstring path = StrUtf16ToW(main->FilePath);
  LogPrintf(L"Attempting MediaMacQtOpen('%s')", path.c_str());
  std::shared_ptr<MediaMacQT> reader;
  try {
    reader = std::make_shared<MediaMacQT>();
  } catch (const std::bad_alloc&) {
    return ErrorSet(kErrNoMemory, kName);
  }
  int rc = reader->Open(path);
  if (rc != kOk) {
    reader->Close();
    LogPrintf(L"MediaMacQT Open failed with code %d!", rc);
    return ErrorSet(kErrUnsupported, kName);
  }
  // Refused before it takes an entry, so a refusal leaves nothing behind.
  if (!reader->HasVideo()) {
    reader->Close();
    return ErrorSet(kErrUnsupported, kName);
  }
  uint32_t handle = gFacade.table.Store(reader);
  if (handle == 0) {
    reader->Close();
    return ErrorSet(kErrUnsupported, kName);
  }
  slot->QtHandle = handle;
  const tagBITMAPINFOHEADER& bf = reader->BitmapFormat();
  main->Width = static_cast<uint16_t>(bf.biWidth);
  main->Height = static_cast<uint16_t>(bf.biHeight);
  slot->VideoHandler = kHandlerQt;
  slot->BytesPerPixel = bf.biBitCount / 8u;
  // Top-down rows of an upright picture (this reader never turns one).
  bool halfTurn = reader->Orientation() == 1;
  slot->MirrorHorizontal = halfTurn ? 1 : 0;
  slot->FlipVertical = halfTurn ? 0 : 1;
  bool still = reader->MediaLength() < 0.1;
  main->Type = still ? kInputImage : kInputVideo;
  main->HasData = 0;
  main->Length = static_cast<float>(reader->MediaLength());
  if (still) {
    int frameRc = MediaMacQtGetFrame(input, 0.0);
    if (frameRc != kOk || !reader->BitmapData()) {
      LogPrintf(L"Unable to get QuickTime still image data '%s'\n\n Error code: %d", path.c_str(), frameRc);
      MediaMacQtClose(input);
      return ErrorSet(kErrUnsupported, kName);
    }
  } else {
    slot->Format = reader->Format();
    slot->AudioData = nullptr;
  }
  slot->FrameData = reader->BitmapData();
  return ErrorSet(kOk, kName);
}

void MediaMacQtClose(uint32_t input) { gFacade.Close(input, "MediaMacQtClose"); }

int MediaMacQtGetFrame(uint32_t input, double time) {
  return gFacade.GetFrame(input, time, "MediaMacQtGetFrame");
}

void MediaMacQtSeek(uint32_t input, double time) {
  gFacade.Forward(input, "MediaMacQtSeek", [time](auto& reader) { reader.Seek(time); });
}

void MediaMacQtSetPlaybackRate(uint32_t input, double fps) {
  gFacade.Forward(input, "MediaMacQtSetPlaybackRate", [fps](auto& reader) { reader.SetPlaybackFrameRate(fps); });
}

void MediaMacQtPrepareFrame(uint32_t input, double time) {
  gFacade.Forward(input, "MediaMacQtPrepareFrame", [time](auto& reader) { reader.PrepareFrame(time); });
}

int MediaMacQtGetAudio(uint32_t input, double, double) {
  std::shared_ptr<MediaMacQT> reader = Lookup(input);
  if (!reader) return ErrorSet(kErrBadArg, "MediaMacQtGetAudio"), 0;
  InputHandlerGetSlot(input)->AudioData = nullptr;
  ErrorSet(kOk, "MediaMacQtGetAudio");
  return 0;
}
