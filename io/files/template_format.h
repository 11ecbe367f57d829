#pragma once
// Template files ("qvt"): a thumbnail of the project, the inputs the
// template's display objects expect, and those objects with their blocks.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "model/dispobj_table.h"
#include "model/input_records.h"
#include "model/record_check.h"

constexpr uint32_t kThumbWidth = 180;
constexpr uint32_t kThumbHeight = 120;
constexpr size_t kThumbBytes = kThumbWidth * kThumbHeight * 3;
constexpr size_t kTemplateHeaderBytes = 32;
constexpr uint32_t kMaxTemplateInputs = 128;
constexpr size_t kMaxTemplateBytes = size_t{1} << 30;

struct TemplateInput {
  char16_t Name[kNameLength] = {};
  uint8_t Type = 0;         // 1 video, 2 audio, 3 image, 4 data
  uint8_t Original = 0;     // the input's index in the exporting project
  uint32_t Chosen = 0;      // project input chosen on import (255 none)
};

struct TemplateObject {
  uint32_t Original = 0; // the object's index in the exporting project
  DispObjEntry Object;   // Base, Param and Bitmap
};

struct TemplateImage {
  bool Scrambled = true;
  std::vector<uint8_t> Thumbnail; // 180 x 120 x 3 (picture24.h)
  std::vector<TemplateInput> Inputs;
  std::vector<TemplateObject> Objects;
};

// 0, or -82 when too large.
int TemplateEncode(const TemplateImage& image, std::vector<uint8_t>& out);
// The header and thumbnail of a file of fileSize bytes (data holds at least
// the first bytes up to the thumbnail's end when the file has them). 0;
// -81 short or sizes out of range; -83 integrity; -84 not a template;
// -85 newer release.
int TemplateDecodeHead(const uint8_t* data, size_t size, uint64_t fileSize, TemplateImage& image);
// The whole file: the head, then the input and object records; -86 with
// the number out of range named in fault.
int TemplateDecode(const uint8_t* data, size_t size, TemplateImage& image, RecordFault* fault = nullptr);
