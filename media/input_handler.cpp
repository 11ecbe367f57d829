#include "media/input_handler.h"

#include <unistd.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <mutex>
#include <string>

#include "engine/base/error.h"
#include "engine/base/log.h"
#include "engine/base/text.h"
#include "engine/model/input_table.h"
#include "media/av_facade.h"
#include "media/datalog/datalog.h"
#include "media/embedded_data.h"
#include "media/image_input.h"
#include "media/join_media.h"
#include "media/media_kind.h"
#include "media/media_slot.h"
#include "media/qt_facade.h"

namespace {

std::array<InputHandlerSlot, kMediaSlots> gSlots{};
std::mutex gReaderMutex; // guards the slots' Reader pointers
bool gAvAvailable = false;
bool gQtAvailable = false;

// QV_FIRST_READER=off leaves the first reader unloaded, so that every file
// goes to the second one (its tests, and diagnosing a file).
bool FirstReaderOff() {
  const char* v = std::getenv("QV_FIRST_READER");
  return v && std::strcmp(v, "off") == 0;
}

// Closes the slot's reader (through the facade that opened it, so its
// handle is freed) and zeroes the slot.
void ResetSlot(uint32_t input) {
  InputHandlerSlot* slot = InputHandlerGetSlot(input);
  if (slot->AvHandle != 0) MediaMacAvClose(input);
  if (slot->QtHandle != 0) MediaMacQtClose(input);
  if (std::shared_ptr<MediaReader> reader = InputHandlerTakeReader(input)) reader->Close();
  std::lock_guard<std::mutex> lock(gReaderMutex);
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

std::shared_ptr<MediaReader> InputHandlerReader(uint32_t input) {
  if (input >= kMediaSlots) return nullptr;
  std::lock_guard<std::mutex> lock(gReaderMutex);
  return gSlots[input].Reader;
}

std::shared_ptr<MediaReader> InputHandlerTakeReader(uint32_t input) {
  if (input >= kMediaSlots) return nullptr;
  std::lock_guard<std::mutex> lock(gReaderMutex);
  return std::move(gSlots[input].Reader);
}

int InputHandlerAttach(uint32_t input, std::unique_ptr<MediaReader> reader, uint32_t handlerKind) {
  MainStruct* main = InputTableMain(input);
  InputHandlerSlot* slot = InputHandlerGetSlot(input);
  if (!main || !slot || !reader) return kErrBadArg;
  const bool video = reader->HasVideo() != 0;
  const bool still = video && reader->MediaLength() < 0.1;
  const bool sound = reader->HasAudio() != 0 && !still;
  if (!video && !(sound && reader->MediaLength() > 0.0)) return kErrUnsupported;
  main->Type = still ? kInputImage : video ? kInputVideo : kInputAudio;
  main->HasData = 0;
  // A track the file does not have (another file, or one changed since)
  // was opened as its first; the record says so.
  main->TrackCount = static_cast<uint16_t>(std::min<uint32_t>(reader->TrackCount(), UINT16_MAX));
  if (main->TrackIndex >= main->TrackCount) main->TrackIndex = 0;
  main->Length = still ? 0.0f : static_cast<float>(reader->MediaLength());
  main->Width = main->Height = 0;
  if (video) {
    const tagBITMAPINFOHEADER& bf = reader->BitmapFormat();
    main->Width = static_cast<uint16_t>(bf.biWidth);
    main->Height = static_cast<uint16_t>(bf.biHeight);
    slot->VideoHandler = handlerKind;
    slot->BytesPerPixel = bf.biBitCount / 8u;
    const bool halfTurn = reader->Orientation() == 1, bottomUp = reader->FlipY() == 1;
    slot->MirrorHorizontal = halfTurn ? 1 : 0;
    slot->FlipVertical = halfTurn == bottomUp ? 1 : 0;
    slot->FrameData = reader->BitmapData();
  }
  if (sound) {
    slot->AudioHandler = handlerKind;
    slot->Format = reader->Format();
    slot->AudioData = nullptr;
  }
  std::lock_guard<std::mutex> lock(gReaderMutex);
  slot->Reader = std::move(reader);
  return kOk;
}

int MediaHandlerInit() {
  for (uint32_t input = 0; input < kMediaSlots; ++input) ResetSlot(input);
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
  for (uint32_t input = 0; input < kMediaSlots; ++input) ResetSlot(input);
}

int InputHandlerOpen(uint32_t input) {
  constexpr const char* kName = "InputHandlerOpen";
  MainStruct* main = InputTableMain(input);
  InputHandlerSlot* slot = InputHandlerGetSlot(input);
  if (!main || !slot) return ErrorSet(kErrBadArg, kName);
  InputHandlerClose(input);
  main->TrackCount = 0; // data logs and refused files have no tracks to choose
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
  if (slot->DataHandler == kHandlerDataLog) DataloggerClose(input);
  ResetSlot(input);
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
  if (JoinHasMedia(input)) return JoinGetFrame(input, time, frame);
  if (!frame) return ErrorSet(kErrBadArg, kName);
  *frame = InputFrame{};
  if (!main || !slot || main->Type == kInputFiller) return ErrorSet(kErrBadArg, kName);
  const std::shared_ptr<MediaReader> reader = InputHandlerReader(input);
  if (!reader || slot->VideoHandler == kHandlerNone) return ErrorSet(kErrBadArg, kName);
  // A still picture keeps the frame decoded when it was opened.
  if (main->Type != kInputImage) {
    slot->FrameData = reader->GetFrame(time) < 0 ? nullptr : reader->BitmapData();
  }
  if (!slot->FrameData) return ErrorSet(kErrRead, kName);
  frame->Pixels = slot->FrameData;
  frame->Width = main->Width;
  frame->Height = main->Height;
  frame->BytesPerPixel = slot->BytesPerPixel;
  frame->FlipVertical = slot->FlipVertical;
  frame->MirrorHorizontal = slot->MirrorHorizontal;
  return ErrorSet(kOk, kName);
}

bool InputHandlerGetFramePlanes(uint32_t input, double time, PlanarPicture* planes) {
  if (!planes || JoinHasMedia(input)) return false;
  const MainStruct* main = InputTableMain(input);
  const InputHandlerSlot* slot = InputHandlerGetSlot(input);
  if (!main || !slot || main->Type != kInputVideo || slot->VideoHandler == kHandlerNone ||
      slot->MirrorHorizontal != 0)
    return false;
  const std::shared_ptr<MediaReader> reader = InputHandlerReader(input);
  return reader && reader->GetFramePlanes(time, planes);
}

void InputHandlerPrepareFrame(uint32_t input, double time) {
  if (JoinHasMedia(input)) return JoinPrepareFrame(input, time);
  MainStruct* main = InputTableMain(input);
  InputHandlerSlot* slot = InputHandlerGetSlot(input);
  if (!main || !slot || main->Type == kInputImage || slot->VideoHandler == kHandlerNone) return;
  if (time == slot->LastPrepareTime) return;
  slot->LastPrepareTime = time;
  if (const std::shared_ptr<MediaReader> reader = InputHandlerReader(input)) reader->PrepareFrame(time);
}

void InputHandlerSeek(uint32_t input, double time) {
  if (JoinHasMedia(input)) return JoinSeek(input, time);
  InputHandlerSlot* slot = InputHandlerGetSlot(input);
  if (!slot || time == slot->LastSeekTime) return;
  slot->LastSeekTime = time;
  if (const std::shared_ptr<MediaReader> reader = InputHandlerReader(input)) reader->Seek(time);
}

void InputHandlerSetPlaybackRate(uint32_t input, double fps) {
  if (JoinHasMedia(input)) return JoinSetPlaybackRate(input, fps);
  if (const std::shared_ptr<MediaReader> reader = InputHandlerReader(input)) reader->SetPlaybackFrameRate(fps);
}

int InputHandlerGetAudio(uint32_t input, double start, double length, const uint8_t** data) {
  if (JoinHasMedia(input)) return JoinGetAudio(input, start, length, data);
  InputHandlerSlot* slot = InputHandlerGetSlot(input);
  if (data) *data = nullptr;
  if (!slot) return 0;
  slot->AudioData = nullptr;
  const std::shared_ptr<MediaReader> reader = InputHandlerReader(input);
  if (!reader || slot->AudioHandler == kHandlerNone) return 0;
  // The end of the sound and a failed read alike give no sound for the span.
  if (reader->GetAudio(start, length) < 0 || !reader->AudioData() || reader->AudioDataLength() == 0) return 0;
  slot->AudioData = reader->AudioData();
  if (data) *data = slot->AudioData;
  return static_cast<int>(reader->AudioDataLength());
}

const AudioFormat* InputHandlerGetAudioFormat(uint32_t input) {
  if (JoinHasMedia(input)) return JoinGetAudioFormat(input);
  InputHandlerSlot* slot = InputHandlerGetSlot(input);
  if (!slot || slot->AudioHandler == kHandlerNone) return nullptr;
  return &slot->Format;
}
