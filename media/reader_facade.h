#pragma once
// The routines both reader facades share: the decoder table, reached by the
// handle a reader keeps in the input's media slot, and the per-frame calls
// that hand the reader's bitmap to the slot. Each facade keeps its own
// documented routine names as one-line wrappers.
#include <cstdint>
#include <memory>

#include "engine/base/error.h"
#include "media/media_slot.h"
#include "platform/media/decoder_table.h"

template <class Reader, uint32_t InputHandlerSlot::*Handle>
class ReaderFacade {
public:
  DecoderTable<Reader> table;

  std::shared_ptr<Reader> Lookup(uint32_t input) const {
    InputHandlerSlot* slot = InputHandlerGetSlot(input);
    return slot ? table.Find(slot->*Handle) : nullptr;
  }

  void Close(uint32_t input, const char* name) {
    std::shared_ptr<Reader> reader = Lookup(input);
    if (!reader) {
      ErrorSet(kErrBadArg, name);
      return;
    }
    InputHandlerSlot* slot = InputHandlerGetSlot(input);
    table.Remove(slot->*Handle);
    reader->Close();
    slot->*Handle = 0;
    ErrorSet(kOk, name);
  }

  // The frame at the time into the slot; a reader without pictures clears it.
  int GetFrame(uint32_t input, double time, const char* name) {
    std::shared_ptr<Reader> reader = Lookup(input);
    if (!reader) return ErrorSet(kErrBadArg, name);
    InputHandlerSlot* slot = InputHandlerGetSlot(input);
    if (!reader->HasVideo()) {
      slot->FrameData = nullptr;
      return ErrorSet(kOk, name);
    }
    if (reader->GetFrame(time) < 0 || !reader->BitmapData()) {
      slot->FrameData = nullptr;
      return ErrorSet(kErrRead, name);
    }
    slot->FrameData = reader->BitmapData();
    return ErrorSet(kOk, name);
  }

  // Seek, SetPlaybackFrameRate and PrepareFrame: one call on the reader.
  template <class Call>
  void Forward(uint32_t input, const char* name, Call call) {
    std::shared_ptr<Reader> reader = Lookup(input);
    if (!reader) {
      ErrorSet(kErrBadArg, name);
      return;
    }
    call(*reader);
    ErrorSet(kOk, name);
  }
};
