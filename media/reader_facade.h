#pragma once
// The routines both reader facades share: opening a reader into the
// input's media slot under a handle of the facade's own, and forwarding
// the per-frame calls to the slot's reader. Each facade keeps its own
// documented routine names as one-line wrappers.
#include <cstdint>
#include <memory>
#include <new>
#include <string>

#include "base/error.h"
#include "base/log.h"
#include "base/text.h"
#include "model/input_table.h"
#include "media/media_slot.h"
#include "media/reader_handles.h"

template <uint32_t InputHandlerSlot::*Handle>
class ReaderFacade {
public:
  ReaderHandles handles;

  // The reader this facade opened for the input, else null; the caller's
  // reference keeps it alive through a close from another thread.
  std::shared_ptr<MediaReader> Lookup(uint32_t input) const {
    InputHandlerSlot* slot = InputHandlerGetSlot(input);
    return slot && slot->*Handle != 0 ? InputHandlerReader(input) : nullptr;
  }

  // Opens the input's file with a new Reader and attaches it to the slot.
  // A still picture's only frame is decoded first; the labels name the
  // reader in the log lines.
  template <class Reader>
  int Open(uint32_t input, uint32_t kind, const char* name, const wchar_t* label, const wchar_t* stillLabel) {
    MainStruct* main = InputTableMain(input);
    InputHandlerSlot* slot = InputHandlerGetSlot(input);
    if (!main || !slot) return ErrorSet(kErrBadArg, name);
    const std::wstring path = StrUtf16ToW(main->FilePath);
    LogPrintf(L"Attempting %S('%s')", name, path.c_str());
    std::unique_ptr<Reader> reader(new (std::nothrow) Reader());
    if (!reader) return ErrorSet(kErrNoMemory, name);
    reader->SelectTrack(main->TrackIndex);
    const int rc = reader->Open(path);
    if (rc != kOk) {
      reader->Close();
      LogPrintf(L"%s Open failed with code %d!", label, rc);
      return ErrorSet(kErrUnsupported, name);
    }
    if (reader->HasVideo() && reader->MediaLength() < 0.1) {
      const int frameRc = reader->GetFrame(0.0);
      if (frameRc != kOk || !reader->BitmapData()) {
        LogPrintf(L"Unable to get %s still image data '%s'\n\n Error code: %d", stillLabel, path.c_str(), frameRc);
        return ErrorSet(kErrUnsupported, name);
      }
    }
    // Refused before it takes a handle, so a refusal leaves nothing behind.
    if (!reader->HasVideo() && !reader->HasAudio()) return ErrorSet(kErrUnsupported, name);
    const uint32_t handle = handles.Take();
    if (handle == 0) return ErrorSet(kErrUnsupported, name);
    if (InputHandlerAttach(input, std::move(reader), kind) != kOk) {
      handles.Release(handle);
      return ErrorSet(kErrUnsupported, name);
    }
    slot->*Handle = handle;
    return ErrorSet(kOk, name);
  }

  void Close(uint32_t input, const char* name) {
    InputHandlerSlot* slot = InputHandlerGetSlot(input);
    if (!Lookup(input)) {
      ErrorSet(kErrBadArg, name);
      return;
    }
    handles.Release(slot->*Handle);
    slot->*Handle = 0;
    const std::shared_ptr<MediaReader> reader = InputHandlerTakeReader(input);
    slot->FrameData = nullptr;
    slot->AudioData = nullptr;
    // Ends its threads now; freed when the last thread using it lets go.
    if (reader) reader->Close();
    ErrorSet(kOk, name);
  }

  // Closes every reader this facade opened (start and end of the media layer).
  void CloseAll() {
    for (uint32_t input = 0; input < kMediaSlots; ++input)
      if (Lookup(input)) Close(input, "*NO LOG*");
  }

  // The frame at the time into the slot; a reader without pictures clears it.
  int GetFrame(uint32_t input, double time, const char* name) {
    const std::shared_ptr<MediaReader> reader = Lookup(input);
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

  // Sound of the span at the slot's audio pointer: the byte count, 0 for
  // none (the end of the sound included).
  int GetAudio(uint32_t input, double start, double length, const char* name) {
    const std::shared_ptr<MediaReader> reader = Lookup(input);
    if (!reader) return ErrorSet(kErrBadArg, name), 0;
    InputHandlerSlot* slot = InputHandlerGetSlot(input);
    slot->AudioData = nullptr;
    if (!reader->HasAudio()) return ErrorSet(kOk, name), 0;
    const int rc = reader->GetAudio(start, length);
    if (rc == kErrEndOfData) return ErrorSet(kOk, name), 0;
    if (rc < 0 || !reader->AudioData()) return ErrorSet(kErrRead, name), 0;
    slot->AudioData = reader->AudioData();
    ErrorSet(kOk, name);
    return static_cast<int>(reader->AudioDataLength());
  }

  // Seek, SetPlaybackFrameRate and PrepareFrame: one call on the reader.
  template <class Call>
  void Forward(uint32_t input, const char* name, Call call) {
    const std::shared_ptr<MediaReader> reader = Lookup(input);
    if (!reader) {
      ErrorSet(kErrBadArg, name);
      return;
    }
    call(*reader);
    ErrorSet(kOk, name);
  }
};
