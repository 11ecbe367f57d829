#pragma once
// Still images: the record of one decoded picture and the decoder that reads
// every image format FFmpeg knows (PNG, JPEG, GIF, TIFF, TGA, WebP, BMP...).
#include <cstdint>

#include "platform/media/media_formats.h"

// One still image. Rows are packed (width x bytes per pixel, no padding);
// 24-bit pixels are B, G, R and 32-bit ones B, G, R, A.
struct MediaImageData {
  tagBITMAPINFOHEADER Header;
  uint8_t* Pixels;  // malloc'd, owned by the record (MediaImageDataFree)
  uint32_t TopDown; // 1 = top row first, 0 = bottom row first
};

void MediaImageDataFree(MediaImageData* record);
// Allocates a zeroed pixel block for width x height at 24 or 32 bits and
// fills the header; -22 when the size is out of range or memory is short.
int MediaImageDataAlloc(MediaImageData* record, int32_t width, int32_t height, int bitCount);

// Largest picture we accept from any file (bytes of the decoded 32-bit
// block); a crafted header asking for more is refused, never allocated.
constexpr uint64_t kMaxImageBytes = 512ull * 1024 * 1024;
constexpr int32_t kMaxImageSide = 32768;

// Decodes the first picture of the file into the record as 32-bit B, G, R,
// A, top row first, turned upright by its Exif orientation. Pictures
// without alpha come out opaque; grey-scale, palette and 16-bit pictures
// are converted to 8-bit RGB. 0, -21 null arguments, -81 no picture in the
// file, -22 too large or out of memory, -1 the pixels cannot be had.
int MediaImageOpenMac(const char16_t* path, MediaImageData* record);

// The Exif orientation (1 to 8) and GPS position of a JPEG/TIFF file.
struct ImageExifInfo {
  int Orientation; // 1 when absent
  bool HasGps;
  double Latitude, Longitude;
};
// Parses Exif from a file's bytes (JPEG APP1 or a raw Exif/TIFF block);
// false when there is none.
bool ImageExifRead(const uint8_t* data, uint64_t size, ImageExifInfo* info);
bool ImageExifReadFile(const char* pathUtf8, ImageExifInfo* info);
