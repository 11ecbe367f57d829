// The BMP reader on arbitrary bytes: it refuses or reads, never crashes,
// reads out of bounds or allocates for a size the file does not hold.
#include <cstdint>
#include <cstdlib>

#include "media/bmp_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  MediaImageData image{};
  if (BmpParse(data, size, &image) == 0) {
    const tagBITMAPINFOHEADER& h = image.Header;
    if (!image.Pixels || h.biWidth <= 0 || h.biHeight <= 0) std::abort();
    if (h.biSizeImage != static_cast<uint64_t>(h.biWidth) * h.biHeight * (h.biBitCount / 8)) std::abort();
    volatile uint8_t last = image.Pixels[h.biSizeImage - 1];
    (void)last;
  }
  MediaImageDataFree(&image);
  return 0;
}
