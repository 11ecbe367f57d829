#include "media/input_handler.h"

#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include "base/error.h"
#include "base/log.h"
#include "base/text.h"
#include "model/input_media.h"
#include "model/input_table.h"
#include "media/av_facade.h"
#include "media/datalog/datalog.h"
#include "media/embedded_data.h"
#include "media/image_input.h"
#include "media/media_kind.h"
#include "media/media_slot.h"
#include "media/qt_facade.h"

namespace {

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
  InputHandlerClearSlot(input);
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

// The model opens, closes and re-reads inputs through the slots. Installed
// as the program loads, so the input routines work with or without the
// engine's start (tests of the model call them directly).
[[maybe_unused]] const bool gSlotsInstalled = [] {
  InputMediaInstall({InputHandlerOpen, InputHandlerClose, InputHandlerReprocess});
  return true;
}();

} // namespace

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
