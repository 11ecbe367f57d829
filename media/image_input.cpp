#include "media/image_input.h"

#include <memory>

#include "engine/base/error.h"
#include "engine/base/text.h"
#include "engine/model/input_table.h"
#include "media/bmp_file.h"
#include "media/media_slot.h"
#include "media/wav_file.h"

int MediaImageOpen(uint32_t input) {
  constexpr const char* kName = "MediaImageOpen";
  MainStruct* main = InputTableMain(input);
  InputHandlerSlot* slot = InputHandlerGetSlot(input);
  if (!main || !slot) return ErrorSet(kErrBadArg, kName);
  auto record = std::make_unique<MediaImageData>();
  *record = {};
  std::wstring path = StrUtf16ToW(main->FilePath);
  if (BmpReadFile(path, record.get()) != kOk) {
    MediaImageDataFree(record.get());
    if (MediaImageOpenMac(main->FilePath, record.get()) != kOk) {
      MediaImageDataFree(record.get());
      return ErrorSet(kErrUnsupported, kName);
    }
  }
  const tagBITMAPINFOHEADER& h = record->Header;
  main->Type = kInputImage;
  main->HasData = 0;
  main->Width = static_cast<uint16_t>(h.biWidth);
  main->Height = static_cast<uint16_t>(h.biHeight);
  main->Length = 0.0f;
  slot->VideoHandler = kHandlerImage;
  slot->FrameData = record->Pixels;
  slot->BytesPerPixel = h.biBitCount / 8u;
  slot->FlipVertical = record->TopDown;
  slot->MirrorHorizontal = 0;
  slot->Image = record.release();
  return ErrorSet(kOk, kName);
}

int MediaWavOpen(uint32_t input) {
  constexpr const char* kName = "MediaWavOpen";
  MainStruct* main = InputTableMain(input);
  InputHandlerSlot* slot = InputHandlerGetSlot(input);
  if (!main || !slot) return ErrorSet(kErrBadArg, kName);
  auto reader = std::make_unique<WavReader>();
  if (reader->Open(StrUtf16ToW(main->FilePath)) != kOk || reader->Length() <= 0.0)
    return ErrorSet(kErrUnsupported, kName);
  main->Type = kInputAudio;
  main->HasData = 0;
  main->Width = main->Height = 0;
  main->Length = static_cast<float>(reader->Length());
  slot->AudioHandler = kHandlerWav;
  slot->Format = reader->Format();
  slot->AudioData = nullptr;
  slot->Wav = reader.release();
  return ErrorSet(kOk, kName);
}
