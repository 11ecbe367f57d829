// Style file layout (numbers little-endian):
//
//   header, 32 bytes, never scrambled:
//     0  magic: "qvo2" scrambled / "QVO2" plain; "qvo1" / "QVO1" the same
//        without a preview picture
//     4  u32 header size (32)
//     8  u32 display-object type
//    12  u32 size of the payload that follows the header
//    16  u32 CRC-32 of the header (these four bytes taken as 0) and the
//        payload before scrambling
//    20  u32 preview width, u32 preview height (120 x 120; 0 x 0 in version 1)
//    28  u32 reserved (0)
//   payload (scrambled with the style key, scramble.h, for lower-case magics):
//     version 2: the preview picture, 120 x 120 x 3 bytes (picture24.h)
//     the common record's first 328 bytes, u32 + parameter block,
//     u32 + bitmap block
#include "io/files/style_format.h"

#include <cstring>

#include "base/error.h"
#include "io/files/byte_io.h"
#include "io/files/crc32.h"
#include "io/files/disp_codec.h"
#include "io/files/scramble.h"

namespace {

constexpr size_t kPreviewBytes = kStylePreviewSide * kStylePreviewSide * 3;

uint32_t ReadU32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
         static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
}

// 0 with version and scrambling from the magic, -85 newer, -84 not a style.
int ReadMagic(const uint8_t* m, uint32_t* version, bool* scrambled) {
  const bool lower = std::memcmp(m, "qvo", 3) == 0;
  if (!lower && std::memcmp(m, "QVO", 3) != 0) return -84;
  *scrambled = lower;
  if (m[3] == '1' || m[3] == '2') {
    *version = static_cast<uint32_t>(m[3] - '0');
    return 0;
  }
  return m[3] > '2' && m[3] <= '9' ? -85 : -84;
}

// The CRC over the header, with its own field taken as 0, and the plain payload.
uint32_t StyleCrc(const uint8_t* header, const std::vector<uint8_t>& plain) {
  return HeaderCrc32(header, kStyleHeaderBytes, plain);
}

} // namespace

int StyleEncode(const StyleImage& style, std::vector<uint8_t>& out) {
  const bool preview = style.Version >= 2 && style.Preview.size() == kPreviewBytes;
  ByteWriter payload;
  if (preview) payload.raw(style.Preview.data(), kPreviewBytes);
  PutDispObject(payload, style.Object);
  if (payload.size() > kMaxStyleBytes) return -82;
  ByteWriter w;
  const char magic[4] = {style.Scrambled ? 'q' : 'Q', style.Scrambled ? 'v' : 'V',
                         style.Scrambled ? 'o' : 'O', preview ? '2' : '1'};
  w.raw(magic, 4);
  w.u32(kStyleHeaderBytes);
  w.u32(style.Object.Base.Type);
  w.u32(static_cast<uint32_t>(payload.size()));
  w.u32(0); // CRC, below
  w.u32(preview ? kStylePreviewSide : 0);
  w.u32(preview ? kStylePreviewSide : 0);
  w.u32(0);
  std::vector<uint8_t>& body = payload.bytes();
  w.patchU32(16, StyleCrc(w.bytes().data(), body));
  if (style.Scrambled) ScrambleBytes(body.data(), body.size(), kStyleScrambleKey);
  w.raw(body.data(), body.size());
  out = std::move(w.bytes());
  return 0;
}

int StyleDecodeHeader(const uint8_t* data, size_t size, uint64_t fileSize, uint32_t* type) {
  if (data == nullptr || size < 4 || fileSize < size) return -81;
  uint32_t version;
  bool scrambled;
  const int magic = ReadMagic(data, &version, &scrambled);
  if (magic != 0) return magic;
  if (size < kStyleHeaderBytes) return -81;
  const uint32_t headerSize = ReadU32(data + 4);
  if (headerSize < kStyleHeaderBytes || headerSize > fileSize || ReadU32(data + 12) != fileSize - headerSize)
    return -81;
  if (ReadU32(data + 28) != 0) return -81; // reserved: outside the CRC, so held to 0
  *type = ReadU32(data + 8);
  return 0;
}

int StyleDecode(const uint8_t* data, size_t size, StyleImage& style, RecordFault* fault) {
  style = StyleImage{};
  uint32_t type = 0;
  int code = StyleDecodeHeader(data, size, size, &type);
  if (code != 0) return code;
  ReadMagic(data, &style.Version, &style.Scrambled);
  const uint32_t headerSize = ReadU32(data + 4);
  std::vector<uint8_t> body(data + headerSize, data + size);
  if (style.Scrambled) ScrambleBytes(body.data(), body.size(), kStyleScrambleKey);
  if (StyleCrc(data, body) != ReadU32(data + 16)) return -83;
  const uint32_t w = ReadU32(data + 20), h = ReadU32(data + 24);
  const bool preview = w != 0 || h != 0;
  if (preview && (style.Version < 2 || w != kStylePreviewSide || h != kStylePreviewSide)) return -81;
  ByteReader in(body.data(), body.size());
  if (preview) {
    style.Preview.resize(kPreviewBytes);
    if (!in.raw(style.Preview.data(), kPreviewBytes)) return -81;
  }
  if (!GetDispObject(in, style.Object)) return kErrRead;
  RecordFault found;
  if (!DispObjectCheck(style.Object, &found)) {
    if (fault != nullptr) *fault = found;
    return found ? kErrValue : kErrRead;
  }
  if (style.Object.Base.Type != type) return -81;
  return 0;
}
