#include "media/image_input.h"

#include <memory>
#include <new>

#include "base/error.h"
#include "base/text.h"
#include "model/input_table.h"
#include "media/bmp_file.h"
#include "media/media_slot.h"
#include "media/wav_file.h"
#include "platform/media/still_image.h"

namespace {

// A still picture held whole: the media layer's BMP reader first, then the
// FFmpeg image decoders.
class StillImageReader : public MediaReader {
public:
  ~StillImageReader() override { Close(); }

  int Open(const std::wstring& path) override {
    Close();
    if (BmpReadFile(path, &image_) == kOk) return kOk;
    Close();
    if (MediaImageOpenMac(WideToUtf16(path).c_str(), &image_) == kOk) return kOk;
    Close();
    return kErrUnsupported;
  }
  void Close() override {
    MediaImageDataFree(&image_);
    image_ = {};
  }

  uint32_t HasVideo() const override { return image_.Pixels ? 1 : 0; }
  uint32_t HasAudio() const override { return 0; }
  double MediaLength() const override { return 0.0; }
  const tagBITMAPINFOHEADER& BitmapFormat() const override { return image_.Header; }
  const AudioFormat& Format() const override { return noSound_; }
  uint32_t FlipY() const override { return image_.TopDown ? 0 : 1; }

  int GetFrame(double) override { return image_.Pixels ? kOk : kErrBadArg; }
  uint8_t* BitmapData() override { return image_.Pixels; }
  int GetAudio(double, double) override { return kErrBadArg; }
  uint8_t* AudioData() override { return nullptr; }
  uint32_t AudioDataLength() const override { return 0; }

private:
  MediaImageData image_{};
  AudioFormat noSound_{};
};

// Opens the input's file with a reader of the media layer's own.
template <class Reader>
int OpenOwn(uint32_t input, uint32_t kind, const char* name) {
  MainStruct* main = InputTableMain(input);
  if (!main || !InputHandlerGetSlot(input)) return ErrorSet(kErrBadArg, name);
  std::unique_ptr<Reader> reader(new (std::nothrow) Reader());
  if (!reader) return ErrorSet(kErrNoMemory, name);
  if (reader->Open(StrUtf16ToW(main->FilePath)) != kOk) return ErrorSet(kErrUnsupported, name);
  return ErrorSet(InputHandlerAttach(input, std::move(reader), kind), name);
}

} // namespace

int MediaImageOpen(uint32_t input) { return OpenOwn<StillImageReader>(input, kHandlerImage, "MediaImageOpen"); }

int MediaWavOpen(uint32_t input) { return OpenOwn<WavReader>(input, kHandlerWav, "MediaWavOpen"); }
