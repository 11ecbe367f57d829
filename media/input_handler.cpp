#include "media/input_handler.h"

#include <unistd.h>

#include <array>
#include <cstdlib>
#include <cstring>
#include <string>

#include "engine/base/error.h"
#include "engine/base/log.h"
#include "engine/base/text.h"
#include "engine/model/input_table.h"
#include "media/av_facade.h"
#include "media/datalog/datalog.h"
#include "media/embedded_data.h"
#include "media/image_input.h"
#include "media/media_kind.h"
#include "media/media_slot.h"
#include "media/wav_file.h"
#include "platform/gstreamer/qt_facade.h"
#include "platform/media/still_image.h"

namespace {

std::array<InputHandlerSlot, kMediaSlots> gSlots{};
bool gAvAvailable = false;
bool gQtAvailable = false;

// QV_FIRST_READER=off leaves the first reader unloaded, so that every file
// goes to the second one (its tests, and diagnosing a file).
bool FirstReaderOff() {
  const char* v = std::getenv("QV_FIRST_READER");
  return v && std::strcmp(v, "off") == 0;
}

// Frees what the media layer itself holds for the slot and zeroes it.
void ResetSlot(InputHandlerSlot* slot) {
  if (slot->Image) {
    MediaImageDataFree(slot->Image);
    delete slot->Image;
  }
  delete slot->Wav;
  *slot = InputHandlerSlot{};
  slot->LastSeekTime = -1.0;
  slot->LastPrepareTime = -1.0;
}

int OpenMediaFile(uint32_t input, MediaKind kind) {
  int rc = kErrUnsupported;
  if (kind == MediaKind::Wav) rc = MediaWavOpen(input);
  else if (kind == MediaKind::Image) rc = MediaImageOpen(input);
  if (rc < 0 && gAvAvailable) rc = MediaMacAvOpen(input);
  if (rc < 0 && gQtAvailable) rc = MediaMacQtOpen(input);
  if (rc < 0 && kind != MediaKind::Image) rc = MediaImageOpen(input);
  if (rc < 0 && kind != MediaKind::Wav) rc = MediaWavOpen(input);
  return rc;
}

} // namespace

InputHandlerSlot* InputHandlerGetSlot(uint32_t input) { return input < kMediaSlots ? &gSlots[input] : nullptr; }

int MediaHandlerInit() {
  for (auto& slot : gSlots) ResetSlot(&slot);
  LogPrintf(L"Loading AV Foundation interface...");
  gAvAvailable = !FirstReaderOff() && MediaMacAvInit() >= 0;
  LogPrintf(L"Loading QuickTime interface...");
  gQtAvailable = MediaMacQtInit() >= 0;
  return ErrorSet(kOk, "MediaHandlerInit");
}

void MediaHandlerEnd() {
  if (gAvAvailable) MediaMacAvEnd();
  if (gQtAvailable) MediaMacQtEnd();
  gAvAvailable = gQtAvailable = false;
  for (auto& slot : gSlots) ResetSlot(&slot);
}

int InputHandlerOpen(uint32_t input) {
  constexpr const char* kName = "InputHandlerOpen";
  MainStruct* main = InputTableMain(input);
  InputHandlerSlot* slot = InputHandlerGetSlot(input);
  if (!main || !slot) return ErrorSet(kErrBadArg, kName);
  InputHandlerClose(input);
  std::wstring path = StrUtf16ToW(main->FilePath);
  // A file that is missing or unreadable is told as such, not as a format
  // no reader knows.
  if (access(WideToUtf8(path).c_str(), R_OK) != 0) return ErrorSet(kErrOpen, kName);
  MediaKind kind = MediaDetectKind(path);
  if (kind == MediaKind::Unknown && DataloggerIsLogFile(path.c_str())) {
    int rc = DataloggerOpen(input);
    if (rc < 0) return ErrorSet(rc, kName);
    slot->DataHandler = kHandlerDataLog;
    return ErrorSet(kOk, kName);
  }
  int rc = OpenMediaFile(input, kind);
  if (rc < 0) {
    InputHandlerClose(input);
    return ErrorSet(kErrUnsupported, kName);
  }
  if (slot->VideoHandler == kHandlerAv) EmbeddedDataScan(input);
  if (slot->VideoHandler == kHandlerImage || slot->VideoHandler == kHandlerAv) GeoLocationScan(input);
  return ErrorSet(kOk, kName);
}

void InputHandlerClose(uint32_t input) {
  InputHandlerSlot* slot = InputHandlerGetSlot(input);
  if (!slot) return;
  if (slot->VideoHandler == kHandlerAv || slot->AudioHandler == kHandlerAv || slot->DataHandler == kHandlerAv)
    MediaMacAvClose(input);
  if (slot->VideoHandler == kHandlerQt || slot->AudioHandler == kHandlerQt || slot->DataHandler == kHandlerQt)
    MediaMacQtClose(input);
  if (slot->DataHandler == kHandlerDataLog) DataloggerClose(input);
  ResetSlot(slot);
}

