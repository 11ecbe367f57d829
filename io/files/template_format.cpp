// Template file layout (numbers little-endian):
//
//   header, 32 bytes, never scrambled:
//     0  magic "qvt1" (records scrambled) or "QVT1" (plain)
//     4  u32 header size (32)
//     8  u32 thumbnail width (180), u32 thumbnail height (120)
//    16  u32 CRC-32 of the header (this field taken as 0) and the plain
//        thumbnail
//    20  u32 size of the body after the thumbnail
//    24  u32 CRC-32 of the plain body
//    28  u32 reserved (0)
//   thumbnail: 180 x 120 x 3 bytes, rows top first, B, G, R (scrambled with
//     the template key for "qvt1", scramble.h)
//   body (scrambled likewise, as one run):
//     u32 input count (at most 128), u32 object count (at most 256)
//     per input: u16[64] name, u8 type (1-4), u8 index in the exporting
//       project, u16 0
//     per object: u32 index in the exporting project, the common record's
//       first 328 bytes, u32 + parameter block, u32 + bitmap block
//     end marker "END!"
//   The thumbnail can be read without the body (template menus list many).
#include "io/files/template_format.h"

#include <cstring>

#include "base/error.h"
#include "io/files/byte_io.h"
#include "io/files/crc32.h"
#include "io/files/disp_codec.h"
#include "io/files/scramble.h"
#include "model/model_text.h"

namespace {

constexpr uint32_t kEndMarker = 0x21444E45; // "END!"

uint32_t ReadU32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
         static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
}

uint32_t HeadCrc(const uint8_t* header, const std::vector<uint8_t>& thumbnail) {
  return HeaderCrc32(header, kTemplateHeaderBytes, thumbnail);
}

void PutBody(ByteWriter& w, const TemplateImage& image) {
  w.u32(static_cast<uint32_t>(image.Inputs.size()));
  w.u32(static_cast<uint32_t>(image.Objects.size()));
  for (const TemplateInput& input : image.Inputs) {
    w.raw(input.Name, sizeof(input.Name));
    w.u8(input.Type);
    w.u8(input.Original);
    w.u8(0);
    w.u8(0);
  }
  for (const TemplateObject& object : image.Objects) {
    w.u32(object.Original);
    PutDispObject(w, object.Object);
  }
  w.u32(kEndMarker);
}

// 0, -81, or -86 with the fault.
int GetBody(ByteReader& in, TemplateImage& image, RecordFault& fault) {
  uint32_t inputs, objects;
  if (!in.u32(inputs) || !in.u32(objects)) return kErrRead;
  if (inputs > kMaxTemplateInputs || objects > kMaxDispObjs) return kErrRead;
  image.Inputs.resize(inputs);
  for (TemplateInput& input : image.Inputs) {
    uint8_t pad[2];
    if (!in.raw(input.Name, sizeof(input.Name)) || !in.u8(input.Type) || !in.u8(input.Original) ||
        !in.raw(pad, 2))
      return kErrRead;
    if (input.Type < kInputVideo || input.Type > kInputData || input.Original >= kMaxInputs) return kErrRead;
    FieldTerminate(input.Name, kNameLength);
  }
  image.Objects.resize(objects);
  for (TemplateObject& object : image.Objects) {
    if (!in.u32(object.Original) || !GetDispObject(in, object.Object)) return kErrRead;
    if (!DispObjectCheck(object.Object, &fault)) return fault ? kErrValue : kErrRead;
    if (object.Original >= kMaxDispObjs) return kErrRead;
  }
  uint32_t end;
  return in.u32(end) && end == kEndMarker ? 0 : kErrRead;
}

} // namespace

int TemplateEncode(const TemplateImage& image, std::vector<uint8_t>& out) {
  ByteWriter body;
  PutBody(body, image);
  if (body.size() > kMaxTemplateBytes) return -82;
  std::vector<uint8_t> thumbnail = image.Thumbnail;
  thumbnail.resize(kThumbBytes, 0x40);
  ByteWriter w;
  w.raw(image.Scrambled ? "qvt1" : "QVT1", 4);
  w.u32(kTemplateHeaderBytes);
  w.u32(kThumbWidth);
  w.u32(kThumbHeight);
  w.u32(0);
  w.u32(static_cast<uint32_t>(body.size()));
  w.u32(Crc32(body.bytes().data(), body.size()));
  w.u32(0);
  w.patchU32(16, HeadCrc(w.bytes().data(), thumbnail));
  if (image.Scrambled) {
    ScrambleBytes(thumbnail.data(), thumbnail.size(), kTemplateScrambleKey);
    ScrambleBytes(body.bytes().data(), body.size(), kTemplateScrambleKey);
  }
  w.raw(thumbnail.data(), thumbnail.size());
  w.raw(body.bytes().data(), body.size());
  out = std::move(w.bytes());
  return 0;
}

int TemplateDecodeHead(const uint8_t* data, size_t size, uint64_t fileSize, TemplateImage& image) {
  image = TemplateImage{};
  if (data == nullptr || size < 4 || fileSize < size) return -81;
  const bool lower = std::memcmp(data, "qvt", 3) == 0;
  if (!lower && std::memcmp(data, "QVT", 3) != 0) return -84;
  if (data[3] != '1') return data[3] > '1' && data[3] <= '9' ? -85 : -84;
  image.Scrambled = lower;
  if (size < kTemplateHeaderBytes) return -81;
  const uint32_t headerSize = ReadU32(data + 4);
  if (headerSize < kTemplateHeaderBytes || ReadU32(data + 8) != kThumbWidth ||
      ReadU32(data + 12) != kThumbHeight || ReadU32(data + 28) != 0)
    return -81;
  if (static_cast<uint64_t>(headerSize) + kThumbBytes + ReadU32(data + 20) != fileSize) return -81;
  if (size < headerSize + kThumbBytes) return -81;
  image.Thumbnail.assign(data + headerSize, data + headerSize + kThumbBytes);
  if (lower) ScrambleBytes(image.Thumbnail.data(), kThumbBytes, kTemplateScrambleKey);
  return HeadCrc(data, image.Thumbnail) == ReadU32(data + 16) ? 0 : -83;
}

int TemplateDecode(const uint8_t* data, size_t size, TemplateImage& image, RecordFault* fault) {
  int code = TemplateDecodeHead(data, size, size, image);
  if (code != 0) return code;
  const size_t start = ReadU32(data + 4) + kThumbBytes;
  std::vector<uint8_t> body(data + start, data + size);
  if (image.Scrambled) ScrambleBytes(body.data(), body.size(), kTemplateScrambleKey);
  if (Crc32(body.data(), body.size()) != ReadU32(data + 24)) return -83;
  ByteReader in(body.data(), body.size());
  RecordFault found;
  code = GetBody(in, image, found);
  if (fault != nullptr) *fault = found;
  return code;
}
