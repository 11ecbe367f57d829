// The main preview's picture as shown, into a BMP file.
#include "base/error.h"
#include "media/bmp_file.h"
#include "render/preview/main_preview.h"

#include <vector>

int MainPreviewExportSnapshot(const wchar_t* path) {
  if (!path || !*path) return ErrorSet(kErrBadArg, "MainPreviewExportSnapshot");
  std::vector<uint32_t> frame;
  uint32_t width = 0, height = 0;
  int code = MainPreviewSnapshotPixels(&frame, &width, &height);
  if (code < 0) return ErrorSet(code, "MainPreviewExportSnapshot");
  // Frames are opaque: 24-bit rows, bottom row first like the frame.
  std::vector<uint8_t> rgb(static_cast<size_t>(width) * height * 3);
  for (size_t i = 0; i < frame.size(); ++i) {
    rgb[3 * i] = static_cast<uint8_t>(frame[i]);
    rgb[3 * i + 1] = static_cast<uint8_t>(frame[i] >> 8);
    rgb[3 * i + 2] = static_cast<uint8_t>(frame[i] >> 16);
  }
  code = BmpWriteFile(path, rgb.data(), static_cast<int32_t>(width), static_cast<int32_t>(height),
                      24, false);
  return ErrorSet(code < 0 ? code : kOk, "MainPreviewExportSnapshot");
}
