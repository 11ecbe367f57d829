#pragma once
// Style files ("qvo"): one display object's record, parameter block and
// bitmap, with a 120 x 120 preview picture for the toolbox.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "model/dispobj_table.h"
#include "model/record_check.h"

constexpr uint32_t kStylePreviewSide = 120;
constexpr size_t kStyleHeaderBytes = 32;
constexpr size_t kMaxStyleBytes = size_t{1} << 30;

struct StyleImage {
  uint32_t Version = 2;          // 1: no preview picture
  bool Scrambled = true;         // "qvo" (scrambled) or "QVO" (plain) magic
  std::vector<uint8_t> Preview;  // 120 x 120 x 3 (picture24.h), empty for none
  DispObjEntry Object;           // Base, Param and Bitmap
};

// 0, or -82 when the object is too large for the file.
int StyleEncode(const StyleImage& style, std::vector<uint8_t>& out);
// Only the header: the first min(size, 32) bytes of a file of fileSize
// bytes. 0 with the object type, or -81 / -84 / -85.
int StyleDecodeHeader(const uint8_t* data, size_t size, uint64_t fileSize, uint32_t* type);
// The whole file: 0; -81 short or sizes out of range; -83 integrity check
// failed; -84 not a style file; -85 made by a newer release.
// -86: a number out of range, named in fault.
int StyleDecode(const uint8_t* data, size_t size, StyleImage& style, RecordFault* fault = nullptr);
