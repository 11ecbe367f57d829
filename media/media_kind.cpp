#include "media/media_kind.h"

#include <cstdio>
#include <cstring>

#include "base/text.h"
#include "media/file_util.h"

namespace {

bool Starts(const unsigned char* head, size_t n, const char* magic, size_t len, size_t at = 0) {
  return n >= at + len && std::memcmp(head + at, magic, len) == 0;
}

MediaKind KindOfBytes(const unsigned char* h, size_t n) {
  if (Starts(h, n, "RIFF", 4) && Starts(h, n, "WAVE", 4, 8)) return MediaKind::Wav;
  if (Starts(h, n, "RIFF", 4) && Starts(h, n, "WEBP", 4, 8)) return MediaKind::Image;
  if (Starts(h, n, "BM", 2) || Starts(h, n, "\x89PNG\r\n\x1a\n", 8) || Starts(h, n, "\xFF\xD8\xFF", 3) ||
      Starts(h, n, "GIF87a", 6) || Starts(h, n, "GIF89a", 6) || Starts(h, n, "II*\0", 4) ||
      Starts(h, n, "MM\0*", 4) || Starts(h, n, "8BPS", 4) || Starts(h, n, "\0\0\0\x0CjP  ", 8))
    return MediaKind::Image;
  return MediaKind::Unknown;
}

} // namespace

MediaKind MediaDetectKind(const std::wstring& path) {
  std::string file = WideToUtf8(path);
  unsigned char head[16] = {};
  size_t n = 0;
  if (FILE* f = std::fopen(file.c_str(), "rb")) {
    n = std::fread(head, 1, sizeof head, f);
    std::fclose(f);
  }
  MediaKind kind = KindOfBytes(head, n);
  if (kind != MediaKind::Unknown) return kind;
  std::string ext = FileExtensionLower(file);
  if (ext == "wav") return MediaKind::Wav;
  if (ext == "tga" || ext == "pcx" || ext == "ppm" || ext == "pgm" || ext == "sgi") return MediaKind::Image;
  return MediaKind::Unknown;
}
