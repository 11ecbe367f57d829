#include "media/av_facade.h"

#include <memory>

#include "engine/base/error.h"
#include "engine/base/log.h"
#include "engine/base/text.h"
#include "engine/model/input_table.h"
#include "media/media_slot.h"
#include "media/reader_facade.h"
#include "platform/ffmpeg/ffmpeg_log.h"
#include "platform/ffmpeg/reader.h"

namespace {

ReaderFacade<MediaMacAV, &InputHandlerSlot::AvHandle> gFacade;

std::shared_ptr<MediaMacAV> Lookup(uint32_t input) { return gFacade.Lookup(input); }

} // namespace

int MediaMacAvInit() {
  gFacade.table.CloseAll();
  FfmpegLogInstall();
  LogPrintf(L"AV Foundation support enabled");
  return ErrorSet(kOk, "MediaMacAvInit");
}

void MediaMacAvEnd() { gFacade.table.CloseAll(); }

uint32_t MediaMacAvOpenCount() { return gFacade.table.Count(); }

int MediaMacAvOpen(uint32_t input) {
  constexpr const char* kName = "MediaMacAvOpen";
  MainStruct* main = InputTableMain(input);
  InputHandlerSlot* slot = InputHandlerGetSlot(input);
  if (!main || !slot) return ErrorSet(kErrBadArg, kName);
  std::wstring path = StrUtf16ToW(main->FilePath);
  LogPrintf(L"Attempting MediaMacAvOpen('%s')", path.c_str());
  std::shared_ptr<MediaMacAV> reader;
  try {
    reader = std::make_shared<MediaMacAV>();
  } catch (const std::bad_alloc&) {
    return ErrorSet(kErrNoMemory, kName);
  }
  int rc = reader->Open(path);
  if (rc != kOk) {
    reader->Close();
    LogPrintf(L"MediaMacAV Open failed with code %d!", rc);
    return ErrorSet(kErrUnsupported, kName);
  }
  uint32_t handle = gFacade.table.Store(reader);
  if (handle == 0) { // cannot happen with one reader per input; refused cleanly all the same
    reader->Close();
    return ErrorSet(kErrUnsupported, kName);
  }
  slot->AvHandle = handle;
  bool still = false;
  if (reader->HasVideo()) {
    const tagBITMAPINFOHEADER& bf = reader->BitmapFormat();
    main->Width = static_cast<uint16_t>(bf.biWidth);
    main->Height = static_cast<uint16_t>(bf.biHeight);
    slot->VideoHandler = kHandlerAv;
    slot->BytesPerPixel = bf.biBitCount / 8u;
    bool halfTurn = reader->Orientation() == 1, bottomUp = reader->FlipY() == 1;
    slot->MirrorHorizontal = halfTurn ? 1 : 0;
    slot->FlipVertical = halfTurn == bottomUp ? 1 : 0;
    if (reader->MediaLength() < 0.1) {
      still = true;
      main->Type = kInputImage;
    } else {
      main->Type = kInputVideo;
      if (reader->HasAudio()) slot->AudioHandler = kHandlerAv;
    }
  } else if (reader->HasAudio()) {
    main->Type = kInputAudio;
    slot->AudioHandler = kHandlerAv;
  } else {
    MediaMacAvClose(input);
    return ErrorSet(kErrUnsupported, kName);
  }
  main->HasData = 0;
  main->Length = static_cast<float>(reader->MediaLength());
  if (still) {
    int frameRc = MediaMacAvGetFrame(input, 0.0);
    if (frameRc != kOk || !reader->BitmapData()) {
      LogPrintf(L"Unable to get AV Foundation still image data '%s'\n\n Error code: %d", path.c_str(),
                frameRc != kOk ? frameRc : 0);
      MediaMacAvClose(input);
      return ErrorSet(kErrUnsupported, kName);
    }
  } else {
    slot->Format = reader->Format();
    slot->AudioData = nullptr;
  }
  if (main->Type != kInputAudio) slot->FrameData = reader->BitmapData();
  return ErrorSet(kOk, kName);
}

void MediaMacAvClose(uint32_t input) { gFacade.Close(input, "MediaMacAvClose"); }

int MediaMacAvGetFrame(uint32_t input, double time) {
  return gFacade.GetFrame(input, time, "MediaMacAvGetFrame");
}

void MediaMacAvSeek(uint32_t input, double time) {
  gFacade.Forward(input, "MediaMacAvSeek", [time](auto& reader) { reader.Seek(time); });
}

void MediaMacAvSetPlaybackRate(uint32_t input, double fps) {
  gFacade.Forward(input, "MediaMacAvSetPlaybackRate", [fps](auto& reader) { reader.SetPlaybackFrameRate(fps); });
}

void MediaMacAvPrepareFrame(uint32_t input, double time) {
  gFacade.Forward(input, "MediaMacAvPrepareFrame", [time](auto& reader) { reader.PrepareFrame(time); });
}

int MediaMacAvGetAudio(uint32_t input, double start, double length) {
  constexpr const char* kName = "MediaMacAvGetAudio";
  std::shared_ptr<MediaMacAV> reader = Lookup(input);
  if (!reader) return ErrorSet(kErrBadArg, kName), 0;
  InputHandlerSlot* slot = InputHandlerGetSlot(input);
  if (!reader->HasAudio()) {
    slot->AudioData = nullptr;
    return ErrorSet(kOk, kName), 0;
  }
  int rc = reader->GetAudio(start, length);
  if (rc == kErrEndOfData) {
    slot->AudioData = nullptr;
    return ErrorSet(kOk, kName), 0;
  }
  if (rc < 0 || !reader->AudioData()) {
    slot->AudioData = nullptr;
    return ErrorSet(kErrRead, kName), 0;
  }
  slot->AudioData = reader->AudioData();
  ErrorSet(kOk, kName);
  return static_cast<int>(reader->AudioDataLength());
}
