#include "media/input_export.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "base/access_lock.h"
#include "base/error.h"
#include "base/file_io.h"
#include "base/text.h"
#include "media/bmp_file.h"
#include "media/file_util.h"
#include "media/input_handler.h"
#include "media/wav_file.h"
#include "platform/media/image_writer.h"

namespace {

// The frame as 32-bit pixels, top row first, with the slot's flip and
// mirror applied so that the picture stands upright.
std::vector<uint8_t> UprightBgra(const InputFrame& f, bool* hasAlpha) {
  const uint32_t w = f.Width, h = f.Height, bpp = f.BytesPerPixel;
  std::vector<uint8_t> out(static_cast<size_t>(w) * h * 4);
  *hasAlpha = false;
  for (uint32_t y = 0; y < h; ++y) {
    // Bottom-up rows unless flagged: the top row of the picture is the last.
    uint32_t srcRow = f.FlipVertical ? y : h - 1 - y;
    const uint8_t* src = f.Pixels + static_cast<size_t>(srcRow) * w * bpp;
    uint8_t* dst = out.data() + static_cast<size_t>(y) * w * 4;
    for (uint32_t x = 0; x < w; ++x) {
      uint32_t sx = f.MirrorHorizontal ? w - 1 - x : x;
      const uint8_t* p = src + static_cast<size_t>(sx) * bpp;
      dst[4 * x] = p[0];
      dst[4 * x + 1] = p[1];
      dst[4 * x + 2] = p[2];
      dst[4 * x + 3] = bpp == 4 ? p[3] : 255;
      *hasAlpha |= dst[4 * x + 3] != 255;
    }
  }
  return out;
}

int WriteSnapshot(const std::wstring& path, const std::vector<uint8_t>& bgra, int w, int h, bool hasAlpha) {
  std::string file = WideToUtf8(path);
  std::string ext = FileExtensionLower(file);
  if (ext == "png" || ext == "jpg" || ext == "jpeg") {
    std::vector<uint8_t> bytes;
    int rc = ImageEncode(ext == "png" ? ImageFileKind::Png : ImageFileKind::Jpeg, bgra.data(), w, h, &bytes);
    if (rc != kOk) return kErrWrite;
    return FileWriteAtomic(path, bytes.data(), bytes.size()) == kOk ? kOk : kErrWrite;
  }
  if (hasAlpha) return BmpWriteFile(path, bgra.data(), w, h, 32, true);
  std::vector<uint8_t> bgr(static_cast<size_t>(w) * h * 3);
  for (size_t i = 0, n = static_cast<size_t>(w) * h; i < n; ++i) std::memcpy(&bgr[i * 3], &bgra[i * 4], 3);
  return BmpWriteFile(path, bgr.data(), w, h, 24, true);
}

} // namespace

int InputExportSnapshot(uint32_t input, const wchar_t* path, float time) {
  constexpr const char* kName = "InputExportSnapshot";
  if (!path || !*path) return ErrorSet(kErrBadArg, kName);
  ReadAccess access(kName);
  InputFrame frame{};
  int rc = InputHandlerGetFrameRF(input, time, &frame);
  if (rc != kOk) return ErrorSet(rc, kName);
  if (!frame.Pixels || frame.Width == 0 || frame.Height == 0 || (frame.BytesPerPixel != 3 && frame.BytesPerPixel != 4))
    return ErrorSet(kErrBadArg, kName);
  bool hasAlpha = false;
  std::vector<uint8_t> bgra = UprightBgra(frame, &hasAlpha);
  rc = WriteSnapshot(path, bgra, static_cast<int>(frame.Width), static_cast<int>(frame.Height), hasAlpha);
  return ErrorSet(rc, kName);
}

int InputExportAudio(uint32_t input, const wchar_t* path, float start, float length) {
  constexpr const char* kName = "InputExportAudio";
  if (!path || !*path || !(length >= 0.0f)) return ErrorSet(kErrBadArg, kName);
  ReadAccess access(kName);
  const AudioFormat* format = InputHandlerGetAudioFormat(input);
  if (!format || format->nAvgBytesPerSec == 0) return ErrorSet(kErrBadArg, kName);
  const AudioFormat fmt = *format;
  WavWriter writer;
  if (writer.Open(path, fmt) != kOk) return ErrorSet(kErrWrite, kName);
  // One second at a time; spans start on whole sample frames so that
  // nothing is repeated or dropped between them.
  const double rate = fmt.nSamplesPerSec;
  const int64_t firstFrame = static_cast<int64_t>(std::llround(static_cast<double>(start) * rate));
  const int64_t totalFrames = static_cast<int64_t>(std::llround(static_cast<double>(length) * rate));
  const int64_t step = fmt.nSamplesPerSec;
  for (int64_t done = 0; done < totalFrames;) {
    int64_t n = std::min(step, totalFrames - done);
    const uint8_t* data = nullptr;
    int bytes = InputHandlerGetAudio(input, (firstFrame + done) / rate, n / rate, &data);
    if (bytes <= 0 || !data) break; // the end of the sound
    bytes = static_cast<int>(std::min<int64_t>(bytes, n * fmt.nBlockAlign));
    if (writer.Append(data, static_cast<size_t>(bytes)) != kOk) return ErrorSet(kErrWrite, kName);
    done += n;
  }
  return ErrorSet(writer.Finish(), kName);
}
