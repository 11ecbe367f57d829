#include "media/media_slot.h"

#include <algorithm>
#include <array>
#include <mutex>

#include "base/error.h"
#include "model/input_table.h"

namespace {

std::array<InputHandlerSlot, kMediaSlots> gSlots{};
std::mutex gReaderMutex; // guards the slots' Reader pointers

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

void InputHandlerClearSlot(uint32_t input) {
  if (input >= kMediaSlots) return;
  std::lock_guard<std::mutex> lock(gReaderMutex);
  InputHandlerSlot& slot = gSlots[input];
  slot = InputHandlerSlot{};
  slot.LastSeekTime = -1.0;
  slot.LastPrepareTime = -1.0;
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
