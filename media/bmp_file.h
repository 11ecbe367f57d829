#pragma once
// BMP files: the media layer's own reader (24 and 32-bit, uncompressed,
// bottom-up or top-down) and writer (bottom-up).
#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/media/still_image.h"

// Parses a whole BMP file into the record (rows packed, in the file's own
// order: TopDown 0 for bottom-up files). 0, -141 when it is not a BMP we
// read, -81 when truncated, -22 when too large or out of memory.
int BmpParse(const uint8_t* data, size_t size, MediaImageData* record);
int BmpReadFile(const std::wstring& path, MediaImageData* record);

// Writes a 24 or 32-bit BMP, bottom-up, through a temporary file. pixels
// holds height rows of width x bitCount/8 bytes (no padding), top row first
// when topDown is set. 0, -21 bad arguments, -82 write failure.
int BmpWriteFile(const std::wstring& path, const uint8_t* pixels, int32_t width, int32_t height,
                 int bitCount, bool topDown);
