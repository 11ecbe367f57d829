// The camera-metadata readers on arbitrary bytes: Exif blocks (orientation
// and GPS), location text and GPS sentences; then the whole open path of
// the first reader on the bytes as a file.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

#include "base/text.h"
#include "platform/ffmpeg/reader.h"
#include "platform/media/camera_meta.h"
#include "platform/media/still_image.h"
#include "support/temp_folder.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  ImageExifInfo exif{};
  if (ImageExifRead(data, size, &exif) && (exif.Orientation < 1 || exif.Orientation > 8)) std::abort();
  std::string text(reinterpret_cast<const char*>(data), size);
  double lat = 0, lon = 0;
  if (ParseIso6709(text.c_str(), &lat, &lon) && (lat < -90 || lat > 90 || lon < -180 || lon > 180)) std::abort();
  std::string nmea;
  CollectNmeaSentences(data, size, &nmea);

  std::string path = TempBase() + "/qv-media-fuzz-XXXXXX";
  int fd = mkstemp(path.data());
  if (fd < 0) return 0;
  bool written = write(fd, data, size) == static_cast<ssize_t>(size);
  close(fd);
  if (written) {
    MediaMacAV reader;
    if (reader.Open(Utf8ToWide(path)) == 0) {
      reader.GetFrame(0.0);
      reader.GetFrame(0.5);
      reader.GetAudio(0.0, 0.1);
      reader.GetFrame(0.1);
    }
    MediaImageData image{};
    std::u16string p16 = WideToUtf16(Utf8ToWide(path));
    MediaImageOpenMac(p16.c_str(), &image);
    MediaImageDataFree(&image);
  }
  unlink(path.c_str());
  return 0;
}