int InputHandlerReprocess(uint32_t input) {
  constexpr const char* kName = "InputHandlerReprocess";
  MainStruct* main = InputTableMain(input);
  InputHandlerSlot* slot = InputHandlerGetSlot(input);
  if (!main || !slot) return ErrorSet(kErrBadArg, kName);
  if (slot->DataHandler == kHandlerDataLog) return ErrorSet(DataloggerReprocess(input), kName);
  return ErrorSet(kOk, kName);
}

int InputHandlerGetFrameRF(uint32_t input, double time, InputFrame* frame) {
  constexpr const char* kName = "InputHandlerGetFrameRF";
  MainStruct* main = InputTableMain(input);
  InputHandlerSlot* slot = InputHandlerGetSlot(input);
  if (!frame) return ErrorSet(kErrBadArg, kName);
  *frame = InputFrame{};
  if (!main || !slot || main->Type == kInputFiller) return ErrorSet(kErrBadArg, kName);
  if (main->Type != kInputImage && slot->VideoHandler == kHandlerAv) {
    int rc = MediaMacAvGetFrame(input, time);
    if (rc < 0) return rc;
  }
  if (main->Type != kInputImage && slot->VideoHandler == kHandlerQt) {
    int rc = MediaMacQtGetFrame(input, time);
    if (rc < 0) return rc;
  }
  if (slot->VideoHandler == kHandlerNone) return ErrorSet(kErrBadArg, kName);
  if (!slot->FrameData) return ErrorSet(kErrRead, kName);
  frame->Pixels = slot->FrameData;
  frame->Width = main->Width;
  frame->Height = main->Height;
  frame->BytesPerPixel = slot->BytesPerPixel;
  frame->FlipVertical = slot->FlipVertical;
  frame->MirrorHorizontal = slot->MirrorHorizontal;
  return ErrorSet(kOk, kName);
}

void InputHandlerPrepareFrame(uint32_t input, double time) {
  MainStruct* main = InputTableMain(input);
  InputHandlerSlot* slot = InputHandlerGetSlot(input);
  if (!main || !slot || main->Type == kInputImage) return;
  if (slot->VideoHandler != kHandlerAv && slot->VideoHandler != kHandlerQt) return;
  if (time == slot->LastPrepareTime) return;
  slot->LastPrepareTime = time;
  if (slot->VideoHandler == kHandlerAv) MediaMacAvPrepareFrame(input, time);
  else MediaMacQtPrepareFrame(input, time);
}

void InputHandlerSeek(uint32_t input, double time) {
  InputHandlerSlot* slot = InputHandlerGetSlot(input);
  if (!slot || time == slot->LastSeekTime) return;
  slot->LastSeekTime = time;
  if (slot->VideoHandler == kHandlerAv || slot->AudioHandler == kHandlerAv) MediaMacAvSeek(input, time);
  if (slot->VideoHandler == kHandlerQt) MediaMacQtSeek(input, time);
}

void InputHandlerSetPlaybackRate(uint32_t input, double fps) {
  InputHandlerSlot* slot = InputHandlerGetSlot(input);
  if (slot && (slot->VideoHandler == kHandlerAv || slot->AudioHandler == kHandlerAv))
    MediaMacAvSetPlaybackRate(input, fps);
  if (slot && slot->VideoHandler == kHandlerQt) MediaMacQtSetPlaybackRate(input, fps);
}

int InputHandlerGetAudio(uint32_t input, double start, double length, const uint8_t** data) {
  InputHandlerSlot* slot = InputHandlerGetSlot(input);
  if (data) *data = nullptr;
  if (!slot) return 0;
  slot->AudioData = nullptr;
  int bytes = 0;
  if (slot->AudioHandler == kHandlerAv) {
    bytes = MediaMacAvGetAudio(input, start, length);
    if (bytes <= 0 || !slot->AudioData || ErrorGetLast() < 0) bytes = 0;
  } else if (slot->AudioHandler == kHandlerWav && slot->Wav) {
    bytes = slot->Wav->Read(start, length);
    if (bytes > 0) slot->AudioData = slot->Wav->Data();
    else bytes = 0;
  }
  if (bytes == 0) slot->AudioData = nullptr;
  if (data) *data = slot->AudioData;
  return bytes;
}

const AudioFormat* InputHandlerGetAudioFormat(uint32_t input) {
  InputHandlerSlot* slot = InputHandlerGetSlot(input);
  if (!slot || slot->AudioHandler == kHandlerNone) return nullptr;
  return &slot->Format;
}
